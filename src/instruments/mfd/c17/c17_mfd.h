// The C-17 multifunction display's draw entry and the routines it calls:
// one routine per page, the map layers laid over the compass pages, and
// the page-4 heading readout. Every page routine resets the world transform
// itself and reads the working copy of the page state, the page geometry
// (`C17MfdOriginX`, `C17MfdOriginY`, `C17MfdMapRadius`) and `MapPixelsPerNm`.
#pragma once

#include <cstdint>

#include "platform/gfx/graphics.h"
#include "platform/panel/panel.h"
#include "src/display/kit.h"
#include "src/display/lifetime.h"

namespace ovi::c17 {

inline constexpr display::Canvas kC17Canvas{246, 241};

// One frame of one display. Numbers 1 to 4 draw that display's slot (loaded
// into the working copy, saved back after); 0 clears the surface; any other
// number draws from the working copy and saves nothing. A null device
// context draws nothing (the slot was still loaded).
void DrawC17Mfd(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int number);

// The page geometry of `page` (pages without a row leave it as it is), and
// MapPixelsPerNm from the radius and C17MfdMapRange.
void SetC17PageGeometry(std::int32_t page);

// The routine that draws `page`, or null for a page of background only.
using PageRoutine = void (*)(display::GaugeDisplay& display, gfx::Graphics& g);
PageRoutine C17PageRoutine(std::int32_t page);

// Page routines.
void DrawC17HsiPage(display::GaugeDisplay& display, gfx::Graphics& g);            // 0
void DrawC17PrimaryFlightPage(display::GaugeDisplay& display, gfx::Graphics& g);  // 1
void DrawC17NavPage3(display::GaugeDisplay& display, gfx::Graphics& g);           // 3
void DrawC17NavPage4(display::GaugeDisplay& display, gfx::Graphics& g);           // 4
void DrawC17NavPage5(display::GaugeDisplay& display, gfx::Graphics& g);           // 5
void DrawC17MapPage(display::GaugeDisplay& display, gfx::Graphics& g);            // 6
void DrawC17EnginePage(display::GaugeDisplay& display, gfx::Graphics& g);         // 9
void DrawC17EngineDetailPage(display::GaugeDisplay& display, gfx::Graphics& g);   // 10
void DrawC17EngineOilPage(display::GaugeDisplay& display, gfx::Graphics& g);      // 11
void DrawC17ConfigPage(display::GaugeDisplay& display, gfx::Graphics& g);         // 12

// The map contents of pages 3 to 6; sets its own transforms.
void DrawC17MapLayers(display::GaugeDisplay& display, gfx::Graphics& g);
// Page 4's heading readout, drawn over the map layers.
void DrawC17HeadingBox(display::GaugeDisplay& display, gfx::Graphics& g);

}  // namespace ovi::c17
