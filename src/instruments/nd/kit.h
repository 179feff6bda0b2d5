// The navigation displays draw with the display instruments' kit
// (src/display/kit.h); these names bring it into the family's namespace.
#pragma once

#include "src/display/kit.h"

namespace ovi::nd {

namespace colour = display::colour;

using display::ArialBold;
using display::BackgroundColour;
using display::Canvas;
using display::CanvasScale;
using display::DaReredBold;
using display::DrawLayers;
using display::DrawMapTextF;
using display::DrawScreenText;
using display::DrawScreenTextF;
using display::DrawSegments;
using display::FineGrid;
using display::FineGridFor;
using display::FiniteOr;
using display::kScreenTextBuffer;
using display::kScreenTextChars;
using display::Layer;
using display::RelativeAngle;
using display::ScaleToSurface;
using display::ScreenTextLength;
using display::Segment;
using display::UseCanvas;
using display::UseOrigin;

}  // namespace ovi::nd
