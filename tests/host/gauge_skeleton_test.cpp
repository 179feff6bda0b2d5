#include "src/host/gauge_skeleton.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/host/fake_panels.h"

namespace ovi::host {
namespace {

using testing::FakeHost;

// Loaders that record what the skeleton asks of them.
struct FakeLoads {
  int config_loaded = 0;
  int airport_count = 0;
  std::string aircraft_name;
  int library_count = 0;
  std::vector<std::string> loaded_aircraft;
};
FakeLoads* fake = nullptr;
std::vector<std::string> trace;

const OneTimeLoads kFakeLoads{
    [] { return fake->config_loaded; },
    [] {
      trace.push_back("config");
      fake->config_loaded = 1;
    },
    [] { return fake->airport_count; },
    [] {
      trace.push_back("navdb");
      fake->airport_count = 12;
    },
    []() -> std::string& { return fake->aircraft_name; },
    [] {
      trace.push_back("aircraft " + fake->aircraft_name);
      fake->loaded_aircraft.push_back(fake->aircraft_name);
    },
    [] { return fake->library_count; },
    [] {
      trace.push_back("library");
      fake->library_count = 3;
    },
};

class GaugeSkeletonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
    fake = &loads;
    trace.clear();
  }
  void TearDown() override { fake = nullptr; }

  GAUGEHDR Gauge(const char* parameter) {
    GAUGEHDR g{};
    g.gauge_header_version = GAUGE_HEADER_VERSION;
    g.parameters = parameter;
    return g;
  }

  FakeHost host;
  FakeLoads loads;
};

TEST_F(GaugeSkeletonTest, PreInitialiseRunsEachLoadInOrderBehindItsOwnFlag) {
  GaugeForm form{.before_loads =
                     [](GAUGEHDR*) { trace.push_back(host_state.SimulatorFolder.empty() ? "before" : "late"); },
                 .after_nav_database = [] { trace.push_back("flight log"); },
                 .after_loads = [](GAUGEHDR*) { trace.push_back("after"); }};
  GAUGEHDR g = Gauge("B737");
  RunPreInitialise(form, &g, kFakeLoads);
  EXPECT_FALSE(host_state.SimulatorFolder.empty());
  EXPECT_EQ(trace, (std::vector<std::string>{"before", "config", "navdb", "flight log", "aircraft B737",
                                             "library", "after"}));
  trace.clear();
  GAUGEHDR other = Gauge("MD11");
  RunPreInitialise(form, &other, kFakeLoads);
  EXPECT_EQ(trace, (std::vector<std::string>{"late", "after"}));
  EXPECT_EQ(loads.aircraft_name, "B737");
}

TEST_F(GaugeSkeletonTest, EmptyTablesAreLoadedAgainAtTheNextPreInitialise) {
  GaugeForm form{};
  GAUGEHDR g = Gauge("");
  RunPreInitialise(form, &g, kFakeLoads);
  loads.airport_count = 0;  // the database came back empty
  loads.library_count = 0;
  trace.clear();
  RunPreInitialise(form, &g, kFakeLoads);
  EXPECT_EQ(trace, (std::vector<std::string>{"navdb", "library"}));
}

TEST_F(GaugeSkeletonTest, ControlPanelFormsSkipTheDatabaseAndTheLibrary) {
  GaugeForm p1000_panel{.load_nav_database = false,
                        .after_nav_database = [] { trace.push_back("flight log"); },
                        .aircraft_name = AircraftNameRule::kResetNone,
                        .scan_flight_plans = false};
  GAUGEHDR g = Gauge("VC");
  RunPreInitialise(p1000_panel, &g, kFakeLoads);
  EXPECT_EQ(trace, (std::vector<std::string>{"config", "aircraft VC"}));
}

TEST_F(GaugeSkeletonTest, AircraftNameRulesOfTheDisplayGauges) {
  // "VC" leaves the name empty, "B737" loads, a later name loads nothing.
  TakeAircraftName("VC", AircraftNameRule::kResetVcVc2Wn, kFakeLoads);
  EXPECT_EQ(loads.aircraft_name, "");
  TakeAircraftName("B737", AircraftNameRule::kResetVcVc2Wn, kFakeLoads);
  TakeAircraftName("A320", AircraftNameRule::kResetVcVc2Wn, kFakeLoads);
  EXPECT_EQ(loads.loaded_aircraft, (std::vector<std::string>{"B737"}));

  loads = {};
  for (const char* p : std::initializer_list<const char*>{"VC", "VC2", "WN", "", nullptr}) {
    TakeAircraftName(p, AircraftNameRule::kResetVcVc2Wn, kFakeLoads);
  }
  EXPECT_TRUE(loads.loaded_aircraft.empty());
  EXPECT_EQ(loads.aircraft_name, "");
  // The comparison is exact and case-sensitive.
  TakeAircraftName("vc", AircraftNameRule::kResetVcVc2Wn, kFakeLoads);
  EXPECT_EQ(loads.loaded_aircraft, (std::vector<std::string>{"vc"}));
  loads = {};
  TakeAircraftName("VC ", AircraftNameRule::kResetVcVc2Wn, kFakeLoads);
  EXPECT_EQ(loads.loaded_aircraft, (std::vector<std::string>{"VC "}));
}

TEST_F(GaugeSkeletonTest, AircraftNameRulesOfButtonsAndControlPanels) {
  // A control panel first on the panel with "VC2" makes it the aircraft name.
  TakeAircraftName("VC2", AircraftNameRule::kResetVcWn, kFakeLoads);
  EXPECT_EQ(loads.loaded_aircraft, (std::vector<std::string>{"VC2"}));
  loads = {};
  TakeAircraftName("WN", AircraftNameRule::kResetVcWn, kFakeLoads);
  TakeAircraftName("VC", AircraftNameRule::kResetVcWn, kFakeLoads);
  EXPECT_TRUE(loads.loaded_aircraft.empty());
  // The P1000 control panels take every non-empty parameter.
  TakeAircraftName("WN", AircraftNameRule::kResetNone, kFakeLoads);
  EXPECT_EQ(loads.loaded_aircraft, (std::vector<std::string>{"WN"}));
  // A gauge that never takes a name leaves it alone.
  loads = {};
  TakeAircraftName("B737", AircraftNameRule::kNeverTake, kFakeLoads);
  EXPECT_EQ(loads.aircraft_name, "");
}

// Variant for (window 0 visible, pop-up visible), as the display gauges work
// it out.
int Variant(FakeHost& host, DisplayForm form, const char* p, bool main_visible, bool popup_visible) {
  host.visible_windows.clear();
  if (main_visible) host.visible_windows.insert(0);
  if (popup_visible) host.visible_windows.insert(4008);
  int v = ComputeDisplayVariant(form, p, 4008);
  return PassesDrawGate(form, v) ? v : kVariantSkip;
}

TEST_F(GaugeSkeletonTest, DisplayVariantTable) {
  struct Row {
    const char* p;
    DisplayForm form;
    int both, main_only, popup_only, neither;  // 0 = not drawn
  };
  const Row rows[] = {
      {"VC", DisplayForm::kA, 2, 0, 2, 1},     {"VC", DisplayForm::kB, 2, 0, 2, 1},
      {"VC", DisplayForm::kC, 2, 0, 2, 1},     {"VC", DisplayForm::kD, 2, 0, 2, 1},
      {"WN", DisplayForm::kA, 1, 1, 1, 1},     {"WN", DisplayForm::kB, 1, 1, 1, 1},
      {"WN", DisplayForm::kC, 1, 1, 1, 1},     {"WN", DisplayForm::kD, 1, 1, 1, 1},
      {"VC2", DisplayForm::kA, 2, 1, 2, 1},    {"VC2", DisplayForm::kB, 3, 1, 3, 1},
      {"VC2", DisplayForm::kC, 0, 1, 0, 1},    {"VC2", DisplayForm::kD, 3, 3, 3, 3},
      {"", DisplayForm::kA, 2, 1, 2, 1},       {"B737", DisplayForm::kB, 2, 1, 2, 1},
      {nullptr, DisplayForm::kC, 2, 1, 2, 1},  {"vc", DisplayForm::kD, 2, 1, 2, 1},
      {"VC", DisplayForm::kAlways, 1, 1, 1, 1},
  };
  for (const Row& r : rows) {
    std::string name = std::string(r.p ? r.p : "(null)") + " form " +
                       std::to_string(static_cast<int>(r.form));
    EXPECT_EQ(Variant(host, r.form, r.p, true, true), r.both) << name;
    EXPECT_EQ(Variant(host, r.form, r.p, true, false), r.main_only) << name;
    EXPECT_EQ(Variant(host, r.form, r.p, false, true), r.popup_only) << name;
    EXPECT_EQ(Variant(host, r.form, r.p, false, false), r.neither) << name;
  }
}

TEST_F(GaugeSkeletonTest, FormBAsksForThePopUpTwiceAndForTheMainWindowOnce) {
  ComputeDisplayVariant(DisplayForm::kB, "VC2", 4011);
  EXPECT_EQ(host.visibility_queries, (std::vector<std::uint32_t>{0, 4011, 4011}));
}

// A gauge with a bezel element whose first child is the drawing surface.
struct DrawingGauge {
  ELEMENT_HEADER surface{};
  ELEMENT_HEADER bezel{};
  ELEMENT_HEADER* bezel_children[2] = {&surface, nullptr};
  ELEMENT_HEADER* list[2] = {&bezel, nullptr};
  GAUGEHDR header{};
  gfx::DeviceContext* dc = reinterpret_cast<gfx::DeviceContext*>(&header);  // any non-null handle

  explicit DrawingGauge(const char* parameter) {
    bezel.next_element = bezel_children;
    bezel.image_flags = IMAGE_ON_SCREEN | 0x1;
    surface.image_flags = IMAGE_ON_SCREEN | 0x24;
    surface.image.dc = dc;
    header.elements_list = list;
    header.parameters = parameter;
  }
};

struct DrawCall {
  ELEMENT_HEADER* element;
  int variant;
};
std::vector<DrawCall> draws;

void RecordDraw(GAUGEHDR*, ELEMENT_HEADER* element, int variant) {
  trace.push_back("draw");
  draws.push_back({element, variant});
}

const GaugeForm kDisplay{.pre_draw = [] { trace.push_back("update"); },
                         .draw_element = DrawElement::kFirstChild,
                         .display_form = DisplayForm::kB,
                         .window_ident = 4011,
                         .draw = RecordDraw};

TEST_F(GaugeSkeletonTest, PreDrawUpdatesDrawsAndClearsTheOnScreenMark) {
  draws.clear();
  DrawingGauge g("");
  RunGaugeCallback(kDisplay, &g.header, PANEL_SERVICE_PRE_DRAW);
  EXPECT_EQ(trace, (std::vector<std::string>{"update", "draw"}));
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].element, &g.surface);
  EXPECT_EQ(draws[0].variant, kVariantFull);
  EXPECT_EQ(host_state.CurrentGaugeElement, &g.surface);
  EXPECT_EQ(g.surface.image_flags, 0x24u);
  EXPECT_EQ(g.bezel.image_flags, IMAGE_ON_SCREEN | 0x1);  // only the drawing element
}

TEST_F(GaugeSkeletonTest, PreDrawClearsTheMarkAlsoWhenNothingIsDrawn) {
  draws.clear();
  DrawingGauge no_dc("");
  no_dc.surface.image.dc = nullptr;
  RunGaugeCallback(kDisplay, &no_dc.header, PANEL_SERVICE_PRE_DRAW);
  EXPECT_EQ(no_dc.surface.image_flags, 0x24u);

  DrawingGauge skipped("VC");  // "VC" on the main panel with the pop-up closed
  host.visible_windows = {0};
  RunGaugeCallback(kDisplay, &skipped.header, PANEL_SERVICE_PRE_DRAW);
  EXPECT_EQ(skipped.surface.image_flags, 0x24u);
  EXPECT_TRUE(draws.empty());
}

TEST_F(GaugeSkeletonTest, PreDrawWithoutAChildStoresNullAndTouchesNothing) {
  DrawingGauge g("");
  g.bezel_children[0] = nullptr;
  host_state.CurrentGaugeElement = &g.bezel;
  RunGaugeCallback(kDisplay, &g.header, PANEL_SERVICE_PRE_DRAW);
  EXPECT_EQ(host_state.CurrentGaugeElement, nullptr);
  EXPECT_EQ(trace, (std::vector<std::string>{"update"}));
  EXPECT_EQ(g.bezel.image_flags, IMAGE_ON_SCREEN | 0x1);

  GAUGEHDR bare{};  // no element list at all
  RunGaugeCallback(kDisplay, &bare, PANEL_SERVICE_PRE_DRAW);
  RunGaugeCallback(kDisplay, nullptr, PANEL_SERVICE_PRE_DRAW);
  EXPECT_EQ(host_state.CurrentGaugeElement, nullptr);
}

// A rule of the gauge's own (the C-17 MFD's display number) hands every
// value to the draw entry, 0 as well: the entry clears for it.
int own_rule_value = 0;

TEST_F(GaugeSkeletonTest, FirstElementFormAndOwnVariantRule) {
  draws.clear();
  DrawingGauge g("VC");
  g.bezel.image.dc = g.dc;
  GaugeForm nb{.draw_element = DrawElement::kFirstElement,
               .variant = [](GAUGEHDR*) { return own_rule_value; },
               .draw = RecordDraw};
  host.visible_windows = {0};
  for (int value : {5, 0, 9}) {
    own_rule_value = value;
    g.bezel.image_flags |= IMAGE_ON_SCREEN;
    RunGaugeCallback(nb, &g.header, PANEL_SERVICE_PRE_DRAW);
    EXPECT_EQ(g.bezel.image_flags, 0x1u);
  }
  ASSERT_EQ(draws.size(), 3u);
  EXPECT_EQ(draws[0].element, &g.bezel);
  EXPECT_EQ(draws[0].variant, 5);
  EXPECT_EQ(draws[1].variant, 0);
  EXPECT_EQ(draws[2].variant, 9);
  EXPECT_EQ(g.surface.image_flags, IMAGE_ON_SCREEN | 0x24);
  // Without a surface nothing is drawn.
  g.bezel.image.dc = nullptr;
  own_rule_value = 1;
  RunGaugeCallback(nb, &g.header, PANEL_SERVICE_PRE_DRAW);
  EXPECT_EQ(draws.size(), 3u);
}

TEST_F(GaugeSkeletonTest, ControlPanelPreDrawOnlyUpdates) {
  GaugeForm panel{.pre_install = false, .pre_draw = [] { trace.push_back("update"); }};
  DrawingGauge g("");
  RunGaugeCallback(panel, &g.header, PANEL_SERVICE_PRE_INSTALL);
  EXPECT_TRUE(host_state.SimulatorFolder.empty());
  RunGaugeCallback(panel, &g.header, PANEL_SERVICE_PRE_DRAW);
  EXPECT_EQ(trace, (std::vector<std::string>{"update"}));
  EXPECT_EQ(g.surface.image_flags, IMAGE_ON_SCREEN | 0x24);
}

// Notes a hook call, marking it when the log line was not written before it.
void Note(const char* name) {
  bool logged = host_state.LogFile != nullptr && std::ftell(host_state.LogFile) > 0;
  trace.push_back(std::string(name) + (logged ? "" : " before log"));
}

TEST_F(GaugeSkeletonTest, EachServiceReachesItsHookAfterTheLogLine) {
  std::FILE* log = std::tmpfile();
  ASSERT_NE(log, nullptr);
  host_state.LogFile = log;  // closed with the state
  GaugeForm form{.log_line = "test_callback \n",
                 .post_install = [](GAUGEHDR*) { Note("post-install"); },
                 .post_initialise = [](GAUGEHDR*) { Note("post-initialise"); },
                 .pre_update = [](GAUGEHDR*) { Note("pre-update"); },
                 .connect = [](GAUGEHDR*) { Note("connect"); },
                 .disconnect = [](GAUGEHDR*) { Note("disconnect"); }};
  GAUGEHDR g = Gauge("");
  for (std::int32_t service : {3, 5, 6, 14, 15, 0, 1, 7, 8, 9, 11, 12, 13, 99, -1}) {
    RunGaugeCallback(form, &g, service);
  }
  EXPECT_EQ(trace, (std::vector<std::string>{"post-install", "post-initialise", "pre-update",
                                             "connect", "disconnect"}));
  std::fflush(log);
  EXPECT_EQ(std::ftell(log), 15L * 15L);  // one line per call, whatever the service
  std::rewind(log);
  char line[32] = {};
  ASSERT_NE(std::fgets(line, sizeof line, log), nullptr);
  EXPECT_STREQ(line, "test_callback \n");
}

TEST_F(GaugeSkeletonTest, PreInstallFillsTheFolderOnlyWhileEmpty) {
  GaugeForm form{};
  GAUGEHDR g = Gauge("");
  RunGaugeCallback(form, &g, PANEL_SERVICE_PRE_INSTALL);
  EXPECT_FALSE(host_state.SimulatorFolder.empty());
  host_state.SimulatorFolder = "C:\\sim";
  RunGaugeCallback(form, &g, PANEL_SERVICE_PRE_INSTALL);
  EXPECT_EQ(host_state.SimulatorFolder, "C:\\sim");
}

// An instrument's start state at pre-install, as the CDU sets its first
// page: after the folder, with the gauge at hand, and only the first install
// of the instrument changes it.
int first_page = 0;
const GAUGEHDR* hooked_gauge = nullptr;

TEST_F(GaugeSkeletonTest, PreInstallHookRunsAfterTheFolderForEveryInstall) {
  first_page = 0;
  GaugeForm form{.after_pre_install = [](GAUGEHDR* gauge) {
    trace.push_back(host_state.SimulatorFolder.empty() ? "hook without folder" : "hook");
    hooked_gauge = gauge;
    if (first_page == 0) first_page = 25;
  }};
  GAUGEHDR a = Gauge(""), b = Gauge("");
  RunGaugeCallback(form, &a, PANEL_SERVICE_PRE_INSTALL);
  EXPECT_EQ(first_page, 25);
  EXPECT_EQ(hooked_gauge, &a);
  first_page = 6;  // the pilot moved on before the second gauge was installed
  RunGaugeCallback(form, &b, PANEL_SERVICE_PRE_INSTALL);
  EXPECT_EQ(first_page, 6);
  EXPECT_EQ(hooked_gauge, &b);
  EXPECT_EQ(trace, (std::vector<std::string>{"hook", "hook"}));

  // A form that leaves the folder alone still runs its hook; no other service does.
  trace.clear();
  form.pre_install = false;
  host_state.SimulatorFolder.clear();
  for (std::int32_t service : {3, 5, 6, 10, 14, 15}) RunGaugeCallback(form, &a, service);
  EXPECT_TRUE(trace.empty());
  RunGaugeCallback(form, &a, PANEL_SERVICE_PRE_INSTALL);
  EXPECT_EQ(trace, (std::vector<std::string>{"hook without folder"}));
}

TEST_F(GaugeSkeletonTest, DefaultLoadsKeepTheirOwnFlags) {
  GAUGEHDR g = Gauge("B737");
  RunGaugeCallback(GaugeForm{}, &g, PANEL_SERVICE_PRE_INITIALIZE);
  EXPECT_EQ(ConfigLoadedFlag(), 1);
  EXPECT_EQ(AircraftConfigNameRef(), "B737");
  ResetModuleState();
  EXPECT_EQ(ConfigLoadedFlag(), 0);
  EXPECT_EQ(AircraftConfigNameRef(), "");
}

}  // namespace
}  // namespace ovi::host
