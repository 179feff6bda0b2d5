// The GNS-XLS drawing kit: what every page routine shares. A page routine is
//
//   void DrawGnsxlsFooPage(display::GaugeDisplay& display, gfx::Graphics& g) {
//     GnsPage page(display, g);                  // scale, brushes, font
//     ... act on the recorded line key ...
//     page.Text(90, kTitleY, kWhite, "FOO 1/1"); // draw
//     page.Legend(32, 280, "DEPART", LineState(4) == 2, LineState(4) == 2);
//     page.Marker(4, "<");
//     page.DrawMarkers();
//   }
//
// in its own file: its places, texts and key actions side by side. All
// places are on the logical 495 x 400 canvas; texts are placed by the
// top-left corner of their layout box in "Courier New" 33 px bold.
// docs/gnsxls.md describes the kit.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/gfx/graphics.h"
#include "src/display/lifetime.h"

namespace ovi::gnsxls {

// ---- the canvas and its character cells ------------------------------------

inline constexpr float kCanvasWidth = 495.0f;
inline constexpr float kCanvasHeight = 400.0f;
inline constexpr float kFontPx = 33.0f;
// One character cell: what a cursor block is measured in.
inline constexpr int kCellWidth = 21;
inline constexpr int kCellHeight = 35;
inline constexpr float kTitleY = 0.0f;

// ---- the palette -----------------------------------------------------------

inline constexpr gfx::ARGB kWhite = 0xFFDEE6E9u;    // titles, legends, line-key markers
inline constexpr gfx::ARGB kYellow = 0xFFFFFF00u;   // cursor block, open list rows, "FR", "DIRECT"
inline constexpr gfx::ARGB kGreen = 0xFF00FA00u;    // most labels and values
inline constexpr gfx::ARGB kMagenta = 0xFFFF13D5u;  // "TO", destination idents, the typing mark
inline constexpr gfx::ARGB kBlue = 0xFF02A7EBu;     // times
inline constexpr gfx::ARGB kBlack = 0xFF000000u;    // text on a cursor block

// ---- line keys ----------------------------------------------------------------

// Where the marker of line key 1..10 stands: x 0 (keys 1..5) or 460 (6..10),
// y 30, 98, 178, 265, 340 from the top key of each column down.
inline constexpr float kLeftMarkerX = 0.0f;
inline constexpr float kRightMarkerX = 460.0f;
inline constexpr std::array<float, 5> kMarkerY = {30.0f, 98.0f, 178.0f, 265.0f, 340.0f};

// The state of display line 1..10 (0 for any other number).
std::int32_t LineState(int line);
// Sets one line's state (nothing for a number outside 1..10).
void SetLineState(int line, std::int32_t state);

// ---- text -----------------------------------------------------------------------

// No text drawn is longer than this.
inline constexpr std::size_t kMaxScreenText = 99;

// printf-style text, cut to kMaxScreenText characters.
std::string ScreenText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// ---- positions and bearings --------------------------------------------------------

// A position as the pages show it, in the 10-character template
// "       .  ": the hemisphere letter at place 0, degrees, minutes at 5-6,
// the point at 7 and the whole seconds of FormatLatLonDms at 8-9. A
// latitude's degrees stand at 2-3 ("N 47 26.56"); a longitude's at 1-3
// ("W122 18.33"). How place 1 of a longitude of two degree digits is filled
// is the page's choice: DATABASE WPT and OFFSET WPT write "0" ("W087 ..."),
// NAVIGATION leaves it blank ("W 87 ...").
enum class LongitudePad { kZero, kBlank };
std::string GnsLatitudeText(double latitude);
std::string GnsLongitudeText(double longitude, LongitudePad pad);

// A true course as the pages show and use it: minus the magnetic
// variation, within 0.5 ..360.5, so north reads 360, never 000 (0.3 becomes
// 360.3).
double GnsMagneticBearing(double true_course);

// Fills the cell-high rectangle from (x, y) w characters wide in yellow (a
// closed five-point polygon): the block behind a field that takes the entry
// and behind a legend waiting for confirmation.
void DrawGnsxlsCursorBlock(int x, int y, gfx::Graphics& g, int w);

// One page routine's drawing context for one frame: scales the surface to
// the canvas by the display's size and makes the palette's brushes and the
// font, all released when the page routine returns. Markers collected while drawing
// are drawn by DrawMarkers, last.
class GnsPage {
 public:
  GnsPage(const display::GaugeDisplay& display, gfx::Graphics& g);
  GnsPage(const GnsPage&) = delete;
  GnsPage& operator=(const GnsPage&) = delete;

  gfx::Graphics& graphics() { return g_; }

  void Text(float x, float y, gfx::ARGB colour, std::string_view text);
  // The text in black on a cursor block at (x, y), `cells` characters wide
  // (the text's own length when negative).
  void OnBlock(float x, float y, std::string_view text, int cells = -1);
  // A legend: with "?" appended while it waits for confirmation
  // (`question`), and on a cursor block in black while `block`, else white.
  void Legend(float x, float y, std::string_view legend, bool question, bool block);
  // A choice waiting for ENT: the entry line's text with "?" on a block as
  // wide as that text.
  void Choice(float x, float y, std::string_view text);
  // A chooser line of the waypoint pages: its label at the left, then the
  // choice being made (the entry line's text) while `choosing`, else the
  // stored value in green.
  void ChoiceLine(float y, gfx::ARGB label_colour, std::string_view label, bool choosing, std::string_view stored);
  // A straight line `width` units wide.
  void Line(float x1, float y1, float x2, float y2, gfx::ARGB colour, float width);

  // The marker of a line key (1..10), drawn by DrawMarkers; a later marker
  // of the same key replaces an earlier one.
  void Marker(int key, std::string_view text);
  void DrawMarkers();

 private:
  const gfx::SolidBrush& Brush(gfx::ARGB colour);

  gfx::Graphics& g_;
  gfx::Font font_;
  std::array<gfx::SolidBrush, 6> palette_;
  gfx::SolidBrush other_{kWhite};
  std::array<std::string, 11> markers_;
};

}  // namespace ovi::gnsxls
