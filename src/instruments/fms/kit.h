// The CDU's drawing kit: what every page routine shares. A page routine is
//
//   void FmsPageIdent(display::GaugeDisplay& display, gfx::Graphics& g) {
//     CduPage page(display, g);            // scale, brushes, pen, fonts
//     page.Large(63, 0, "IDENT");          // draw ...
//     RunKeyAction(kIdentKeys);            // ... act on the recorded key ...
//     page.ScratchpadLine();               // ... draw on
//   }
//
// in its own file: its coordinates, texts and key actions side by side. All
// coordinates are on the logical 282 x 245 screen; texts are placed by the
// top-left corner of their layout box, green unless drawn on a highlight box.
// docs/cdu.md describes the kit and the conventions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/gfx/graphics.h"
#include "src/display/lifetime.h"

namespace ovi::fms {

// ---- the logical screen ----------------------------------------------------

inline constexpr float kScreenWidth = 282.0f;
inline constexpr float kScreenHeight = 245.0f;
inline constexpr gfx::ARGB kGreen = 0xFF00FA00u;  // every CDU text, box and outline
inline constexpr gfx::ARGB kBlack = 0xFF000000u;  // text on a highlight box

inline constexpr float kTitleY = 0.0f;
inline constexpr float kPromptY = 198.0f;  // the L6 / R6 prompts
inline constexpr float kScratchpadY = 227.0f;
// A small text this far below a large one stands on the same baseline.
inline constexpr float kSmallBaselineDrop = 5.0f;
// Width and height of a highlight box per character: 14 x 20.
inline constexpr int kHighlightCharWidth = 14;
inline constexpr int kHighlightHeight = 20;

// ---- keys --------------------------------------------------------------------

// Line-select key numbers as the keypad records them in FmsLineSelectKey.
enum LineKey : std::int32_t {
  kNoKey = 0,
  kL1 = 1, kL2 = 2, kL3 = 3, kL4 = 4, kL5 = 5,
  kR1 = 6, kR2 = 7, kR3 = 8, kR4 = 9, kR5 = 10,
  kL6 = 11, kR6 = 12,
};
// Row 1..5 of a left or right key 1..10 (0 for L6, R6 and no key).
int RowOfKey(int key);
inline bool IsLeftKey(int key) { return key >= kL1 && key <= kL5; }
inline bool IsRightKey(int key) { return key >= kR1 && key <= kR5; }

// The line-select key recorded for this frame (0 = none).
int LineSelectKey();

// A line-select action of a page: the key and what it does.
struct KeyAction {
  std::int32_t key;
  void (*act)();
};
// Runs the action the table gives for the recorded key; nothing when the
// table has none. The table of a page is data beside its drawing.
void RunKeyAction(std::span<const KeyAction> table);

// A prompt of a menu page: its text, drawn large at (x, y), and the key
// that does what it names.
struct MenuPrompt {
  float x;
  float y;
  const char* text;
  KeyAction action;
};
// Runs the action of the recorded key among the prompts.
void RunMenuKey(std::span<const MenuPrompt> prompts);

// ---- pages and sub-pages -------------------------------------------------

// Shows `page` from the next frame on; the key that chose it is not seen
// there, because the frame's keys are cleared when the frame ends.
void OpenPage(std::int32_t page);

// How PREV PAGE steps a page's sub-pages: back (every page) or forward (the
// SELECT WAYPOINT list, whose NEXT PAGE steps back).
enum class PrevPageStep { kBack, kForward };
// PREV PAGE or NEXT PAGE on a sub-page index, wrapping between 1 and the
// count (a count below 1 counts as 1); PREV is tested first and only one of
// them acts in a frame.
void StepSubPage(std::int32_t& index, std::int32_t count, PrevPageStep prev = PrevPageStep::kBack);

// True while a display shows a PLAN map (B737 ND mode 7, DU-1000 or MD-80
// EHSI or MD-11 ND mode 2, C-17 MFD page 6): RTE LEGS then steps the map's
// centre, and the frame keeps PlanStepIndex.
bool AnyDisplayInPlanMode();

// ---- entries -----------------------------------------------------------------

inline constexpr const char* kInvalidEntry = "INVALID ENTRY";
inline constexpr const char* kNotInDatabase = "NOT IN DATABASE";
inline constexpr const char* kInvalidDelete = "INVALID DELETE";
inline constexpr const char* kDeleteArmed = "DELETE";

// The scratchpad text (at most 24 characters).
const std::string& Scratchpad();
// True while the DELETE key's "DELETE" stands in the message line.
bool DeleteArmed();
// A refused entry: the message shows, the typed text stays.
void RefuseEntry(const char* message);
// An accepted entry: the scratchpad is emptied.
void AcceptEntry();

// An edit of a route unchanged since its entry began or its EXEC
// (RouteState 0 or 3) steps the state on, to 1 or to a modification (4).
void StepFromUnchanged();

// A course as the pages show it, "%03.0f" of a value in [0.5, 360.5): north
// reads 360, never 000.
double CourseShown(double course);

// A plain number as the pages take one: digits with at most one decimal
// point and at least one digit (no sign, no exponent, nothing else).
bool ReadPlainNumber(std::string_view text, double& value);

// ---- text --------------------------------------------------------------------

// No text drawn is longer than this (formatted into 140 bytes, converted into
// 100 wide characters).
inline constexpr std::size_t kMaxScreenText = 99;

// printf-style 8-bit text (0xB0 is the degree sign), cut to kMaxScreenText.
std::string ScreenText(const char* format, ...) __attribute__((format(printf, 1, 2)));

enum class FontSize {
  kLarge,  // Arial 18 px: titles, data lines, prompts, the scratchpad line
  kSmall,  // Arial 12 px: labels and page counters
};

// x of a right-aligned text of `chars` characters: 272 - 9 n (large) or
// 272 - 5.5 n (small).
float RightAlignedX(FontSize size, std::size_t chars);

// A position as the CDU shows it, from FormatLatLonDms: "N47\xB026.5" (hemisphere,
// two degree digits, the degree sign 0xB0, minutes, ".", the first digit of
// the seconds) and "W122\xB018.3" (three degree digits). Longitude east
// positive, as the aircraft position is kept.
std::string LatitudeScreenText(double latitude);
std::string LongitudeScreenText(double longitude);

// ---- the page context ------------------------------------------------------

// Where a page shows the route's state in its title: "ACT" at act_x while
// the executed route is unchanged (RouteState 3); "MOD" in black at mod_x
// on a highlight box at box_x, box_chars wide, while a change waits for
// EXEC (4, and any state above 4 on the pages that say "4 or above"). The
// pages differ: RTE and PERF INIT {8, 8, 10, 3, false}, RTE LEGS
// {10, 8, 10, 3, true}, RTE HOLD {8, 8, 10, 3, true}: each 10 units left of
// the places first laid out, where the box's right edge (62) met the
// titles at 63 and the page read "MODRTE".
struct ActModForm {
  float act_x;
  float mod_x;
  int box_x;
  int box_chars;
  bool mod_above_four;
};

// Fills the polygon (x, y), (x + 14 n, y), (x + 14 n, y + 20), (x, y + 20) in
// green: the field behind a text a page marks for editing.
void DrawFmsHighlightBox(int x, int y, gfx::Graphics& g, int n);

// One page routine's drawing context for one frame: scales the surface to
// the logical screen by the display's size and makes the brushes, pen and
// fonts, all released when the page routine returns.
class CduPage {
 public:
  CduPage(const display::GaugeDisplay& display, gfx::Graphics& g);
  CduPage(const CduPage&) = delete;
  CduPage& operator=(const CduPage&) = delete;

  gfx::Graphics& graphics() { return g_; }

  void Text(float x, float y, FontSize size, std::string_view text);
  void Large(float x, float y, std::string_view text) { Text(x, y, FontSize::kLarge, text); }
  void Small(float x, float y, std::string_view text) { Text(x, y, FontSize::kSmall, text); }
  // In a font of the page's own (PROGRESS's course figures, NAV STATUS's
  // column-aligned lines), green.
  void Text(float x, float y, const gfx::Font& font, std::string_view text);
  // Right-aligned by its character count (RightAlignedX).
  void RightText(float y, FontSize size, std::string_view text);

  // A large text in black on a highlight box `chars` characters wide whose
  // top-left corner is (box_x, box_y).
  void HighlightedText(float x, float y, std::string_view text, int box_x, int box_y, int chars);

  // `count` empty entry boxes, outlines 5 x 10, 10 apart, the first at (x, y).
  void EntryBoxes(float x, float y, int count);

  // Every prompt of a menu page.
  void Prompts(std::span<const MenuPrompt> prompts);

  // The route's state in the title, placed as the page's form says;
  // nothing in states 0 to 2.
  void ActModTitle(const ActModForm& form);

  // The width the text's letters take in that font (its layout box less the
  // padding on either side), in logical units.
  float TextWidth(FontSize size, std::string_view text);

  // The scratchpad line at (0, 227): the message while there is one, else
  // the scratchpad. A message wider than the screen in the large font
  // ("ACTIVE FSPLANNER RTE LOADED" holds 27 characters) is drawn small.
  void ScratchpadLine();

 private:
  gfx::Graphics& g_;
  gfx::SolidBrush green_;
  gfx::SolidBrush black_;
  gfx::Pen pen_;
  gfx::Font large_;
  gfx::Font small_;
};

}  // namespace ovi::fms
