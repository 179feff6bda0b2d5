// The B777 PFD's heading arc: the top of a compass circle of radius 130
// about (115, 360), below the canvas, with the track line, the selected
// heading's marker and readout, and the compass scale of the EHSIs' kit
// with this display's numbers.
#include "src/guidance/state.h"
#include "src/instruments/efs/b777/b777_pfd.h"
#include "src/instruments/ehsi/kit.h"

namespace ovi::efs {

namespace {

using display::FiniteOr;
using gfx::Point;
namespace c = b777_colour;

constexpr float kArcY = 360.0f;

// Marks every 5 degrees within 55 of the heading; labels every 10 in tens
// ("09", "27", the north one "0"), those of multiples of 30 larger and 3
// units further left.
constexpr ehsi::CompassLabel kLabels[] = {
    {0, "0", -6}, {10, "01", -6}, {20, "02", -6}, {30, "03", -9}, {40, "04", -6}, {50, "05", -6},
    {60, "06", -9}, {70, "07", -6}, {80, "08", -6}, {90, "09", -9}, {100, "10", -6}, {110, "11", -6},
    {120, "12", -9}, {130, "13", -6}, {140, "14", -6}, {150, "15", -9}, {160, "16", -6}, {170, "17", -6},
    {180, "18", -9}, {190, "19", -6}, {200, "20", -6}, {210, "21", -9}, {220, "22", -6}, {230, "23", -6},
    {240, "24", -9}, {250, "25", -6}, {260, "26", -6}, {270, "27", -9}, {280, "28", -6}, {290, "29", -6},
    {300, "30", -9}, {310, "31", -6}, {320, "32", -6}, {330, "33", -9}, {340, "34", -6}, {350, "35", -6},
};
constexpr ehsi::CompassScale kScale{.step = 5,
                                    .major_every = 30,
                                    .label_every = 10,
                                    .tick_radius = 127,
                                    .minor_outer = 130,
                                    .major_outer = 130,
                                    .window = 55.0,
                                    .font = display::ArialBold,
                                    .font_size = 7.0f,
                                    .label_x_one_digit = 0.0f,
                                    .label_x_two_digits = 0.0f,
                                    .label_y = -127.0f,
                                    .upright_radius = 0.0f,
                                    .tick_width = 1.0f,
                                    .labels = kLabels,
                                    .major_font_size = 10.0f};

constexpr Point kLubber[] = {{0, -130}, {3, -136}, {-3, -136}, {0, -130}};
constexpr Point kHeadingMarker[] = {{0, -130},  {3, -134},  {5, -134},  {5, -130},
                                    {-5, -130}, {-5, -134}, {-3, -134}, {0, -130}};

}  // namespace

void DrawB777HeadingArc(const B777Frame& f) {
  const guidance::State& s = guidance::guidance_state;
  const ehsi::RoseFrame rose{f.g, f.scale, kB777CentreX, kArcY, FiniteOr(s.AircraftHeading)};
  rose.At();
  f.g.FillEllipseI(gfx::SolidBrush(f.tape), -130, -130, 260, 260);
  const gfx::Pen white(c::kWhite, 1.0f);
  f.g.DrawLinesI(white, kLubber);
  rose.Toward(FiniteOr(s.GroundTrack));
  f.g.DrawLineI(gfx::Pen(c::kWhite, 2.0f), 0, 0, 0, -130);
  f.g.DrawLineI(white, -3, -111, 3, -111);
  const double selected = FiniteOr(s.ApHeadingLockDir);
  rose.Toward(selected);
  f.g.DrawLinesI(gfx::Pen(c::kMagenta, 1.0f), kHeadingMarker);
  rose.At();
  display::DrawScreenTextF(f.g, display::ArialBold(10), gfx::SolidBrush(c::kMagenta), -30, -111, "%03.0f", selected);
  display::DrawScreenText(f.g, display::ArialBold(7), gfx::SolidBrush(c::kMagenta), -12, -108, "H");
  display::DrawScreenText(f.g, display::ArialBold(7), gfx::SolidBrush(c::kGreen), 15, -108, "MAG");
  ehsi::DrawCompassScale(rose, kScale);
}

}  // namespace ovi::efs
