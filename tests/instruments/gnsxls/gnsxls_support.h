// Helpers of the GNS-XLS tests: one frame of the navigator drawn on a
// recording surface, and where, in which colour and font a text stands on
// the logical 495 x 400 canvas.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/gfx/recorder.h"
#include "src/instruments/gnsxls/state.h"
#include "tests/flightplan/route_support.h"

namespace ovi::gnsxls::test {

using flightplan::test::Strings;

inline State& S() { return gnsxls_state; }

// One frame at the screen element's size (292 x 217).
struct Frame {
  gfx::Recorder rec;
  float sx = 1.0f;  // device pixels per canvas unit
  float sy = 1.0f;

  bool Shows(std::string_view text) const { return rec.FindText(text); }
  // Fails unless `text` stands at canvas (x, y) in `colour`, Courier New 33 bold.
  void Expect(std::string_view text, float x, float y, gfx::ARGB colour) const;
  // Cursor blocks drawn: their canvas (x, y) and width in characters.
  struct Block {
    int x, y, cells;
    bool operator==(const Block&) const = default;
  };
  std::vector<Block> Blocks() const;
  // The texts in drawing order.
  std::vector<std::string> Texts() const;
  // The texts drawn at canvas x, top down.
  std::vector<std::string> TextsAt(float x) const;
};

Frame DrawFrame(int width = 292, int height = 217);

// The ten line states, lines 1..10.
std::vector<int> LineStates();

// Candidate n of the waypoint list; the count grows to n.
void PutCandidate(int n, const std::string& ident, const std::string& kind, double latitude, double longitude,
                  const std::string& frequency = "");

// The ENT key (it acts at once), a line key then a frame, and character
// keys each followed by a frame.
void Ent();
Frame Key(int line);
void Type(std::string_view keys);

// A library of `plans` stored plans "P1".."Pn" (origin "O<i>", destination
// "D<i>") and its closing "NEW FPL" entry, with its list page count.
void MakeLibrary(int plans);

// A copy of the repository's sample data folder in a temporary folder that
// SimulatorFolder names, removed with the object: tests that load plans,
// save them or write the flight log never touch the repository.
class SampleDataCopy {
 public:
  SampleDataCopy();
  ~SampleDataCopy();
  SampleDataCopy(const SampleDataCopy&) = delete;
  SampleDataCopy& operator=(const SampleDataCopy&) = delete;
  const std::filesystem::path& root() const { return root_; }

 private:
  std::filesystem::path root_;
};

class GnsTest : public ::testing::Test {
 protected:
  void SetUp() override;
};

}  // namespace ovi::gnsxls::test
