// The full compass rose of modes 1 and 2: card, course pointer with its
// deviation bar, TO/FROM, glideslope and the two bearing pointers.
#include <algorithm>
#include <span>

#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/nd/b737_compass.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/model/state.h"

namespace ovi::nd {

namespace {

using gfx::Point;

const guidance::State& G() { return guidance::guidance_state; }

constexpr float kRoseX = kB737NdCenterX;
constexpr float kRoseY = kRoseCenterY;

constexpr Point kAircraftSymbol[][2] = {
    {{-3, 0}, {-12, 0}}, {{-3, -12}, {-3, 12}}, {{3, 0}, {12, 0}},
    {{3, -12}, {3, 12}}, {{-3, 11}, {-10, 11}}, {{3, 11}, {10, 11}},
};
constexpr Point kPointerHead[] = {{3, -30},  {3, -35},  {6, -35},  {6, -40},  {3, -40},
                                  {3, -65},  {0, -70},  {-3, -65}, {-3, -40}, {-6, -40},
                                  {-6, -35}, {-3, -35}, {-3, -30}, {3, -30}};
constexpr Point kPointerTail[] = {{-3, 30}, {3, 30}, {3, 65}, {0, 70}, {-3, 65}, {-3, 30}};
constexpr Point kDeviationDots[] = {{-25, -3}, {-40, -3}, {20, -3}, {35, -3}};
constexpr Point kToArrow[] = {{0, -18}, {4, -14}, {-4, -14}, {0, -18}};
constexpr Point kFromArrow[] = {{0, 18}, {4, 14}, {-4, 14}, {0, 18}};

// The glideslope scale has a grid of its own.
constexpr Canvas kGlideslopeGrid{266.0f, 230.0f};
constexpr Point kGlideslopeDots[] = {{120, -15}, {120, -30}, {120, 10}, {120, 25}};
constexpr Point kGlideslopeCentre[] = {{117, -2}, {127, -2}, {127, 4}, {117, 4}, {117, -2}};

constexpr Point kAdfHead[] = {{0, -90}, {5, -82}, {-5, -82}};
constexpr Point kAdfLines[][2] = {{{0, -60}, {0, -90}}, {{0, 60}, {0, 90}}, {{0, 81}, {8, 87}}, {{0, 81}, {-8, 87}}};
constexpr Point kVorHead[] = {{0, -60}, {-6, -60}, {-6, -65}, {-3, -65}, {-3, -85}, {0, -90},
                              {3, -85}, {3, -65},  {6, -65},  {6, -60},  {0, -60}};
constexpr Point kVorTail[] = {{0, 60}, {3, 65},  {3, 80},   {8, 85},  {8, 90}, {0, 85},
                              {-8, 90}, {-8, 85}, {-3, 80}, {-3, 65}, {0, 60}};
constexpr Point kVorLines[][2] = {{{0, 60}, {0, 90}}, {{0, 81}, {8, 88}}, {{0, 81}, {-8, 88}}};

using display::DrawSegments;

void DrawDots(gfx::Graphics& g, const gfx::Pen& pen, std::span<const Point> corners) {
  display::DrawCircles(g, pen, corners, 5);
}

void DrawCard(const B737NdFrame& f, const gfx::Pen& white2) {
  const gfx::Font label_font = ArialBold(12.0f);
  const gfx::SolidBrush white(colour::kWhite);
  const double heading = FiniteOr(G().AircraftHeading);
  for (int a = 0; a < 360; a += 5) {
    f.UseOrigin(kRoseX, kRoseY, a - heading);
    f.g.DrawLineI(white2, 0, -80, 0, a % 10 == 0 ? -65 : -70);
    if (a % 30 == 0) {
      const int label = a / 10;
      DrawScreenTextF(f.g, label_font, white, label == 27 ? -7.0f : -8.0f, -60.0f, "%d", label);
    }
  }
  for (int a = 0; a < 360; a += 45) {
    f.UseOrigin(kRoseX, kRoseY, a);
    f.g.DrawLineI(white2, 0, -80, 0, -95);
  }
}

void DrawCoursePointer(const B737NdFrame& f, const CourseSource& source, bool bar, const gfx::Pen& white2) {
  const gfx::Pen magenta2(colour::kMagenta, 2.0f);
  f.UseOrigin(kRoseX, kRoseY, source.rotation);
  f.g.DrawLinesI(white2, kPointerHead);
  DrawDots(f.g, white2, kDeviationDots);
  if (bar) {
    const int o = source.offset;
    const Point outline[] = {{o - 3, -27}, {o + 3, -27}, {o + 3, 27}, {o - 3, 27}};
    f.g.DrawPolygonI(magenta2, outline);
  }
  f.g.DrawLinesI(white2, kPointerTail);
}

void DrawGlideslope(const B737NdFrame& f, const gfx::Pen& white2) {
  if (host::IsNav1GlideslopeAvailable() == 0) return;
  const CanvasScale grid = ScaleToSurface(kGlideslopeGrid, f.display.width, f.display.height);
  nd::UseOrigin(f.g, grid, 129.0f, 114.0f);
  DrawDots(f.g, white2, kGlideslopeDots);
  f.g.DrawLinesI(white2, kGlideslopeCentre);
  if (host::GetSimToken852() == 0.0) return;
  const int y = gfx::TruncToPixel(std::clamp(FiniteOr(G().Nav1GlideslopeNeedle), -127.0, 127.0) * 50.0 / 171.0);
  const Point diamond[] = {{117, y}, {122, y - 5}, {127, y}, {122, y + 5}};
  f.g.FillPolygonI(gfx::SolidBrush(colour::kMagenta), diamond);
}

void DrawBearingPointers(const B737NdFrame& f) {
  const double heading = FiniteOr(G().AircraftHeading);
  if (G().AdfSignal > 1.0) {
    const gfx::Pen blue2(colour::kBlue, 2.0f);
    f.UseOrigin(kRoseX, kRoseY, FiniteOr(G().AdfRelativeBearing) + 360.0);
    f.g.FillPolygonI(gfx::SolidBrush(colour::kBlue), kAdfHead);
    DrawSegments(f.g, blue2, kAdfLines);
  }
  if (host::GetNav1Signal() > 0.0) {
    const gfx::Pen green2(colour::kLightGreen, 2.0f);
    const gfx::Pen green1(colour::kLightGreen, 1.0f);
    f.UseOrigin(kRoseX, kRoseY, Nav1StationBearing() - heading);
    f.g.DrawLinesI(green2, kVorHead);
    f.g.DrawLineI(green1, 0, -60, 0, -90);
    f.g.DrawLinesI(green2, kVorTail);
    DrawSegments(f.g, green1, kVorLines);
  }
}

}  // namespace

void DrawFullCompassRose(const B737NdFrame& f) {
  const gfx::Pen white2(colour::kWhite, 2.0f);
  f.UseOrigin(kRoseX, kRoseY);
  DrawSegments(f.g, white2, kAircraftSymbol);
  DrawCard(f, white2);

  const bool radio = f.mode == 2;
  const bool received = radio && host::GetNav1Signal() > 0.0;
  const CourseSource source = radio ? RadioCourseSource() : RouteCourseSource();
  DrawCoursePointer(f, source, !radio || received, white2);
  if (received) {
    f.UseOrigin(kRoseX, kRoseY, source.rotation);
    f.g.DrawLinesI(white2, Nav1ToStation() ? std::span<const Point>(kToArrow) : std::span<const Point>(kFromArrow));
  }
  if (!radio) return;
  DrawGlideslope(f, white2);
  if (model::model_state.EfisAuxFlag == 1) DrawBearingPointers(f);
}

}  // namespace ovi::nd
