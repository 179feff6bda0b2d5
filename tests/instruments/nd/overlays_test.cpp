// The shared map overlays as the B737 ND calls them: ATC boundaries about
// the mode's aircraft point (never in the reduced picture), runways at
// short range, provider traffic in modes 3 to 6.
#include <cstring>
#include <tuple>

#include "src/host/panel_services.h"
#include "src/host/traffic_link.h"
#include "src/instruments/nd/gauges.h"
#include "src/navdb/state.h"
#include "tests/instruments/nd/nd_test_support.h"

namespace ovi::nd::test {
namespace {

constexpr gfx::ARGB kBoundaryColour = 0xFF979700;

// A provider with one target: 1200 ft above, 10 NM straight ahead, level
// (its tag clear of the aircraft's own symbol in every mode).
struct Provider {
  struct Entry {
    float alt;
    std::uint32_t codes;
    std::uint8_t active, pad[3];
    float range, bearing;
  } entry{1200.0f, 1u << 16, 1, {}, 10.0f, 0.0f};
  alignas(8) std::uint8_t block[56] = {};
  Provider() {
    block[44] = 1;   // one entry
    block[14] = 1;   // sequence number
    const void* p = &entry;
    std::memcpy(block + 48, &p, sizeof p);
  }
  static void* Entry(const char*, std::uint32_t* result) {
    *result = 0;
    static Provider provider;
    return provider.block;
  }
};

class OverlaysTest : public NdTest {
 public:
  // A square outline whose nearest corner lies `nm` north of (lat, lon).
  void AddBoundary(double nm, double lat, double lon) {
    navdb::State& n = navdb::navdb_state;
    model::AtcBoundary& b = n.AtcBoundaryTable[++n.AtcBoundaryCount];
    b.name = "KZSE";
    b.label = "ZSE";
    b.label_latitude = lat + (nm + 5) / 60.0;
    b.label_longitude = lon;
    for (auto [north, east] : {std::pair{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}) {
      b.points[++b.point_count] = {lat + (nm + north) / 60.0, lon + east / 40.0};
      ++n.AtcBoundaryPointCount;
    }
    model().ShowAtcBoundaries = 1;
  }
  bool BoundaryPointAt(float x, float y) const {
    for (const gfx::RecordedOp& op : rec.Ops())
      if (op.color == kBoundaryColour && op.kind != gfx::OpKind::Text)
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
  AddBoundary(10.0, 0.0, 0.0);
  // 10 NM: 53 units up at 215 / 40 units per NM (truncated), 27 at 110 / 40.
  for (auto [mode, y] : {std::pair{5, 249 - 53}, {6, 171 - 27}}) {
    model().HWB737NDMode = mode;
    Draw();
    EXPECT_TRUE(BoundaryPointAt(122, static_cast<float>(y))) << mode;
    EXPECT_TRUE(Has("ZSE"));
  }
  for (int mode : {1, 3, 7}) {
    model().HWB737NDMode = mode;
    Draw();
    EXPECT_EQ(BoundaryOps(), 0) << mode;
  }
  model().HWB737NDMode = 5;
  Draw(3);
  EXPECT_EQ(BoundaryOps(), 0);
}

TEST_F(OverlaysTest, ReducedPictureOfVc2WithThePopUpOpen) {
  AddBoundary(10.0, 0.0, 0.0);  // the per-tick update puts the aircraft at 0 N 0 E
  host.tokens[773] = 1.0;
  host.visible_windows = {0, kB737NdWindow};
  ELEMENT_HEADER* screen = host::NextElement(host::FirstElement(&hw_b737_nd_nb_gauge));
  gfx::DeviceContext surface(247, 294);
  surface.recorder = &rec;
  screen->image = {{247, 294}, &surface};
  for (const char* parameter : {"WN", "VC2"}) {
    rec.Clear();
    hw_b737_nd_nb_gauge.parameters = parameter;
    host.tokens[1] += 1.0;
    hw_b737_nd_nb_gauge.gauge_callback(&hw_b737_nd_nb_gauge, PANEL_SERVICE_PRE_DRAW, 0);
    EXPECT_TRUE(rec.FindText("HDG")) << parameter;
    EXPECT_EQ(BoundaryOps() > 0, std::string(parameter) == "WN") << parameter;
  }
  screen->image.dc = nullptr;
}

TEST_F(OverlaysTest, RunwaysOnlyAtShortRangeBelowPlan) {
  navdb::State& n = navdb::navdb_state;
  for (auto [i, number, dlat] : {std::tuple{1, "16L", 0.005}, {2, "34R", -0.02}}) {
    model::RunwayRecord& r = n.AirportRunwayTable[i];
    r.number_text = number;
    r.latitude = dlat;
    r.longitude = 0.003;  // east of the centred map's half-range figure
    r.length = 9000;
    r.heading = i == 1 ? 163.0 : 343.0;
  }
  n.AirportRunwayCount = 2;
  for (auto [mode, range, shown] : {std::tuple{5, 2.5, true}, {6, 0.5, true}, {5, 5.0, false}, {7, 2.5, false},
                                    {3, 2.5, false}}) {
    model().HWB737NDMode = mode;
    model().NdRange = range;
    Draw();
    EXPECT_EQ(Has("16L") && Has("34R"), shown) << mode << " " << range;
  }
}

TEST_F(OverlaysTest, ProviderTrafficInModes3To6WithTheTrafficLayerOn) {
  auto entry = &Provider::Entry;
  void* p;
  std::memcpy(&p, &entry, sizeof p);
  host.registered[host::kTrafficProviderVariable] = {p, VAR_TYPE_FUNCTION};
  for (int shown : {1, 0}) {
    model().NdShowTraffic = shown;
    for (int mode = 1; mode <= 7; ++mode) {
      model().HWB737NDMode = mode;
      Draw();
      EXPECT_EQ(Has("+12"), shown == 1 && mode >= 3 && mode <= 6) << mode;
    }
  }
}

}  // namespace
}  // namespace ovi::nd::test
