// One name for one place in a map picture: the rules of the claims, in a
// picture scaled by two and moved by 50 pixels on a 200-pixel surface, so
// that places compare in device pixels.
#include <gtest/gtest.h>

#include "platform/gfx/device_context.h"
#include "platform/gfx/graphics.h"
#include "src/display/map_labels.h"

namespace ovi::display {
namespace {

TEST(MapLabelsTest, EachNameOncePerPlaceTheRoutesFirst) {
  gfx::DeviceContext dc(200, 200), other_dc(200, 200);
  gfx::Graphics g(&dc), other(&other_dc);
  g.TranslateTransform(50, 50);
  g.ScaleTransform(2, 2);  // a unit is two pixels: 4 units are the 8-pixel limit
  EXPECT_TRUE(ClaimMapLabel(g, "OLM", 0, 0, 5, -5) && ClaimMapLabel(g, "OLM", 0, 0, 5, -5));  // no picture open
  {
    const MapLabelScope picture(g);
    ReserveRouteLabel(g, "KSEA", 20, 20);
    ReserveRouteLabel(g, "UBG", 40, 40);
    ReserveRouteLabel(g, "FAR", 90, 70);  // 30 pixels right of the surface: its name unseen
    struct Claim {
      const char* name;
      double x, y, text_x, text_y;
      bool route, written;
      double reach = 0;
    } claims[] = {
        {"OLM", 0, 0, 5, -5, false, true},        // first
        {"OLM", 3, -2, 9, -9, false, false},      // its place 7.2 pixels off
        {"OLM", 4.1, 0, 5, -3, false, false},     // its text 4 pixels off
        {"OLM", 4.1, 0, 9.1, -5, false, true},    // 8.2 pixels from both
        {"OLMX", 0, 0, 5, -5, false, true},       // another name
        {"", 0, 0, 5, -5, false, true},           // nothing to name
        {"KSEA", 21, 20, 30, 20, false, false},   // the route's place
        {"KSEA", 20, 20, 27, 13, true, true},     // the route writes it
        {"KSEA", 22, 21, 29, 14, true, false},    // and once only
        {"UBG", 44.1, 40, 60, 40, false, true},   // beside the route's place
        {"ZED", 80, 80, 80, 80, false, true},     // its text below the surface: names nothing
        {"ZED", 78, 78, 74, 74, false, true},     // 6 pixels off, in sight
        {"FAR", 87, 70, 70, 60, false, true},     // 6 pixels off, in sight
        {"TUN", 60, 60, 64, 56, true, true, 10},  // a place known within 20 pixels
        {"TUN", 66, 60, 70, 50, false, false},    // 12 pixels off: the same
        {"TUN", 71, 60, 72, 40, false, true},     // 22 pixels off
    };
    for (const Claim& c : claims)
      EXPECT_EQ(ClaimMapLabel(g, c.name, c.x, c.y, c.text_x, c.text_y, c.route, c.reach), c.written)
          << c.name << " at (" << c.x << ", " << c.y << ")";
    // Another picture's graphics is not this picture's; an inner scope
    // joins this one.
    EXPECT_TRUE(ClaimMapLabel(other, "OLM", 0, 0, 5, -5));
    const MapLabelScope inner(g);
    EXPECT_FALSE(ClaimMapLabel(g, "OLMX", 0, 0, 5, -5));
  }
  // A new picture starts empty.
  const MapLabelScope next(g);
  EXPECT_TRUE(ClaimMapLabel(g, "OLM", 0, 0, 5, -5));
  EXPECT_FALSE(ClaimMapLabel(g, "OLM", 0, 0, 5, -5));
}

}  // namespace
}  // namespace ovi::display
