// The drawing-layer session across drawing gauges, the size record and the
// BDRY button.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/gfx/startup.h"
#include "src/display/bdry_gauge.h"
#include "src/display/lifetime.h"
#include "src/display/state.h"
#include "src/host/debug_log.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/model/state.h"

namespace ovi::display {
namespace {

class LifetimeTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetModuleState(); }
  void TearDown() override {
    // Leave no session running for the next test.
    while (display_state.DrawingGaugeConnections > 0) DisconnectDrawingGauge(nullptr);
    ResetModuleState();
  }
};

TEST_F(LifetimeTest, TheLayerStopsOnlyWhenTheLastDrawingGaugeDisconnects) {
  const int before = gfx::GdiplusInstances();
  GAUGEHDR nd{}, fms{};
  ConnectDrawingGauge(&nd);
  const std::uintptr_t token = display_state.GdiplusToken;
  EXPECT_NE(token, 0u);
  EXPECT_EQ(gfx::GdiplusInstances(), before + 1);
  ConnectDrawingGauge(&fms);  // already running: not started again
  EXPECT_EQ(display_state.GdiplusToken, token);
  EXPECT_EQ(gfx::GdiplusInstances(), before + 1);

  // One pop-up closing leaves the layer running for the other gauge.
  DisconnectDrawingGauge(&nd);
  EXPECT_EQ(display_state.GdiplusToken, token);
  EXPECT_EQ(gfx::GdiplusInstances(), before + 1);
  DisconnectDrawingGauge(&fms);
  EXPECT_EQ(display_state.GdiplusToken, 0u);
  EXPECT_EQ(gfx::GdiplusInstances(), before);

  // A disconnect with nothing connected does nothing; the next connect
  // starts the layer again.
  DisconnectDrawingGauge(&fms);
  EXPECT_EQ(display_state.DrawingGaugeConnections, 0);
  EXPECT_EQ(gfx::GdiplusInstances(), before);
  ConnectDrawingGauge(&nd);
  EXPECT_NE(display_state.GdiplusToken, 0u);
  EXPECT_EQ(gfx::GdiplusInstances(), before + 1);
}

TEST_F(LifetimeTest, GaugeDisplayConstructorsSetOnlyTheDefaultSize) {
  GaugeDisplay fresh;
  EXPECT_EQ(fresh.default_width, 134);
  EXPECT_EQ(fresh.default_height, 97);
  EXPECT_EQ(fresh.width, 0);
  for (GaugeDisplay* (*construct)(GaugeDisplay*) : {ConstructDefaultSize, ConstructGaugeDisplay}) {
    GaugeDisplay d{0, 0, 512, 300};
    EXPECT_EQ(construct(&d), &d);
    EXPECT_EQ(d.default_width, 134);
    EXPECT_EQ(d.default_height, 97);
    EXPECT_EQ(d.width, 512);
    EXPECT_EQ(d.height, 300);
    EXPECT_EQ(construct(nullptr), nullptr);
  }
}

TEST_F(LifetimeTest, BdryIgnoresEveryServiceAndTogglesOnClick) {
  namespace fs = std::filesystem;
  std::string pattern = (fs::temp_directory_path() / "ovi_bdry_XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  host::host_state.SimulatorFolder = pattern;

  ELEMENT_HEADER* background = bdry_gauge.elements_list[0];
  ASSERT_NE(background, nullptr);
  EXPECT_EQ(background->resource_id, 10072u);
  const std::uint32_t flags = background->image_flags | IMAGE_ON_SCREEN;
  background->image_flags = flags;
  ASSERT_TRUE(host::OpenLogFile());
  for (std::int32_t service = 0; service <= 15; ++service) bdry_callback(&bdry_gauge, service, 0);
  host::CloseLogFile();
  std::ifstream log(fs::path(pattern) / "ovi1.log");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(log), {}), "");
  EXPECT_EQ(background->image_flags, flags);  // not even pre-draw touches it
  background->image_flags &= ~IMAGE_ON_SCREEN;
  std::error_code ec;
  fs::remove_all(pattern, ec);

  const MOUSERECT* m = bdry_gauge.mouse_rect;
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m[0].rect_type, MOUSE_RECT_PARENT);
  EXPECT_EQ(m[0].position.x, 7);
  EXPECT_EQ(m[0].position.y, 7);
  EXPECT_EQ(m[0].size.x, 35);
  EXPECT_EQ(m[1].rect_type, MOUSE_RECT_CHILD);
  EXPECT_EQ(m[1].size.y, 35);
  EXPECT_EQ(m[1].cursor, 5);  // the host's hand cursor
  EXPECT_EQ(m[1].event_flags, MOUSE_LEFTSINGLE);
  EXPECT_EQ(m[2].rect_type, MOUSE_RECT_EOL);

  // The button is the boundary layer of every map display; the MD-80 EHSI's
  // boundary lamp is not the button's.
  PIXPOINT p{1, 1};
  model::State& s = model::model_state;
  EXPECT_EQ(s.ShowAtcBoundaries, 0);
  EXPECT_EQ(m[1].handler(&p, MOUSE_LEFTSINGLE), 0);
  EXPECT_EQ(s.ShowAtcBoundaries, 1);
  EXPECT_EQ(s.Md80EhsiShowBoundaries, 0);
  EXPECT_EQ(m[1].handler(&p, MOUSE_LEFTSINGLE), 0);
  EXPECT_EQ(s.ShowAtcBoundaries, 0);
  // A value other than 0 turns the layer off (the display command turns it on).
  s.ShowAtcBoundaries = 4;
  m[1].handler(&p, MOUSE_LEFTSINGLE);
  EXPECT_EQ(s.ShowAtcBoundaries, 0);
  EXPECT_EQ(s.Md80EhsiShowBoundaries, 0);
}

}  // namespace
}  // namespace ovi::display
