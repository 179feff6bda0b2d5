// Drawing helpers for the gauge bitmaps: bezels, screen openings, keys with
// legends, knobs, lamps and lettering, in the look of the cockpit panels.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/graphics.h"
#include "sim/key_table.h"

namespace ovi::bitmaps {

enum class Finish { kGrey, kTan, kBlack };

// Lit colours.
constexpr gfx::ARGB kLitGreen = 0xFF46F06Eu;
constexpr gfx::ARGB kLitAmber = 0xFFFFB428u;
constexpr gfx::ARGB kLitWhite = 0xFFF6F6E6u;
constexpr gfx::ARGB kLegend = 0xFFE4E4DAu;
constexpr gfx::ARGB kDimLegend = 0xFF6E7074u;

class Painter {
 public:
  Painter(gfx::Graphics& g, int width, int height, const sim::KeyTable& keys)
      : g_(g), w_(width), h_(height), keys_(keys) {}

  int width() const { return w_; }
  int height() const { return h_; }

  // The whole picture as a panel of that finish, with screws in the corners.
  void Panel(Finish finish);
  // A black screen opening with a bevel around it.
  void Opening(float x, float y, float w, float h);
  // An opaque black surface (the screens the module draws on).
  void Black();
  // A transparent picture whose keys and knobs take that finish's colours
  // (pictures laid over a bezel).
  void Transparent(Finish finish);

  // Where a key's legend goes: the lower or upper part when a lamp takes the
  // other, right of a lamp on its left edge.
  enum class Place { kMiddle, kLow, kHigh, kRight };
  // A push key at (x, y, w, h) with its legend ('|' breaks lines); lit keys
  // carry a lit bar above the legend.
  void Key(float x, float y, float w, float h, std::string_view legend, bool lit = false, Place place = Place::kMiddle);
  // Every key of the gauge's section of the key table whose style is `key`,
  // moved by (dx, dy).
  void KeysOf(const std::string& gauge, float dx = 0, float dy = 0, Place place = Place::kMiddle);
  // The legend the key table gives a key ("" when absent).
  std::string LegendOf(const std::string& gauge, const std::string& key) const;

  // A round knob: body, grip marks, and a pointer at `angle` degrees
  // clockwise from straight up.
  void Knob(float cx, float cy, float r, float angle);
  // Position labels around a knob, at the angles given.
  void Dial(float cx, float cy, float r, const std::vector<float>& angles, const std::vector<std::string>& labels,
            float size = 7);
  // Angle of position i of n spread over 270 degrees, centred straight up.
  static float PositionAngle(int i, int n);

  void Lamp(float x, float y, float w, float h, gfx::ARGB lit);
  // A filled ball with a small highlight (the inclinometer's).
  void Ball(float cx, float cy, float r, gfx::ARGB colour);
  void LampOff(float x, float y, float w, float h);
  void Text(float x, float y, float w, float h, std::string_view text, float size, gfx::ARGB colour, bool bold = true);
  // Letters one under the other in a box.
  void Vertical(float x, float y, float w, float h, std::string_view text, float size, gfx::ARGB colour);
  void Rocker(float x, float y, float w, float h, bool vertical);
  // A key face with one arrow: 0 up, 1 right, 2 down, 3 left.
  void ArrowKey(float x, float y, float w, float h, int direction);
  void Frame(float x, float y, float w, float h, gfx::ARGB colour, float width = 1);

 private:
  gfx::Graphics& g_;
  int w_, h_;
  const sim::KeyTable& keys_;
  Finish finish_ = Finish::kGrey;
};

}  // namespace ovi::bitmaps
