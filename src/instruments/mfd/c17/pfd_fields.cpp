// The C-17 primary flight page's data fields in the corners, the localizer
// and glideslope scales, the marker-beacon box, the heading scale with its
// bug and course pointer, and the mode boxes.
#include <algorithm>
#include <cmath>
#include <string>

#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/mfd/c17/pfd_page.h"

namespace ovi::c17 {

namespace {

using display::FiniteOr;
using gfx::Point;
namespace c = pfd_colour;

const guidance::State& G() { return guidance::guidance_state; }
bool On(double v) { return v == 1.0; }
bool Always() { return true; }
bool Signal() { return host::GetNav1Signal() > 0.0; }

// The decision height the field shows: the page has always shown 200 ft,
// whatever the decision-height setting (which the "DH" warning reads).
constexpr double kDecisionHeightReadout = 200.0;

// Each field is its own row: shown whenever its condition holds.
constexpr display::Annunciation kDataFields[] = {
    {0, [] { return host::GetAutopilotAttitudeHold() == 1.0; }, "ATT", 180, 10, 8, c::kCyan},
    {1, Always, "GS %3.0f", 0, 188, 9, c::kGreen, [] { return G().GroundSpeedKnots; }},
    {2, Always, "M  .%02.0f", 0, 198, 9, c::kGreen,
     [] { return std::min(FiniteOr(host::GetMachFromToken64()) * 3.2 / 65536.0, 99.0) * 100.0; }},
    {3, Signal, "%03.0f", 40, 178, 9, c::kCyan, [] { return G().SelectedCourse; }},
    {4, Signal, "V1", 40, 188, 9, c::kCyan},
    {5, Signal, "D%.1f", 40, 198, 9, c::kCyan, [] { return host::GetNav1DmeDistance(); }},
    {6, Always, "%1.1f G", 200, 220, 9, c::kGreen, [] { return host::GetGForce(); }},
    {7, Always, "VV %02.0f", 200, 190, 9, c::kGreen, [] { return G().VerticalSpeedFpm; }},
    {8, [] { return FiniteOr(G().RadioAltitudeFeet) < 2500; }, "RA %4.0f", 200, 200, 9, c::kGreen,
     [] { return G().RadioAltitudeFeet; }},
    {9, [] { return FiniteOr(G().RadioAltitudeFeet) < 2000; }, "DH %4.0f", 200, 210, 9, c::kGreen,
     [] { return kDecisionHeightReadout; }},
};

bool Master() { return On(G().ApMaster); }
double AltitudeHundreds() { return FiniteOr(G().ApAltitudeLockVar) / 100.0; }
double SelectedHeading() { return G().ApHeadingLockDir; }
bool HeadingRowShown() {
  return Master() && host::GetApLocHoldOn() != 1.0 && G().LnavEngaged != 1 && G().ApHeadingLock == 1;
}

// Boxes 43 x 11 at (x, y), their texts one unit below the top; fields 0
// speed, 1 vertical, 2 lateral, 3 the approach armed under heading hold.
constexpr display::Annunciation kModeBoxes[] = {
    {0, [] { return On(G().ApAirspeedHold); }, "IAS %3.0f", 10, 4, 9, c::kGreen, [] { return G().ApAirspeedHoldVar; }},
    {0, [] { return On(G().ApMachHold); }, "MACH %.2f", 10, 4, 9, c::kGreen, [] { return G().ApMachHoldVar; }},
    {1, [] { return Master() && host::GetAutopilotGlideslopeHold() == 1.0; }, "G/S1 CAP", 200, 4, 8, c::kGreen},
    {1, [] { return Master() && G().VnavEngaged == 1; }, "VNAV", 200, 4, 8, c::kGreen},
    {1, [] { return Master() && On(G().ApAltitudeLock); }, "ALT %03.0f", 200, 4, 8, c::kGreen, AltitudeHundreds},
    {1, [] { return !Master() && On(G().ApAltitudeLock); }, "ALT %03.0f", 200, 15, 8, c::kWhite, AltitudeHundreds},
    {2, [] { return Master() && host::GetApLocHoldOn() == 1.0; }, "LOC1 CAP", 10, 219, 8, c::kGreen},
    {2, [] { return Master() && G().LnavEngaged == 1; }, "LNAV", 10, 219, 9, c::kGreen},
    {2, [] { return Master() && G().ApHeadingLock == 1; }, "HDG %03.0f", 10, 219, 9, c::kGreen, SelectedHeading},
    {2, [] { return Master() && host::GetAutopilotApproachHold() == 1.0; }, "APPR", 10, 219, 9, c::kGreen},
    {2, [] { return !Master() && G().ApHeadingLock == 1; }, "HDG %03.0f", 10, 230, 9, c::kWhite, SelectedHeading},
    {3, [] { return HeadingRowShown() && host::GetAutopilotApproachHold() == 1.0; }, "APPR", 10, 230, 9, c::kWhite},
};

// Needles are held within full scale (+-127) before they are scaled.
double Needle(double value) { return std::clamp(FiniteOr(value), -127.0, 127.0); }

void DrawDeviationScales(const PfdFrame& f) {
  f.Origin();
  const gfx::Pen white(c::kWhite, 1.0f), magenta(c::kMagenta, 2.0f);
  if (Signal() && host::IsNav1Localizer()) {
    // On the line 25 units above the origin's distance from the top.
    const int line = static_cast<int>(f.origin_y) - 25;
    const Point centre[] = {{-2, line - 4}, {-2, line + 4}, {2, line + 4}, {2, line - 4}};
    f.g.DrawPolygonI(white, centre);
    for (const int x : {-50, -25, 25, 50}) f.g.DrawEllipseI(white, x - 2, line - 2, 4, 4);
    const int x = gfx::TruncToPixel(Needle(G().Nav1CdiNeedle) * 50.0 / 127.0);
    const Point diamond[] = {{x, line - 5}, {x - 5, line}, {x, line + 5}, {x + 5, line}};
    f.g.DrawPolygonI(magenta, diamond);
  }
  if (host::IsNav1GlideslopeAvailable()) {
    f.g.DrawRectangleI(white, 71, -2, 8, 4);
    for (const int y : {-38, -19, 19, 38}) f.g.DrawEllipseI(white, 73, y - 2, 4, 4);
    const int y = gfx::TruncToPixel(Needle(G().Nav1GlideslopeNeedle) * 38.0 / 127.0);
    const Point diamond[] = {{75, y - 5}, {70, y}, {75, y + 5}, {80, y}};
    f.g.DrawPolygonI(magenta, diamond);
  }
}

// The marker's box and letter: outer, middle, and any other positive value
// inner.
void DrawMarker(const PfdFrame& f) {
  const double marker = FiniteOr(host::GetSimToken354());
  if (!(marker > 0.0)) return;
  f.Bottom();
  const bool outer = marker == 1.0, middle = marker == 2.0;
  f.g.FillRectangleI(gfx::SolidBrush(outer ? c::kAmber : middle ? c::kCyan : c::kWhite), -5, -27, 10, 9);
  display::DrawScreenText(f.g, display::ArialBold(9), gfx::SolidBrush(c::kBlack), -5, -27,
                          outer ? "O" : middle ? "M" : "I");
}

double Wrapped(double heading) {
  heading = std::fmod(FiniteOr(heading), 360.0);
  return heading < 0.0 ? heading + 360.0 : heading;
}

constexpr Point kHeadingPointer[] = {{0, -8}, {-3, -16}, {3, -16}};

void DrawHeadingScale(const PfdFrame& f) {
  const double heading = Wrapped(G().AircraftHeading);
  f.Bottom();
  f.g.DrawPolygonI(gfx::Pen(c::kPenGreen, 2.0f), kHeadingPointer);
  gfx::GraphicsPath clip;
  const Point corners[] = {{-55, -10}, {55, -10}, {55, 11}, {-55, 11}};
  clip.AddPolygonI(corners, 4);
  f.g.SetClip(clip);
  const gfx::Pen wide(c::kWhite, 2.0f);
  const gfx::Font font = display::ArialBold(9);
  const gfx::SolidBrush white(c::kWhite);
  for (int k = 0; k <= 25; ++k) {
    // Each side truncates toward zero before it wraps, so the label left
    // of a heading just past north repeats (0 at k and k + 1), as the page
    // has always drawn it.
    int left = static_cast<int>(heading - k), right = static_cast<int>(heading + k);
    if (left < 0) left += 360;
    if (right >= 360) right -= 360;
    for (const auto& [value, x] : {std::pair{left, -2 * k}, std::pair{right, 2 * k}}) {
      if (value % 10 == 0) {
        f.g.DrawLineI(wide, x, 0, x, -8);
        display::DrawScreenTextF(f.g, font, white, static_cast<float>(x - 7), 2, "%02d", value / 10);
      } else if (value % 5 == 0) {
        f.g.DrawLineI(wide, x, 0, x, -4);
      }
    }
  }
  f.g.ResetClip();
  display::DrawScreenText(f.g, font, white, 60, 2, "M");

  const int bug = C17HeadingScaleOffset(G().ApHeadingLockDir, heading);
  const Point box[] = {{bug, -10},    {bug, -5},      {bug - 5, -5}, {bug - 5, -10},
                       {bug + 5, -10}, {bug + 5, -5}, {bug, -5}};
  f.g.DrawLinesI(gfx::Pen(c::kCyan, 2.0f), box);
  // At the right stop the figures stand over the bug; at the left one they
  // start at it: centred there they ran into the station's ident in the
  // data field beside them ("OLM043").
  if (bug == -55 || bug == 55) {
    display::DrawScreenTextF(f.g, display::ArialBold(7), white, static_cast<float>(bug == -55 ? bug : bug - 7), -20,
                             "%03.0f", Wrapped(G().ApHeadingLockDir));
  }
  const int course = C17HeadingScaleOffset(G().SelectedCourse, heading);
  f.g.DrawLineI(wide, course, -14, course, -6);
  f.g.DrawLineI(wide, course - 4, -10, course + 4, -10);
}

}  // namespace

std::span<const display::Annunciation> C17PfdModeBoxes() { return kModeBoxes; }

int C17HeadingScaleOffset(double selected, double heading) {
  double d = FiniteOr(selected) - FiniteOr(heading);
  d = std::fmod(d, 720.0);
  while (d > 180.0) d -= 360.0;
  while (d < -180.0) d += 360.0;
  return std::clamp(gfx::TruncToPixel(2.0 * d), -55, 55);
}

void DrawC17PfdDataFields(const PfdFrame& f) {
  f.Canvas();
  display::DrawAnnunciations(f.g, kDataFields, display::ArialBold);
  // At most 63 characters of the host's text; the empty text without a
  // station or without a text.
  const std::string ident = Signal() ? host::ReadNav1StationIdent() : std::string();
  display::DrawScreenTextF(f.g, display::ArialBold(9), gfx::SolidBrush(c::kCyan), 40, 208, "%s", ident.c_str());
}

void DrawC17PfdDeviationAndHeading(const PfdFrame& f) {
  DrawDeviationScales(f);
  DrawMarker(f);
  DrawHeadingScale(f);
}

void DrawC17PfdModes(const PfdFrame& f) {
  f.Canvas();
  const std::uint64_t shown = display::ShownAnnunciations(kModeBoxes);
  const gfx::Pen white(c::kWhite, 1.0f);
  for (std::size_t i = 0; i < std::size(kModeBoxes); ++i) {
    if ((shown >> i & 1u) == 0) continue;
    const display::Annunciation& a = kModeBoxes[i];
    f.g.DrawRectangleI(white, static_cast<int>(a.x), static_cast<int>(a.y), 43, 11);
  }
  // The texts one unit below their boxes' tops.
  display::Annunciation texts[std::size(kModeBoxes)];
  for (std::size_t i = 0; i < std::size(kModeBoxes); ++i) {
    texts[i] = kModeBoxes[i];
    texts[i].y += 1;
  }
  display::DrawAnnunciations(f.g, texts, display::ArialBold);
}

}  // namespace ovi::c17
