// The navigation display and the map card drawn with what the drawing
// layer and the map layers keep between frames (stroke coverage, glyph
// runs, great-circle places) against the same pictures drawn afresh: every
// mode, every range, over the sample region and a dense synthetic world,
// every layer on and the map turned.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/gfx/graphics.h"
#include "src/display/map_projection.h"
#include "src/navdb/state.h"
#include "tests/instruments/nd/nd_test_support.h"
#include "tests/support/navdata_fixture.h"
#include "tools/mapcard/mapcard.h"
#include "tools/navgen/navgen.h"

namespace ovi::nd::test {
namespace {

constexpr double kRanges[] = {0.5, 1, 2.5, 5, 10, 20, 40, 80, 160, 320};

void KeepAll(bool on) {
  gfx::detail::UseShapeCache(on);
  gfx::detail::UseGlyphRuns(on);
  gfx::detail::UseFarRunCulling(on);
  display::detail::UseGeoMemo(on);
}

struct KeepingBackOn {
  ~KeepingBackOn() {
    KeepAll(true);
    gfx::detail::UseStrokeSnap(true);
  }
};

// What the marks' stroke snap may do to a frame against the same frame
// drawn without it (docs/drawing.md, "Kept between frames"): no channel
// moves by more than a mark alone may move it (no two marks drawn over
// each other here), and the pixels that move, the marks' edges, are at
// most this share of the frame (at 160 NM in the dense world about a
// third: no pile of names covers the marks there any more, and no name
// another place's symbol).
constexpr int kSnapLevels = 40;
constexpr double kSnapMovedShare = 0.37;

int Differ(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  int n = 0;
  for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

class KeptPixelsTest : public NdTest {
 public:
  // Every layer on about (lat, lon), the map turned to 170, a route of six
  // waypoints through the place and a pending change.
  void Scene(double lat, double lon) {
    navdb::LoadNavDatabase();
    navdb::LoadAtcBoundaries();
    for (int i = 0; i < 6; ++i) {
      model::FlightPlanWaypoint& w = plan().ActiveFlightPlan[i];
      w.ident = "WP" + std::to_string(i);
      w.latitude = lat + 0.5 - i * 0.2;
      w.longitude = lon + (i % 2 == 0 ? -0.15 : 0.15);
    }
    plan().ActiveFlightPlanLastIndex = 5;
    plan().ActiveWaypointIndex = 2;
    plan().PendingFlightPlan = plan().ActiveFlightPlan;
    plan().PendingFlightPlanLastIndex = 5;
    plan().PendingFlightPlan[4].longitude += 0.1;
    guidance().PlaneLatitude = lat + 0.25;
    guidance().PlaneLongitude = lon;
    guidance().AircraftHeading = guidance().MapHeading = 170.0;
    guidance().GroundSpeedKnots = 320.0;
    model().ShowAtcBoundaries = 1;
    model().NdRangeRingsShown = 1;
    model().DispPrevWpt = 1;
    model().NdShowNavaids = model().NdShowAirports = model().NdShowIntersections = 1;
  }

  // The scene about Europe's cluster, the world's densest, in a synthetic
  // world of `percent` of the world's size written for the test (removed
  // after it).
  void DenseScene(const char* name, int percent) {
    // Its own per run: two builds' suites at once shared one world, and one
    // removed it under the other.
    world_ = std::filesystem::path(::testing::TempDir()) / (std::string(name) + "_" + std::to_string(::getpid()));
    ASSERT_TRUE(navgen::WriteSyntheticWorld(world_.string(), navgen::ScaledWorld(percent), 44, nullptr));
    host::host_state.SimulatorFolder = world_.string();
    Scene(49.0, 8.0);
  }
  void TearDown() override {
    std::error_code ec;
    if (!world_.empty()) std::filesystem::remove_all(world_, ec);
  }

  std::vector<std::uint32_t> Frame() {
    gfx::DeviceContext frame(247, 294);
    const PIXSIZE size{247, 294};
    DrawB737NavigationDisplay(nd_state.B737NdDisplay, &frame, &size, 1);
    return frame.pixels;
  }

  // Every mode at 160 NM and the map mode at every range: the frame drawn
  // afresh, then with keeping on twice (the second from what the first
  // kept); the counts of pixels that differ.
  void ExpectEveryModeAndRange(const char* where) {
    KeepingBackOn restore;
    struct View {
      int mode;
      double range;
    };
    std::vector<View> views;
    for (int mode = 1; mode <= 7; ++mode) views.push_back({mode, 160.0});
    for (double range : kRanges) views.push_back({5, range});
    views.push_back({7, 10.0});
    for (const View& view : views) {
      model().HWB737NDMode = view.mode;
      model().NdRange = view.range;
      KeepAll(false);
      Frame();  // the lists built for the view
      const std::vector<std::uint32_t> fresh = Frame();
      KeepAll(true);
      gfx::detail::Shapes().Clear();
      gfx::detail::ForgetGlyphRuns();
      const std::vector<std::uint32_t> keeping = Frame(), kept = Frame();
      EXPECT_EQ(Differ(keeping, fresh), 0) << where << ", mode " << view.mode << ", " << view.range << " NM, keeping";
      EXPECT_EQ(Differ(kept, fresh), 0) << where << ", mode " << view.mode << ", " << view.range << " NM, kept";
    }
    // The map lists were not empty: the point layers were drawn.
    EXPECT_GT(navdb::navdb_state.MapAirportCount, 0) << where;
    EXPECT_GT(navdb::navdb_state.MapNavaidCount, 0) << where;
  }

 private:
  std::filesystem::path world_;
};

TEST_F(KeptPixelsTest, SampleRegionInEveryModeAndRange) {
  navdb::test::UseSampleData();
  Scene(47.4, -122.3);
  ExpectEveryModeAndRange("sample");
}

TEST_F(KeptPixelsTest, DenseWorldInEveryModeAndRange) {
  ASSERT_NO_FATAL_FAILURE(DenseScene("ovi_kept_pixels_world", 10));
  ExpectEveryModeAndRange("world");
}

// The largest difference of a channel between two pictures.
int LargestDifference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  int largest = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    for (int shift = 0; shift < 32; shift += 8)
      largest = std::max(largest, std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                                           static_cast<int>((b[i] >> shift) & 0xFF)));
  return largest;
}

// A turning flight over the dense world with every speed-up on (the marks
// moved onto their eighth of a pixel, what was kept painted) against the
// same frames with none: after every step of a seeded sequence of turns
// (through north both ways, at the standard rate and in jumps), moves,
// range changes and a layer switched, the frames stay within the snap's
// tolerance.
TEST_F(KeptPixelsTest, TurningSequenceStaysWithinTheSnapTolerance) {
  KeepingBackOn restore;
  ASSERT_NO_FATAL_FAILURE(DenseScene("ovi_kept_pixels_turn", 10));
  model().HWB737NDMode = 5;
  model().NdRange = 160.0;
  guidance().AircraftHeading = guidance().MapHeading = 355.0;
  gfx::detail::Shapes().Clear();
  gfx::detail::ForgetGlyphRuns();
  std::mt19937 rng(52);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  double rate = 1.0 / 6.0;  // degrees a frame: 3 a second
  int differ = 0;
  for (int step = 0; step < 60; ++step) {
    switch (pick(0, 9)) {
      case 0: rate = -rate; break;
      case 1: guidance().MapHeading += pick(-40, 40); break;
      case 2: model().NdRange = model().NdRange == 160.0 ? 80.0 : 160.0; break;
      case 3: model().NdShowAirports = 1 - model().NdShowAirports; break;
      case 4: guidance().PlaneLatitude -= 0.01 * pick(0, 3); break;
      default: break;
    }
    double heading = std::fmod(guidance().MapHeading + rate, 360.0);
    if (heading < 0.0) heading += 360.0;
    guidance().AircraftHeading = guidance().MapHeading = heading;
    KeepAll(false);
    gfx::detail::UseStrokeSnap(false);
    const std::vector<std::uint32_t> fresh = Frame();
    KeepAll(true);
    gfx::detail::UseStrokeSnap(true);
    const std::vector<std::uint32_t> kept = Frame();
    ASSERT_LE(LargestDifference(kept, fresh), kSnapLevels) << "step " << step << ", heading " << heading;
    ASSERT_LE(Differ(kept, fresh), kSnapMovedShare * static_cast<double>(kept.size())) << "step " << step;
    differ += Differ(kept, fresh);
  }
  // The marks did move onto their grid.
  EXPECT_GT(differ, 0);
}

// The densest views the snap meets: the world-sized set's densest
// cluster in the map modes (arc, centred, plan) at every range from 10 to
// 320 NM, the map turned to seeded headings. Every view shows marks, and
// every one stays within the snap's tolerance.
TEST_F(KeptPixelsTest, DenseViewsStayWithinTheSnapTolerance) {
  KeepingBackOn restore;
  ASSERT_NO_FATAL_FAILURE(DenseScene("ovi_kept_pixels_dense", 100));
  std::mt19937 rng(56);
  for (int mode = 5; mode <= 7; ++mode) {
    for (int range : {10, 20, 40, 80, 160, 320}) {
      model().HWB737NDMode = mode;
      model().NdRange = range;
      for (int k = 0; k < 3; ++k) {
        guidance().AircraftHeading = guidance().MapHeading = std::uniform_real_distribution<double>(0.0, 360.0)(rng);
        gfx::detail::UseStrokeSnap(false);
        const std::vector<std::uint32_t> placed = Frame();
        gfx::detail::UseStrokeSnap(true);
        const std::vector<std::uint32_t> snapped = Frame();
        const int moved = Differ(snapped, placed);
        const std::string view = "mode " + std::to_string(mode) + ", " + std::to_string(range) + " NM";
        EXPECT_LE(LargestDifference(snapped, placed), kSnapLevels) << view;
        EXPECT_LE(moved, kSnapMovedShare * static_cast<double>(snapped.size())) << view;
        EXPECT_GT(moved, 0) << view;
      }
    }
  }
}

TEST(KeptPixels, MapCard) {
  KeepingBackOn restore;
  auto card = [] {
    gfx::DeviceContext dc(mapcard::kMapCardWidth, mapcard::kMapCardHeight);
    mapcard::DrawMapCard(dc);
    return dc.pixels;
  };
  KeepAll(false);
  const std::vector<std::uint32_t> fresh = card();
  KeepAll(true);
  gfx::detail::Shapes().Clear();
  gfx::detail::ForgetGlyphRuns();
  const std::vector<std::uint32_t> keeping = card(), kept = card();
  EXPECT_EQ(Differ(keeping, fresh), 0);
  EXPECT_EQ(Differ(kept, fresh), 0);
}

}  // namespace
}  // namespace ovi::nd::test
