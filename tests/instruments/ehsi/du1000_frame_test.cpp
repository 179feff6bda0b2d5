// The DU-1000 frame: blanking, the background, the pieces of each mode, and
// the canvas on a surface of any shape.
#include <cmath>
#include <limits>

#include "src/display/state.h"
#include "src/navdb/state.h"
#include "tests/instruments/ehsi/du1000_test_support.h"

namespace ovi::ehsi::test {
namespace {

TEST_F(Du1000Test, PowerOffAndVariantTwoOnlyClearTheSurface) {
  for (auto [power, variant] : {std::pair{0, 1}, {0, 3}, {1, 2}}) {
    G().DisplayPower = power;
    Draw(0, variant);
    ASSERT_EQ(rec.Size(), 1u) << power << " " << variant;
    EXPECT_TRUE(rec.Ops()[0].kind == OpKind::Clear && rec.Ops()[0].color == 0x00000000u);
  }
}

// Circles of the full rose (200), the arc (468) and the centred rose (280);
// a mode outside 0..3 draws the background and the data blocks alone.
TEST_F(Du1000Test, ModeTable) {
  M().DU1000EHSIBkgrdColorRed = 0x112;  // the low 8 bits of each key
  M().DU1000EHSIBkgrdColorBlue = -1;
  struct Case {
    int mode, rose, arc, centred;
    bool blocks;
  } cases[] = {{0, 1, 0, 0, true}, {1, 0, 1, 0, true}, {2, 0, 0, 1, false},
               {3, 0, 1, 0, true}, {4, 0, 0, 0, true}, {-1, 0, 0, 0, true}};
  for (const Case& c : cases) {
    Draw(c.mode);
    EXPECT_TRUE(rec.Ops()[0].filled && rec.Ops()[0].color == 0xFF1200FFu);
    EXPECT_TRUE(Near(rec.Ops()[0].points[2], At(318, 310)));
    EXPECT_EQ(CountCircles(colour::kWhite, 200), c.rose) << c.mode;
    EXPECT_EQ(CountCircles(colour::kWhite, 468), c.arc) << c.mode;
    EXPECT_EQ(CountCircles(colour::kWhite, 280), c.centred) << c.mode;
    EXPECT_EQ(Has("GS") && Has("---/---"), c.blocks) << c.mode;
  }
}

// Twice as wide and half as high as the canvas: places, fonts and pens
// follow both scales.
TEST_F(Du1000Test, CanvasScalesToANonSquareSurface) {
  G().GroundSpeedKnots = 250.0;
  Draw(0, 1, 636, 155);
  gfx::Recorder::TextItem gs;
  ASSERT_TRUE(rec.FindText("250", &gs));
  EXPECT_TRUE(Near({gs.x, gs.y}, At(40, 0)) && gs.font_family == "Arial" && gs.font_size == 15.0f);
  EXPECT_EQ(gs.color, colour::kGreen);
  EXPECT_TRUE(TextAt("0", At(-6, -131, kRoseX, kRoseY)));
  const gfx::RecordedOp* rose = Ops(OpKind::Ellipse, colour::kWhite)[0];
  EXPECT_TRUE(Near(rose->points[0], At(kRoseX, kRoseY)));
  EXPECT_NEAR(rose->bounds.Width - rose->device_pen_width, 400, 0.01);
  EXPECT_NEAR(rose->bounds.Height - rose->device_pen_width, 100, 0.01);
  EXPECT_NEAR(rose->device_pen_width, 2.0, 0.01);  // 2 units x sqrt(2 x 0.5)
}

// Every kind of text of each mode with its place, font and colour: the
// data blocks in bold Arial, the arc's own texts in bold "DA Rered".
TEST_F(Du1000Test, TextsWithPlaceFontAndColour) {
  Radio(1.0, 0xC0, 0x1090);
  G().GroundSpeedKnots = 250.0;
  G().TrueAirspeedEstimate = 240.0;
  G().SelectedCourse = 5.4;
  G().ApHeadingLockDir = 270.0;  // 90 degrees left: the arc writes it 40 degrees left
  G().WindDirectionMagnetic = 90.0;
  G().WindSpeed = 12.0;
  G().BearingToActiveWaypoint = 207.0;
  G().ActiveWaypointDistance = 28.0;
  M().Du1000EhsiRange = 60.0;
  flightplan::State& f = flightplan::flightplan_state;
  f.ActiveFlightPlan[1].ident = "OLM";
  f.ActiveFlightPlanLastIndex = f.ActiveWaypointIndex = 1;
  // Places are canvas points (At() before any picture is drawn), scaled
  // to each surface below.
  const char *arial = "Arial", *rered = "DA Rered";
  const gfx::ARGB green = colour::kGreen, blue = colour::kBlue, white = colour::kWhite;
  struct Row {
    int mode;
    const char* text;
    gfx::PointF at;
    const char* family;
    float size;
    gfx::ARGB c;
  } rows[] = {
      {0, "GS", At(10, 0), arial, 12, green},           {0, "250", At(40, 0), arial, 15, green},
      {0, "TAS", At(10, 15), arial, 12, green},         {0, "240", At(40, 15), arial, 15, green},
      {0, "ILS", At(150, 0), arial, 15, blue},          {0, "G/S", At(290, 45), arial, 12, blue},
      {0, "110.90", At(140, 15), arial, 15, blue},      {0, "CRS", At(250, 3), arial, 12, blue},
      {0, "005\xC2\xB0", At(280, 0), arial, 15, blue},  {0, "090/12 ", At(0, 295), arial, 12, green},
      {0, "0", At(153, 24), arial, 15, white},          {0, "9", At(159 + 123 - 6, 155 - 8), arial, 15, white},
      {1, "0", At(153, 14), rered, 15, white},          {1, "ILS", At(149, 77), rered, 15, blue},
      {1, "G/S", At(284, 117), rered, 12, white},       {1, "110.90", At(139, 92), rered, 15, blue},
      {1, "270", At(-10, -230, 159, 272, -40), rered, 15, blue},
      {1, "CRS", At(250, 3), arial, 12, blue},          {1, " 40", At(12, 162), arial, 15, blue},
      {1, " 20", At(68, 217), arial, 15, blue},         {2, "N", At(164, 20), arial, 15, green},
      {2, "E", At(282, 135), arial, 15, green},         {3, "OLM", At(255, 0), arial, 12, green},
      {3, "207\xC2\xB0", At(270, 12), arial, 12, green}, {3, "28NM", At(272.4, 24), arial, 12, green},
      {3, " 40", At(12, 162), arial, 15, blue},         {3, "270", At(-10, -230, 159, 272, -40), rered, 15, blue},
  };
  for (int size : {311, 155}) {
    for (int mode = 0; mode < 4; ++mode) {
      Draw(mode, 1, 318 * 311 / size, size);
      for (const Row& r : rows) {
        if (r.mode != mode) continue;
        EXPECT_TRUE(StyledAt(r.text, gfx::PointF(r.at.X * sx, r.at.Y * sy), r.family, r.size, r.c))
            << mode << " \"" << r.text << "\" at " << size;
      }
    }
  }
}

// Every value the picture reads at once not a number, infinite or huge, in
// every mode and with the descent's altitude arc armed: the frame completes
// with finite places and transforms and bounded texts, never "nan", and
// leaves the map scale finite for the layers that read it.
TEST_F(Du1000Test, InputsOfAnySizeDrawAFinitePicture) {
  const double inf = std::numeric_limits<double>::infinity();
  for (double v : {std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1e300, -1e300, 2147483648.0, -2147483649.0}) {
    guidance::State& s = G();
    s.AircraftHeading = s.HeadingOffsetToken550 = s.AdfRelativeBearing = s.SelectedCourse = s.Nav1CdiNeedle = v;
    s.ApHeadingLockDir = s.Nav1GlideslopeNeedle = s.GroundTrack = s.GroundSpeedKnots = s.TrueAirspeedEstimate = v;
    s.BearingToActiveWaypoint = s.ActiveWaypointDistance = s.WindSpeed = s.WindDirectionMagnetic = v;
    s.AdfSignal = 2.0;
    s.ApMaster = s.ApAltitudeLock = 1.0;
    s.ApAltitudeLockVar = 0.0;
    s.AircraftAltitude = std::isnan(v) ? 1e6 : std::fabs(v);
    s.VerticalSpeedFpm = -1000.0;
    M().Du1000EhsiRange = v > 0.0 ? 1e-200 : v;
    Radio(1.0, 0xC0, v);
    flightplan::flightplan_state.ActiveWaypointIndex = 0;
    for (int mode : {0, 1, 2, 3, 7}) {
      Draw(mode);
      EXPECT_EQ(Has("GS"), mode != 2) << v << " mode " << mode;
      EXPECT_TRUE(std::isfinite(display::display_state.MapPixelsPerNm) && std::isfinite(navdb::navdb_state.CalcDistance));
      for (const gfx::RecordedOp& op : rec.Ops()) {
        bool finite = std::isfinite(op.start_angle) && std::isfinite(op.sweep_angle);
        for (float m : op.matrix) finite = finite && std::isfinite(m);
        for (const gfx::PointF& p : op.points) finite = finite && std::isfinite(p.X) && std::isfinite(p.Y);
        EXPECT_TRUE(finite) << v << " mode " << mode << " op " << static_cast<int>(op.kind) << " " << op.text;
        EXPECT_LE(op.text.size(), 99u);
        EXPECT_EQ(op.text.find("nan"), std::string::npos) << op.text;
        EXPECT_EQ(op.text.find("inf"), std::string::npos) << op.text;
      }
    }
  }
}

}  // namespace
}  // namespace ovi::ehsi::test
