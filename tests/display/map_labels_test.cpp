// One name for one place in a map picture, no two names read as one, and
// the marks' labels clear of the names: the rules of the claims, in a
// picture scaled by two and moved by 50 pixels on a 200-pixel surface, so
// that places compare in device pixels.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gfx/device_context.h"
#include "platform/gfx/graphics.h"
#include "src/display/map_labels.h"

namespace ovi::display {
namespace {

// A text's box: its layout point (x, y) and its size, in picture units.
gfx::RectF At(double x, double y, double w = 0, double h = 0) {
  return gfx::RectF(static_cast<gfx::REAL>(x), static_cast<gfx::REAL>(y), static_cast<gfx::REAL>(w),
                    static_cast<gfx::REAL>(h));
}

struct Surface {
  Surface() : dc(200, 200), g(&dc) {
    g.TranslateTransform(50, 50);
    g.ScaleTransform(2, 2);  // a unit is two pixels: 4 units are the 8-pixel limit
  }
  gfx::DeviceContext dc;
  gfx::Graphics g;
};

TEST(MapLabelsTest, EachNameOncePerPlaceTheRoutesFirstAndNoTwoReadAsOne) {
  Surface s;
  gfx::DeviceContext other_dc(200, 200);
  gfx::Graphics& g = s.g;
  gfx::Graphics other(&other_dc);
  EXPECT_TRUE(ClaimMapLabel(g, "OLM", 0, 0, At(5, -5)) && ClaimMapLabel(g, "OLM", 0, 0, At(5, -5)));  // no picture
  {
    const MapLabelScope picture(g);
    ReserveRouteLabel(g, "KSEA", 20, 20, At(27, 13));
    ReserveRouteLabel(g, "UBG", 40, 40, At(47, 33));
    ReserveRouteLabel(g, "FAR", 90, 70, At(97, 63));        // 44 pixels right of the surface: its name unseen
    ReserveRouteLabel(g, "RTE", 8, 33, At(10, 30, 8, 4));    // a route name the layers before it give way to
    PlaceMarkLabel(g, At(30, -20, 8, 4), {}, false);        // a mark's label (110..126 x 10..18 pixels)
    struct Claim {
      const char* name;
      double x, y;
      gfx::RectF text;
      bool route, written;
      double reach = 0;
    } claims[] = {
        {"OLM", 0, 0, At(5, -5), false, true},         // first
        {"OLM", 3, -2, At(9, -9), false, false},       // its place 7.2 pixels off
        {"OLM", 4.1, 0, At(5, -3), false, false},      // its text 4 pixels off
        {"OLM", 4.1, 0, At(9.1, -5), false, true},     // 8.2 pixels from both
        {"OLM", -4, 0, At(-9, 30), false, false},      // its place exactly 8 pixels from the first
        {"OLMX", 0, 0, At(5, -5), false, false},       // another name starting where it does
        {"OLMX", 0, 0, At(5, 5), false, true},         // another name 20 pixels below
        {"", 0, 0, At(5, -5), false, true},            // nothing to name
        {"KSEA", 21, 20, At(30, 20), false, false},    // the route's place
        {"KSEA", 20, 20, At(27, 13), true, true},      // the route writes it
        {"KSEA", 22, 21, At(29, 14), true, false},     // and once only
        {"UBG", 44.1, 40, At(60, 40), false, true},    // beside the route's place
        {"ZED", 80, 80, At(80, 80), false, true},      // its text below the surface: names nothing
        {"ZED", 78, 78, At(74, 74), false, true},      // 6 pixels off, in sight
        {"FAR", 87, 70, At(70, 60), false, true},      // 6 pixels off, in sight
        {"TUN", 60, 60, At(64, 56), true, true, 10},   // a place known within 20 pixels
        {"TUN", 66, 60, At(70, 50), false, false},     // 12 pixels off: the same
        {"TUN", 71, 60, At(72, 40), false, true},      // 22 pixels off
        // Names of other places starting next to one written: within 4
        // pixels across and 6 down (more for a taller line: 0.4 and 0.6 of
        // it), or covering more than half of it.
        {"ABC", -18, 30, At(-15, 30), false, true},
        {"DEF", -18, 30, At(-13, 30), false, false},   // 4 pixels right of it
        {"GHI", -18, 30, At(-12.9, 30), false, true},  // 4.2
        {"JKL", -18, 30, At(-15, 33), false, false},   // 6 pixels below
        {"MNO", -18, 30, At(-15, 33.1), false, true},  // 6.2
        {"PQR", -10, 80, At(-15, 47, 0, 20), false, true},  // a line 40 pixels tall, 28 below MNO's start
        {"STU", -10, 80, At(-9, 47), false, false},         // 12 pixels right of its start: within 16
        {"VWX", -10, 80, At(-6.4, 47), false, true},        // 17.2
        {"AAA", -20, -20, At(-22, -22, 10, 4), false, true},
        {"BBB", -20, -20, At(-19, -21, 10, 4), false, false},   // covers 52.5 % of AAA
        {"CCC", -20, -20, At(-19, -19.9, 10, 4), false, true},  // 33 %
        {"NAV", 8, 33, At(11, 31, 8, 4), false, false},         // on the route's reserved name
        {"RTE", 8, 33, At(10, 30, 8, 4), true, true},           // which the route then writes
        {"MRK", 30, -10, At(37, -17, 8, 4), false, false},       // on the mark's label
        {"MRK", 30, -10, At(37, -17, 8, 4), true, false},        // the route's too
        {"MRK", 30, -10, At(38, -16, 8, 4), false, true},        // touching it only
    };
    for (const Claim& c : claims)
      EXPECT_EQ(ClaimMapLabel(g, c.name, c.x, c.y, c.text, c.route, c.reach), c.written)
          << c.name << " at (" << c.x << ", " << c.y << ")";
    // Another picture's graphics is not this picture's; an inner scope
    // joins this one.
    EXPECT_TRUE(ClaimMapLabel(other, "OLM", 0, 0, At(5, -5)));
    const MapLabelScope inner(g);
    EXPECT_FALSE(ClaimMapLabel(g, "OLMX", 0, 0, At(5, -5)));
  }
  // A new picture starts empty.
  const MapLabelScope next(g);
  EXPECT_TRUE(ClaimMapLabel(g, "OLM", 0, 0, At(5, -5)));
  EXPECT_FALSE(ClaimMapLabel(g, "OLM", 0, 0, At(5, -5)));
}

// A mark's label 4 units tall standing at top 0, from 10 to 18 across,
// among the labels its call wrote, the names written and the route's names
// reserved: where its top goes.
TEST(MapLabelsTest, AMarksLabelMovesTheShorterWayClearOfEveryName) {
  struct Case {
    const char* what;
    std::vector<gfx::RectF> own, names, reserved;
    bool whole;
    double top;
  } cases[] = {
      {"nothing near", {At(10, 4, 8, 4)}, {At(20, 0, 8, 4)}, {}, false, 0},
      {"its call's label below", {At(12, 3, 8, 4)}, {}, {}, false, -1},
      {"its call's label above", {At(8, -3, 8, 4)}, {}, {}, false, 1},
      {"a short label below", {At(12, 3, 8, 2)}, {}, {}, false, -1},  // not 4 down
      {"on whole units", {At(12, 2.5, 8, 4)}, {}, {}, true, -2},
      {"a name written", {}, {At(14, -1, 8, 4)}, {}, false, 3},
      {"a name, then the label", {At(10, -5.5, 8, 4)}, {At(10, 2, 8, 4)}, {}, false, 6},
      {"a reserved name", {}, {}, {At(14, 3, 8, 4)}, false, -1},
      // Nothing clear within 1.5 heights, nor within 3 of the names
      // written but where it stands: the reserved name gives way.
      {"none near", {}, {At(10, -6, 8, 4), At(10, 4, 8, 4)}, {At(10, 0, 8, 4)}, false, 0},
      // Written names over its top and half a unit below it: clear of both
      // 8 up.
      {"written far", {}, {At(10, -4, 8, 5), At(10, 4.5, 8, 4)}, {}, false, -8},
      {"nothing clear", {}, {At(10, -9, 8, 12), At(10, 3, 8, 12)}, {}, false, 0},
  };
  for (const Case& c : cases) {
    Surface s;
    const MapLabelScope picture(s.g);
    for (const gfx::RectF& r : c.reserved) ReserveRouteLabel(s.g, "RTE", r.X, r.Y, r);
    for (const gfx::RectF& r : c.names) ClaimMapLabel(s.g, &"ABCDEFGH"[&r - c.names.data()], r.X, r.Y, r);
    EXPECT_EQ(PlaceMarkLabel(s.g, At(10, 0, 8, 4), c.own, c.whole), c.top) << c.what;
  }
  // Without a picture only its call's labels count.
  Surface s;
  EXPECT_EQ(PlaceMarkLabel(s.g, At(10, 0, 8, 4), std::vector{At(12, 3, 8, 4)}, false), -1);
}

}  // namespace
}  // namespace ovi::display
