// Every map picture read as a pilot reads it. Each map family in its
// heading-up and its centred or north-up view, at its shortest and its
// largest range, over the busy Seattle cluster of the sample database: the
// route from Seattle-Tacoma to Portland, a hold at OLM, the top of climb
// and descent ahead, both FIX INFO fixes, every point layer, and traffic
// gathered in pairs and piles. In each picture, by the texts' inks (what
// shows of them):
//  - no text of the map meets another text: names, marks, figures and tags
//    neither cover each other nor a readout or the compass card;
//  - every traffic tag shown is whole.
// Which texts belong to the map is read from the pictures, not from the
// code: the picture is drawn again with the aircraft 1.5 NM east, and a
// text that stands at the same point in both (a readout, the compass card,
// a range figure, a tag) is anchored; the rest move with the map. Two
// anchored texts other than tags are the display's own layout, and not
// weighed here.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "src/display/map_overlays.h"
#include "src/display/state.h"
#include "src/navdb/navdb.h"
#include "tests/host/fake_panels.h"
#include "tests/instruments/maps/every_map.h"
#include "tests/instruments/maps/texts.h"

namespace ovi {
namespace {

using namespace maps_test;

struct View {
  const char* map;  // kMaps' name
  const char* view;
  std::function<void()> set;
  double model::State::*range;
  double shortest, largest;
  double traffic_up_to;  // the range up to which the view plots traffic (0: none)
};

const View kViews[] = {
    {"B737", "arc", [] { M().HWB737NDMode = 5; }, &model::State::NdRange, 0.5, 320, 320},
    {"B737", "centred", [] { M().HWB737NDMode = 6; }, &model::State::NdRange, 0.5, 320, 320},
    {"MD11", "map", [] { M().HWMD11NDMode = nd::kMd11NdModeMap; }, &model::State::Md11NdRange, 0.5, 640, 640},
    {"MD11", "plan", [] { M().HWMD11NDMode = nd::kMd11NdModePlan; }, &model::State::Md11NdRange, 0.5, 640, 0},
    {"DU1000", "arc", [] { M().DU1000EHSIMode = 3; }, &model::State::Du1000EhsiRange, 0.05, 240, 240},
    {"DU1000", "centred", [] { M().DU1000EHSIMode = 2; }, &model::State::Du1000EhsiRange, 0.05, 240, 0},
    {"ProLine4", "arc", [] { M().PROLINE4MFDMode = 3, M().Proline4MapRadius = 140; },
     &model::State::Proline4MapRange, 5, 320, 160},
    {"ProLine4", "map", [] { M().PROLINE4MFDMode = 2, M().Proline4MapRadius = 70; },
     &model::State::Proline4MapRange, 5, 320, 0},
    {"MD80", "map", [] { M().MD80EHSIMode = 3; }, &model::State::Md80EhsiMapRange, 0.5, 320, 320},
    {"MD80", "plan", [] { M().MD80EHSIMode = 2; }, &model::State::Md80EhsiMapRange, 0.5, 320, 0},
    {"C17MapPage", "arc", [] { M().C17MfdPage = 3; }, &model::State::C17MfdMapRange, 0.5, 320, 320},
    // North up about the active waypoint, the aircraft off the map but at
    // the largest range.
    {"C17MapPage", "north up", [] { M().C17MfdPage = 6; }, &model::State::C17MfdMapRange, 0.5, 320, 0},
    {"P1000", "arc", [] { M().P1000MapFormat = p1000::kArcFormat, M().DrawTcasWindowOnP1000MFD = 0; },
     &model::State::P1000MapRange, 0.5, 160, 160},
    {"P1000", "centred", [] { M().P1000MapFormat = p1000::kCentredFormat, M().DrawTcasWindowOnP1000MFD = 0; },
     &model::State::P1000MapRange, 0.5, 160, 0},
    {"EFS50", "arc", [] { M().EFS50HsiMode = 5; }, &model::State::Efs50EhsiRange, 0.5, 160, 0},
    {"EFS50", "rose", [] { M().EFS50HsiMode = 2; }, &model::State::Efs50EhsiRange, 0.5, 160, 0},
    {"EFS50", "traffic", [] { M().EFS50HsiMode = 8; }, &model::State::Efs50TcasRange, 2, 40, 40},
};

struct Place {
  const char* ident;
  double lat, lon;
  const char* type;
};
// Seattle-Tacoma to Portland, OLM active.
constexpr Place kRoute[] = {{"KSEA", 47.4490, -122.3093, "APT"}, {"TCM", 47.1475, -122.4780, "VOR"},
                            {"OLM", 46.9713, -122.9022, "VOR"},  {"BTG", 45.7476, -122.5922, "VOR"},
                            {"UBG", 45.3547, -122.9801, "VOR"},  {"KPDX", 45.5887, -122.5975, "APT"}};
constexpr int kActive = 2;

class MapTextsTest : public ::testing::TestWithParam<View> {
 public:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
    host::host_state.SimulatorFolder = std::string(OVI_SOURCE_DIR) + "/data";
    navdb::LoadNavDatabase();
    navdb::LoadAtcBoundaries();
    for (const Map& m : kMaps)
      if (std::string_view(m.name) == GetParam().map) map = &m;
    ASSERT_NE(map, nullptr);
    Scene();
    map->set();
    if (map->layers != nullptr) map->layers();
    GetParam().set();
  }

  void Scene() {
    G().DisplayPower = 1;
    flightplan::State& f = flightplan::flightplan_state;
    for (int i = 0; i < static_cast<int>(std::size(kRoute)); ++i) {
      model::FlightPlanWaypoint& w = f.ActiveFlightPlan[i];
      w.ident = kRoute[i].ident, w.type = kRoute[i].type;
      w.latitude = kRoute[i].lat, w.longitude = kRoute[i].lon;
      w.value3 = -1.0;
    }
    f.ActiveFlightPlanLastIndex = static_cast<int>(std::size(kRoute)) - 1;
    f.ActiveWaypointIndex = kActive;
    flightplan::ActiveRouteChanged();
    // A hold at OLM, right turns, 8 NM legs, inbound 200.
    model::HoldingPattern& h = f.HoldTable[1];
    h.active_index = kActive, h.turn_side = 1, h.leg_length = 8.0, h.inbound_course = 200.0;
    h.corners[0].latitude = kRoute[kActive].lat, h.corners[0].longitude = kRoute[kActive].lon;
    f.HoldCount = 1;
    // FIX INFO: SEA with a 10 NM ring and its 090 radial, OLM with 15 NM
    // and 270.
    FixInfo(1, "SEA", 47.4353, -122.3097, 90.0, 10.0);
    FixInfo(2, "OLM", 46.9713, -122.9022, 270.0, 15.0);
    // Between KSEA and TCM at 13000 ft, heading 200, climbing to FL300 with
    // VNAV: the top of climb 3 NM ahead, the top of descent 3 NM beyond it.
    Aircraft(47.30, -122.40);
    G().AircraftHeading = G().MapHeading = 200.0;
    G().AircraftAltitude = 13000.0, G().NextConstraintAltitude = 13000.0;
    G().GroundSpeedKnots = 300.0, G().TrueAirspeedEstimate = 331.0;
    G().WindDirectionMagnetic = 235.0, G().WindSpeed = 35.0;
    G().DestinationDistance = 110.0;
    G().VnavEngaged = 1;
    M().CruiseAlt = 30000;
    M().NdShowTraffic = 1;
    M().ShowAtcBoundaries = 1;
    M().TcasVertRange = 99;
  }
  void FixInfo(int n, const char* ident, double lat, double lon, double radial, double distance) {
    model::FixInfoRecord& fix = flightplan::flightplan_state.FixInfoTable[n];
    fix.ident = ident, fix.latitude = lat, fix.longitude = lon, fix.kind = "V";
    fix.rows[0].radial = radial, fix.rows[0].distance = distance;
  }
  // The aircraft, with the top of climb and descent ahead of it and the
  // traffic about it.
  void Aircraft(double lat, double lon) {
    G().PlaneLatitude = lat, G().PlaneLongitude = lon;
    const double course = 200.0 + G().MagneticVariation;
    navdb::ProjectPosition(lat, lon, course, 3.0, G().TocLatitude, G().TocLongitude);
    navdb::ProjectPosition(lat, lon, course, 6.0, G().TodLatitude, G().TodLongitude);
    G().NextConstraintLat = kRoute[4].lat, G().NextConstraintLon = kRoute[4].lon;
  }
  // Traffic at fractions of the range: a pair a hair apart ahead, a red
  // target with a proximate one beside it, one off to the side.
  void Traffic(double range) {
    display::State& d = display::display_state;
    d.TrafficProviderAttempts = display::kTrafficProviderMaxAttempts;
    const display::TrafficPlotEntry targets[] = {{200.0, 0.60 * range, 12.0, '-', 'T'},
                                                {200.5, 0.61 * range, -5.0, 'v', 'O'},
                                                {225.0, 0.80 * range, 8.0, '^', 'R'},
                                                {226.0, 0.81 * range, -3.0, '-', 'P'},
                                                {170.0, 0.70 * range, 25.0, '-', 'O'}};
    d.TrafficPlotCount = static_cast<int>(std::size(targets));
    for (int i = 0; i < d.TrafficPlotCount; ++i) d.TrafficPlotTable[i + 1] = targets[i];
  }

  std::vector<gfx::Recorder::TextItem> Draw(double range) {
    M().*GetParam().range = range;
    Traffic(range);
    G().DisplayRefreshCounter = 0;  // the P1000 repaints in full
    gfx::DeviceContext dc(map->width, map->height);
    gfx::Recorder rec;
    dc.recorder = &rec;
    const PIXSIZE size{map->width, map->height};
    map->draw(&dc, &size);  // the lists about the aircraft
    rec.Clear();
    map->draw(&dc, &size);
    std::vector<gfx::Recorder::TextItem> shown;
    for (const gfx::Recorder::TextItem& t : rec.Texts())
      if (t.shown != gfx::Shown::kHidden && t.ink.Width > 0) shown.push_back(t);
    return shown;
  }

  const Map* map = nullptr;
  testing::FakeHost host;
};

// A traffic tag: a sign and one to three digits.
bool IsTag(const std::string& text) {
  if (text.size() < 2 || text.size() > 4 || (text[0] != '+' && text[0] != '-')) return false;
  for (std::size_t i = 1; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

TEST_P(MapTextsTest, EveryTextReadable) {
  const View& v = GetParam();
  for (const double range : {v.shortest, v.largest}) {
    const std::vector<gfx::Recorder::TextItem> texts = Draw(range);
    Aircraft(47.30, -122.40 + 1.5 / (60.0 * std::cos(47.3 * M_PI / 180.0)));
    const std::vector<gfx::Recorder::TextItem> moved = Draw(range);
    Aircraft(47.30, -122.40);
    auto anchored = [&](const gfx::Recorder::TextItem& t) {
      for (const gfx::Recorder::TextItem& o : moved)
        if (std::fabs(o.x - t.x) < 0.6 && std::fabs(o.y - t.y) < 0.6 && o.color == t.color &&
            o.font_size == t.font_size)
          return true;
      return false;
    };
    std::vector<bool> fixed(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) fixed[i] = anchored(texts[i]) && !IsTag(texts[i].text);
    const std::string where = std::string(v.map) + " " + v.view + " at " + std::to_string(range) + " NM: ";
    int tags = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      const gfx::Recorder::TextItem& a = texts[i];
      if (IsTag(a.text)) {
        ++tags;
        EXPECT_EQ(a.shown, gfx::Shown::kWhole) << where << "tag \"" << a.text << "\" cut";
      }
      for (std::size_t j = 0; j < i; ++j) {
        const gfx::Recorder::TextItem& b = texts[j];
        if (fixed[i] && fixed[j]) continue;
        EXPECT_FALSE(TextsMeet(a.ink, b.ink)) << where << "\"" << b.text << "\" and \"" << a.text << "\" at ("
                                              << a.x << ", " << a.y << ")";
      }
    }
    EXPECT_GE(texts.size(), 3u) << where;
    if (range <= v.traffic_up_to) {
      EXPECT_GT(tags, 0) << where << "no traffic shown";
    }
  }
}

std::string ViewName(const ::testing::TestParamInfo<View>& p) {
  std::string name = std::string(p.param.map) + "_" + p.param.view;
  for (char& c : name)
    if (c == ' ') c = '_';
  return name;
}
INSTANTIATE_TEST_SUITE_P(EveryMap, MapTextsTest, ::testing::ValuesIn(kViews), ViewName);

}  // namespace
}  // namespace ovi
