// The MCU drawing kit: what every MCU page routine shares. The screen
// (screen.h) scales the surface to the 239 x 78 canvas before it calls a
// page; a page routine then draws through one McuPage:
//
//   void DrawMcuFooPage(McuFrame& frame) {
//     McuPage page(frame.g);            // font, brushes and pens of this call
//     ... act on the pending events ...
//     page.Text(0, 0, kAmber, "FOO:");  // draw
//     page.CursorBox(0, 13, 28, 12);
//     page.EntryLine(text);
//   }
//
// Texts are 8-bit (Windows-1252: the degree sign is the byte 0xB0) and are
// placed by the top-left corner of their layout box in "Courier New" 14 px
// bold. Texts are formatted with the navigator's gnsxls::ScreenText.
// docs/mcu.md describes the kit.
#pragma once

#include <string>
#include <string_view>

#include "platform/gfx/graphics.h"
#include "src/display/kit.h"
#include "src/model/records.h"

namespace ovi::mcu {

inline constexpr float kCanvasWidth = 239.0f;
inline constexpr float kCanvasHeight = 78.0f;
inline constexpr float kFontPx = 14.0f;

inline constexpr gfx::ARGB kGreen = display::colour::kLightGreen;  // 0xFF5BE5A7
inline constexpr gfx::ARGB kAmber = display::colour::kAmber;       // 0xFFE9B73E
inline constexpr gfx::ARGB kMagenta = display::colour::kMagenta;   // 0xFFFF13D5
inline constexpr gfx::ARGB kBlack = display::colour::kBlack;
inline constexpr gfx::ARGB kKeyboardBand = 0xFF800080u;  // the entry line while the PC keyboard types

// The rows of text, top down, and the entry line at the bottom.
inline constexpr float kRowY[5] = {0.0f, 12.0f, 24.0f, 36.0f, 48.0f};
inline constexpr float kEntryLineY = 61.0f;
inline constexpr const char* kPrompt = "> ";

// The degree sign as the screens' 8-bit texts carry it.
inline constexpr const char* kDegree = "\xB0";

// What one frame needs: the graphics, scaled to the canvas, and whether the
// frame repaints the whole screen (else only what a band repaint asks for).
struct McuFrame {
  gfx::Graphics& g;
  bool full = true;
};

class McuPage {
 public:
  explicit McuPage(gfx::Graphics& g);
  McuPage(const McuPage&) = delete;
  McuPage& operator=(const McuPage&) = delete;

  gfx::Graphics& graphics() { return g_; }

  // The text at (x, y); nothing for an empty text.
  void Text(float x, float y, gfx::ARGB colour, std::string_view ansi);
  // The cursor box: the four lines (x, y)-(x + w, y)-(x + w, y + h)-(x, y + h)
  // -(x, y) with the 2-pixel green pen.
  void CursorBox(int x, int y, int w, int h);
  // A digit or character underline from (x1, y) to (x2, y), 2-pixel magenta.
  void Underline(int x1, int x2, int y);
  // The entry line: "> " followed by `text`, green, at (0, 61).
  void EntryLine(std::string_view text);

 private:
  gfx::Graphics& g_;
  gfx::Font font_;
  gfx::SolidBrush green_{kGreen}, amber_{kAmber}, magenta_{kMagenta}, other_{kGreen};
  gfx::Pen box_pen_;
  gfx::Pen underline_pen_;
};

// The active waypoint's route entry, or null without one (999, or an
// index the active route does not hold).
const model::FlightPlanWaypoint* ActiveWaypointEntry();

// The elevation text (whole feet) of the airport `ident` as the database
// holds it; for an ident the database has no airport of, the elevation of
// the airport whose details were loaded last.
std::string AirportElevationText(const std::string& ident);

}  // namespace ovi::mcu
