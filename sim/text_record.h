// The text record: for each gauge, the texts its last frame shows, with
// place, colour and font, read from a recorder kept beside each element's
// surface. Snapshots write it next to the gauge's picture; `expect_text`
// checks it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/device_context.h"
#include "platform/gfx/recorder.h"
#include "platform/panel/panel.h"

namespace ovi::sim {

// How much of a text the picture shows: its clip and the surface may hide
// some of it.
enum class TextShown { kWhole, kPart };

struct TextEntry {
  int element = 0;                    // index in the gauge's elements, parents first
  double x = 0.0, y = 0.0;            // top-left of the text's box on the gauge, design pixels
  double w = 0.0, h = 0.0;            // the box's size, design pixels
  double canvas_x = 0.0, canvas_y = 0.0;  // the layout point the drawing gave, in its own units
  std::uint32_t colour = 0;           // ARGB
  std::string font;
  double size = 0.0;  // as the drawing gave it, in its units
  int style = 0;      // bold 1, italic 2, underline 4, strikeout 8
  TextShown shown = TextShown::kWhole;
  std::string text;
};

// Appends the texts that `rec` holds for element `element` that show, whole
// or in part (a text its clip or the surface hides wholly is left out: what
// reads the record reads what a pilot sees), whose surface sits at
// (origin_x, origin_y) design pixels and has `per_design_x`, `per_design_y`
// surface pixels per design pixel.
void AppendTexts(const gfx::Recorder& rec, int element, double origin_x, double origin_y, double per_design_x,
                 double per_design_y, std::vector<TextEntry>& out);

// The file a snapshot writes for one gauge: a comment line, then one line
// per text: element x y w h canvas_x canvas_y colour size style shown "font"
// "text", `shown` "whole", or "part" where its clip, its layout box or the
// surface hides some of its ink.
std::string FormatTextRecord(const std::vector<TextEntry>& texts);

// True when the shown text is the wanted one, blanks around either aside.
bool TextMatches(std::string_view shown, std::string_view wanted);

// Draws a string element's text, centred in its surface over its background
// colour, in its font scaled by `per_design_y` surface pixels per design pixel.
void DrawStringElement(const ELEMENT_HEADER& e, gfx::DeviceContext& dc, double per_design_y);

}  // namespace ovi::sim
