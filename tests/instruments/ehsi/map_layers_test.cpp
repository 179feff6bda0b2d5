// The EHSI maps' layers: the nine point members from one table, their
// switches, limits and reach, the lists about the map centre, each
// display's PLAN centre, layer order and conditions, route, racetrack, the
// DU-1000's FIX INFO and selected runways, boundaries about the aircraft,
// the altitude arc's conditions, clips on two surface sizes and the
// aircraft on a north-up map.
#include <cmath>
#include <limits>
#include <set>
#include <string>

#include "src/display/map_labels.h"
#include "src/instruments/nd/shared_layers.h"
#include "tests/instruments/ehsi/map_test_support.h"

namespace ovi::ehsi::test {
namespace {

using navdb::NearKind;

struct MarkCase;

class MapLayersTest : public EhsiMapTest {
 public:
  // In a picture with the route, as the map draws it.
  void DrawMember(Which which, nd::PointLayerIndex member) {
    Surface(which);
    const EhsiMap map = Map(which);
    const display::MapPicture picture(*map.view.g);
    const RouteStyle* styles[] = {&kDu1000RouteStyle, &kProline4RouteStyle, &kMd80RouteStyle};
    if (ActiveRouteIndex() >= 0) DrawEhsiRoute(map, *styles[which]);
    DrawEhsiPoints(map, member);
  }
  // The member's labels of `text`: those at its label's place.
  std::size_t LayerLabels(const MarkCase& c) const;
  std::vector<const gfx::RecordedOp*> OpsOf(OpKind kind, gfx::ARGB colour) const { return Ops(kind, colour); }
  static void AllSwitches(int on) {
    M().Du1000ShowNavaids = M().Du1000ShowAux = M().Du1000ShowAirports = M().Du1000ShowIntersections = on;
    M().Proline4ShowVors = M().Proline4ShowNdbs = M().Proline4ShowAirports = M().Proline4ShowIntersections = on;
    M().Md80EhsiShowNavaids = M().Md80EhsiShowAirports = M().Md80EhsiShowIntersections = on;
  }
  static void Hold(double lat, int turn_side, double leg) {
    model::HoldingPattern& h = Plan().HoldTable[1];
    h.active_index = 1;
    h.turn_side = turn_side;
    h.leg_length = leg;
    h.inbound_course = 0.0;
    h.corners[0].latitude = lat;
    h.corners[0].longitude = kLon;
    Plan().HoldCount = 1;
  }
};

struct MarkCase {
  Which which;
  nd::PointLayerIndex member;
  NearKind kind;
  const char* record_kind;
  const char* ident;
  OpKind mark;  // Text: the mark is the "*"
  gfx::ARGB colour;
  int marks;
  double mark_dx, mark_dy;  // canvas units from the point
  double label_dx, label_dy;
  gfx::ARGB label_colour;
  double label_size;  // canvas units
  const char* label;
};

constexpr gfx::ARGB kM = colour::kMagenta, kB = colour::kBlue;
// Each display shifts the point by its (ox, oy) before the mark and the
// label (the MD-80 airport's label stands 10 above the point itself).
const MarkCase kMarks[] = {
    {kDu1000, nd::kDu1000NavaidLayer, NearKind::kNavaids, "V", "SEA", OpKind::Ellipse, kM, 1, -3, 1.9, 4, -14, kM, 12,
     "SEA"},
    {kDu1000, nd::kDu1000NavaidLayer, NearKind::kNavaids, "N", "ABCDEFGHI", OpKind::Lines, kM, 1, -3, -4, 4, -14, kM,
     12, "ABCDEFG"},
    {kDu1000, nd::kDu1000NavaidLayer, NearKind::kNavaids, "O", "OTHER", OpKind::Lines, kM, 0, 0, 0, 0, 0, 0, 0, ""},
    {kDu1000, nd::kDu1000AirportLayer, NearKind::kAirports, "APT", "KSEA", OpKind::Text, kM, 1, -6, -8, 4, -14, kM,
     12, "KSEA"},
    {kDu1000, nd::kDu1000AirwayPointLayer, NearKind::kAirwayPoints, "I", "ALFAX", OpKind::Lines, kM, 1, -3, -4, 4,
     -14, kM, 12, "ALFAX"},
    {kProline4, nd::kProline4NavaidLayer, NearKind::kNavaids, "V", "SEA", OpKind::Lines, kB, 1, -3, -4, 4, -8, kB, 10,
     "SEA"},
    {kProline4, nd::kProline4NavaidLayer, NearKind::kNavaids, "N", "BF", OpKind::Lines, kB, 1, -3, -4, 4, -8, kB, 10,
     "BF"},
    {kProline4, nd::kProline4NavaidLayer, NearKind::kNavaids, "O", "OTHER", OpKind::Lines, kB, 0, 0, 0, 0, 0, 0, 0,
     ""},
    {kProline4, nd::kProline4AirportLayer, NearKind::kAirports, "APT", "KSEA", OpKind::Ellipse, kB, 1, 2, 1, 9, -6, kB,
     10, "KSEA"},
    {kProline4, nd::kProline4IntersectionLayer, NearKind::kAirwayPoints, "I", "ALFAX", OpKind::Lines, kB, 1, -3, -4, 4,
     -8, kB, 10, "ALFAX"},
    {kMd80, nd::kMd80NavaidLayer, NearKind::kNavaids, "V", "SEA", OpKind::Lines, kB, 1, -2, -3, 6, -10, kB, 10, "SEA"},
    {kMd80, nd::kMd80NavaidLayer, NearKind::kNavaids, "O", "OTHER", OpKind::Ellipse, kB, 2, 3, 2, 6, -10, kB, 10,
     "OTHER"},
    {kMd80, nd::kMd80AirportLayer, NearKind::kAirports, "APT", "KSEA", OpKind::Ellipse, kB, 1, 0, 0, 3, -10, kB, 10,
     "KSEA"},
    {kMd80, nd::kMd80IntersectionLayer, NearKind::kAirwayPoints, "I", "ALFAX", OpKind::Lines, kB, 1, -1, -1, 6, -11,
     kB, 10, "ALFAX"},
};

std::size_t MapLayersTest::LayerLabels(const MarkCase& c) const {
  const double py = -10.0 * geometry->units_per_nm;
  std::size_t n = 0;
  for (const auto& t : TextsOf(c.label)) n += Near({t.x, t.y}, Canvas(c.label_dx, py + c.label_dy), 0.75);
  return n;
}

// A point 10 NM north: 39 units above the DU-1000's arc centre, 35 above the
// Pro Line 4's, 90 above the MD-80's.
TEST_F(MapLayersTest, PointMembersFromOneTable) {
  AllSwitches(1);
  for (const MarkCase& c : kMarks) {
    SCOPED_TRACE(::testing::Message() << nd::PointLayerMembers()[c.member].name << " " << c.record_kind);
    OnlyPoint(c.kind, c.ident, c.record_kind, North(10));
    DrawMember(c.which, c.member);
    const double py = -10.0 * geometry->units_per_nm;
    if (c.marks == 0) {
      EXPECT_EQ(rec.Texts().size(), 0u);
      EXPECT_TRUE(OpsOf(c.mark, c.colour).empty());
      continue;
    }
    if (c.mark == OpKind::Text) {
      const auto star = TextsOf("*");
      ASSERT_EQ(star.size(), 1u);
      EXPECT_TRUE(Near({star[0].x, star[0].y}, Canvas(c.mark_dx, py + c.mark_dy), 1.0));
      EXPECT_NEAR(star[0].font_size, 17.0 * (dc->width + dc->height) / 318.0, 0.01);
    } else {
      const auto marks = OpsOf(c.mark, c.colour);
      ASSERT_EQ(static_cast<int>(marks.size()), c.marks);
      for (const gfx::RecordedOp* m : marks) EXPECT_TRUE(Near(m->points[0], Canvas(c.mark_dx, py + c.mark_dy), 1.0));
    }
    const auto labels = TextsOf(c.label);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].color, c.label_colour);
    EXPECT_EQ(labels[0].font_family, "Arial");
    EXPECT_TRUE(Near({labels[0].x, labels[0].y}, Canvas(c.label_dx, py + c.label_dy), 0.75));
    // Sized by the horizontal factor of the grid: F (w + h) / canvas width.
    const double f = c.which == kMd80 ? 16.0 : 1.0;
    EXPECT_NEAR(labels[0].font_size, c.label_size * f * (dc->width + dc->height) / geometry->canvas_w, 0.01);
  }
}

// A point the active route passes keeps its mark and leaves its ident to
// the route, which writes it a few units off (the two ran into one,
// "UUBG"); a waypoint of that ident a NM away, or a route without an
// active waypoint, leaves the label where it was. In a whole picture each
// display then prints the ident once.
TEST_F(MapLayersTest, AnIdentTheRouteWritesIsWrittenOnce) {
  AllSwitches(1);
  for (const MarkCase& c : kMarks) {
    if (c.marks == 0) continue;
    SCOPED_TRACE(::testing::Message() << nd::PointLayerMembers()[c.member].name << " " << c.record_kind);
    OnlyPoint(c.kind, c.ident, c.record_kind, North(10));
    // 5 NM off is another place (20 pixels on the DU-1000); 1 NM (4 pixels)
    // put the two names one over the other.
    for (auto [route_nm, active, labelled] : {std::tuple{10.0, 0, false}, {15.0, 0, true}, {10.0, 999, true}}) {
      Entry(0, c.ident, North(route_nm));
      Plan().ActiveWaypointIndex = active;
      DrawMember(c.which, c.member);
      EXPECT_EQ(LayerLabels(c), labelled ? 1u : 0u) << route_nm << " " << active;
      if (c.mark == OpKind::Text)
        EXPECT_EQ(TextsOf("*").size(), 1u);
      else
        EXPECT_EQ(static_cast<int>(OpsOf(c.mark, c.colour).size()), c.marks);
    }
  }
  // UBG as a VOR and the route's active waypoint, the navaids shown.
  OnlyPoint(NearKind::kNavaids, "UBG", "V", North(10));
  Entry(0, "UBG", North(10), kLon, "VOR");
  Plan().ActiveWaypointIndex = 0;
  for (Which which : {kDu1000, kProline4, kMd80}) {
    Surface(which);
    const PIXSIZE size{dc->width, dc->height};
    if (which == kDu1000) DrawDu1000Ehsi(ehsi_state.Du1000Display, dc.get(), &size, 1);
    if (which == kProline4) DrawProline4Mfd(ehsi_state.Proline4Display, dc.get(), &size, 1);
    if (which == kMd80) DrawMd80Ehsi(ehsi_state.Md80Display, dc.get(), &size, 1);
    int on_map = 0;  // the data blocks at the top name the active waypoint too
    for (const auto& t : TextsOf("UBG")) on_map += t.y > 30.0f;
    EXPECT_EQ(on_map, 1) << which;
  }
}

// The display calls a member while one of its switches is 1 and the range
// is within its limit; a DU-1000 or Pro Line 4 navaid draws a "V" by the
// VOR switch and an "N" by the NDB switch; a point 2 x range + 50 NM out is
// drawn, one a tenth farther is not.
TEST_F(MapLayersTest, SwitchesLimitsKindsAndReach) {
  struct Limit {
    nd::PointLayerIndex member;
    std::int32_t model::State::*sw;
    double limit;
  } limits[] = {{nd::kDu1000NavaidLayer, &model::State::Du1000ShowAux, 240},
                {nd::kDu1000AirportLayer, &model::State::Du1000ShowAirports, 120},
                {nd::kDu1000AirwayPointLayer, &model::State::Du1000ShowIntersections, 60},
                {nd::kProline4NavaidLayer, &model::State::Proline4ShowNdbs, 160},
                {nd::kProline4AirportLayer, &model::State::Proline4ShowAirports, 80},
                {nd::kProline4IntersectionLayer, &model::State::Proline4ShowIntersections, 40},
                {nd::kMd80NavaidLayer, &model::State::Md80EhsiShowNavaids, 160},
                {nd::kMd80AirportLayer, &model::State::Md80EhsiShowAirports, 160},
                {nd::kMd80IntersectionLayer, &model::State::Md80EhsiShowIntersections, 80}};
  for (const Limit& l : limits) {
    const nd::PointLayerMember& m = nd::PointLayerMembers()[l.member];
    SCOPED_TRACE(m.name);
    AllSwitches(0);
    EXPECT_FALSE(nd::PointLayerShown(m, 5));
    M().*l.sw = 1;
    EXPECT_TRUE(nd::PointLayerShown(m, l.limit));
    EXPECT_EQ(nd::PointLayerShown(m, l.limit + 0.01), l.member == nd::kDu1000NavaidLayer);
  }

  AllSwitches(0);
  M().Du1000ShowAux = 1;
  for (auto [kind, drawn] : {std::pair{"V", false}, {"N", true}, {"O", false}}) {
    OnlyPoint(NearKind::kNavaids, "X", kind, North(10));
    DrawMember(kDu1000, nd::kDu1000NavaidLayer);
    EXPECT_EQ(rec.Texts().size(), drawn ? 1u : 0u) << kind;
  }
  for (auto [nm, drawn] : {std::pair{169.9, true}, {170.0, true}, {170.1, false}}) {
    OnlyPoint(NearKind::kNavaids, "X", "N", North(nm));
    DrawMember(kDu1000, nd::kDu1000NavaidLayer);
    EXPECT_EQ(rec.Texts().size(), drawn ? 1u : 0u) << nm;
  }
}

// The lists follow the map's centre: on the north-up map centred on a
// waypoint 50.1 NM away the map list is rebuilt about the waypoint, at
// 49.9 NM it stays; the near list (200 NM) stays either way.
TEST_F(MapLayersTest, ListsRebuiltAboutTheMapCentre) {
  M().DU1000EHSIMode = 2;
  M().Du1000ShowNavaids = 1;
  for (auto [nm, rebuilt] : {std::pair{49.9, false}, {50.1, true}}) {
    for (navdb::LatLon& c : Nav().NearListCenters) c = navdb::LatLon{kLat, kLon};
    Entry(0, "AAA", kLat);
    Entry(1, "BBB", North(nm));
    Plan().ActiveWaypointIndex = 1;
    DrawMember(kDu1000, nd::kDu1000NavaidLayer);
    EXPECT_DOUBLE_EQ(Nav().NearListCenters[navdb::kMapNavaidsCenter].latitude, rebuilt ? North(nm) : kLat) << nm;
    EXPECT_DOUBLE_EQ(Nav().NearListCenters[navdb::kNearNavaidsCenter].latitude, kLat);
  }
}

// Entries 0..4 at 0, 10, 20, 30, 40 NM north, entry 3 a marker at 0 N 0 E.
TEST_F(MapLayersTest, PlanCentreOfEachDisplay) {
  for (int i = 0; i <= 4; ++i) Entry(i, "P" + std::to_string(i), North(10 * i));
  Entry(3, "DISCO", 0.0, 0.0);
  struct Case {
    Which which;
    int step, active;
    double nm;  // -1: the aircraft
  } cases[] = {
      {kDu1000, 2, 1, 20},    {kDu1000, 0, 1, 10},  {kDu1000, 2, 999, -1},   {kDu1000, 9, 1, 10},  // step past the end
      {kDu1000, 0, 9, -1},    {kDu1000, 3, 1, 10},                                              // a marker stepped
      {kProline4, 2, 1, 20},  {kProline4, 2, 999, -1}, {kProline4, 9, 4, 40},
      {kMd80, 2, 999, 20},    {kMd80, 0, 999, -1},  {kMd80, 9, 999, -1},    {kMd80, 0, 4, 40},
  };
  G().MapHeading = 30.0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.which << " step " << c.step << " active " << c.active);
    Plan().PlanStepIndex = c.step;
    Plan().ActiveWaypointIndex = c.active;
    M().DU1000EHSIMode = M().PROLINE4MFDMode = M().MD80EHSIMode = 2;
    Surface(c.which);
    const EhsiMap plan = Map(c.which);
    EXPECT_DOUBLE_EQ(plan.view.reference.latitude, c.nm < 0 ? kLat : North(c.nm));
    EXPECT_DOUBLE_EQ(plan.view.rotation, 0.0);
    M().DU1000EHSIMode = M().PROLINE4MFDMode = M().MD80EHSIMode = 3;
    const EhsiMap arc = Map(c.which);
    EXPECT_DOUBLE_EQ(arc.view.reference.latitude, kLat);
    EXPECT_DOUBLE_EQ(arc.view.rotation, 30.0);
  }
}

// Every layer's condition with everything there to draw.
TEST_F(MapLayersTest, LayerTablesByModeVariantAndRange) {
  AllSwitches(1);
  M().NdShowTraffic = M().ShowAtcBoundaries = 1;
  Entry(0, "AAA", kLat);
  Entry(1, "BBB", North(10));
  Plan().ActiveWaypointIndex = 1;
  Hold(North(10), 1, 4);
  Plan().FixInfoTable[2].ident = "SEA";
  navdb::procedure_state.AirportProcedureSets[2].SelectedRunwayIndex = 1;
  Nav().SelectedRunwayBase = 1;
  Nav().AirportRunwayCount = 1;
  G().ApMaster = G().ApAltitudeLock = 1;
  G().AircraftAltitude = 8000;
  G().ApAltitudeLockVar = 5000;
  G().VerticalSpeedFpm = -1500;
  using Names = std::set<std::string>;
  auto names = [&](Which which, int mode, double range, int variant) {
    M().DU1000EHSIMode = M().PROLINE4MFDMode = M().MD80EHSIMode = mode;
    M().Du1000EhsiRange = M().Proline4MapRange = M().Md80EhsiMapRange = range;
    Surface(which);
    const EhsiMap map = Map(which, variant);
    const auto table =
        which == kDu1000 ? Du1000MapLayerTable() : which == kProline4 ? Proline4MapLayerTable() : Md80MapLayerTable();
    Names out;
    for (const auto& layer : table)
      if (layer.condition(map)) out.insert(layer.name);
    return out;
  };
  const Names du_arc = {"navaids",  "airports", "airway points",    "arrival runway", "route",          "hold",
                        "fix info", "markers",  "approach pattern", "traffic",        "atc boundaries",
                        "airport runways"};
  EXPECT_EQ(names(kDu1000, 3, 2.5, 1), du_arc);
  Names less = du_arc;
  less.erase("atc boundaries");
  EXPECT_EQ(names(kDu1000, 3, 2.5, 3), less);
  less = du_arc;
  less.erase("airport runways");
  EXPECT_EQ(names(kDu1000, 3, 5, 1), less);
  less.erase("airway points");
  EXPECT_EQ(names(kDu1000, 3, 120, 1), less);
  less.erase("airports");
  EXPECT_EQ(names(kDu1000, 3, 240, 1), less);
  EXPECT_EQ(names(kDu1000, 2, 60, 1),
            (Names{"navaids", "airports", "airway points", "arrival runway", "route", "hold", "aircraft"}));

  const Names pl4_arc = {"navaids", "airports", "intersections", "route", "markers", "approach pattern", "hold",
                         "traffic", "atc boundaries", "altitude arc"};
  EXPECT_EQ(names(kProline4, 3, 40, 1), pl4_arc);
  EXPECT_EQ(names(kProline4, 3, 160, 1),
            (Names{"navaids", "route", "markers", "approach pattern", "hold", "traffic", "atc boundaries",
                   "altitude arc"}));
  EXPECT_EQ(names(kProline4, 3, 320, 3), (Names{"route", "markers", "approach pattern", "hold", "altitude arc"}));
  EXPECT_EQ(names(kProline4, 2, 40, 1),
            (Names{"navaids", "airports", "intersections", "route", "hold", "atc boundaries", "aircraft"}));

  const Names md_map = {"markers", "navaids",      "airports",        "intersections",
                        "route",   "approach pattern", "hold",        "traffic",
                        "altitude arc", "airport runways", "atc boundaries"};
  EXPECT_EQ(names(kMd80, 3, 2.5, 1), md_map);
  EXPECT_EQ(names(kMd80, 3, 160, 3),
            (Names{"markers", "navaids", "airports", "route", "approach pattern", "hold", "traffic", "altitude arc"}));
  EXPECT_EQ(names(kMd80, 3, 320, 1),
            (Names{"markers", "route", "approach pattern", "hold", "traffic", "altitude arc", "atc boundaries"}));
  EXPECT_EQ(names(kMd80, 2, 2.5, 1), (Names{"route", "hold"}));
}

// AAA, BBB, a marker, CCC (a VOR), DDD (an airport): the line breaks at the
// marker; idents and symbols by each display's table.
TEST_F(MapLayersTest, RouteOfEachDisplay) {
  Entry(0, "AAA", North(2));
  Entry(1, "BBB", North(4));
  Entry(2, "THEN", 0.0, 0.0);
  Entry(3, "CCC", North(6), kLon, "VOR");
  Entry(4, "DDD", North(8), kLon, "APT");
  const gfx::ARGB w = colour::kWhite, gr = colour::kGreen;
  struct Case {
    Which which;
    int active;
    gfx::ARGB aaa, bbb, ccc, ddd;
    double label_dx, label_dy, font;
  } cases[] = {
      {kDu1000, 1, w, gr, w, w, 7, -15, 15}, {kDu1000, 3, w, w, kB, w, 7, -15, 15},
      {kDu1000, 4, w, w, w, w, 7, -15, 15},  {kProline4, 1, kB, kM, w, w, 7, -8, 12},
      {kProline4, 4, w, w, kB, kM, 7, -8, 12}, {kMd80, 3, w, w, kM, w, 7, -7, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.which << " active " << c.active);
    Plan().ActiveWaypointIndex = c.active;
    Surface(c.which);
    DrawEhsiRoute(Map(c.which), c.which == kDu1000 ? kDu1000RouteStyle : c.which == kProline4 ? kProline4RouteStyle
                                                                                              : kMd80RouteStyle);
    const double upn = geometry->units_per_nm;
    const std::pair<const char*, gfx::ARGB> idents[] = {{"AAA", c.aaa}, {"BBB", c.bbb}, {"CCC", c.ccc}, {"DDD", c.ddd}};
    for (const auto& [ident, brush] : idents) {
      const auto t = TextsOf(ident);
      ASSERT_EQ(t.size(), 1u) << ident;
      EXPECT_EQ(t[0].color, brush) << ident;
    }
    EXPECT_TRUE(TextsOf("THEN").empty());
    const auto aaa = TextsOf("AAA")[0];
    EXPECT_TRUE(Near({aaa.x, aaa.y}, Canvas(c.label_dx, -2 * upn + c.label_dy), 0.75));
    const double f = c.which == kMd80 ? 16.0 : 1.0;
    EXPECT_NEAR(aaa.font_size, c.font * f * (dc->width + dc->height) / geometry->canvas_w, 0.01);
    const auto legs = Ops(OpKind::Line, colour::kWhite);
    ASSERT_EQ(legs.size(), 2u);  // AAA-BBB and CCC-DDD
    EXPECT_TRUE(Near(legs[0]->points[0], Canvas(0, -2 * upn), 0.75));
    EXPECT_TRUE(Near(legs[1]->points[1], Canvas(0, -8 * upn), 0.75));
  }
  Plan().ActiveFlightPlanLastIndex = 0;
  Plan().ActiveWaypointIndex = 0;
  Surface(kDu1000);
  DrawEhsiRoute(Map(kDu1000), kDu1000RouteStyle);
  EXPECT_EQ(rec.Texts().size(), 1u);
  EXPECT_TRUE(Ops(OpKind::Line, colour::kWhite).empty());
}

// A hold at 10 NM north with legs of 5 NM, inbound 000: the outbound leg
// stands 0.75 leg beside the inbound one on the DU-1000 and Pro Line 4
// (turn side 1 right, any other left), 0.5 on the MD-80: 0.75 x 5 x 3.9 x
// 318 / 310 = 15.0 device pixels, 0.75 x 5 x 3.5 x 247 / 285 = 11.4, and
// 0.5 x 5 x 9 x 318 / 232 = 30.8.
TEST_F(MapLayersTest, RacetrackTurnWidths) {
  const double expected[] = {15.0, 11.38, 30.84};
  for (Which which : {kDu1000, kProline4, kMd80}) {
    for (int side : {1, 2}) {
      SCOPED_TRACE(::testing::Message() << which << " side " << side);
      Hold(North(10), side, 5);
      Surface(which);
      const EhsiMap map = Map(which);
      if (which == kDu1000) DrawDu1000Hold(map);
      if (which == kProline4) DrawProline4HoldingPattern(map);
      if (which == kMd80) DrawMd80EhsiHoldingPattern(map);
      const gfx::PointF fix = Canvas(0, -10 * geometry->units_per_nm);
      const auto lines = Ops(OpKind::Line, colour::kMagenta);
      ASSERT_EQ(lines.size(), 3u);
      EXPECT_TRUE(Near(lines[2]->points[1], fix, 1.0));  // the inbound leg ends on the fix
      EXPECT_NEAR(lines[1]->points[0].X - fix.X, (side == 1 ? 1 : -1) * expected[which], 1.0);
    }
  }
}

// FIX INFO on the DU-1000 (60 NM, 3.9 units a NM about (159, 272)): a
// ring of 10 NM (39 units) under a ring wholly above the aircraft, right of
// one around it; radials reach 380 NM + the range; nothing beyond 380 NM.
TEST_F(MapLayersTest, Du1000FixInfo) {
  model::FixInfoRecord& fix = Plan().FixInfoTable[1];
  fix.ident = "SEA";
  fix.kind = "V";
  fix.longitude = kLon;
  fix.rows[0] = {90.0, 10.0};
  struct Case {
    double nm;
    double label_x, label_y;  // canvas, about the arc centre
  } cases[] = {{30.1, -8, -77}, {-5, 42, 12}};  // 117.4 and 19.5 units: whole units 117 and 19
  for (const Case& c : cases) {
    fix.latitude = North(c.nm);
    Surface(kDu1000);
    DrawDu1000FixInfo(Map(kDu1000));
    const auto label = TextsOf("10.0");
    ASSERT_EQ(label.size(), 1u) << c.nm;
    EXPECT_TRUE(Near({label[0].x, label[0].y}, Canvas(c.label_x, c.label_y), 0.75)) << c.nm;
    const auto radial = Ops(OpKind::Line, colour::kGreen);
    ASSERT_FALSE(radial.empty());
    EXPECT_NEAR(std::fabs(radial.back()->points[1].X - radial.back()->points[0].X), 440 * 3.9, 1.0);
  }
  fix.latitude = North(380.5);
  Surface(kDu1000);
  DrawDu1000FixInfo(Map(kDu1000));
  EXPECT_EQ(rec.Size(), 0u);
}

// The selected departure runway: its number cut to 4 characters 8 units
// right of its threshold, two lines below 60 NM and a 7-point outline from
// 60 NM on, within 100 NM of the map's reference and an index within both
// runway tables.
TEST_F(MapLayersTest, Du1000SelectedRunways) {
  model::AirportProcedureSet& set = navdb::procedure_state.AirportProcedureSets[1];
  set.RunwayCount = 1;
  set.SelectedRunwayIndex = 1;
  set.Runways[1].number_text = "16LXX";
  set.Runways[1].longitude = kLon;
  struct Case {
    double nm, range;
    int table;
    int lines, outlines;
  } cases[] = {{99.9, 30, 1, 2, 0}, {99.9, 60, 1, 0, 1}, {100.1, 30, 1, 0, 0}, {10, 30, 0, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.nm << " NM at " << c.range);
    set.Runways[1].latitude = North(c.nm);
    M().Du1000EhsiRange = c.range;
    Nav().AirportRunwayCount = c.table;
    Surface(kDu1000);
    DrawDu1000SelectedRunways(Map(kDu1000), 1);
    EXPECT_EQ(static_cast<int>(Ops(OpKind::Line, colour::kWhite).size()), c.lines);
    int outlines = 0;
    for (const auto* op : Ops(OpKind::Lines, colour::kWhite)) outlines += op->points.size() == 7u ? 1 : 0;
    EXPECT_EQ(outlines, c.outlines);
    const auto number = TextsOf("16LX");
    ASSERT_EQ(number.size(), c.lines + c.outlines > 0 ? 1u : 0u);
    if (!number.empty()) {
      EXPECT_TRUE(Near({number[0].x, number[0].y}, Canvas(8, -c.nm * 234 / c.range), 0.75));
    }
  }
}

// At 2.5 NM the runways overlay names both ends of the airport's runways;
// the end the arrival runway's own label names already keeps that white
// label alone (the two were 8 pixels apart, "10R0R"); the other end keeps
// the overlay's red one.
TEST_F(MapLayersTest, Du1000RunwayEndNamedOnce) {
  model::AirportProcedureSet& set = navdb::procedure_state.AirportProcedureSets[2];
  set.RunwayCount = set.SelectedRunwayIndex = 1;
  model::RunwayRecord& rwy = set.Runways[1];
  rwy.number_text = "10R";
  rwy.latitude = North(1);
  rwy.longitude = kLon;
  rwy.heading = 100;
  rwy.length = 6000;
  Nav().AirportRunwayTable[1] = rwy;
  Nav().AirportRunwayCount = 1;
  M().DU1000EHSIMode = 3;
  M().Du1000EhsiRange = 2.5;
  M().Du1000ShowAirports = 1;  // a map layer on: the map is drawn
  Surface(kDu1000);
  const PIXSIZE size{dc->width, dc->height};
  DrawDu1000Ehsi(ehsi_state.Du1000Display, dc.get(), &size, 1);
  const auto near = TextsOf("10R"), far = TextsOf("28L");
  ASSERT_EQ(near.size(), 1u);
  EXPECT_EQ(near[0].color, colour::kWhite);
  ASSERT_EQ(far.size(), 1u);
  EXPECT_EQ(far[0].color, 0xFFC90101u);
}

// A boundary from the aircraft to 10 NM north. On the north-up maps the
// outlines start from the aircraft's place, 30 NM south of the DU-1000's
// centre (117 units below (159, 155)) and 20 NM south of the Pro Line 4's
// (35 units below (123, 155)); heading up from the centre.
TEST_F(MapLayersTest, BoundariesAboutTheAircraft) {
  model::AtcBoundary& b = Nav().AtcBoundaryTable[1];
  b.point_count = 2;
  b.points[1] = {kLat, kLon};
  b.points[2] = {North(10), kLon};
  Nav().AtcBoundaryCount = 1;
  Nav().AtcBoundaryPointCount = 2;
  Entry(0, "AAA", kLat);
  Entry(1, "BBB", North(30));
  Plan().ActiveWaypointIndex = 1;
  struct Case {
    Which which;
    int mode;
    double x, y;
  } cases[] = {{kDu1000, 2, 159, 272}, {kDu1000, 3, 159, 272}, {kProline4, 2, 123, 190}, {kProline4, 3, 123, 220}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.which << " mode " << c.mode);
    Entry(1, "BBB", North(c.which == kDu1000 ? 30 : 20));
    M().DU1000EHSIMode = M().PROLINE4MFDMode = c.mode;
    M().Proline4MapRadius = c.mode == 2 ? 70 : 140;
    Surface(c.which);
    if (c.which == kDu1000)
      DrawDu1000AtcBoundaries(Map(c.which));
    else
      DrawProline4AtcBoundaries(Map(c.which));
    const auto outline = rec.Find(OpKind::Lines);
    ASSERT_EQ(outline.size(), 1u);
    EXPECT_TRUE(Near(outline[0]->points[0], At(c.x, c.y), 1.0));
  }
}

// Each condition of the altitude arc alone, then the arc where the descent
// meets the selected altitude: Pro Line 4 (8000 - 5000) / -1000 x 300 / 60
// x 3.5 = -52.5 units, box (-45, -52) of 90; MD-80 x 9 = -135, box (-75,
// -135) of 150.
TEST_F(MapLayersTest, AltitudeArcConditionsAndPlace) {
  auto wanted = [&](double master, double lock, double selected, double vs) {
    G().ApMaster = master;
    G().ApAltitudeLock = lock;
    G().AircraftAltitude = 8000;
    G().ApAltitudeLockVar = selected;
    G().VerticalSpeedFpm = vs;
    return AltitudeRangeArcWanted();
  };
  EXPECT_TRUE(wanted(1, 1, 5000, -1000));
  EXPECT_FALSE(wanted(0, 1, 5000, -1000));
  EXPECT_FALSE(wanted(1, 0, 5000, -1000));
  EXPECT_FALSE(wanted(1, 1, 8000, -1000));
  EXPECT_FALSE(wanted(1, 1, 5000, -200));
  EXPECT_TRUE(wanted(1, 1, 5000, -200.5));
  wanted(1, 1, 5000, -1000);
  G().GroundSpeedKnots = 300;
  Surface(kProline4);
  DrawProline4AltitudeRangeArc(Map(kProline4));
  auto arc = Ops(OpKind::Arc, colour::kGreen);
  ASSERT_EQ(arc.size(), 1u);
  EXPECT_TRUE(Near(arc[0]->points[2], At(123, 220 - 52 + 45), 0.5));
  G().VerticalSpeedFpm = -1500;
  G().GroundSpeedKnots = 450;
  Surface(kMd80);
  DrawMd80EhsiAltitudeRangeArc(Map(kMd80));
  arc = Ops(OpKind::Arc, colour::kGreen);
  ASSERT_EQ(arc.size(), 1u);
  EXPECT_TRUE(Near(arc[0]->points[2], At(133, 204 - 135 + 75), 0.5));
}

// The clip of each map on two surface sizes: the DU-1000's compass circle
// (heading up only), the Pro Line 4's area under the data window or its
// circle, less the readouts' boxes, reset at the end; a range that is no
// positive number draws no map.
TEST_F(MapLayersTest, ClipsOnTwoSizesAndRangesWithoutScale) {
  struct Case {
    Which which;
    int mode;
    double left, top, right, bottom;  // canvas
  } cases[] = {{kDu1000, 3, 159 - 234, 272 - 234, 159 + 234, 272 + 234},
               {kDu1000, 2, 0, 0, 0, 0},
               {kProline4, 2, 0, 75, 246, 293},
               {kProline4, 3, 123 - 140, 220 - 140, 123 + 140, 220 + 140}};
  for (const Case& c : cases) {
    for (auto [w, h] : {std::pair{0, 0}, {600, 420}}) {
      SCOPED_TRACE(::testing::Message() << c.which << " mode " << c.mode << " " << w);
      M().DU1000EHSIMode = M().PROLINE4MFDMode = c.mode;
      M().Proline4MapRadius = c.mode == 2 ? 70 : 140;
      Surface(c.which, w, h);
      if (c.which == kDu1000)
        DrawDu1000MapLayers(display, *g, 1);
      else
        DrawProline4MapLayers(display, *g, 1);
      std::vector<const gfx::RecordedOp*> clips;
      for (const gfx::RecordedOp* op : rec.Find(OpKind::Clip))
        if (op->combine != gfx::CombineMode::Exclude) clips.push_back(op);
      ASSERT_EQ(clips.size(), c.left == c.right ? 0u : 1u);
      EXPECT_EQ(rec.Find(OpKind::ResetClip).size(), 1u);
      if (clips.empty()) continue;
      const gfx::RectF& r = clips[0]->bounds;
      EXPECT_NEAR(r.X, c.left * sx, 1.0);
      EXPECT_NEAR(r.Y, c.top * sy, 1.0);
      EXPECT_NEAR(r.X + r.Width, c.right * sx, 1.0);
      EXPECT_NEAR(r.Y + r.Height, c.bottom * sy, 1.0);
    }
  }
  Entry(0, "AAA", kLat);
  Plan().ActiveWaypointIndex = 0;
  for (double range : {0.0, -40.0, std::numeric_limits<double>::quiet_NaN()}) {
    M().Du1000EhsiRange = M().Proline4MapRange = range;
    Surface(kDu1000);
    DrawDu1000MapLayers(display, *g, 1);
    EXPECT_EQ(rec.Size(), 0u) << range;
    Surface(kProline4);
    DrawProline4MapLayers(display, *g, 1);
    EXPECT_EQ(rec.Size(), 0u) << range;
  }
}

// North up, the aircraft stands at its place from the map's centre, turned
// by the true heading: 30.1 NM south of a waypoint on the DU-1000 (117
// whole units below (159, 155)), 20.1 NM on the Pro Line 4 (35 below (123,
// 155)); a
// heading of 90 turns the symbol's cross bar upright.
TEST_F(MapLayersTest, AircraftOnTheNorthUpMaps) {
  G().MapHeading = 90.0;
  G().AircraftHeading = 74.0;
  Entry(0, "AAA", kLat);
  Plan().ActiveWaypointIndex = 1;
  M().DU1000EHSIMode = M().PROLINE4MFDMode = 2;
  M().Proline4MapRadius = 70;
  struct Case {
    Which which;
    double nm, x, y;
    gfx::ARGB colour;
  } cases[] = {{kDu1000, 30.1, 159, 272, colour::kTan}, {kProline4, 20.1, 123, 190, colour::kWhite}};
  for (const Case& c : cases) {
    Entry(1, "BBB", North(c.nm));
    Surface(c.which);
    const EhsiMap map = Map(c.which);
    DrawPlanAircraft(map, c.which == kDu1000 ? kDu1000AircraftSymbol : kProline4AircraftSymbol);
    const auto bar = Ops(OpKind::Line, c.colour);
    ASSERT_EQ(bar.size(), 4u);
    EXPECT_TRUE(Near(bar[0]->points[0], At(c.x, c.y - 10), 1.0));
    EXPECT_TRUE(Near(bar[0]->points[1], At(c.x, c.y + 10), 1.0));
  }
}

}  // namespace
}  // namespace ovi::ehsi::test
