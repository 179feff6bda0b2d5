// Helpers of the CDU tests: one frame drawn on a recording surface, and the
// place of a text on the logical 282 x 245 screen.
#pragma once

#include <filesystem>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/gfx/recorder.h"
#include "tests/fms/cdu_legibility.h"
#include "tests/support/navdata_fixture.h"

namespace ovi::fms::test {

// A frame of the CDU drawn at a picture size, with its recording.
struct Frame {
  gfx::Recorder rec;
  float sx = 1.0f;  // device pixels per logical unit
  float sy = 1.0f;
  // The text with its layout origin on the logical screen; false when the
  // frame did not draw it.
  bool Find(std::string_view text, float* x = nullptr, float* y = nullptr) const;
  // True when some drawing of `text` stands at (x, y) of the logical screen
  // (a text drawn more than once: a marker, a label).
  bool FindAt(std::string_view text, float x, float y) const;
  // Fails the test unless `text` stands at (x, y) of the logical screen in
  // green Arial of `px` pixels.
  void ExpectText(std::string_view text, float x, float y, float px = 18.0f) const;
};

// Fails the test unless the frame's one highlight box is the title's "MOD"
// box: from x 10 to 52 (three characters of 14), y 0 to 20.
void ExpectModBox(const Frame& f);

// Fails the test for every two texts of the frame that touch and every text
// that leaves the screen (cdu_legibility.h): every page meets it.
void ExpectLegible(const Frame& f);

// Draws one CDU frame (DrawFmsCdu) on a width x height picture.
Frame DrawFrame(int width = 282, int height = 245);

// Records a line-select key as the keypad does.
void PressLineKey(int key);

class CduTest : public navdb::test::ModuleTest {};

// A copy of the sample simulator folder's ovi data (navigation data,
// flight plans, aircraft) with its navigation database loaded: the pages
// may write there (the library scan converts .PLN files into temp.rte, SAVE
// FPL writes route files). Removed after the test.
class SampleCopyTest : public CduTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::filesystem::path root_;
};

}  // namespace ovi::fms::test
