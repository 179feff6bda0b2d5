#include "tests/instruments/gnsxls/gnsxls_support.h"

#include <algorithm>
#include <cmath>

#include <unistd.h>

#include "platform/gfx/device_context.h"
#include "src/flightplan/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/instruments/gnsxls/enter_key.h"
#include "src/instruments/gnsxls/keypad.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/navdb/entry_state.h"
#include "src/instruments/gnsxls/screen.h"

namespace ovi::gnsxls::test {

void Frame::Expect(std::string_view text, float x, float y, gfx::ARGB colour) const {
  gfx::Recorder::TextItem t;
  ASSERT_TRUE(rec.FindText(text, &t)) << "no text \"" << text << "\"";
  EXPECT_NEAR(t.x / sx, x, 0.01) << text;
  EXPECT_NEAR(t.y / sy, y, 0.01) << text;
  EXPECT_EQ(t.color, colour) << text;
  EXPECT_EQ(t.font_family, "Courier New") << text;
  EXPECT_FLOAT_EQ(t.font_size, 33.0f) << text;
  EXPECT_EQ(t.font_style, gfx::FontStyleBold) << text;
}

std::vector<Frame::Block> Frame::Blocks() const {
  std::vector<Block> out;
  for (const gfx::RecordedOp* op : rec.Find(gfx::OpKind::Polygon)) {
    if (!op->filled || op->color != kYellow || op->points.size() != 5) continue;
    const int x = static_cast<int>(std::lround(op->points[0].X / sx));
    const int y = static_cast<int>(std::lround(op->points[0].Y / sy));
    const int right = static_cast<int>(std::lround(op->points[1].X / sx));
    out.push_back({x, y, (right - x) / kCellWidth});
  }
  return out;
}

std::vector<std::string> Frame::Texts() const {
  std::vector<std::string> out;
  for (const auto& t : rec.Texts()) out.push_back(t.text);
  return out;
}

std::vector<std::string> Frame::TextsAt(float x) const {
  std::vector<std::pair<float, std::string>> at;
  for (const auto& t : rec.Texts())
    if (std::fabs(t.x / sx - x) < 0.01f) at.emplace_back(t.y, t.text);
  std::stable_sort(at.begin(), at.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> out;
  for (auto& [y, text] : at) out.push_back(text);
  return out;
}

Frame DrawFrame(int width, int height) {
  Frame f;
  f.sx = static_cast<float>(width) / kCanvasWidth;
  f.sy = static_cast<float>(height) / kCanvasHeight;
  gfx::DeviceContext dc(width, height);
  dc.recorder = &f.rec;
  DrawGnsxlsScreen(S().GnsXlsDisplay, &dc, width, height);
  return f;
}

std::vector<int> LineStates() {
  std::vector<int> out;
  for (int line = 1; line <= kGnsLineCount; ++line) out.push_back(S().GnsXlsLineState[line]);
  return out;
}

void PutCandidate(int n, const std::string& ident, const std::string& kind, double latitude, double longitude,
                  const std::string& frequency) {
  navdb::EntryState& e = navdb::entry_state;
  model::NavDbRecord& r = e.WaypointCandidateList[n];
  r = model::NavDbRecord{};
  r.ident = ident;
  r.kind = kind;
  r.latitude = latitude;
  r.longitude = longitude;
  r.frequency_text = frequency;
  e.WaypointCandidateCount = std::max(e.WaypointCandidateCount, n);
}

void Ent() { EXPECT_EQ(GnsXlsEnterKey(nullptr, 0), 0); }

Frame Key(int line) {
  PressLineKey(line);
  return DrawFrame();
}

void Type(std::string_view keys) {
  for (char c : keys) {
    TypeCharacter(c);
    DrawFrame();
  }
}

void MakeLibrary(int plans) {
  flightplan::State& fp = flightplan::flightplan_state;
  for (int i = 1; i <= plans; ++i) {
    model::FlightPlanLibraryEntry& e = fp.FlightPlanLibrary[i];
    e.name = "P" + std::to_string(i) + ".RTE";
    e.origin_ident = "O" + std::to_string(i);
    e.destination_ident = "D" + std::to_string(i);
    e.last_index = 1;
  }
  model::FlightPlanLibraryEntry& closing = fp.FlightPlanLibrary[plans + 1];
  closing.name = "NEW FPL";
  closing.origin_ident = "NEXT FPL";
  closing.destination_ident.clear();
  fp.FlightPlanLibraryCount = plans + 1;
  fp.GnsFplListPageCount = (plans + 1 + 7) / 8;
}

SampleDataCopy::SampleDataCopy() {
  static int copies = 0;
  root_ = std::filesystem::temp_directory_path() /
          ("ovi_gns_data_" + std::to_string(::getpid()) + "_" + std::to_string(++copies));
  std::filesystem::create_directories(root_);
  std::filesystem::copy(std::filesystem::path(OVI_SOURCE_DIR) / "data" / "ovi", root_ / "ovi",
                        std::filesystem::copy_options::recursive);
  host::host_state.SimulatorFolder = root_.string();
}

SampleDataCopy::~SampleDataCopy() {
  std::error_code ec;
  std::filesystem::remove_all(root_, ec);
}

void GnsTest::SetUp() { ResetModuleState(); }

}  // namespace ovi::gnsxls::test
