// The shared map overlays as the B737 ND calls them: ATC boundaries about
// the mode's aircraft point (and never in the reduced picture), runways at
// short range, provider traffic in modes 3 to 6.
#include <cstring>

#include "src/host/panel_services.h"
#include "src/host/traffic_link.h"
#include "src/instruments/nd/gauges.h"
#include "src/navdb/state.h"
#include "tests/instruments/nd/nd_test_support.h"

namespace ovi::nd::test {
namespace {

using gfx::OpKind;

constexpr gfx::ARGB kBoundaryColour = 0xFF979700;
constexpr double kLat = 47.45, kLon = -122.31;

// A provider with one target: 1200 ft above, 5 NM straight ahead, level.
struct Provider {
  struct Entry {
    float alt;
    std::uint32_t codes;
    std::uint8_t active, pad[3];
    float range, bearing;
  };
  alignas(8) std::uint8_t block[48 + 8] = {};
  Entry entry{1200.0f, 1u << 16, 1, {}, 5.0f, 0.0f};
  Provider() {
    block[44] = 1;
    const void* p = &entry;
    std::memcpy(block + 48, &p, sizeof p);
    block[14] = 1;  // sequence number
  }
  static Provider*& Current() {
    static Provider* current = nullptr;
    return current;
  }
  static void* Entry(const char* /*token*/, std::uint32_t* result) {
    *result = 0;
    return Current()->block;
  }
};

class OverlaysTest : public NdTest {
 public:
  void SetUp() override {
    NdTest::SetUp();
    guidance().PlaneLatitude = kLat;
    guidance().PlaneLongitude = kLon;
    model().HWB737NDMode = 5;
    model().NdRange = 40.0;
  }
  // A square outline whose nearest corner is `nm` north of the aircraft.
  void AddBoundary(double nm, double lat = kLat, double lon = kLon) {
    navdb::State& n = navdb::navdb_state;
    model::AtcBoundary& b = n.AtcBoundaryTable[++n.AtcBoundaryCount];
    b.name = "KZSE";
    b.label = "ZSE";
    b.label_latitude = lat + (nm + 5) / 60.0;
    b.label_longitude = lon;
    const double corners[][2] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}};
    for (const auto& c : corners) {
      b.points[++b.point_count] = {lat + (nm + c[0]) / 60.0, lon + c[1] / 40.0};
      ++n.AtcBoundaryPointCount;
    }
  }
  bool BoundaryPointAt(float x, float y) const {
    for (const gfx::RecordedOp& op : rec.Ops())
      if (op.color == kBoundaryColour && op.kind != OpKind::Text)
        for (const gfx::PointF& p : op.points)
          if (p.X == x && p.Y == y) return true;
    return false;
  }
  int BoundaryOps() const {
    int n = 0;
    for (const gfx::RecordedOp& op : rec.Ops()) n += op.color == kBoundaryColour ? 1 : 0;
    return n;
  }
};

TEST_F(OverlaysTest, BoundariesAboutTheAircraftPointOfTheMode) {
  AddBoundary(10.0);
  model().ShowAtcBoundaries = 1;
  // 10 NM at 215 / 40 = 5.375 units per NM: 53 units up (truncated); in
  // mode 6 at 110 / 40 = 2.75: 27 units.
  Draw();
  EXPECT_TRUE(BoundaryPointAt(122, 249 - 53));
  EXPECT_TRUE(Has("ZSE"));
  model().HWB737NDMode = 6;
  Draw();
  EXPECT_TRUE(BoundaryPointAt(122, 171 - 27));
  for (int mode : {1, 3, 7}) {
    model().HWB737NDMode = mode;
    Draw();
    EXPECT_EQ(BoundaryOps(), 0) << mode;
  }
  model().HWB737NDMode = 5;
  Draw(3);
  EXPECT_EQ(BoundaryOps(), 0);
  model().ShowAtcBoundaries = 0;
  Draw();
  EXPECT_EQ(BoundaryOps(), 0);
}

TEST_F(OverlaysTest, ReducedPictureOfVc2WithThePopUpOpenHasNoBoundaries) {
  AddBoundary(10.0, 0.0, 0.0);  // the per-tick update puts the aircraft at 0 N 0 E
  model().ShowAtcBoundaries = 1;
  host.tokens[773] = 1.0;  // display power
  model().ConfigLoaded = 1;
  host.visible_windows = {0, kB737NdWindow};
  ELEMENT_HEADER* screen = host::NextElement(host::FirstElement(&hw_b737_nd_nb_gauge));
  gfx::DeviceContext surface(247, 294);
  surface.recorder = &rec;
  screen->image.dc = &surface;
  screen->image.size = {247, 294};
  for (const char* parameter : {"WN", "VC2"}) {
    SCOPED_TRACE(parameter);
    rec.Clear();
    hw_b737_nd_nb_gauge.parameters = parameter;
    host.tokens[1] += 1.0;
    hw_b737_nd_nb_gauge.gauge_callback(&hw_b737_nd_nb_gauge, PANEL_SERVICE_PRE_DRAW, 0);
    EXPECT_TRUE(rec.FindText("HDG"));
    EXPECT_EQ(BoundaryOps() > 0, std::string(parameter) == "WN");
  }
  screen->image.dc = nullptr;
}

TEST_F(OverlaysTest, RunwaysOnlyAtShortRangeBelowPlan) {
  navdb::State& n = navdb::navdb_state;
  auto runway = [&](int i, const char* number, double lat, double lon, double heading) {
    model::RunwayRecord& r = n.AirportRunwayTable[i];
    r.number_text = number;
    r.latitude = lat;
    r.longitude = lon;
    r.length = 9000;
    r.heading = heading;
  };
  runway(1, "16L", kLat + 0.005, kLon, 163.0);
  runway(2, "34R", kLat - 0.02, kLon + 0.003, 343.0);
  n.AirportRunwayCount = 2;
  struct Case {
    int mode;
    double range;
    bool shown;
  } cases[] = {{5, 2.5, true}, {6, 0.5, true}, {5, 5.0, false}, {7, 2.5, false}, {3, 2.5, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " range " << c.range);
    model().HWB737NDMode = c.mode;
    model().NdRange = c.range;
    Draw();
    EXPECT_EQ(Has("16L"), c.shown);
    EXPECT_EQ(Has("34R"), c.shown);
  }
}

TEST_F(OverlaysTest, ProviderTrafficInModes3To6WithTheTrafficLayerOn) {
  Provider provider;
  Provider::Current() = &provider;
  auto entry = &Provider::Entry;
  void* p;
  std::memcpy(&p, &entry, sizeof p);
  host.registered[host::kTrafficProviderVariable] = {p, VAR_TYPE_FUNCTION};
  model().NdShowTraffic = 1;
  for (int mode = 1; mode <= 7; ++mode) {
    model().HWB737NDMode = mode;
    Draw();
    EXPECT_EQ(Has("+12"), mode >= 3 && mode <= 6) << mode;
  }
  model().NdShowTraffic = 0;
  model().HWB737NDMode = 5;
  Draw();
  EXPECT_FALSE(Has("+12"));
  Provider::Current() = nullptr;
}

}  // namespace
}  // namespace ovi::nd::test
