// The stand-in driving the fake gauge module in-process.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cairo.h>

#include "sim/simulator.h"
#include "tests/sim/fake_module.h"
#include "tests/sim/test_support.h"

namespace ovi::sim {
namespace {

std::vector<int> ServicesOf(const FakeRecord& r, const std::string& name, const std::string& parameter = "") {
  std::vector<int> out;
  for (const auto& c : r.services)
    if (c.name == name && (parameter.empty() || c.parameter == parameter)) out.push_back(c.service);
  return out;
}

int CountEvents(const FakeRecord& r, const std::string& prefix) {
  return static_cast<int>(std::count_if(r.events.begin(), r.events.end(),
                                        [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }));
}

std::uint32_t provider_list = 0xABCD;
void* Provider(const char* token, std::uint32_t* result) {
  *result = std::string(token) == "token" ? 0 : 2;
  return &provider_list;
}

class SimulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(sim.Load(FAKE_MODULE_PATH, error)) << error;
    auto reset = reinterpret_cast<FakeModuleResetFn>(::dlsym(sim.module().handle, "FakeModuleReset"));
    auto get = reinterpret_cast<FakeModuleRecordFn>(::dlsym(sim.module().handle, "FakeModuleRecord"));
    ASSERT_TRUE(reset && get);
    reset();
    rec = get();
  }

  void Install(const std::string& panel_text, const std::string& path = "panel.cfg") {
    PanelConfig panel;
    std::string error;
    ASSERT_TRUE(ParsePanelConfig(panel_text, path, panel, error)) << error;
    sim.SetResources(resources.path());
    sim.Install(panel, warnings);
    sim.Connect();
  }

  test::ScratchDir resources{"resources"};
  Simulator sim;
  FakeRecord* rec = nullptr;
  std::vector<std::string> warnings;
};

const char kPanel[] = R"([Window00]
size_mm=800,600
gauge00=fake_module!FAKE_DISPLAY, 10, 20, 400, , B737
gauge01=fake_module!FAKE_SERVER, 0, 0, 1, 1
gauge02=fake_module!NO_SUCH_GAUGE, 0, 0
gauge03=other!FAKE_SERVER, 0, 0
[Window01]
ident=4012
size_mm=100,100
visible=0
gauge00=fake_module!FAKE_BUTTON, 0, 0, 120, 80
)";

TEST_F(SimulatorTest, ServicesArriveInOrderPerGaugeAndPanel) {
  sim.aircraft().latitude = -33.5;
  sim.aircraft().longitude = 151.25;
  Install(kPanel);
  sim.RunTicks(3);
  sim.Disconnect();
  sim.Disconnect();  // a second disconnect sends nothing

  EXPECT_TRUE(rec->panels_bound_at_install);
  const std::vector<int> shown = {2, 3, 4, 5, 14, 6, 10, 6, 10, 6, 10, 15};
  const std::vector<int> hidden = {2, 3, 4, 5, 14, 6, 6, 6, 15};  // no drawing in a hidden window
  EXPECT_EQ(ServicesOf(*rec, "FAKE_DISPLAY"), shown);
  EXPECT_EQ(ServicesOf(*rec, "FAKE_SERVER"), shown);
  EXPECT_EQ(ServicesOf(*rec, "FAKE_BUTTON"), hidden);
  // The host's own record agrees with what the module saw.
  ASSERT_EQ(sim.gauges().size(), 3u);
  EXPECT_EQ(sim.gauges()[0].services, shown);
  EXPECT_EQ(sim.gauges()[2].services, hidden);

  // Install and initialise run gauge by gauge in panel order, connection
  // after all of them; each frame updates every gauge before drawing any.
  std::vector<std::string> order;
  for (const auto& c : rec->services) order.push_back(c.name.substr(5, 1) + std::to_string(c.service));
  const std::vector<std::string> head = {"D2", "D3", "D4", "D5", "S2", "S3", "S4", "S5", "B2", "B3", "B4", "B5",
                                         "D14", "S14", "B14", "D6", "S6", "B6", "D10", "S10"};
  ASSERT_GE(order.size(), head.size());
  EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + head.size()), head);

  // The gauges saw the aircraft where the world started and their panel parameter.
  EXPECT_NEAR(rec->latitude_at_init, -33.5, 1e-9);
  EXPECT_NEAR(rec->longitude_at_init, 151.25, 1e-9);
  EXPECT_EQ(rec->nav1_ident_at_init, "");
  EXPECT_EQ(rec->services[0].parameter, "B737");

  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_NE(warnings[0].find("panel.cfg:5: gauge NO_SUCH_GAUGE is not exported"), std::string::npos) << warnings[0];
  EXPECT_NE(warnings[1].find("panel.cfg:6: module other is not loaded"), std::string::npos) << warnings[1];
}

TEST_F(SimulatorTest, ElementSurfacesFollowThePanelSize) {
  Install(kPanel);
  const GaugeInstance& d = sim.gauges()[0];
  // 200 x 100 design box drawn 400 wide: twice the size, height kept in proportion.
  EXPECT_EQ(d.w, 400);
  EXPECT_EQ(d.h, 200);
  sim.RunTicks(1);
  EXPECT_EQ(rec->draw_width, 320);
  EXPECT_EQ(rec->draw_height, 160);
  EXPECT_EQ(sim.gauges()[2].w, 120);
  // The SERVER gauge has no elements at all and still works.
  EXPECT_TRUE(sim.gauges()[1].elements.empty());
}

TEST_F(SimulatorTest, NamedVariablesAreFoundByNameAtTheirLimits) {
  // Up to 255 bytes a name; ASCII letters fold, other bytes compare as they are.
  const std::string longest(255, 'v'), too_long(256, 'v');
  const std::int32_t id = sim.RegisterNamedVariable(longest.c_str());
  ASSERT_GE(id, 0);
  EXPECT_EQ(sim.CheckNamedVariable(std::string(255, 'V').c_str()), id);
  EXPECT_EQ(sim.RegisterNamedVariable(too_long.c_str()), -1);
  EXPECT_EQ(sim.CheckNamedVariable(too_long.c_str()), -1);
  EXPECT_EQ(sim.CheckNamedVariable(""), -1);
  const std::int32_t lower = sim.RegisterNamedVariable("lamp_\xe4");
  const std::int32_t upper = sim.RegisterNamedVariable("LAMP_\xc4");
  EXPECT_NE(lower, upper);
  EXPECT_EQ(sim.CheckNamedVariable("Lamp_\xe4"), lower);
  // The last place of the table, then a refusal that loses none before it.
  std::vector<std::int32_t> ids;
  for (int i = 3; i < 4096; ++i) ids.push_back(sim.RegisterNamedVariable(("var" + std::to_string(i)).c_str()));
  EXPECT_EQ(ids.back(), 4095);
  EXPECT_EQ(sim.RegisterNamedVariable("one_too_many"), -1);
  for (int i = 3; i < 4096; ++i) ASSERT_EQ(sim.CheckNamedVariable(("VAR" + std::to_string(i)).c_str()), i);
  EXPECT_EQ(sim.CheckNamedVariable(longest.c_str()), id);
}

TEST_F(SimulatorTest, NamedVariablesAndKeyEventsReachTheModule) {
  Install(kPanel);
  PANELS* p = sim.panels();
  EXPECT_EQ(p->check_named_variable("fake_cmd"), -1);
  EXPECT_EQ(p->check_named_variable(nullptr), -1);
  std::int32_t id = p->register_named_variable("fake_cmd");
  ASSERT_GE(id, 0);
  EXPECT_EQ(p->register_named_variable("FAKE_CMD"), id);  // names ignore case
  EXPECT_EQ(p->check_named_variable("Fake_Cmd"), id);
  EXPECT_GE(p->check_named_variable("fake_server_active"), 0);  // registered at connect
  p->set_named_variable_value(id, 1.0);
  EXPECT_EQ(p->get_named_variable_value(id), 1.0);
  p->set_named_variable_value(-1, 5.0);    // ignored
  p->set_named_variable_value(9999, 5.0);  // ignored
  EXPECT_EQ(p->get_named_variable_value(9999), 0.0);

  // The SERVER gauge polls the command at pre-update and answers with a key
  // event, which the display's registered handler receives.
  sim.RunTicks(1);
  EXPECT_EQ(p->get_named_variable_value(id), 0.0);
  ASSERT_EQ(sim.key_events().size(), 1u);
  EXPECT_EQ(sim.key_events()[0].id, 0x101FAu);
  EXPECT_EQ(sim.key_events()[0].value, 123u);
  EXPECT_EQ(sim.key_events()[0].source, "module");
  EXPECT_EQ(sim.key_events()[0].handlers, 1);
  EXPECT_EQ(CountEvents(*rec, "key 0x101FA 123"), 1);

  // The scenario's key events go the same way; after disconnect no handler is left.
  sim.SendKeyEvent(0x10311, 0, "scenario");
  EXPECT_EQ(CountEvents(*rec, "key 0x10311 0"), 1);
  sim.Disconnect();
  sim.SendKeyEvent(0x10312, 0, "scenario");
  EXPECT_EQ(CountEvents(*rec, "key 0x10312"), 0);
  EXPECT_EQ(sim.key_events().back().handlers, 0);
}

TEST_F(SimulatorTest, RegisteredVariablesAndTrafficProviderEntry) {
  PANELS* p = sim.panels();
  p->register_var_by_name(reinterpret_cast<void*>(&Provider), VAR_TYPE_FUNCTION, "FakeTrafficProvider");
  Install(kPanel);
  EXPECT_EQ(rec->provider_result, &provider_list);
  EXPECT_EQ(rec->provider_status, 0u);

  MODULE_VAR v{};
  p->initialize_var_by_name(&v, "FAKE_MEM");
  EXPECT_EQ(v.var_type, VAR_TYPE_FLOAT64);
  EXPECT_EQ(v.value.n, 42.5);
  EXPECT_EQ(v.var_ptr, &rec->fake_mem);
  p->initialize_var_by_name(&v, "absent");
  EXPECT_EQ(v.var_type, VAR_TYPE_NONE);
  EXPECT_EQ(v.var_ptr, nullptr);
  p->initialize_var_by_name(nullptr, "fake_mem");  // harmless

  sim.Disconnect();  // the display unregisters its variable
  p->initialize_var_by_name(&v, "fake_mem");
  EXPECT_EQ(v.var_type, VAR_TYPE_NONE);
}

TEST_F(SimulatorTest, MissingProviderAndCalculatorAnswers) {
  Install(kPanel);
  EXPECT_EQ(rec->provider_status, 1u);
  EXPECT_EQ(rec->provider_result, nullptr);
  EXPECT_EQ(rec->decision_height, 200.0);
  EXPECT_EQ(rec->dh_int, 200);
  EXPECT_EQ(rec->unknown_expression_result, 0);
  EXPECT_EQ(sim.unknown_expressions().count("(A:NO SUCH THING,Number)"), 1u);
}

TEST_F(SimulatorTest, WindowsToggleAndOnlyVisibleWindowsDraw) {
  Install(kPanel);
  PANELS* p = sim.panels();
  EXPECT_EQ(p->is_panel_window_visible_ident(0), 1);
  EXPECT_EQ(p->is_panel_window_visible_ident(4012), 0);
  EXPECT_EQ(p->is_panel_window_visible_ident(4999), 0);
  EXPECT_EQ(p->panel_window_toggle(4999), 0);  // no such window
  EXPECT_EQ(p->panel_window_toggle(4012), 1);
  EXPECT_EQ(p->is_panel_window_visible_ident(4012), 1);
  sim.RunTicks(1);
  EXPECT_EQ(sim.gauges()[2].services.back(), PANEL_SERVICE_PRE_DRAW);
  EXPECT_EQ(p->panel_window_toggle(4012), 1);
  EXPECT_FALSE(sim.IsWindowVisible(4012));
  sim.RunTicks(1);
  EXPECT_EQ(sim.gauges()[2].services.back(), PANEL_SERVICE_PRE_UPDATE);

  // The button's handler toggles the window through the panel service.
  sim.SetWindowVisible(4012, true);
  ClickResult r = sim.Click(2, 60, 40, MOUSE_LEFTSINGLE, 0);
  EXPECT_TRUE(r.hit);
  EXPECT_EQ(r.handler_result, 1);
  EXPECT_FALSE(sim.IsWindowVisible(4012));
  EXPECT_EQ(CountEvents(*rec, "button toggled 4012: 1"), 1);
}

TEST_F(SimulatorTest, ClicksRouteByPositionAndFlags) {
  Install(kPanel);  // FAKE_DISPLAY drawn at twice its design size
  // (40, 40) on the panel is (20, 20) in design units: inside rectangle 1 at (10, 10).
  ClickResult r = sim.Click(0, 40, 40, MOUSE_LEFTSINGLE, 0);
  EXPECT_TRUE(r.hit);
  EXPECT_EQ(r.rect, 1);
  EXPECT_EQ(r.handler_result, 7);
  EXPECT_EQ(rec->events.back(), "click A 10 10 0x20000000");
  // The parent rectangle has no handler; outside every child nothing happens.
  EXPECT_FALSE(sim.Click(0, 300, 150, MOUSE_LEFTSINGLE, 0).hit);
  EXPECT_FALSE(sim.Click(0, -5, 10, MOUSE_LEFTSINGLE, 0).hit);
  EXPECT_FALSE(sim.Click(9, 40, 40, MOUSE_LEFTSINGLE, 0).hit);  // no such gauge
  EXPECT_FALSE(sim.Click(2, 60, 40, MOUSE_LEFTSINGLE, 0).hit);  // its window is closed
  EXPECT_TRUE(sim.IsWindowVisible(0));
  // Rectangle 3 takes only its own button.
  EXPECT_FALSE(sim.Click(0, 30, 130, MOUSE_LEFTSINGLE, 0).hit);
  r = sim.Click(0, 30, 130, 0x80000000u, 0);
  EXPECT_TRUE(r.hit);
  EXPECT_EQ(r.rect, 3);
  EXPECT_EQ(rec->events.back(), "click right 0x80000000");
  // Edges: the first pixel is inside, the one past the width is not.
  EXPECT_TRUE(sim.Click(0, 20, 20, MOUSE_LEFTSINGLE, 0).hit);
  EXPECT_FALSE(sim.Click(0, 100, 20, MOUSE_LEFTSINGLE, 0).hit);
}

TEST_F(SimulatorTest, HeldClicksRepeatOnlyOnRepeatingRectangles) {
  Install(kPanel);
  // Held for one second on the repeating rectangle: the press, then repeats
  // after 9 ticks and every 3 ticks while held (ticks 9, 12, 15).
  sim.Click(0, 220, 40, MOUSE_LEFTSINGLE, 1.0);
  EXPECT_EQ(CountEvents(*rec, "click R"), 1);
  sim.RunTicks(8);
  EXPECT_EQ(CountEvents(*rec, "click R"), 1);
  sim.RunTicks(40);
  EXPECT_EQ(CountEvents(*rec, "click R"), 4);
  EXPECT_EQ(rec->events.back(), "click R 10 10 0x20000000");
  // A non-repeating rectangle is called once however long it is held.
  sim.Click(0, 40, 40, MOUSE_LEFTSINGLE, 2.0);
  sim.RunTicks(40);
  EXPECT_EQ(CountEvents(*rec, "click A"), 1);
  // A new press releases the held one.
  sim.Click(0, 220, 40, MOUSE_LEFTSINGLE, 10.0);
  sim.Click(0, 40, 40, MOUSE_LEFTSINGLE, 0);
  sim.RunTicks(40);
  EXPECT_EQ(CountEvents(*rec, "click R"), 5);
  EXPECT_EQ(sim.mouse_calls(), 7);
  // So does closing the window under the mouse.
  sim.Click(0, 220, 40, MOUSE_LEFTSINGLE, 10.0);
  sim.RunTicks(9);
  EXPECT_EQ(CountEvents(*rec, "click R"), 7);
  sim.SetWindowVisible(0, false);
  sim.RunTicks(40);
  EXPECT_EQ(CountEvents(*rec, "click R"), 7);
}

TEST_F(SimulatorTest, RepeatedGaugeGetsItsOwnHeaderAndElements) {
  Install(R"([Window00]
size_mm=800,600
gauge00=fake_module!FAKE_DISPLAY, 0, 0, 200, 100, VC
gauge01=fake_module!FAKE_DISPLAY, 300, 0, 400, 200, WN
gauge02=fake_module!FAKE_DISPLAY, 0, 300
)");
  ASSERT_EQ(sim.gauges().size(), 3u);
  // An entry without a size takes the gauge's default width, 312 here.
  EXPECT_EQ(sim.gauges()[2].w, 312);
  EXPECT_EQ(sim.gauges()[2].h, 156);
  const GaugeInstance& a = sim.gauges()[0];
  const GaugeInstance& b = sim.gauges()[1];
  EXPECT_NE(a.header, b.header);
  EXPECT_NE(a.elements[1], b.elements[1]);
  EXPECT_EQ(b.header->elements_list[0]->next_element[0], b.elements[1]);
  EXPECT_EQ(a.elements[1]->image.size.x, 160);
  EXPECT_EQ(b.elements[1]->image.size.x, 320);
  sim.RunTicks(1);
  EXPECT_EQ(ServicesOf(*rec, "FAKE_DISPLAY", "VC").size(), 7u);
  EXPECT_EQ(ServicesOf(*rec, "FAKE_DISPLAY", "WN").size(), 7u);
}

std::uint32_t Pixel(const gfx::DeviceContext& dc, int x, int y) {
  return dc.pixels[static_cast<std::size_t>(y) * dc.width + x];
}

TEST_F(SimulatorTest, ComposedPicturesAndPngSnapshots) {
  test::WriteSolidBitmap(resources / "9001.png", 20, 10, 0xFF0000FFu);  // blue bezel
  test::WriteSolidBitmap(resources / "9002.png", 6, 4, 0xFF00FF00u);    // green button
  test::WriteSolidBitmap(resources / "9003.png", 2, 2, 0xFFFFFF00u);    // yellow lamp
  Install(kPanel);
  sim.RunTicks(1);

  auto display = sim.ComposeGauge(0);
  ASSERT_TRUE(display);
  EXPECT_EQ(Pixel(*display, 30, 30), 0xFF0000FFu);    // bezel, scaled up from its bitmap
  EXPECT_EQ(Pixel(*display, 100, 100), 0xFFFF0000u);  // the module's drawing, on top
  // Display power off: the module draws black.
  sim.tokens().Pin(773, 0);
  sim.RunTicks(1);
  EXPECT_EQ(Pixel(*sim.ComposeGauge(0), 100, 100), 0xFF000000u);

  // The lamp shows only while the module clears its hidden flag.
  sim.SetWindowVisible(4012, true);
  EXPECT_EQ(Pixel(*sim.ComposeGauge(2), 50, 30), 0xFF00FF00u);
  sim.SetNamedVariable(sim.RegisterNamedVariable("fake_lamp"), 1);
  sim.RunTicks(1);
  EXPECT_EQ(Pixel(*sim.ComposeGauge(2), 50, 30), 0xFFFFFF00u);

  auto window = sim.ComposeWindow(0);
  EXPECT_EQ(window->width, 800);
  EXPECT_EQ(Pixel(*window, 40, 50), 0xFF0000FFu);  // the display at (10, 20)
  EXPECT_EQ(Pixel(*window, 5, 5), 0xFF000000u);    // the SERVER gauge has no picture

  test::ScratchDir out("snap");
  std::vector<std::string> files;
  std::string error;
  ASSERT_TRUE(sim.Snapshot(out.path(), "t1", files, error)) << error;
  std::vector<std::string> names;
  for (const auto& f : files) names.push_back(f.substr(out.path().size()));
  EXPECT_EQ(names, (std::vector<std::string>{"/t1/window00.png", "/t1/window00_gauge00_FAKE_DISPLAY.png",
                                             "/t1/window00_gauge01_FAKE_SERVER.png", "/t1/window01.png",
                                             "/t1/window01_gauge00_FAKE_BUTTON.png"}));
  cairo_surface_t* png = cairo_image_surface_create_from_png(files[0].c_str());
  ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(png), 800);
  EXPECT_EQ(cairo_image_surface_get_height(png), 600);
  cairo_surface_destroy(png);

  // Hidden windows are left out; an over-long folder is refused.
  sim.SetWindowVisible(4012, false);
  files.clear();
  ASSERT_TRUE(sim.Snapshot(out.path(), "t2", files, error)) << error;
  EXPECT_EQ(files.size(), 3u);
  EXPECT_FALSE(sim.Snapshot(out.path() + "/" + std::string(2000, 'x'), "t3", files, error));
  EXPECT_NE(error.find("path too long"), std::string::npos);
}

// A window's background (file=) lies under its gauges, stretched to the
// window; one that cannot be read, or is too large to decode, is reported at
// its line and leaves its window black.
TEST_F(SimulatorTest, WindowsComposeOverTheirBackground) {
  test::WriteSolidBitmap(resources / "9002.png", 6, 4, 0xFF00FF00u);  // green button
  test::WriteSolidBitmap(resources / "bg.png", 50, 25, 0xFF808080u);  // grey, a quarter of the window
  // The header of a PNG of 30000 x 30000 pixels (0x7530): it would take 3.6 GB.
  test::WriteFile(resources / "big.png",
                  std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x75\x30\0\0\x75\x30\x08\x06\0\0\0", 29));
  Install(R"([Window00]
size_mm=100,50
file=bg.png
gauge00=fake_module!FAKE_BUTTON, 10, 10, 60, 40
[Window01]
ident=4012
size_mm=100,100
file=missing.png
[Window02]
ident=4013
size_mm=100,100
file=big.png
)",
          resources / "panel.cfg");
  EXPECT_EQ(warnings, (std::vector<std::string>{
                          resources / "panel.cfg" +
                              ":8: background missing.png cannot be read (a PNG file is expected): "
                              "the window is drawn over black",
                          resources / "panel.cfg" +
                              ":12: background big.png is too large (30000 x 30000 pixels, at most 16384 on a side): "
                              "the window is drawn over black"}));
  sim.RunTicks(1);
  auto window = sim.ComposeWindow(0);
  for (auto [x, y] : {std::pair{1, 1}, {98, 48}, {90, 5}}) EXPECT_EQ(Pixel(*window, x, y), 0xFF808080u) << x << " " << y;
  EXPECT_EQ(Pixel(*window, 20, 20), 0xFF00FF00u);  // the button over it
  sim.SetWindowVisible(4012, true);
  EXPECT_EQ(Pixel(*sim.ComposeWindow(1), 50, 50), 0xFF000000u);
}

TEST_F(SimulatorTest, RecordsWrittenForTests) {
  Install(kPanel);
  sim.RunTicks(2);
  sim.SendKeyEvent(0x1007E, 0, "scenario");
  test::ScratchDir out("records");
  ASSERT_TRUE(sim.WriteVariables(out / "variables.txt"));
  sim.Disconnect();
  ASSERT_TRUE(sim.WriteServices(out / "services.txt"));
  ASSERT_TRUE(sim.WriteKeyEvents(out / "key_events.txt"));
  auto services = test::Lines(test::ReadFile(out / "services.txt"));
  ASSERT_EQ(services.size(), 4u);
  EXPECT_EQ(services[1], "window00 gauge00 FAKE_DISPLAY: 2 3 4 5 14 [6 10]x2 15");
  EXPECT_EQ(services[3], "window01 gauge00 FAKE_BUTTON: 2 3 4 5 14 [6]x2 15");
  auto keys = test::Lines(test::ReadFile(out / "key_events.txt"));
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[1], "0.111 2 scenario 0x1007E 0 1");
  std::string vars = test::ReadFile(out / "variables.txt");
  EXPECT_NE(vars.find("named 0 fake_server_active = 0"), std::string::npos) << vars;
  EXPECT_NE(vars.find("registered fake_mem 0x3 = 42.5"), std::string::npos) << vars;
}

}  // namespace
}  // namespace ovi::sim
