// The FIX INFO fixes on both displays. The overlay works on the plain
// scale in integer canvas units: B737 mode 5 at 40 NM, 5.375 per NM about
// (122, 249); MD-11 MAP at 80 NM, 1.875 per NM about (120, 178).
#include <filesystem>

#include "src/display/map_symbols.h"
#include "src/flightplan/load.h"
#include "src/host/state.h"
#include "tests/sim/test_support.h"
#include "src/instruments/nd/md11_nd.h"
#include "tests/instruments/nd/map_layer_test_support.h"

namespace ovi::nd::test {
namespace {

using gfx::OpKind;

class FixInfoOverlayTest : public MapLayerTest {
 public:
  model::FixInfoRecord& Fix(int n, const std::string& ident, const std::string& kind, double nm_north) {
    model::FixInfoRecord& f = plan().FixInfoTable[n];
    f.ident = ident;
    f.kind = kind;
    f.latitude = North(nm_north);
    f.longitude = aircraft_lon;
    return f;
  }
  void DrawMd11() {
    model().Md11NdRange = 80.0;
    dc = std::make_unique<gfx::DeviceContext>(240, 258);
    rec.Clear();
    dc->recorder = &rec;
    gfx::Graphics g(dc.get());
    const display::GaugeDisplay display{.width = 240, .height = 258};
    DrawMd11NdFixInfo(display, g);
  }
  std::vector<const gfx::RecordedOp*> Dashed(OpKind kind, gfx::ARGB colour) const {
    std::vector<const gfx::RecordedOp*> out;
    for (const gfx::RecordedOp* op : Ops(kind, colour))
      if (op->dash == gfx::DashStyle::Dash) out.push_back(op);
    return out;
  }
  std::vector<const gfx::RecordedOp*> FixCircles() const {
    std::vector<const gfx::RecordedOp*> out;
    for (const gfx::RecordedOp* op : Ops(OpKind::Ellipse, colour::kGreen))
      if (op->dash == gfx::DashStyle::Solid) out.push_back(op);
    return out;
  }
};

TEST_F(FixInfoOverlayTest, SymbolAndCircleOncePerRowAtTheFix) {
  // 10 NM north: 53.75 truncated to 53, the fix at (122, 196).
  Fix(1, "SEA", "V", 10.0);
  Draw();
  // A VOR: code 1 at (x - 2, y - 4) in the colour style 1 gives (blue).
  const auto vors = Symbols(19, colour::kBlue);
  ASSERT_EQ(vors.size(), 3u);
  EXPECT_AT(vors[2], 120, 192);
  const auto circles = FixCircles();
  ASSERT_EQ(circles.size(), 3u);
  EXPECT_AT(circles[0]->points[0], 122, 196);
  EXPECT_NEAR(circles[0]->device_pen_width, 1.0, 0.01);
  EXPECT_EQ(Dashed(OpKind::Ellipse, colour::kGreen).size(), 0u);
  // Other kinds: the triangle at (x, y - 3); "N" is drawn as a VOR.
  for (const auto& [kind, points, x, y] : {std::tuple{"N", 19, 120, 192}, {"APT", 4, 122, 193}, {"I", 4, 122, 193}}) {
    Fix(1, "SEA", kind, 10.0);
    Draw();
    const auto marks = Symbols(points, colour::kBlue);
    ASSERT_EQ(marks.size(), 3u) << kind;
    EXPECT_AT(marks[0], x, y);
  }
}

TEST_F(FixInfoOverlayTest, RingsAndTheirLabelsWhereTheRingLeavesRoom) {
  struct Case {
    double fix_nm, distance;
    const char* label;
    double x, y;  // the label's top-left corner
  };
  for (const Case& c : {
           // y + r = -53 + 26 <= -10: under the ring.
           Case{10, 5, "5.0", 122 - 6, 249 - 53 + 26 + 1},
           // Fix 2 NM north (y -10): right of the ring.
           Case{2, 5, "5.0", 122 + 26 + 3, 249 - 10 - 7},
           // r 134 reaches x 110: above the ring (y - r = -144).
           Case{2, 25, "25.0", 122 - 8, 249 - 10 - 134 - 9},
           // r 215: y - r = -225, beyond -200: left of the ring.
           Case{2, 40, "40.0", 122 - 215 - 18, 249 - 10 - 7},
       }) {
    SCOPED_TRACE(c.label);
    Fix(1, "SEA", "V", c.fix_nm).rows[0].distance = c.distance;
    Draw();
    const auto rings = Dashed(OpKind::Ellipse, colour::kGreen);
    ASSERT_EQ(rings.size(), 1u);
    const double r = static_cast<int>(c.distance * 5.375);
    EXPECT_NEAR(rings[0]->bounds.Width, static_cast<int>(2 * c.distance * 5.375) + 1.0, 0.01);
    EXPECT_AT(rings[0]->points[0], 122 - r + static_cast<int>(2 * c.distance * 5.375) / 2.0,
              249 - static_cast<int>(c.fix_nm * 5.375) - r + static_cast<int>(2 * c.distance * 5.375) / 2.0);
    const auto label = Text(c.label);
    EXPECT_AT(label, c.x, c.y);
    EXPECT_EQ(label.color, colour::kGreen);
    EXPECT_EQ(label.font_size, 8.0f);
  }
}

TEST_F(FixInfoOverlayTest, RadialLinesOutwardWithUprightLabels) {
  struct Case {
    double radial;
    const char* label;
    double end_x, end_y;      // the line's far end from the fix at (122, 196)
    double label_x, label_y;  // the label's corner
  };
  const double l = 360 * 5.375;
  for (const Case& c : {Case{90, "090", 122 + l, 196, 147, 196}, Case{270, "270", 122 - l, 196, 87, 196},
                        // An entered 000 is stored as 360 and drawn as 000.
                        Case{360, "000", 122, 196 - l, 122, 171}}) {
    SCOPED_TRACE(c.label);
    Fix(1, "SEA", "V", 10.0).rows[1].radial = c.radial;
    Draw();
    const auto lines = Dashed(OpKind::Line, colour::kGreen);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0]->device_pen_width, 1.0, 0.01);
    EXPECT_NE(LineBetween(colour::kGreen, 122, 196, c.end_x, c.end_y, 1.0), nullptr);
    EXPECT_AT(Text(c.label), c.label_x, c.label_y);
  }
}

TEST_F(FixInfoOverlayTest, AFarFixPushesItsRadialLabelOut) {
  // 200 NM south at 40 NM: ((200 - 40) x 0.5 + 40) x 5.375 = 645 from the fix.
  Fix(1, "FAR", "I", -200.0).rows[0].radial = 90.0;
  Draw();
  EXPECT_AT(Text("090"), 122 + 645, 249 + 1075);
}

TEST_F(FixInfoOverlayTest, NothingBeyond380NmAndNothingForAnEmptyFix) {
  Fix(1, "NEAR", "I", 379.9).rows[0] = {90.0, 10.0};
  Fix(2, "FAR", "I", -380.1).rows[0] = {90.0, 10.0};
  Draw();
  EXPECT_EQ(FixCircles().size(), 3u);
  EXPECT_EQ(Dashed(OpKind::Ellipse, colour::kGreen).size(), 1u);
  EXPECT_EQ(rec.CountText("090"), 1);
  plan().FixInfoTable[1].ident.clear();
  Draw();
  EXPECT_EQ(FixCircles().size(), 0u);
}

TEST_F(FixInfoOverlayTest, PlanPlacesFixesNorthUpAboutTheCentre) {
  Active(0, "CTR", North(20), aircraft_lon);
  plan().ActiveWaypointIndex = 0;
  model().HWB737NDMode = 7;
  guidance().MapHeading = guidance().AircraftHeading = 90.0;
  // 10 NM north of the centre at 2.75 per NM: 27.5, truncated.
  Fix(1, "SEA", "V", 30.0).rows[0].radial = 90.0;
  Draw();
  EXPECT_AT(FixCircles()[0]->points[0], 122, 171 - 27);
  // Radial reference 0: 090 runs to the right.
  EXPECT_NE(LineBetween(colour::kGreen, 122, 144, 122 + 360 * 2.75, 144, 1.0), nullptr);
}

TEST_F(FixInfoOverlayTest, AFlightPlanLoadTakesBothFixesOffTheDisplay) {
  sim::test::ScratchDir folder("fix_info_load");
  std::filesystem::create_directories(folder / "ovi/flightplans");
  sim::test::WriteFile(folder / "ovi/flightplans/TWO.rte",
                       "[FlightPlan]\nKSEA 47.44900 -122.30930 APT ---\nOLM 46.97130 -122.90220 VOR ---    DIRECT\n");
  host::host_state.SimulatorFolder = folder.path();
  Fix(1, "SEA", "V", 10.0);
  Fix(2, "OLM", "V", 20.0);
  Draw();
  ASSERT_EQ(FixCircles().size(), 6u);
  plan().RequestedFlightPlanFile = "TWO.rte";
  flightplan::LoadRequestedFlightPlan(3);
  ASSERT_EQ(plan().ActiveFlightPlan[1].ident, "OLM");  // the plan did load
  Draw();
  EXPECT_EQ(FixCircles().size(), 0u);
}

// --- MD-11 -------------------------------------------------------------------

TEST_F(FixInfoOverlayTest, Md11SymbolsByTheDatabaseKindWithTheIdent) {
  // 10 NM north: 18.75 truncated to 18, the fix at (120, 160).
  struct Case {
    const char* kind;
    int symbol_points;  // 0: ellipses
    gfx::ARGB colour;
    int ellipses;
  };
  for (const Case c : {Case{"APT", 0, colour::kWhite, 1}, Case{"A", 0, colour::kWhite, 1},
                       Case{"V", 19, colour::kWhite, 0}, Case{"N", 0, colour::kWhite, 2},
                       Case{"I", 4, display::kMapGrey, 0}}) {
    SCOPED_TRACE(c.kind);
    Fix(1, "SEA", c.kind, 10.0);
    DrawMd11();
    if (c.symbol_points > 0) {
      EXPECT_EQ(Symbols(c.symbol_points, c.colour).size(), 3u);
    } else {
      const auto marks = Ops(OpKind::Ellipse, c.colour);
      ASSERT_EQ(static_cast<int>(marks.size()), 3 * c.ellipses);
      EXPECT_AT(marks[0]->points[0], 120, 160);
    }
    EXPECT_EQ(rec.CountText("SEA"), 3);
    const auto ident = Text("SEA");
    EXPECT_AT(ident, 128, 153);
    EXPECT_EQ(ident.color, colour::kWhite);
    EXPECT_EQ(ident.font_size, 10.0f);
    EXPECT_EQ(FixCircles().size(), 3u);
  }
}

TEST_F(FixInfoOverlayTest, Md11RadialsBothWaysRingsWithoutLabels) {
  model::FixInfoRecord& f = Fix(1, "SEA", "I", 10.0);
  f.rows[0] = {90.0, 5.0};
  f.rows[1] = {360.0, 0.0};
  DrawMd11();
  EXPECT_EQ(Dashed(OpKind::Ellipse, colour::kGreen).size(), 1u);
  EXPECT_FALSE(Has("5.0"));
  // 090: the reciprocal toward -x first, labelled at -25 - 10, the radial at 25 - 10.
  EXPECT_AT(Text("090R"), 135, 160);
  EXPECT_AT(Text("270"), 85, 160);
  const double l = 360 * 1.875;
  EXPECT_NE(LineBetween(colour::kWhite, 120, 160, 120 + l, 160, 1.0), nullptr);
  EXPECT_NE(LineBetween(colour::kWhite, 120, 160, 120 - l, 160, 1.0), nullptr);
  EXPECT_NEAR(Dashed(OpKind::Line, colour::kWhite)[0]->device_pen_width, 2.0, 0.01);
  // A stored 360 is 000R with the reciprocal 180.
  EXPECT_TRUE(Has("000R"));
  EXPECT_TRUE(Has("180"));
}

TEST_F(FixInfoOverlayTest, Md11LeavesTheTunedStationToItsStationLayer) {
  Fix(1, "SEA", "V", 10.0).rows[0].radial = 90.0;
  host.texts[47] = "SEA";
  struct Case {
    double signal, flags, dme;
    bool tuned;
  };
  for (const Case c : {Case{1, 0, 10, true}, Case{1, 0, 14.9, true}, Case{1, 0, 15.1, false},
                       Case{1, 0, 5.1, true}, Case{0, 0, 10, false}, Case{1, kLocalizer, 10, false}}) {
    SCOPED_TRACE(::testing::Message() << c.signal << " " << c.flags << " " << c.dme);
    host.tokens[kTokenNav1Signal] = c.signal;
    host.tokens[kTokenNav1Flags] = c.flags;
    guidance().Nav1DmeDistance = c.dme;
    DrawMd11();
    EXPECT_EQ(Has("SEA"), !c.tuned);
    EXPECT_EQ(FixCircles().size(), c.tuned ? 0u : 3u);
    EXPECT_EQ(Text("090R").color, c.tuned ? colour::kMagenta : colour::kWhite);
  }
  // No station ident from the simulator: no fix is the tuned one.
  host.texts.erase(47);
  host.tokens[kTokenNav1Signal] = 1.0;
  host.tokens[kTokenNav1Flags] = 0.0;
  guidance().Nav1DmeDistance = 10.0;
  DrawMd11();
  EXPECT_TRUE(Has("SEA"));
}

}  // namespace
}  // namespace ovi::nd::test
