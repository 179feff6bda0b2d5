// Helpers of the MCU tests: one frame of the screen on a recording surface
// at the screen element's size (420 x 159), where a text, a cursor box or an
// underline stands on the 239 x 78 canvas, and a scripted host.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/gfx/recorder.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/mcu/state.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "tests/flightplan/route_support.h"
#include "tests/host/fake_panels.h"

namespace ovi::mcu::test {

using flightplan::test::Strings;

inline State& M() { return mcu_state; }
inline gnsxls::State& S() { return gnsxls::gnsxls_state; }
inline flightplan::State& F() { return flightplan::flightplan_state; }
inline guidance::State& G() { return guidance::guidance_state; }
inline model::State& Md() { return model::model_state; }

struct Frame {
  gfx::Recorder rec;
  float sx = 1.0f;  // device pixels per canvas unit
  float sy = 1.0f;

  bool Shows(std::string_view text) const { return rec.FindText(text); }
  bool Empty() const { return rec.Size() == 0; }
  // Fails unless `text` stands at canvas (x, y) in `colour`, Courier New 14 bold.
  void Expect(std::string_view text, float x, float y, gfx::ARGB colour) const;
  // The texts in drawing order, and those drawn at canvas y.
  std::vector<std::string> Texts() const;
  std::vector<std::string> TextsAt(float y) const;
  // Cursor boxes (green 2-pixel closed outlines) as {x, y, w, h}, and
  // underlines (magenta 2-pixel lines) as {x1, x2, y}, in canvas units.
  std::vector<std::vector<int>> Boxes() const;
  std::vector<std::vector<int>> Underlines() const;
};

// One frame at the screen's size.
Frame DrawFrame(int width = 420, int height = 159);
// One frame that repaints the whole screen (as a key asks).
Frame Repaint();

// A library of the plans "P1.RTE" .. "Pn.RTE" and its closing "NEW FPL".
void MakeLibrary(int plans);

// Power on, the repaint cycle away from 0 (frames draw only when asked),
// and a scripted host bound for key events and windows.
class McuTest : public ::testing::Test {
 protected:
  void SetUp() override;
  testing::FakeHost host;
};

}  // namespace ovi::mcu::test
