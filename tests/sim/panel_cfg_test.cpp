#include <gtest/gtest.h>

#include <random>

#include "sim/panel_cfg.h"

namespace ovi::sim {
namespace {

const char kGood[] = R"(// a panel in the simulator's style
[Window Titles]
Window00=Main panel
Window01=FMS

[Views]
this line is not ours and is ignored

[Window01]
ident=4012
size_mm=400,300
window_pos=100,50
visible=0
gauge01=ovi1!SMITHS_FMS, 0, 0
gauge00=ovi1!SERVER, 1, 2, 3, 4

[Window00]
; the main window needs no ident
size_mm=1024,768
file=panel_background.bmp
gauge00=ovi1!HW_B737_ND, 10, 20, 300, , B737,with,commas
gauge01=ovi1!LNAV,5,6,50
)";

TEST(PanelConfig, ParsesWindowsGaugesAndDefaults) {
  PanelConfig p;
  std::string error;
  ASSERT_TRUE(ParsePanelConfig(kGood, "panel.cfg", p, error)) << error;
  ASSERT_EQ(p.windows.size(), 2u);

  const PanelWindow& main = p.windows[0];
  EXPECT_EQ(main.number, 0);
  EXPECT_EQ(main.ident, 0);
  EXPECT_EQ(main.title, "Main panel");
  EXPECT_TRUE(main.visible);
  EXPECT_EQ(main.w, 1024);
  EXPECT_EQ(main.h, 768);
  ASSERT_EQ(main.gauges.size(), 2u);
  const PanelGauge& nd = main.gauges[0];
  EXPECT_EQ(nd.module, "ovi1");
  EXPECT_EQ(nd.name, "HW_B737_ND");
  EXPECT_EQ(nd.line, 21);
  EXPECT_EQ(nd.x, 10);
  EXPECT_EQ(nd.y, 20);
  EXPECT_EQ(nd.w, 300);
  EXPECT_EQ(nd.h, 0);  // empty: keeps the gauge's proportions
  EXPECT_EQ(nd.parameter, "B737,with,commas");
  EXPECT_EQ(main.gauges[1].w, 50);
  EXPECT_EQ(main.gauges[1].parameter, "");

  const PanelWindow& fms = p.windows[1];
  EXPECT_EQ(fms.ident, 4012);
  EXPECT_FALSE(fms.visible);
  EXPECT_EQ(fms.x, 100);
  EXPECT_EQ(fms.y, 50);
  ASSERT_EQ(fms.gauges.size(), 2u);
  EXPECT_EQ(fms.gauges[0].name, "SERVER");  // ordered by gauge number
  EXPECT_EQ(fms.gauges[0].h, 4);
  EXPECT_EQ(fms.gauges[1].name, "SMITHS_FMS");
  EXPECT_EQ(fms.gauges[1].w, 0);
}

// file= names the window's background from the panel file's folder, in
// either slash; a window without one has none.
TEST(PanelConfig, BackgroundPictureFromThePanelFilesFolder) {
  PanelConfig p;
  std::string error;
  ASSERT_TRUE(ParsePanelConfig(kGood, "panels/b737/panel.cfg", p, error)) << error;
  EXPECT_EQ(p.windows[0].background, "panel_background.bmp");
  EXPECT_EQ(p.windows[0].background_line, 20);
  EXPECT_EQ(BackgroundPath(p, p.windows[0]), "panels/b737/panel_background.bmp");
  EXPECT_EQ(BackgroundPath(p, p.windows[1]), "");
  ASSERT_TRUE(ParsePanelConfig("[Window00]\nsize_mm=10,10\nFILE = art\\main.png\n", "panel.cfg", p, error)) << error;
  EXPECT_EQ(BackgroundPath(p, p.windows[0]), "art/main.png");
}

TEST(PanelConfig, WindowsWithoutIdentAndMainPanelKeyword) {
  PanelConfig p;
  std::string error;
  ASSERT_TRUE(ParsePanelConfig("[Window00]\nident=MAIN_PANEL\nsize_mm=10,10\n[Window02]\nsize_mm=5,5\n", "p", p, error))
      << error;
  EXPECT_EQ(p.windows[0].ident, 0);
  EXPECT_EQ(p.windows[1].ident, kNoIdent);
  EXPECT_EQ(p.windows[1].title, "Window02");
}

TEST(PanelConfig, OverlapsNamePairsOfTheWindowsGauges) {
  PanelConfig p;
  std::string error;
  ASSERT_TRUE(ParsePanelConfig("[Window00]\nsize_mm=10,10\noverlaps = gauge00:Gauge2 , gauge01 : gauge00\n"
                               "gauge00=ovi1!A,1,2\ngauge01=ovi1!B,1,2\ngauge02=ovi1!C,1,2\n",
                               "p", p, error))
      << error;
  EXPECT_EQ(p.windows[0].overlaps, (std::vector<std::pair<int, int>>{{0, 2}, {1, 0}}));
}

TEST(PanelConfig, MalformedInputNamesFileAndLine) {
  struct Case {
    const char* text;
    const char* where;
    const char* what;
  } cases[] = {
      {"junk\n", "p.cfg:1:", "outside any section"},
      {"[Window00]\nsize_mm=10,10\nno equals here\n", "p.cfg:3:", "KEY=VALUE"},
      {"[Window00\n", "p.cfg:1:", "']'"},
      {"[Window00]\nsize_mm=10\n", "p.cfg:2:", "size_mm"},
      {"[Window00]\nsize_mm=0,10\n", "p.cfg:2:", "size_mm"},
      {"[Window00]\n\nident=12\n", "p.cfg:1:", "no size_mm"},
      {"[Window1]\nident=12\n", "p.cfg:1:", "[Window1] has no size_mm"},
      {"[Window Titles]\nWindow01=A\nWindow01=B\n", "p.cfg:3:", "title of Window01 given twice"},
      {"[Window00]\nsize_mm=10,10\ngauge00=SERVER, 1, 2\n", "p.cfg:3:", "MODULE!GAUGE_NAME"},
      {"[Window00]\nsize_mm=10,10\ngauge00=ovi1!, 1, 2\n", "p.cfg:3:", "MODULE!GAUGE_NAME"},
      {"[Window00]\nsize_mm=10,10\ngauge00=ovi1!SERVER\n", "p.cfg:3:", "position"},
      {"[Window00]\nsize_mm=10,10\ngauge00=ovi1!SERVER, a, 2\n", "p.cfg:3:", "position"},
      {"[Window00]\nsize_mm=10,10\ngauge00=ovi1!SERVER, 1.5, 2\n", "p.cfg:3:", "position"},
      {"[Window00]\nsize_mm=10,10\ngauge00=ovi1!SERVER, 1, 2, -4\n", "p.cfg:3:", "width"},
      {"[Window00]\nsize_mm=10,10\ngauge00=ovi1!SERVER, 1, 2, 3, x\n", "p.cfg:3:", "height"},
      {"[Window00]\nsize_mm=10,10\ngauge00=ovi1!A,1,2\ngauge0=ovi1!B,1,2\n", "p.cfg:4:", "twice"},
      {"[Window00]\nsize_mm=10,10\nvisible=yes\n", "p.cfg:3:", "visible"},
      {"[Window00]\nsize_mm=10,10\nident=-3\n", "p.cfg:3:", "ident"},
      {"[Window00]\nsize_mm=10,10\n[Window01]\nident=0\nsize_mm=1,1\n", "p.cfg:3:", "ident 0 already used by [Window00]"},
      {"[Window0]\nsize_mm=10,10\n[Window01]\nident=0\nsize_mm=1,1\n", "p.cfg:3:", "ident 0 already used by [Window0]"},
      {"[Window00]\nsize_mm=10,10\n[window00]\n", "p.cfg:3:", "twice"},
      {"[Window00]\nsize_mm=10,10\nsize_mm=10,10\n", "p.cfg:3:", "twice"},
      {"; only a comment\n", "p.cfg:", "no [WindowNN]"},
      {"[Window00]\nsize_mm=10,10\ngauge00=ovi1!A,1,2\noverlaps=gauge00\n", "p.cfg:4:", "bad overlaps"},
      {"[Window00]\nsize_mm=10,10\ngauge00=ovi1!A,1,2\noverlaps=gauge00:gauge00\n", "p.cfg:4:", "bad overlaps"},
      {"[Window00]\nsize_mm=10,10\ngauge00=ovi1!A,1,2\noverlaps=gauge00:gauge01,\n", "p.cfg:4:", "bad overlaps"},
      {"[Window00]\nsize_mm=10,10\noverlaps=gauge00:gauge01\noverlaps=gauge00:gauge01\n", "p.cfg:4:", "twice"},
      {"[Window00]\nsize_mm=10,10\nfile=a.png\nfile=b.png\n", "p.cfg:4:", "file given twice"},
      {"[Window00]\nsize_mm=10,10\nfile=\n", "p.cfg:3:", "bad file"},
      {"[Window00]\nsize_mm=10,10\ngauge00=ovi1!A,1,2\noverlaps=gauge00:gauge01\n", "p.cfg:4:",
       "overlaps names gauge01, which this window does not have"},
      // Numbers beyond two digits name no place: refused, not skipped unsaid.
      {"[Window00]\nsize_mm=10,10\ngauge100=ovi1!A,1,2\n", "p.cfg:3:",
       "gauge100: gauge numbers are one or two digits (gauge00..gauge99)"},
      {"[Window00]\nsize_mm=10,10\n[Window100]\nsize_mm=10,10\n", "p.cfg:3:",
       "[Window100]: window numbers are one or two digits (Window00..Window99)"},
      {"[Window Titles]\nWINDOW100=Far\n[Window00]\nsize_mm=10,10\n", "p.cfg:2:", "WINDOW100: window numbers"},
  };
  for (const Case& c : cases) {
    PanelConfig p;
    std::string error;
    EXPECT_FALSE(ParsePanelConfig(c.text, "p.cfg", p, error)) << c.text;
    EXPECT_EQ(error.rfind(c.where, 0), 0u) << c.text << " -> " << error;
    EXPECT_NE(error.find(c.what), std::string::npos) << c.text << " -> " << error;
  }
}

TEST(PanelConfig, ParameterLimitAndLongLines) {
  PanelConfig p;
  std::string error;
  std::string text = "[Window00]\nsize_mm=10,10\ngauge00=ovi1!SERVER,1,2,3,4," + std::string(259, 'P') + "\n";
  ASSERT_TRUE(ParsePanelConfig(text, "p", p, error)) << error;
  EXPECT_EQ(p.windows[0].gauges[0].parameter.size(), 259u);
  text = "[Window00]\nsize_mm=10,10\ngauge00=ovi1!SERVER,1,2,3,4," + std::string(260, 'P') + "\n";
  EXPECT_FALSE(ParsePanelConfig(text, "p", p, error));
  EXPECT_NE(error.find("p:3:"), std::string::npos);
  // An unknown key may be as long as it likes.
  text = "[Window00]\nsize_mm=10,10\n" + std::string(100000, 'k') + "=1\n";
  EXPECT_TRUE(ParsePanelConfig(text, "p", p, error)) << error;
}

TEST(PanelConfig, MissingOrOverlongPathIsAMissingFile) {
  PanelConfig p;
  std::string error;
  EXPECT_FALSE(LoadPanelConfig("/nonexistent/panel.cfg", p, error));
  EXPECT_EQ(error, "/nonexistent/panel.cfg: no such file");
  EXPECT_FALSE(LoadPanelConfig("/tmp/" + std::string(5000, 'a'), p, error));
  EXPECT_NE(error.find("path too long"), std::string::npos);
  EXPECT_FALSE(LoadPanelConfig("/tmp", p, error));  // a folder is no file
}

TEST(PanelConfig, AnyBytesGiveAResultNotACrash) {
  std::mt19937 rng(7);
  const std::string pieces[] = {"[Window00]", "[Window Titles]", "size_mm=", "gauge00=", "ovi1!", ",", "=", "\n",
                                "\r\n", "ident=", "4012", "-", "\0", "\xff", " ", "99999999999999", ";"};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    int n = rng() % 40;
    for (int i = 0; i < n; ++i) {
      if (rng() % 4 == 0) {
        text += static_cast<char>(rng() % 256);
      } else {
        text += pieces[rng() % (sizeof pieces / sizeof pieces[0])];
      }
    }
    PanelConfig p;
    std::string error;
    if (!ParsePanelConfig(text, "fuzz", p, error)) {
      EXPECT_EQ(error.rfind("fuzz:", 0), 0u);
    }
  }
}

}  // namespace
}  // namespace ovi::sim
