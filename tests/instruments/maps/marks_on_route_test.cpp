// Every map display, each drawn at its design size and at twice its width
// and 1.5 times its height, the aircraft south and west of zero, the maps
// turned 20 degrees: the top of climb and descent (drawn through the shared
// markers) lie on the route's line, halfway along the leg they are placed
// on, and their labels never meet, nor meet a name; each place the layers
// share is named once, by the route where it names it, and no two names
// read as one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "src/display/labels.h"
#include "src/display/map_labels.h"
#include "tests/host/fake_panels.h"
#include "tests/instruments/maps/every_map.h"
#include "tests/instruments/maps/texts.h"

namespace ovi {
namespace {

using namespace maps_test;

struct Geo {
  double lat, lon;
};
// `east` and `north` NM from the aircraft at 10 S 20 W (a degree of
// latitude is 60 NM on the module's sphere).
Geo At(double east, double north) { return {-10.0 + north / 60.0, -20.0 + east / (60.0 * std::cos(10.0 * M_PI / 180))}; }
const Geo kRoute[] = {At(0, -10), At(4, 6), At(10, 14), At(16, 24), At(26, 30)};
Geo Halfway(int leg) { return {(kRoute[leg].lat + kRoute[leg + 1].lat) / 2, (kRoute[leg].lon + kRoute[leg + 1].lon) / 2}; }

class MarksOnRouteTest : public ::testing::TestWithParam<Map> {
 public:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
    G().DisplayPower = 1;
    G().PlaneLatitude = -10.0, G().PlaneLongitude = -20.0;
    G().MapHeading = G().AircraftHeading = 20.0;
    G().DestinationDistance = 60.0;
    G().VnavEngaged = 1;  // the P1000's and the EFS 50's circles show with it
    G().AircraftAltitude = G().NextConstraintAltitude = 20000.0;
    M().CruiseAlt = 30000;
    flightplan::State& f = flightplan::flightplan_state;
    for (int i = 0; i < 5; ++i) {
      f.ActiveFlightPlan[i].ident = "WPT" + std::to_string(i);
      f.ActiveFlightPlan[i].latitude = kRoute[i].lat, f.ActiveFlightPlan[i].longitude = kRoute[i].lon;
      f.ActiveFlightPlan[i].value3 = -1.0;  // no inbound course
    }
    f.ActiveFlightPlanLastIndex = 4;
    f.ActiveWaypointIndex = 1;
    flightplan::ActiveRouteChanged();
    G().NextConstraintLat = kRoute[4].lat, G().NextConstraintLon = kRoute[4].lon;
    GetParam().set();
  }
  // The route's waypoints without names: nothing on the map but the marks'
  // labels to keep clear of.
  static void Unnamed() {
    for (int i = 0; i < 5; ++i) flightplan::flightplan_state.ActiveFlightPlan[i].ident.clear();
    flightplan::ActiveRouteChanged();
  }
  gfx::Recorder Draw(int width, int height, const Geo& toc, const Geo& tod) {
    G().TocLatitude = toc.lat, G().TocLongitude = toc.lon, G().TodLatitude = tod.lat, G().TodLongitude = tod.lon;
    G().DisplayRefreshCounter = 0;  // the P1000 repaints in full
    gfx::DeviceContext dc(width, height);
    gfx::Recorder rec;
    dc.recorder = &rec;
    const PIXSIZE size{width, height};
    GetParam().draw(&dc, &size);
    return rec;
  }
  // The points marked in `rec` (top of climb first): its shown operations
  // that differ from `other`'s, the same picture with the marks swapped.
  // (The C-17's page 6 lays its layers a second time under a clip that
  // hides them.)
  std::vector<gfx::PointF> Marks(const gfx::Recorder& rec, const gfx::Recorder& other, int width, int height) const {
    std::vector<const gfx::RecordedOp*> moved;
    EXPECT_EQ(rec.Size(), other.Size());
    for (std::size_t i = 0; i < rec.Size() && i < other.Size(); ++i) {
      const gfx::RecordedOp &a = rec.Ops()[i], &b = other.Ops()[i];
      if (a.visible && a.kind == b.kind && !a.points.empty() && a.points.size() == b.points.size() &&
          (a.points[0].X != b.points[0].X || a.points[0].Y != b.points[0].Y))
        moved.push_back(&a);
    }
    const Map& m = GetParam();
    std::vector<gfx::PointF> out;
    for (std::size_t k = 0; k < moved.size(); ++k) {
      const gfx::RecordedOp& op = *moved[k];
      if (m.mark == Mark::kText && op.kind == OpKind::Text)
        out.push_back({static_cast<float>(op.points[0].X - 8.0 * width / m.canvas_w),
                       static_cast<float>(op.points[0].Y + 7.0 * height / m.canvas_h)});
      if (m.mark == Mark::kCircle && op.kind == OpKind::Ellipse) out.push_back(op.points[0]);
      if (m.mark == Mark::kBar && k % 2 == 0)
        out.push_back({(op.points[0].X + op.points[1].X) / 2, (op.points[0].Y + op.points[1].Y) / 2});
      if (m.mark == Mark::kTee && k % 2 == 1) out.push_back(op.points[1]);
    }
    return out;
  }
  // Whether `p` lies within 2 pixels of a leg at least `min_length` long,
  // 40 to 60 per cent along it.
  static bool HalfwayAlongALeg(const gfx::Recorder& rec, gfx::ARGB colour, gfx::PointF p, double min_length) {
    for (const gfx::RecordedOp* op : rec.Find(OpKind::Line)) {
      const double ax = op->points[0].X, ay = op->points[0].Y;
      const double dx = op->points[1].X - ax, dy = op->points[1].Y - ay, length = std::hypot(dx, dy);
      if (op->color != colour || length < min_length) continue;
      const double t = ((p.X - ax) * dx + (p.Y - ay) * dy) / (length * length);
      if (t >= 0.4 && t <= 0.6 && std::fabs((p.X - ax) * dy - (p.Y - ay) * dx) / length <= 2.0) return true;
    }
    return false;
  }
  testing::FakeHost host;
};

TEST_P(MarksOnRouteTest, TheTopOfClimbAndDescentLieOnTheirLegsAtEverySize) {
  const Map& m = GetParam();
  Unnamed();  // the labels stand where their marks put them
  for (const auto& [width, height] : {std::pair{m.width, m.height}, {2 * m.width, 3 * m.height / 2}}) {
    const gfx::Recorder a = Draw(width, height, Halfway(1), Halfway(2)), b = Draw(width, height, Halfway(2), Halfway(1));
    for (const auto& [rec, other] : {std::pair{&a, &b}, {&b, &a}}) {
      const std::vector<gfx::PointF> marks = Marks(*rec, *other, width, height);
      ASSERT_EQ(marks.size(), 2u) << width;
      for (const gfx::PointF& p : marks)
        EXPECT_TRUE(HalfwayAlongALeg(*rec, m.route, p, width == m.width ? 20.0 : 30.0))
            << width << " x " << height << ": mark at (" << p.X << ", " << p.Y << ")";
    }
  }
}

bool IsMarkLabel(std::string_view text) { return text == "T/C" || text == "T/D" || text == "[TOC]" || text == "[TOD]"; }

// Boxes that touch in the map's frame may overlap by a rounding in the
// device's.
bool Meet(gfx::RectF a, const gfx::RectF& b) {
  a.X += 0.01f, a.Y += 0.01f, a.Width -= 0.02f, a.Height -= 0.02f;
  return display::BoxesMeet(a, b);
}

// The top of descent 1 to 5 NM beyond the top of climb, 12 NM out on eight
// courses: the two labels (where a map writes them) keep their inks apart,
// the second moved up or down clear of the first (and of the texts about
// them), no further than three of its heights.
TEST_P(MarksOnRouteTest, TheTopOfClimbAndDescentLabelsNeverMeet) {
  const Map& m = GetParam();
  Unnamed();
  int shown = 0;  // pictures that show both labels
  for (double course = 0; course < 360; course += 45) {
    for (double apart : {1.0, 2.0, 3.0, 5.0}) {
      const double e = std::sin(course * M_PI / 180), n = std::cos(course * M_PI / 180);
      const Geo toc = At(12 * e, 12 * n), tod = At((12 + apart) * e, (12 + apart) * n);
      G().TocPassed = 1;
      const gfx::Recorder alone = Draw(m.width, m.height, toc, tod);
      G().TocPassed = 0;
      const gfx::Recorder rec = Draw(m.width, m.height, toc, tod);
      std::vector<const gfx::RecordedOp*> labels;
      for (const gfx::RecordedOp* op : rec.Find(OpKind::Text))
        if (op->visible && IsMarkLabel(op->text)) labels.push_back(op);
      ASSERT_LE(labels.size(), 2u);
      if (labels.size() < 2) continue;
      EXPECT_FALSE(Meet(labels[0]->ink, labels[1]->ink)) << course << " " << apart;
      // The second moved up or down, within three of its heights of where
      // it stands alone.
      for (const gfx::RecordedOp* op : alone.Find(OpKind::Text)) {
        if (op->text != labels[1]->text) continue;
        EXPECT_FLOAT_EQ(op->ink.X, labels[1]->ink.X) << course << " " << apart;
        EXPECT_LE(std::fabs(op->ink.Y - labels[1]->ink.Y), display::kMarkLabelFurthest * op->ink.Height + 1.0)
            << course << " " << apart;
      }
      ++shown;
    }
  }
  // Ahead of the aircraft on every map, and around it on the full ones.
  EXPECT_GE(shown, m.mark == Mark::kText || m.mark == Mark::kCircle ? 12 : 0);
}

// The names among `rec`'s shown texts, and the marks' labels: no two of
// them meet (tests/instruments/maps/texts.h).
void ExpectNamesApart(const gfx::Recorder& rec, const std::vector<std::string>& idents, const std::string& where) {
  std::vector<const gfx::RecordedOp*> names, marks;
  for (const gfx::RecordedOp* op : rec.Find(OpKind::Text)) {
    if (!op->visible) continue;
    if (IsMarkLabel(op->text)) marks.push_back(op);
    if (std::find(idents.begin(), idents.end(), op->text) != idents.end()) names.push_back(op);
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j)
      EXPECT_FALSE(names[i]->text != names[j]->text && TextsMeet(names[i]->ink, names[j]->ink))
          << where << names[i]->text << " and " << names[j]->text << " meet";
    for (const gfx::RecordedOp* mark : marks)
      EXPECT_FALSE(TextsMeet(mark->ink, names[i]->ink)) << where << mark->text << " on " << names[i]->text;
  }
}

// Places and the layers that name them: a navaid ("V", "N") or none (""),
// an airway point, an airport, a route waypoint.
struct Place {
  const char* ident;
  Geo at;
  const char* kind;
  bool airway_point, airport, route;
  int named, named_without_route;  // 1, 0; -1 either
};
void LoadPlaces(std::span<const Place> places) {
  flightplan::State& f = flightplan::flightplan_state;
  navdb::State& db = navdb::navdb_state;
  f.ActiveFlightPlanLastIndex = -1;
  db.MapNavaidCount = db.MapAirwayPointCount = db.MapAirportCount = 0;
  for (const Place& p : places) {
    if (p.route) {
      model::FlightPlanWaypoint& w = f.ActiveFlightPlan[++f.ActiveFlightPlanLastIndex];
      w.ident = p.ident, w.latitude = p.at.lat, w.longitude = p.at.lon;
    }
    model::NavDbRecord r;
    r.ident = p.ident, r.latitude = p.at.lat, r.longitude = p.at.lon, r.kind = p.kind;
    if (*p.kind != '\0') db.MapNavaidList[++db.MapNavaidCount] = r;
    if (p.airway_point) db.MapAirwayPointList[++db.MapAirwayPointCount] = r;
    if (p.airport) r.kind = "APT", db.MapAirportList[++db.MapAirportCount] = r;
  }
  flightplan::ActiveRouteChanged();
  for (navdb::LatLon& c : db.NearListCenters) c = navdb::LatLon{-10.0, -20.0};
}

// ALPHA (passed) and OLM (active) are VORs on the route, OLM and UBG also
// airway points, UBG an NDB on it, KSEA an airport on it; SEA, a VOR and
// an airway point, lies off it; PAE (a VOR) and KPAE (an airport) a fifth
// of a mile apart off it, RNT (a VOR) a third of a mile from KSEA, HQM (a
// VOR) and HQ (an NDB) a third of a mile apart. Each place is named once
// (no name twice within 8 pixels), in the route's colour where the route
// names it; no two names meet. Which of the close ones is named depends on
// the texts of higher rank about them (display/map_labels.h); OLM, SEA and
// UBG stand clear of all, and of the other places' symbols. With no waypoint active no route is drawn, and
// the layers name the route's places.
class PlacesOnRouteTest : public MarksOnRouteTest {};
TEST_P(PlacesOnRouteTest, EachPlaceIsNamedOnceInTheRoutesColour) {
  const Map& m = GetParam();
  m.layers();
  M().DispPrevWpt = 0;  // the route names none before the active waypoint
  M().CruiseAlt = 0;    // no top of climb or descent
  const Place places[] = {{"ALPHA", At(-9, 5), "V", false, false, true, -1, -1},
                          {"OLM", At(2, 9), "V", true, false, true, 1, 1},
                          {"KSEA", At(7, 14), "", false, true, true, -1, -1},
                          {"UBG", At(3, 19), "N", true, false, true, 1, 1},
                          {"SEA", At(-10, 16), "V", true, false, false, 1, 1},
                          {"PAE", At(-4, 24), "V", false, false, false, -1, -1},
                          {"KPAE", At(-4, 24.2), "", false, true, false, -1, -1},
                          {"RNT", At(7.3, 14), "V", false, false, false, -1, -1},
                          {"HQM", At(-12, 12), "V", false, false, false, -1, -1},
                          {"HQ", At(-11.7, 12), "N", false, false, false, -1, -1}};
  LoadPlaces(places);
  std::vector<std::string> idents;
  for (const Place& p : places) idents.push_back(p.ident);
  for (const bool route : {true, false}) {
    flightplan::flightplan_state.ActiveWaypointIndex = route ? 1 : model::kNoWaypoint;
    for (const auto& [width, height] : {std::pair{m.width, m.height}, {2 * m.width, 3 * m.height / 2}}) {
      const gfx::Recorder rec = Draw(width, height, kRoute[2], kRoute[3]);
      const std::string where = std::to_string(width) + (route ? "" : " without route") + ": ";
      for (const Place& p : places) {
        std::vector<gfx::Recorder::TextItem> named;
        for (const gfx::Recorder::TextItem& t : rec.Texts())
          if (t.visible && t.text == p.ident) named.push_back(t);
        const int expected = route ? p.named : p.named_without_route;
        EXPECT_TRUE(expected < 0 || !named.empty() == (expected == 1)) << where << p.ident;
        for (std::size_t i = 0; i < named.size(); ++i) {
          for (std::size_t j = 0; j < i; ++j)
            EXPECT_GT(std::hypot(named[i].x - named[j].x, named[i].y - named[j].y), 8.0)
                << where << p.ident << " at (" << named[i].x << ", " << named[i].y << ")";
          EXPECT_TRUE(!route || std::string_view(p.ident) != "KSEA" || named[i].color == colour::kWhite) << width;
        }
      }
      ExpectNamesApart(rec, idents, where);
    }
  }
}

// The top of climb and descent on the route's second and third waypoints,
// their labels on the route's names, a VOR beside the second: no label
// meets a name, each stands at most three of its heights from where it
// stands on a map without names, and a name the map writes without the
// marks is written in its place, or lay under a mark's label.
TEST_P(PlacesOnRouteTest, TheMarksLabelsKeepClearOfTheNames) {
  const Map& m = GetParam();
  m.layers();
  const Place places[] = {{"WPT0", kRoute[0], "", false, false, true, -1, -1},
                          {"WPT1", kRoute[1], "", false, false, true, -1, -1},
                          {"WPT2", kRoute[2], "", false, false, true, -1, -1},
                          {"WPT3", kRoute[3], "", false, false, true, -1, -1},
                          {"WPT4", kRoute[4], "", false, false, true, -1, -1},
                          {"TOL", At(12, 15), "V", false, false, false, -1, -1}};
  std::vector<std::string> idents;
  for (const Place& p : places) idents.push_back(p.ident);
  for (const auto& [width, height] : {std::pair{m.width, m.height}, {2 * m.width, 3 * m.height / 2}}) {
    const std::string where = std::to_string(width) + ": ";
    LoadPlaces(places);
    const gfx::Recorder rec = Draw(width, height, kRoute[2], kRoute[3]);
    ExpectNamesApart(rec, idents, where);
    M().CruiseAlt = 0;
    const gfx::Recorder names = Draw(width, height, kRoute[2], kRoute[3]);
    M().CruiseAlt = 30000;
    for (const std::string& ident : idents) {
      const gfx::RecordedOp* without = nullptr;
      for (const gfx::RecordedOp* op : names.Find(OpKind::Text))
        if (op->visible && op->text == ident) without = op;
      if (without == nullptr) continue;
      bool kept = false, under_a_mark = false;
      for (const gfx::RecordedOp* op : rec.Find(OpKind::Text)) {
        kept = kept || (op->visible && op->text == ident && op->bounds.X == without->bounds.X &&
                        op->bounds.Y == without->bounds.Y);
        under_a_mark = under_a_mark || (op->visible && IsMarkLabel(op->text) && Meet(op->bounds, without->bounds));
      }
      EXPECT_TRUE(kept || under_a_mark) << where << ident;
    }
    Unnamed();
    navdb::navdb_state.MapNavaidCount = 0;
    const gfx::Recorder bare = Draw(width, height, kRoute[2], kRoute[3]);
    for (const gfx::RecordedOp* op : rec.Find(OpKind::Text)) {
      if (!IsMarkLabel(op->text)) continue;
      for (const gfx::RecordedOp* alone : bare.Find(OpKind::Text)) {
        if (alone->text != op->text) continue;
        EXPECT_EQ(alone->bounds.X, op->bounds.X) << where << op->text;
        EXPECT_LE(std::fabs(alone->bounds.Y - op->bounds.Y), display::kMarkLabelFurthest * op->bounds.Height)
            << where << op->text;
      }
    }
  }
}

std::string MapName(const ::testing::TestParamInfo<Map>& p) { return p.param.name; }
INSTANTIATE_TEST_SUITE_P(EveryMap, MarksOnRouteTest, ::testing::ValuesIn(kMaps), MapName);
INSTANTIATE_TEST_SUITE_P(MapsNamingPlaces, PlacesOnRouteTest, ::testing::ValuesIn(kMaps, kMaps + 7), MapName);

}  // namespace
}  // namespace ovi
