// The compass layers of the MD-11 display: the heading arc of MAP, the
// all-round inner scale of VOR and APPR (and any other mode value), and the
// PLAN rose. Each leaves a clip set that keeps the map layers drawn after it
// out of the data-block corners; the frame removes it before the blocks.
#include <algorithm>
#include <cmath>

#include "src/display/state.h"
#include "src/display/map_labels.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/nd/md11_nd.h"
#include "src/instruments/nd/state.h"
#include "src/model/state.h"

namespace ovi::nd {

namespace {

using gfx::Point;

const guidance::State& G() { return guidance::guidance_state; }

constexpr Point kAircraft[] = {{0, -15}, {2, -13},  {2, -5},    {14, -1},  {14, 3},   {2, 3},
                               {2, 13},  {6, 15},   {6, 17},    {-6, 17},  {-6, 15},  {-2, 13},
                               {-2, 3},  {-14, 3},  {-14, -1},  {-2, -5},  {-2, -13}, {0, -15}};
constexpr Point kMapHeadingBug[] = {{0, -153}, {5, -158}, {10, -158}, {10, -150},
                                    {-10, -150}, {-10, -158}, {-5, -158}, {0, -153}};
constexpr Point kInnerHeadingBug[] = {{0, -78}, {4, -82}, {8, -82}, {8, -75}, {-8, -75}, {-8, -82}, {-4, -82}, {0, -78}};
constexpr Point kTrackDiamond[] = {{0, -160}, {4, -154}, {0, -148}, {-4, -154}, {0, -160}};
constexpr Point kLubberDiamond[] = {{0, -74}, {3, -70}, {0, -66}, {-3, -70}, {0, -74}};
constexpr Point kDeviationDots[] = {{-27, -2}, {-52, -2}, {23, -2}, {48, -2}};
constexpr Point kCourseHead[] = {{0, -65}, {3, -57}, {-3, -57}};

// Bearing pointers: the blue single shaft (left) and the green double shaft
// (right), long within 55 degrees of the heading on the MAP arc, short
// otherwise; the inner scale of the other modes adds their tails.
constexpr Segment kLeftLong[] = {{{0, -70}, {0, -145}}, {{0, -135}, {-4, -130}}, {{0, -135}, {4, -130}}};
constexpr Segment kLeftShort[] = {{{0, -72}, {0, -40}}, {{0, -60}, {-4, -55}}, {{0, -60}, {4, -55}}};
constexpr Segment kLeftTail[] = {{{0, 72}, {0, 42}}, {{0, 57}, {-4, 62}}, {{0, 57}, {4, 62}}};
constexpr Segment kRightLong[] = {{{0, -133}, {-4, -128}}, {{0, -133}, {4, -128}}, {{-2, -130}, {-2, -70}},
                                  {{2, -130}, {2, -70}},   {{-2, -70}, {2, -70}}};
constexpr Segment kRightShort[] = {{{0, -72}, {0, -50}},  {{0, -55}, {-4, -50}}, {{0, -55}, {4, -50}},
                                   {{-2, -53}, {-2, -37}}, {{2, -53}, {2, -37}}, {{-2, -37}, {2, -37}},
                                   {{0, -37}, {0, -33}}};
constexpr Segment kRightTail[] = {{{0, 35}, {0, 40}},   {{0, 40}, {-4, 45}}, {{0, 40}, {4, 45}},
                                  {{-2, 57}, {-2, 42}}, {{2, 57}, {2, 42}},  {{2, 57}, {-2, 57}},
                                  {{0, 57}, {0, 72}}};

// Within this many degrees of the heading the MAP arc's pointers are long.
constexpr double kLongPointerWindow = 55.0;
// The MAP arc's heading scale shows this many degrees either side.
constexpr double kScaleWindow = 70.0;

void DrawAircraft(const Md11NdFrame& f, float x, float y, double rotation) {
  f.UseOrigin(x, y, rotation);
  f.g.DrawLinesI(gfx::Pen(colour::kWhite, 2.0f), kAircraft);
  f.g.FillEllipseI(gfx::SolidBrush(colour::kWhite), -2, -3, 4, 4);
  // Its fuselage, wings and tail.
  for (const gfx::RectF& part : {gfx::RectF(-3.0f, -16.0f, 6.0f, 34.0f), gfx::RectF(-15.0f, -2.0f, 30.0f, 6.0f),
                                 gfx::RectF(-7.0f, 14.0f, 14.0f, 4.0f)})
    display::ClaimMapBox(f.g, display::MapRank::kMark, part);
}

double Wrapped(double degrees) {
  const double w = std::fmod(FiniteOr(degrees), 360.0);
  return w < 0.0 ? w + 360.0 : w;
}

}  // namespace

Md11Pointers Md11BearingPointers(int mode) {
  const guidance::State& s = G();
  const State& nd = nd_state;
  const double heading = FiniteOr(s.AircraftHeading);
  Md11Pointers p;
  const bool vor1 = nd.Md11NdShowVor1Pointer == 1 && host::GetNav1Signal() > 0.0;
  // The MAP arc gives the ADF switch the first word and wants a signal above
  // 1.0; the inner scale of the other modes asks the first radio first and
  // takes any ADF signal.
  const bool map = mode == kMd11NdModeMap;
  const bool adf = nd.Md11NdShowAdf1Pointer == 1 && FiniteOr(s.AdfSignal) > (map ? 1.0 : 0.0);
  const double adf_turn = Wrapped(FiniteOr(s.AdfRelativeBearing) + 360.0);
  const double vor_turn = Wrapped(display::Nav1StationBearing() - heading);
  if (map) {
    if (nd.Md11NdShowAdf1Pointer == 1) {
      p.left = adf;
      p.left_turn = adf_turn;
    } else if (vor1) {
      p.left = true;
      p.left_turn = vor_turn;
    }
  } else if (vor1) {
    p.left = true;
    p.left_turn = vor_turn;
  } else if (adf) {
    p.left = true;
    p.left_turn = adf_turn;
  }
  p.right = nd.Md11NdShowVor2Pointer == 1 && host::GetNav2Signal() > 0.0;
  double second = FiniteOr(s.SecondBearingPointer) + heading;
  if (second >= 360.0) second -= 360.0;
  p.right_turn = Wrapped(second - heading);
  return p;
}

bool Md11LongPointer(double turn) { return std::fabs(RelativeAngle(turn, 0.0)) <= kLongPointerWindow; }

bool Md11ScaleMarkShown(int degrees, double heading) {
  const double r = degrees - heading;
  return (r >= 0.0 && r <= kScaleWindow) || (r >= -kScaleWindow && r <= 0.0) ||
         (r >= 360.0 - kScaleWindow && r <= 360.0) || (r >= -360.0 && r <= -360.0 + kScaleWindow);
}

void DrawMd11NdPlanRose(const Md11NdFrame& f) {
  const float cx = static_cast<float>(f.center_x);
  // The clip is laid about the arc modes' aircraft point (y 178), whatever
  // the PLAN centre, as the display has always cut it: its region runs
  // under the arc of radius 150 and leaves the lower corners to the blocks.
  f.UseOrigin(cx, static_cast<float>(kMd11ArcCenterY));
  gfx::GraphicsPath clip;
  clip.AddArc(-150.0f, -150.0f, 300.0f, 300.0f, 217.0f, 106.0f);
  const gfx::PointF rest[] = {{120, -90}, {120, 20}, {83, 20},   {83, 80},   {-60, 80},
                              {-60, 40},  {-83, 40}, {-83, 20},  {-120, 20}, {-120, -90}};
  clip.AddLines(rest, 10);
  clip.CloseFigure();
  f.g.SetClip(clip);

  const float cy = static_cast<float>(f.center_y);
  f.UseOrigin(cx, cy);
  const gfx::Pen white2(colour::kWhite, 2.0f);
  f.g.DrawArcI(white2, -94, -94, 188, 188, 5.0f, 170.0f);
  f.g.DrawArcI(white2, -94, -94, 188, 188, 185.0f, 170.0f);
  f.g.DrawArcI(white2, -47, -47, 94, 94, 5.0f, 168.0f);
  f.g.DrawArcI(white2, -47, -47, 94, 94, 187.0f, 170.0f);

  // The aircraft where it is from the map's reference: at the centre while
  // the map is centred on it.
  Point at(0, 0);
  const MapView v = Md11MapView(f.display, f.g);
  if (v.pixels_per_nm > 0.0) {
    v.SetMapScale();
    const GeoPoint aircraft = AircraftPosition();
    const MapPlace p = v.Place(aircraft.latitude, aircraft.longitude, 0.0);
    if (p.ok) at = v.PlaceInt(p);
  }
  DrawAircraft(f, cx + static_cast<float>(at.X), cy + static_cast<float>(at.Y), FiniteOr(G().AircraftHeading));
}

namespace {

void DrawPointers(const Md11NdFrame& f, const Md11Pointers& p, bool inner) {
  const float cx = static_cast<float>(f.center_x), cy = static_cast<float>(f.center_y);
  if (p.left) {
    const gfx::Pen blue(colour::kBlue, 2.0f);
    f.UseOrigin(cx, cy, p.left_turn);
    if (inner) {
      DrawSegments(f.g, blue, kLeftShort);
      DrawSegments(f.g, blue, kLeftTail);
    } else {
      DrawSegments(f.g, blue, Md11LongPointer(p.left_turn) ? std::span<const Segment>(kLeftLong) : kLeftShort);
    }
  }
  if (p.right) {
    const gfx::Pen green(colour::kGreen, 2.0f);
    f.UseOrigin(cx, cy, p.right_turn);
    if (inner) {
      DrawSegments(f.g, green, kRightShort);
      DrawSegments(f.g, green, kRightTail);
    } else {
      DrawSegments(f.g, green, Md11LongPointer(p.right_turn) ? std::span<const Segment>(kRightLong) : kRightShort);
    }
  }
}

void DrawMapArc(const Md11NdFrame& f, double heading) {
  const float cx = static_cast<float>(f.center_x), cy = static_cast<float>(f.center_y);
  const gfx::Pen white2(colour::kWhite, 2.0f);
  const gfx::SolidBrush white(colour::kWhite);

  f.UseOrigin(cx, cy, FiniteOr(G().ApHeadingLockDir) - heading);
  f.g.FillPolygonI(white, kMapHeadingBug);
  display::ClaimMapBox(f.g, display::MapRank::kFixed, gfx::RectF(-11.0f, -159.0f, 22.0f, 10.0f));
  gfx::Pen dotted(colour::kWhite, 2.0f);
  dotted.SetDashStyle(gfx::DashStyle::Dot);
  f.g.DrawLineI(dotted, 0, 0, 0, -153);

  f.UseOrigin(cx, cy);
  f.g.DrawEllipseI(white2, -150, -150, 300, 300);
  f.g.DrawEllipseI(white2, -75, -75, 150, 150);
  gfx::GraphicsPath clip;
  clip.AddArc(-150.0f, -151.0f, 300.0f, 300.0f, 217.0f, 106.0f);
  const gfx::PointF right[] = {{120, -90}, {120, 10}, {83, 10}, {83, 67}, {34, 67}};
  clip.AddLines(right, 5);
  clip.AddArc(-75.0f, -75.0f, 151.0f, 151.0f, 64.0f, 85.0f);
  const gfx::PointF left[] = {{-65, 38}, {-84, 38}, {-83, 38}, {-83, 10}, {-120, 10}, {-120, -90}};
  clip.AddLines(left, 6);
  clip.CloseFigure();
  f.g.SetClip(clip);

  const gfx::Pen white1(colour::kWhite, 1.0f);
  const gfx::Font label = DaReredBold(10.0f);
  for (int a = 0; a < 360; a += 5) {
    if (!Md11ScaleMarkShown(a, heading)) continue;
    f.UseOrigin(cx, cy, a - heading);
    f.g.DrawLineI(white1, 0, -143, 0, -150);
    if (a % 10 == 0) DrawScreenTextF(f.g, label, white, -7.0f, -144.0f, "%02d", a / 10);
  }

  if (f.range == 10.0 && model::model_state.NdShowTraffic == 1) {
    const double ppn = f.PixelsPerNm();
    display::display_state.MapPixelsPerNm = ppn;
    const gfx::Font star = ArialBold(15.0f);
    for (int a = 0; a < 360; a += 30) {
      f.UseOrigin(cx, cy, a - heading);
      display::DrawMapSymbolText(f.g, "*", star, gfx::PointF(0.0f, static_cast<float>(2.0 * ppn - 5.0)), white);
    }
  }

  f.UseOrigin(cx, 189.0f, FiniteOr(G().GroundTrack) - heading);
  f.g.DrawLinesI(gfx::Pen(colour::kGreen, 2.0f), kTrackDiamond);

  DrawPointers(f, Md11BearingPointers(f.mode), false);
}

void DrawInnerScale(const Md11NdFrame& f, double heading) {
  const float cx = static_cast<float>(f.center_x), cy = static_cast<float>(f.center_y);
  const gfx::Pen white2(colour::kWhite, 2.0f);
  const gfx::Pen white1(colour::kWhite, 1.0f);
  const gfx::SolidBrush white(colour::kWhite);

  f.UseOrigin(cx, cy);
  f.g.DrawArcI(white2, -150, -150, 300, 300, 230.0f, 82.0f);
  gfx::GraphicsPath clip;
  clip.AddEllipse(-150.0f, -151.0f, 300.0f, 300.0f);
  f.g.SetClip(clip);
  f.g.DrawEllipseI(white2, -75, -75, 150, 150);

  const gfx::Font label = DaReredBold(9.0f);
  for (int a = 0; a < 360; a += 5) {
    f.UseOrigin(cx, cy, a - heading);
    if (a % 30 == 0) {
      f.g.DrawLineI(white1, 0, -73, 0, -75);
      DrawScreenTextF(f.g, label, white, -7.0f, -74.0f, "%02d", a / 10);
    } else {
      f.g.DrawLineI(white1, 0, a % 10 == 0 ? -67 : -71, 0, -75);
    }
  }

  f.UseOrigin(cx, cy, FiniteOr(G().ApHeadingLockDir) - heading);
  f.g.FillPolygonI(white, kInnerHeadingBug);
  display::ClaimMapBox(f.g, display::MapRank::kFixed, gfx::RectF(-9.0f, -83.0f, 18.0f, 9.0f));
  f.UseOrigin(cx, cy);
  f.g.DrawLinesI(gfx::Pen(colour::kGreen, 2.0f), kLubberDiamond);
  DrawPointers(f, Md11BearingPointers(f.mode), true);

  // Course pointer, deviation bar and TO/FROM.
  const gfx::Pen magenta2(colour::kMagenta, 2.0f);
  f.UseOrigin(cx, cy, FiniteOr(G().SelectedCourse) - heading);
  for (const Point& d : kDeviationDots) f.g.DrawEllipseI(white1, d.X, d.Y, 4, 4);
  f.g.FillPolygonI(gfx::SolidBrush(colour::kMagenta), kCourseHead);
  f.g.DrawLineI(magenta2, 0, -30, 0, -60);
  const bool signal = host::GetNav1Signal() > 0.0;
  const bool bar = (f.mode == kMd11NdModeVor && signal) ||
                   (f.mode == kMd11NdModeAppr && signal && host::IsNav1Localizer() != 0);
  if (bar) {
    const int x = Md11DeviationOffset();
    f.g.DrawLineI(magenta2, x, -30, x, 30);
    if (f.mode == kMd11NdModeVor) {
      const bool to = display::Nav1ToStation();
      const Point up[] = {{x, -32}, {x + 3, -24}, {x - 3, -24}};
      const Point down[] = {{x, 32}, {x + 3, 24}, {x - 3, 24}};
      f.g.FillPolygonI(white, to ? std::span<const Point>(up) : std::span<const Point>(down));
    }
  }
  f.g.DrawLineI(magenta2, 0, 30, 0, 60);
}

}  // namespace

int Md11DeviationOffset() {
  // The needle's full scale is +-127: a needle beyond it (or no number)
  // would carry the bar off the dots.
  const double needle = std::clamp(FiniteOr(G().Nav1CdiNeedle), -127.0, 127.0);
  return gfx::TruncToPixel(needle * 0.39370078740157477);
}

void DrawMd11NdCompassArc(const Md11NdFrame& f) {
  const double heading = FiniteOr(G().AircraftHeading);
  DrawAircraft(f, static_cast<float>(f.center_x), static_cast<float>(f.center_y), 0.0);
  if (f.mode == kMd11NdModeMap) {
    DrawMapArc(f, heading);
  } else {
    DrawInnerScale(f, heading);
  }
}

}  // namespace ovi::nd
