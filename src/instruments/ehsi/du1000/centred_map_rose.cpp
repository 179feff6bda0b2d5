// The north-up rose of the centred map (mode 2): two fixed range circles and
// the cardinal letters with their arrowheads. The map under it keeps the
// 234-unit scale of the arc, so the circles stand for 140/234 and 70/234 of
// the range.
#include "src/display/kit.h"
#include "src/instruments/ehsi/du1000/du1000.h"

namespace ovi::ehsi {

namespace {

using display::colour::kGreen;
using display::colour::kWhite;

struct CardinalLetter {
  const char* text;
  gfx::PointF at;
};
constexpr CardinalLetter kLetters[] = {
    {"N", {5.0f, -135.0f}}, {"E", {123.0f, -20.0f}}, {"W", {-137.0f, -20.0f}}, {"S", {5.0f, 122.0f}}};

constexpr Segment kArrowheadLines[] = {{{-5, -132}, {0, -137}}, {{0, -120}, {0, -137}}, {{5, -132}, {0, -137}}};
constexpr Shape kArrowhead{kGreen, 2.0f, kArrowheadLines, {}};

}  // namespace

void DrawDu1000CentredMapRose(const display::GaugeDisplay& display, gfx::Graphics& g) {
  RoseFrame f = Du1000RoseFrame(display, g, kDu1000RoseX, kDu1000RoseY);
  f.heading = 0.0;  // north up
  f.At();
  const gfx::Pen white(kWhite, 2.0f);
  g.DrawEllipseI(white, -140, -140, 280, 280);
  g.DrawEllipseI(white, -70, -70, 140, 140);
  const gfx::Font font = display::ArialBold(15.0f);
  const gfx::SolidBrush green(kGreen);
  for (const CardinalLetter& l : kLetters) display::DrawScreenText(g, font, green, l.at.X, l.at.Y, l.text);
  for (double rotation : {0.0, 90.0, 180.0, 270.0}) DrawShapeToward(f, rotation, kArrowhead);
}

}  // namespace ovi::ehsi
