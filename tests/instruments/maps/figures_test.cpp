// Figures a pilot reads off every map. Its range-ring figures in every mode
// that writes them, at every range its range keys step through: each
// figure is the distance its ring stands at (within 5 %: a tenth of 1.25,
// two figures of 0.083), and each ring has its figure; a figure is told
// from the rest of the picture as a number that the next range does not
// write in the same place. The selected heading's readout stands whole on
// the screen wherever the heading is.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "tests/host/fake_panels.h"
#include "tests/instruments/maps/every_map.h"

namespace ovi {
namespace {

using namespace maps_test;

constexpr double kNdLadder[] = {0.5, 1, 2.5, 5, 10, 20, 40, 80, 160, 320};
constexpr double kMd11Ladder[] = {0.5, 1, 2.5, 5, 10, 20, 40, 80, 160, 320, 640};
constexpr double kDu1000Ladder[] = {0.05, 0.125, 0.25, 0.5, 1, 2.5, 5, 10, 15, 30, 60, 120, 240};
constexpr double kProline4Ladder[] = {5, 10, 20, 40, 80, 160, 320};
constexpr double kP1000Ladder[] = {0.5, 1, 2.5, 5, 12.5, 25, 40, 80, 160};
constexpr double kEfs50Ladder[] = {0.5, 1, 2.5, 5, 12.5, 25, 40, 80, 160};

struct Rings {
  const char* name;
  const char* map;  // kMaps' name
  void (*mode)();
  double model::State::*range;
  std::span<const double> ladder;
  std::vector<double> at;  // the rings with figures, in ranges
};

const Rings kRings[] = {
    {"B737Arc", "B737", [] { M().HWB737NDMode = 5; }, &model::State::NdRange, kNdLadder, {0.5}},
    {"B737Centred", "B737", [] { M().HWB737NDMode = 6; }, &model::State::NdRange, kNdLadder, {0.5}},
    {"MD11Map", "MD11", [] { M().HWMD11NDMode = nd::kMd11NdModeMap; }, &model::State::Md11NdRange, kMd11Ladder,
     {0.5}},
    {"MD11Plan", "MD11", [] { M().HWMD11NDMode = nd::kMd11NdModePlan; }, &model::State::Md11NdRange, kMd11Ladder,
     {1, 0.5}},
    {"MD11Vor", "MD11", [] { M().HWMD11NDMode = nd::kMd11NdModeVor; }, &model::State::Md11NdRange, kMd11Ladder, {1}},
    {"DU1000Arc", "DU1000", [] { M().DU1000EHSIMode = 3; }, &model::State::Du1000EhsiRange, kDu1000Ladder,
     {2.0 / 3.0, 1.0 / 3.0}},
    {"DU1000Radio", "DU1000", [] { M().DU1000EHSIMode = 1; }, &model::State::Du1000EhsiRange, kDu1000Ladder,
     {2.0 / 3.0, 1.0 / 3.0}},
    {"ProLine4", "ProLine4", [] {}, &model::State::Proline4MapRange, kProline4Ladder, {1, 0.5}},
    {"MD80Map", "MD80", [] { M().MD80EHSIMode = 3; }, &model::State::Md80EhsiMapRange, kNdLadder, {0.5}},
    {"MD80Plan", "MD80", [] { M().MD80EHSIMode = 2; }, &model::State::Md80EhsiMapRange, kNdLadder, {0.5}},
    {"MD80Arc", "MD80", [] { M().MD80EHSIMode = 1; }, &model::State::Md80EhsiMapRange, kNdLadder, {0.5}},
    {"P1000", "P1000", [] {}, &model::State::P1000MapRange, kP1000Ladder, {1}},
    {"C17Page3", "C17MapPage", [] { M().C17MfdPage = 3; }, &model::State::C17MfdMapRange, kNdLadder,
     {0.25, 0.5, 0.75}},
    {"C17Page4", "C17MapPage", [] { M().C17MfdPage = 4; }, &model::State::C17MfdMapRange, kNdLadder, {0.5, 1}},
    {"C17Page5", "C17MapPage", [] { M().C17MfdPage = 5; }, &model::State::C17MfdMapRange, kNdLadder,
     {0.25, 0.5, 0.75}},
    {"EFS50", "EFS50", [] {}, &model::State::Efs50EhsiRange, kEfs50Ladder, {1}},
};

class RingFiguresTest : public ::testing::TestWithParam<Rings> {
 public:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
    G().DisplayPower = 1;
    G().PlaneLatitude = -10.0, G().PlaneLongitude = 20.0;
    for (const Map& m : kMaps)
      if (std::string_view(m.name) == GetParam().map) map = &m;
    ASSERT_NE(map, nullptr);
    map->set();
    GetParam().mode();
  }
  std::vector<gfx::Recorder::TextItem> Texts(double range) {
    M().*GetParam().range = range;
    G().DisplayRefreshCounter = 0;  // the P1000 repaints in full
    gfx::DeviceContext dc(map->width, map->height);
    gfx::Recorder rec;
    dc.recorder = &rec;
    const PIXSIZE size{map->width, map->height};
    map->draw(&dc, &size);
    return rec.Texts();
  }
  const Map* map = nullptr;
  testing::FakeHost host;
};

// The number a text is, if it is one.
bool Number(const std::string& text, double* value) {
  const char* start = text.c_str();
  char* end = nullptr;
  *value = std::strtod(start, &end);
  if (end == start) return false;
  while (*end == ' ') ++end;
  return *end == '\0';
}

TEST_P(RingFiguresTest, EachRingIsWrittenWithItsDistance) {
  const Rings& r = GetParam();
  for (std::size_t i = 0; i < r.ladder.size(); ++i) {
    const double range = r.ladder[i];
    const std::vector<gfx::Recorder::TextItem> here = Texts(range);
    const std::vector<gfx::Recorder::TextItem> other = Texts(r.ladder[(i + 1) % r.ladder.size()]);
    std::vector<bool> written(r.at.size(), false);
    for (const gfx::Recorder::TextItem& t : here) {
      double value;
      if (!t.visible || !Number(t.text, &value)) continue;
      bool figure = true;
      for (const gfx::Recorder::TextItem& o : other)
        figure = figure && !(o.x == t.x && o.y == t.y && o.text == t.text);
      if (!figure) continue;
      bool a_ring = false;
      for (std::size_t k = 0; k < r.at.size(); ++k) {
        const double distance = r.at[k] * range;
        if (std::fabs(value - distance) > 0.05 * distance) continue;
        a_ring = written[k] = true;
      }
      EXPECT_TRUE(a_ring) << range << " NM: \"" << t.text << "\" stands for no ring";
    }
    for (std::size_t k = 0; k < r.at.size(); ++k)
      EXPECT_TRUE(written[k]) << range << " NM: the ring at " << r.at[k] * range << " has no figure";
  }
}

// The selected heading 40.6 to 179 degrees either side of the heading,
// across north: a text of its three figures lies wholly on the surface,
// at the design size and at twice the width.
class SelectedHeadingTest : public ::testing::TestWithParam<Map> {};
TEST_P(SelectedHeadingTest, TheReadoutStandsWholeOnTheScreen) {
  const Map& m = GetParam();
  ResetModuleState();
  testing::FakeHost host;
  host.Bind();
  G().DisplayPower = 1;
  m.set();
  for (const double heading : {20.0, 350.0}) {
    for (const double off : {40.6, 45.0, 60.0, 90.0, 135.0, 179.0}) {
      for (const double side : {-1.0, 1.0}) {
        G().AircraftHeading = G().MapHeading = heading;
        G().ApHeadingLockDir = std::fmod(heading + side * off + 360.0, 360.0);
        char figures[8];
        std::snprintf(figures, sizeof figures, "%03.0f", G().ApHeadingLockDir);
        for (const int width : {m.width, 2 * m.width}) {
          gfx::DeviceContext dc(width, m.height);
          gfx::Recorder rec;
          dc.recorder = &rec;
          const PIXSIZE size{width, m.height};
          m.draw(&dc, &size);
          for (const gfx::RecordedOp* op : rec.Find(gfx::OpKind::Text)) {
            if (op->text != figures) continue;
            EXPECT_GE(op->bounds.X, -0.5f) << heading << " " << side * off << " at " << width;
            EXPECT_LE(op->bounds.X + op->bounds.Width, width + 0.5f) << heading << " " << side * off << " at " << width;
          }
        }
      }
    }
  }
}

std::string MapName(const ::testing::TestParamInfo<Map>& p) { return p.param.name; }
INSTANTIATE_TEST_SUITE_P(EveryMap, SelectedHeadingTest, ::testing::ValuesIn(kMaps), MapName);

std::string RingsName(const ::testing::TestParamInfo<Rings>& p) { return p.param.name; }
INSTANTIATE_TEST_SUITE_P(EveryMap, RingFiguresTest, ::testing::ValuesIn(kRings), RingsName);

// The MD-11's "RNG" readout and the C-17 map page's header give the range
// as the rings' figures do, in the same two-character field and wholly on
// the screen: "%2.0f" read 2.5 NM as " 2" and 0.5 as " 0".
TEST(RangeReadoutTest, TheRangeAsTheRingsStand) {
  const struct {
    const char* map;  // kMaps' name
    double model::State::*range;
    double nm;
    const char* shown;
  } cases[] = {
      {"MD11", &model::State::Md11NdRange, 2.5, "RNG 2.5"},  {"MD11", &model::State::Md11NdRange, 0.5, "RNG 0.5"},
      {"MD11", &model::State::Md11NdRange, 0.25, "RNG 0.25"}, {"MD11", &model::State::Md11NdRange, 5, "RNG  5"},
      {"MD11", &model::State::Md11NdRange, 40, "RNG 40"},    {"MD11", &model::State::Md11NdRange, 640, "RNG 640"},
      {"C17MapPage", &model::State::C17MfdMapRange, 2.5, "2.5 NM"},
      {"C17MapPage", &model::State::C17MfdMapRange, 0.5, "0.5 NM"},
      {"C17MapPage", &model::State::C17MfdMapRange, 0.25, "0.25 NM"},
      {"C17MapPage", &model::State::C17MfdMapRange, 5, " 5 NM"},
      {"C17MapPage", &model::State::C17MfdMapRange, 80, "80 NM"},
      {"C17MapPage", &model::State::C17MfdMapRange, 320, "320 NM"},
  };
  for (const auto& c : cases) {
    ResetModuleState();
    testing::FakeHost host;
    host.Bind();
    G().DisplayPower = 1;
    const Map* map = nullptr;
    for (const Map& m : kMaps)
      if (std::string_view(m.name) == c.map) map = &m;
    ASSERT_NE(map, nullptr) << c.map;
    map->set();
    M().*c.range = c.nm;
    gfx::DeviceContext dc(map->width, map->height);
    gfx::Recorder rec;
    dc.recorder = &rec;
    const PIXSIZE size{map->width, map->height};
    map->draw(&dc, &size);
    gfx::Recorder::TextItem shown;
    EXPECT_TRUE(rec.FindText(c.shown, &shown) && shown.shown == gfx::Shown::kWhole) << c.map << " at " << c.nm << " NM";
  }
}

// The figure itself: whole, tenths, two figures below one, right-aligned.
TEST(RingFigureTest, TheDistanceAsARingStands) {
  const struct {
    double nm;
    int width;
    const char* figure;
  } cases[] = {{20, 3, " 20"}, {1.25, 3, "1.2"},   {2.5, 0, "2.5"},   {0.25, 3, "0.25"}, {1.0 / 60, 3, "0.017"},
               {0.5, 2, "0.5"}, {10.0 / 3, 3, "3.3"}, {1.999, 0, "2"}, {NAN, 2, " 0"},    {12.5, 3, "12.5"}};
  for (const auto& c : cases) EXPECT_EQ(display::RingFigure(c.nm, c.width), c.figure) << c.nm;
}

}  // namespace
}  // namespace ovi
