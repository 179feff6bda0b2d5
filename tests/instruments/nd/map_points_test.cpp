// The navaid, airport and intersection layers of both displays from one
// case table. B737: mode 5 at 40 NM, 5.375 units per NM about (122, 249).
// MD-11: MAP at 80 NM, 150 / 80 = 1.875 units per NM about (120, 178) on its
// 240 x 258 canvas, drawn on a surface of that size.
#include "src/instruments/nd/map_points.h"
#include "src/instruments/nd/md11_nd.h"
#include "src/navdb/internal.h"
#include "tests/instruments/nd/map_layer_test_support.h"

namespace ovi::nd::test {
namespace {

using gfx::OpKind;
using navdb::NearKind;

class MapPointsTest : public MapLayerTest {
 public:
  void SetUp() override {
    MapLayerTest::SetUp();
    model().Md11NdRange = 80.0;
    model().HWMD11NDMode = 3;
  }
  // One record in the map list of its kind, the lists counted as built
  // about the aircraft so that nothing is rebuilt.
  void OnlyPoint(NearKind kind, const std::string& ident, const std::string& record_kind, double nm_north) {
    navdb::State& s = navdb::navdb_state;
    model::NavDbRecord r;
    r.ident = ident;
    r.kind = record_kind;
    r.latitude = North(nm_north);
    r.longitude = aircraft_lon;
    s.MapAirportCount = s.MapNavaidCount = s.MapAirwayPointCount = 0;
    switch (kind) {
      case NearKind::kAirports: s.MapAirportList[s.MapAirportCount = 1] = r; break;
      case NearKind::kNavaids: s.MapNavaidList[s.MapNavaidCount = 1] = r; break;
      case NearKind::kAirwayPoints: s.MapAirwayPointList[s.MapAirwayPointCount = 1] = r; break;
    }
    for (navdb::LatLon& c : s.NearListCenters) c = navdb::LatLon{aircraft_lat, aircraft_lon};
  }
  // Draws member `m` alone: B737 members on the 244 x 302 surface with the
  // frame of the current state, MD-11 members on 240 x 258.
  void DrawMember(int m) {
    const bool md11 = m >= 3;
    dc = std::make_unique<gfx::DeviceContext>(md11 ? 240 : 244, md11 ? 258 : 302);
    rec.Clear();
    dc->recorder = &rec;
    gfx::Graphics g(dc.get());
    display::GaugeDisplay& display = nd_state.B737NdDisplay;
    display.width = dc->width;
    display.height = dc->height;
    const PointLayerMember& member = PointLayerMembers()[static_cast<std::size_t>(m)];
    if (md11)
      DrawPointLayer(Md11MapView(display, g), kMd11MapFamily, member);
    else
      DrawPointLayer(B737MapView(MakeB737NdFrame(g, display, 1)), kB737MapFamily, member);
  }
};

struct MarkCase {
  int member;
  NearKind kind;
  const char* record_kind;
  const char* ident;
  // The mark: a symbol outline of `points` points with its reference point at
  // (x, y), or `circles` ellipses centred there.
  int points;
  int circles;
  gfx::ARGB colour;
  double x, y;
  double label_x, label_y;
  gfx::ARGB label_colour;
  const char* label;
};

// A point 10 NM north: (122, 195.25) on the B737, (120, 159.25) on the MD-11.
const MarkCase kMarkCases[] = {
    {0, NearKind::kNavaids, "V", "SEA", 19, 0, colour::kGreen, 119, 191.25, 126, 181.25, colour::kGreen, "SEA"},
    {0, NearKind::kNavaids, "N", "BF", 7, 0, colour::kGreen, 119, 191.25, 126, 181.25, colour::kGreen, "BF"},
    {1, NearKind::kAirports, "APT", "KSEA", 0, 1, colour::kBlue, 122, 195.25, 119, 175.25, colour::kBlue, "KSEA"},
    {1, NearKind::kAirports, "APT", "YSSYAB", 0, 1, colour::kBlue, 122, 195.25, 119, 175.25, colour::kBlue, "YSSYA"},
    {2, NearKind::kAirwayPoints, "I", "ALFAX", 4, 0, colour::kBlue, 122, 195.25, 129, 185.25, colour::kBlue,
     "ALFAX"},
    {2, NearKind::kAirwayPoints, "I", "ABCDEFGH", 4, 0, colour::kBlue, 122, 195.25, 129, 185.25, colour::kBlue,
     "ABCDEF"},
    {3, NearKind::kNavaids, "V", "SEA", 19, 0, colour::kBlue, 118, 156.25, 126, 149.25, colour::kBlue, "SEA"},
    {3, NearKind::kNavaids, "N", "BF", 0, 2, colour::kBlue, 123, 161.25, 126, 149.25, colour::kBlue, "BF"},
    {4, NearKind::kAirports, "APT", "YSSYAB", 0, 1, colour::kBlue, 120, 159.25, 123, 145.25, colour::kBlue,
     "YSSYAB"},
    {5, NearKind::kAirwayPoints, "I", "ALFAX", 4, 0, colour::kBlue, 119, 158.25, 126, 148.25, colour::kBlue,
     "ALFAX"},
};

TEST_F(MapPointsTest, MarksAndLabelsOfEveryMember) {
  for (const MarkCase& c : kMarkCases) {
    SCOPED_TRACE(::testing::Message() << PointLayerMembers()[static_cast<std::size_t>(c.member)].name << " "
                                      << c.record_kind << " " << c.ident);
    OnlyPoint(c.kind, c.ident, c.record_kind, 10.0);
    DrawMember(c.member);
    if (c.points > 0) {
      const auto marks = Symbols(c.points, c.colour);
      ASSERT_EQ(marks.size(), 1u);
      EXPECT_AT(marks[0], c.x, c.y);
    } else {
      const auto rings = Ops(OpKind::Ellipse, c.colour);
      ASSERT_EQ(static_cast<int>(rings.size()), c.circles);
      for (const gfx::RecordedOp* ring : rings) EXPECT_AT(ring->points[0], c.x, c.y);
    }
    const auto texts = rec.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, c.label);
    EXPECT_EQ(texts[0].color, c.label_colour);
    EXPECT_AT(texts[0], c.label_x, c.label_y);
    EXPECT_EQ(texts[0].font_family, "Arial");
    EXPECT_EQ(texts[0].font_style, gfx::FontStyleBold);
  }
}

TEST_F(MapPointsTest, CircleSizesAndPens) {
  // B737 airport: 10 across in a pen of 4 fine-grid units (about 2 device
  // pixels); MD-11: 8 across in a 1-unit pen; MD-11 other navaid 10 and 6.
  struct Case {
    int member;
    NearKind kind;
    const char* record_kind;
    std::vector<double> diameters;
    double pen;
  };
  for (const Case& c : {Case{1, NearKind::kAirports, "APT", {10}, 4 * std::sqrt(244.0 * 302.0) / 546.0},
                        Case{4, NearKind::kAirports, "APT", {8}, 1.0},
                        Case{3, NearKind::kNavaids, "N", {10, 6}, 1.0}}) {
    SCOPED_TRACE(c.member);
    OnlyPoint(c.kind, "X", c.record_kind, 10.0);
    DrawMember(c.member);
    const auto rings = Ops(OpKind::Ellipse, colour::kBlue);
    ASSERT_EQ(rings.size(), c.diameters.size());
    for (std::size_t i = 0; i < rings.size(); ++i) {
      EXPECT_NEAR(rings[i]->device_pen_width, c.pen, 0.02);
      EXPECT_NEAR(rings[i]->bounds.Width - rings[i]->device_pen_width, c.diameters[i], 1.0);
    }
  }
}

TEST_F(MapPointsTest, DistanceLimitsTwiceTheRangePlusTheMargin) {
  struct Case {
    int member;
    NearKind kind;
    double limit;  // B737 at 40 NM, MD-11 at 80 NM
  };
  for (const Case c : {Case{0, NearKind::kNavaids, 130}, Case{1, NearKind::kAirports, 90},
                       Case{2, NearKind::kAirwayPoints, 130}, Case{3, NearKind::kNavaids, 210},
                       Case{4, NearKind::kAirports, 210}, Case{5, NearKind::kAirwayPoints, 210}}) {
    SCOPED_TRACE(c.member);
    for (const auto& [nm, shown] : {std::pair{c.limit - 0.1, true}, {c.limit, true}, {c.limit + 0.1, false}}) {
      OnlyPoint(c.kind, "X", "V", nm);
      DrawMember(c.member);
      EXPECT_EQ(rec.CountText("X"), shown ? 1 : 0) << nm;
    }
  }
}

TEST_F(MapPointsTest, ListsAboutTheAircraftOnTheB737AndThePlanCentreOnTheMd11) {
  // An active waypoint 300 NM north centres both PLAN maps.
  Active(0, "FAR", North(300), aircraft_lon);
  plan().ActiveWaypointIndex = 0;
  model().HWB737NDMode = 7;
  model().HWMD11NDMode = kMd11NdModePlan;
  OnlyPoint(NearKind::kNavaids, "X", "V", 290.0);  // 10 NM south of FAR
  const navdb::State& s = navdb::navdb_state;
  DrawMember(0);
  EXPECT_EQ(s.NearListCenters[navdb::kNearNavaidsCenter].latitude, aircraft_lat);
  EXPECT_EQ(s.NearListCenters[navdb::kMapNavaidsCenter].latitude, aircraft_lat);
  // Measured from the PLAN centre: 10 NM south of (122, 171) at 2.75 per NM.
  EXPECT_AT(Text("X"), 122 + 4, 171 + 27.5 - 14);
  DrawMember(3);
  EXPECT_NEAR(s.NearListCenters[navdb::kNearNavaidsCenter].latitude, North(300), 1e-9);
  EXPECT_NEAR(s.NearListCenters[navdb::kMapNavaidsCenter].latitude, North(300), 1e-9);
}

TEST_F(MapPointsTest, ANavaidAddedAfterABuildShowsOnceTheNearListIsRebuilt) {
  model().NdRange = 160.0;  // drawn within 370 NM
  navdb::State& s = navdb::navdb_state;
  auto add = [&](const char* ident, double nm_north) {
    model::NavDbRecord& r = s.NavaidTable[++s.NavaidCount];
    r.ident = ident;
    r.kind = "V";
    r.latitude = North(nm_north);
    r.longitude = aircraft_lon;
    navdb::BuildPositionVectors(s.NavaidTable, s.NavaidCount, s.NavaidVectors);
  };
  add("OLD", 20.0);
  DrawMember(0);
  EXPECT_TRUE(Has("OLD"));
  add("NEW", 20.0);
  DrawMember(0);
  EXPECT_FALSE(Has("NEW"));
  // 190 NM on: the map list is rebuilt, from the near list of the start.
  guidance().PlaneLatitude = North(190);
  DrawMember(0);
  EXPECT_TRUE(Has("OLD"));
  EXPECT_FALSE(Has("NEW"));
  // Past 200 NM from the start (and 50 from the map list's last centre)
  // the near list is rebuilt and takes the new navaid.
  guidance().PlaneLatitude = North(250);
  DrawMember(0);
  EXPECT_TRUE(Has("NEW"));
}

TEST_F(MapPointsTest, AnEmptyListDrawsNothing) {
  for (int m = 0; m < 6; ++m) {
    DrawMember(m);
    EXPECT_EQ(rec.Size(), 0u) << m;
  }
}

}  // namespace
}  // namespace ovi::nd::test
