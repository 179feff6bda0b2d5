// The two FIX INFO reference fixes with their radials and distance rings,
// on both navigation displays.
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "src/display/map_labels.h"
#include "src/display/map_symbols.h"
#include "src/flightplan/state.h"
#include "src/guidance/lateral.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/instruments/nd/map_view.h"
#include "src/instruments/nd/md11_nd.h"
#include "src/instruments/nd/shared_layers.h"

namespace ovi::nd {

namespace {

constexpr double kFarthestFixNm = 380.0;
constexpr double kRadialLabelOffset = 25.0;  // canvas units from the fix
constexpr double kTunedStationMarginNm = 5.0;
constexpr int kIdentChars = 6;  // what the MD-11 ident shows of a longer text

// The MD-11 display leaves the station tuned on the first radio to its own
// station layer: a fix with its ident at about its DME distance.
struct TunedStation {
  bool received = false;
  std::string ident;
};

TunedStation ReadTunedStation() {
  TunedStation t;
  if (host::GetNav1Signal() > 0.0 && host::IsNav1Localizer() == 0) {
    t.received = true;
    t.ident = host::ReadNav1StationIdent();
  }
  return t;
}

// A radial as the map draws it: 360 (how an entered 000 is stored) is 0,
// and everything lies within 0 up to 360.
double MapRadial(double radial) {
  double a = std::fmod(radial, 360.0);
  if (a < 0.0) a += 360.0;
  return a;
}

class FixInfoOverlay {
 public:
  FixInfoOverlay(const MapView& v, const FixInfoStyle& style)
      : v_(v),
        g_(*v.g),
        style_(style),
        md11_(style.md11),
        green_(style.colour),
        white_(colour::kWhite),
        magenta_(colour::kMagenta),
        label_font_(ArialBold(8.0f)),
        ident_font_(ArialBold(10.0f)),
        solid_(style.colour, 1.0f),
        dashed_(style.colour, 1.0f) {
    dashed_.SetDashStyle(gfx::DashStyle::Dash);
    if (md11_) tuned_ = ReadTunedStation();
    radial_reference_ = v.plan ? 0.0 : FiniteOr(guidance::guidance_state.AircraftHeading);
  }

  void Fix(const model::FixInfoRecord& fix);

 private:
  void Symbol(const model::FixInfoRecord& fix, const gfx::Point& at);
  void RingLabel(double distance, const gfx::Point& at, int r);
  void Radial(double radial, double d, const gfx::Point& at, bool tuned);
  void RadialLine(gfx::ARGB colour, double width, double to_x, const char* format, double value, double label_x);

  const MapView& v_;
  gfx::Graphics& g_;
  FixInfoStyle style_;
  bool md11_;
  gfx::SolidBrush green_, white_, magenta_;
  gfx::Font label_font_, ident_font_;
  gfx::Pen solid_, dashed_;
  TunedStation tuned_;
  double radial_reference_ = 0.0;
};

void FixInfoOverlay::Symbol(const model::FixInfoRecord& fix, const gfx::Point& at) {
  const int x = at.X, y = at.Y;
  if (!md11_) {
    // The B737 passes style 1 as the overlay has always done: its symbol is
    // blue (a triangle has no green), the circle, rings and radials green.
    if (fix.kind == "V" || fix.kind == "N")
      display::DrawMapSymbol(g_, x - 2, y - 4, display::kSymbolVortac, -99, 1.0, 1.0, style_.navaid_style, v_.range);
    else
      display::DrawMapSymbol(g_, x, y - 3, display::kSymbolIntersection, -99, 1.0, 1.0, style_.fix_style, v_.range);
    return;
  }
  // The page stores the database's kinds, so an airport arrives as "APT".
  if (fix.kind == "APT" || fix.kind == "A") {
    g_.DrawEllipseI(gfx::Pen(colour::kWhite, 2.0f), x - 4, y - 4, 8, 8);
  } else if (fix.kind == "V") {
    display::DrawMapSymbol(g_, x - 2, y - 3, display::kSymbolVortac, -99, 1.0, 1.0, display::kStyleDefault,
                           v_.range);
  } else if (fix.kind == "N") {
    const gfx::Pen pen(colour::kWhite, 1.0f);
    g_.DrawEllipseI(pen, x - 5, y - 5, 10, 10);
    g_.DrawEllipseI(pen, x - 3, y - 3, 6, 6);
  } else {
    display::DrawMapSymbol(g_, x, y - 3, display::kSymbolIntersection, -99, 1.0, 1.0, display::kStyleDefault,
                           v_.range);
  }
  // Drawn again for every row, and a fix may be a navaid or a route
  // waypoint the map names already: written once.
  const std::string_view ident = std::string_view(fix.ident).substr(0, kIdentChars);
  const gfx::PointF text(static_cast<gfx::REAL>(x + 8), static_cast<gfx::REAL>(y - 7));
  display::WriteMapLabel(g_, fix.ident, x, y, display::MapText{ident, ident_font_, text}, white_);
}

// The distance label beside its ring, where the ring leaves room for it:
// under, right of, above or left of the ring, the first of these that the
// ring's place allows; where a text of the map stands there, the next of
// the four that is free.
void FixInfoOverlay::RingLabel(double distance, const gfx::Point& at, int r) {
  char text[kScreenTextBuffer];
  std::snprintf(text, sizeof text, "%03.1f", distance);
  const double n = static_cast<double>(std::strlen(text));
  const double x = at.X, y = at.Y;
  auto point = [](double px, double py) { return gfx::PointF(static_cast<gfx::REAL>(px), static_cast<gfx::REAL>(py)); };
  const gfx::PointF places[] = {point(x - 2.0 * n, y + r + 1.0), point(x + r + 3.0, y - 7.0),
                                point(x - 2.0 * n, y - r - 9.0), point(x - r - 4.5 * n, y - 7.0)};
  std::size_t first = 3;
  if (y + r <= style_.label_below_from)
    first = 0;  // under a ring wholly above the reference point
  else if (x + r < style_.label_right_before)
    first = 1;
  else if (y - r > style_.label_above_after)
    first = 2;
  std::array<gfx::PointF, 3> others;
  std::size_t k = 0;
  for (std::size_t i = 0; i < 4; ++i)
    if (i != first) others[k++] = places[i];
  display::WriteMapText(g_, display::MapRank::kFixInfo, display::MapText{text, label_font_, places[first]}, green_,
                        display::MapTextWay{.other_places = others});
}

void FixInfoOverlay::RadialLine(gfx::ARGB colour, double width, double to_x, const char* format, double value,
                                double label_x) {
  gfx::Pen pen(colour, static_cast<gfx::REAL>(width));
  pen.SetDashStyle(gfx::DashStyle::Dash);
  g_.DrawLineI(pen, 0, 0, gfx::TruncToPixel(to_x), 0);
  DrawMapTextF(g_, display::MapRank::kFixInfo, label_font_, gfx::SolidBrush(colour), static_cast<float>(label_x), 0.0f,
               format, value);
}

// A line from the fix along the radial, turned so that its label stays
// upright, with the radial's number beside it (on the MD-11 also the
// reciprocal the other way).
void FixInfoOverlay::Radial(double radial, double d, const gfx::Point& at, bool tuned) {
  const double a = MapRadial(radial);
  const double length = (style_.radial_nm + (style_.radial_beyond_range ? v_.range : 0.0)) * v_.pixels_per_nm;
  double lb = kRadialLabelOffset;
  if (d > v_.range) lb = std::fmax(kRadialLabelOffset, ((d - v_.range) * 0.5 + v_.range) * v_.pixels_per_nm);
  bool left;
  if (style_.side_by_modulo) {
    double t = std::fmod(a - radial_reference_, 360.0);
    if (t < 0.0) t += 360.0;
    left = t >= 180.0;
  } else {
    left = guidance::TurnDirection(a, radial_reference_) == 1;
  }
  v_.UsePlainAt(v_.origin_x + at.X, v_.origin_y + at.Y, a - radial_reference_ + (left ? 90.0 : -90.0));
  if (!md11_) {
    if (left)
      RadialLine(style_.colour, 1.0, -length, "%03.0f", a, -lb - 10.0);
    else
      RadialLine(style_.colour, 1.0, length, "%03.0f", a, lb);
    return;
  }
  double reciprocal = a + 180.0;
  if (reciprocal >= 360.0) reciprocal -= 360.0;
  const gfx::ARGB colour = tuned ? colour::kMagenta : colour::kWhite;
  // With the radial to the left it runs toward -x and is drawn first;
  // otherwise the reciprocal does.
  if (left) {
    RadialLine(colour, 2.0, -length, "%03.0fR", a, -lb - 10.0);
    RadialLine(colour, 2.0, length, "%03.0f", reciprocal, lb - 10.0);
  } else {
    RadialLine(colour, 2.0, -length, "%03.0f", reciprocal, -lb - 10.0);
    RadialLine(colour, 2.0, length, "%03.0fR", a, lb - 10.0);
  }
}

void FixInfoOverlay::Fix(const model::FixInfoRecord& fix) {
  if (fix.ident.empty()) return;
  for (const model::FixInfoRecord::RadialDistance& row : fix.rows) {
    if (style_.rows_need_distance && FiniteOr(row.distance) == 0.0) continue;
    v_.UsePlain();
    const MapPlace p = v_.Place(fix.latitude, fix.longitude);
    if (!p.ok || p.distance > kFarthestFixNm) continue;
    const gfx::Point at = v_.PlaceInt(p);
    const bool tuned = md11_ && tuned_.received && std::string_view(fix.ident) == tuned_.ident &&
                       std::fabs(p.distance - FiniteOr(guidance::guidance_state.Nav1DmeDistance)) <
                           kTunedStationMarginNm;
    // The symbol and circle are drawn again for every row, at one place.
    if (!tuned) {
      Symbol(fix, at);
      g_.DrawEllipseI(solid_, at.X - 8, at.Y - 8, 16, 16);
    }
    const double distance = FiniteOr(row.distance);
    if (distance > 0.0 || (style_.rings_at_zero && distance == 0.0)) {
      const double ring = distance * v_.pixels_per_nm;
      const int r = gfx::TruncToPixel(ring);
      g_.DrawEllipseI(dashed_, at.X - r, at.Y - r, gfx::TruncToPixel(2.0 * ring), gfx::TruncToPixel(2.0 * ring));
      if (!md11_) RingLabel(distance, at, r);
    }
    const double radial = FiniteOr(row.radial);
    if (radial != 0.0) Radial(radial, p.distance, at, tuned);
  }
}

}  // namespace

void DrawFixInfoOnMap(const MapView& v, const FixInfoStyle& style) {
  if (!v.Usable()) return;
  v.SetMapScale();
  FixInfoOverlay overlay(v, style);
  const flightplan::State& f = flightplan::flightplan_state;
  for (int n = 1; n <= 2; ++n)
    if (const model::FixInfoRecord* fix = f.FixInfoTable.At(n)) overlay.Fix(*fix);
}

void DrawFixInfoOverlay(const B737NdFrame& f) { DrawFixInfoOnMap(B737MapView(f), kB737FixInfo); }

void DrawMd11NdFixInfo(const display::GaugeDisplay& display, gfx::Graphics& g) {
  DrawFixInfoOnMap(Md11MapView(display, g), kMd11FixInfo);
}

}  // namespace ovi::nd
