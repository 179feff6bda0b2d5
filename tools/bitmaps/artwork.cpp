#include "tools/bitmaps/artwork.h"

#include <algorithm>

#include "platform/gfx/image_io.h"
#include "src/util/text.h"

namespace ovi::bitmaps {

namespace {

using Place = Painter::Place;

Artwork Screen(std::uint32_t id, int w, int h, const char* what) {
  return {id, w, h, what, [](Painter& p) { p.Black(); }};
}

Artwork Bezel(std::uint32_t id, int w, int h, const char* what, Finish finish, float sx, float sy, float sw,
              float sh) {
  return {id, w, h, what, [=](Painter& p) {
            p.Panel(finish);
            p.Opening(sx, sy, sw, sh);
          }};
}

Artwork Button(std::uint32_t id, int w, int h, const char* what, const char* legend, bool lit) {
  return {id, w, h, what, [=](Painter& p) {
            p.Panel(Finish::kBlack);
            float kw = std::min(52.0f, w - 12.0f), kh = std::min(36.0f, h - 12.0f);
            p.Key((w - kw) / 2, (h - kh) / 2, kw, kh, legend, lit);
          }};
}

// B737 EFIS control panel: the mode knob's seven positions and the range
// knob's ladder, with the knobs where the mouse areas put them.
constexpr float kB737ModeX = 171.5f, kB737ModeY = 57.0f;
constexpr float kB737RangeX = 264.5f, kB737RangeY = 57.0f;
constexpr float kB737KnobR = 15.0f;
const std::vector<std::string> kB737Modes = {"ROSE", "VOR", "ARC", "ILS", "MAP", "CTR", "PLN"};
const std::vector<std::string> kB737Ranges = {"5", "10", "20", "40", "80", "160", "320"};

std::vector<float> Angles(int n) {
  std::vector<float> a;
  for (int i = 0; i < n; ++i) a.push_back(Painter::PositionAngle(i, n));
  return a;
}

void B737RangeKnob(Painter& p, float cx, float cy, int position, float tfc_x, float tfc_y) {
  p.Knob(cx, cy, kB737KnobR, Painter::PositionAngle(position, 7));
  // The TFC push button in the knob's middle.
  p.Key(tfc_x, tfc_y, 14, 14, "TFC");
}

Artwork B737Panel(std::uint32_t id, Finish finish, const char* what, const char* gauge) {
  return {id, 313, 212, what, [=](Painter& p) {
            p.Panel(finish);
            p.Text(12, 20, 110, 16, "EFIS", 12, kLegend);
            p.Dial(kB737ModeX, kB737ModeY, kB737KnobR + 2, Angles(7), kB737Modes, 6);
            p.Knob(kB737ModeX, kB737ModeY, kB737KnobR, Painter::PositionAngle(6, 7));
            p.Dial(kB737RangeX, kB737RangeY, kB737KnobR + 2, Angles(7), kB737Ranges, 6);
            B737RangeKnob(p, kB737RangeX, kB737RangeY, 2, 256, 48);
            p.Text(kB737ModeX - 25, 92, 50, 10, "MODE", 7, kLegend);
            p.Text(kB737RangeX - 25, 92, 50, 10, "RANGE", 7, kLegend);
            p.KeysOf(gauge);
          }};
}

Artwork B737ModeImage(std::uint32_t id, int mode, float x, float y) {
  return {id, 46, 36, "B737 EFIS mode knob at " + kB737Modes[mode - 1], [=](Painter& p) {
            p.Transparent(Finish::kGrey);
            p.Knob(kB737ModeX - x, kB737ModeY - y, kB737KnobR, Painter::PositionAngle(mode - 1, 7));
          }};
}

Artwork B737RangeImage(std::uint32_t id, int position, float x, float y) {
  return {id, 42, 42, "B737 EFIS range knob at " + kB737Ranges[position] + " NM", [=](Painter& p) {
            p.Transparent(Finish::kGrey);
            B737RangeKnob(p, kB737RangeX - x, kB737RangeY - y, position, 256 - x, 48 - y);
          }};
}

// A300 EFIS control panel: knobs centred in their 66 x 66 position images.
constexpr float kA300ModeX = 89, kA300ModeY = 186, kA300RangeX = 286, kA300RangeY = 186, kA300KnobR = 24;
const std::vector<std::string> kA300Modes = {"ROSE", "ARC", "MAP", "PLAN"};  // mode values 0, 1, 3, 2
const std::vector<std::string> kA300Ranges = {"15", "30", "60", "120", "240"};

Artwork A300Knob(std::uint32_t id, bool range, int position, const std::string& what) {
  return {id, 66, 66, what, [=](Painter& p) {
            p.Transparent(Finish::kGrey);
            p.Knob(33, 33, kA300KnobR, Painter::PositionAngle(position, range ? 5 : 4));
          }};
}

Artwork A300LitKey(std::uint32_t id, int w, int h, const char* key, const std::string& what) {
  return {id, w, h, what, [=](Painter& p) {
            p.Transparent(Finish::kGrey);
            p.Key(0, 0, static_cast<float>(w), static_cast<float>(h), p.LegendOf("A300_EFIS_CTRL", key), true);
          }};
}

void P1000Knobs(Painter& p, float cy) {
  p.Knob(37, cy, 16, 0);
  p.Knob(292, cy, 16, 0);
  p.Text(17, cy + 17, 40, 9, "SET", 7, kLegend);
  p.Text(272, cy + 17, 40, 9, "RANGE", 7, kLegend);
}

}  // namespace

std::vector<Artwork> AllArtwork() {
  std::vector<Artwork> a;
  // --- P1000 MFD
  a.push_back({9728, 326, 433, "P1000 MFD bezel: screen opening, SET knob, five soft keys, range knob",
               [](Painter& p) {
                 p.Panel(Finish::kGrey);
                 p.Opening(28, 33, 272, 314);
                 P1000Knobs(p, 405);
                 p.KeysOf("P1000_MFD");
               }});
  a.push_back(Screen(9729, 272, 314, "P1000 MFD screen"));
  // --- MCU
  a.push_back({9735, 501, 386, "MCU bezel: screen opening, page keys, rocker, ENTER", [](Painter& p) {
                 p.Panel(Finish::kGrey);
                 p.Opening(40, 32, 420, 159);
                 p.KeysOf("MCU");
                 // The LNAV and HOLD keys carry a lamp on their left edge.
                 p.Key(213, 222, 70, 25, p.LegendOf("MCU", "LNAV"), false, Place::kRight);
                 p.Key(127, 258, 70, 25, p.LegendOf("MCU", "HOLD"), false, Place::kRight);
                 p.LampOff(220, 228, 17, 20);
                 p.LampOff(134, 264, 17, 20);
                 // The four-way rocker around (387, 272).
                 p.Knob(387, 272, 48, 0);
                 p.ArrowKey(371, 224, 32, 32, 0);
                 p.ArrowKey(404, 256, 32, 32, 1);
                 p.ArrowKey(371, 290, 32, 32, 2);
                 p.ArrowKey(338, 256, 32, 32, 3);
                 p.Text(40, 356, 160, 20, "MCU", 12, kLegend);
               }});
  a.push_back(Screen(9745, 420, 159, "MCU screen"));
  // --- P1000 controller
  a.push_back({9746, 605, 234, "P1000 display controller", [](Painter& p) {
                 p.Panel(Finish::kGrey);
                 p.KeysOf("P1000_MFD_CNTR");
                 p.Rocker(70, 135, 20, 50, true);
                 p.Text(50, 118, 60, 12, "RNG", 8, kLegend);
                 const char* spare[][3] = {{"WX", "300", "25"},  {"NORM", "360", "25"}, {"EMER", "420", "25"},
                                           {"ENT", "480", "25"}, {"DAT", "300", "90"},  {"RCL", "360", "90"},
                                           {"SKP", "420", "90"}, {"PAG", "480", "90"}};
                 for (auto& s : spare) p.Key(std::stof(s[1]), std::stof(s[2]), 50, 40, s[0]);
                 p.Knob(540, 180, 30, 0);
                 p.Text(500, 212, 80, 12, "JOYSTICK", 7, kLegend);
                 p.Knob(330, 180, 22, -45);
                 p.Text(290, 206, 80, 12, "MODE / DIM", 7, kLegend);
               }});
  // --- GNS-XLS
  a.push_back(Screen(9751, 292, 217, "GNS-XLS screen"));
  a.push_back({9752, 550, 433, "GNS-XLS bezel: screen opening, page, line, letter and digit keys", [](Painter& p) {
                 p.Panel(Finish::kGrey);
                 p.Opening(90, 57, 292, 217);
                 p.KeysOf("GNSXLS");
                 p.Text(236, 14, 120, 20, "GNS-XLS", 12, kLegend);
               }});
  // --- EFS 50
  a.push_back(Screen(9761, 280, 262, "EFS 50 screen"));
  a.push_back({9762, 384, 371, "EFS 50 EADI bezel with the inclinometer tube", [](Painter& p) {
                 p.Panel(Finish::kBlack);
                 p.Opening(51, 42, 280, 262);
                 p.Lamp(140, 333, 104, 22, 0xFF9AA4A8u);
                 p.Frame(182, 333, 20, 22, 0xFF101010u, 1.5f);
               }});
  a.push_back(Bezel(9764, 384, 371, "EFS 50 EHSI bezel", Finish::kBlack, 51, 42, 280, 262));
  a.push_back({9778, 500, 169, "EFS 50 control panel: CRS, DH and HDG knobs, ten buttons, BRT knob, lamps",
               [](Painter& p) {
                 p.Panel(Finish::kBlack);
                 p.Knob(81, 127, 24, 0);
                 p.Text(56, 152, 50, 12, "CRS", 8, kLegend);
                 p.Knob(78, 38, 16, 0);
                 p.Text(20, 26, 36, 12, "DH", 8, kLegend);
                 p.Text(54, 58, 48, 10, "PULL / SET", 6, kLegend);
                 p.Knob(411, 133, 24, 0);
                 p.Text(386, 158, 50, 10, "HDG", 8, kLegend);
                 p.Knob(470, 72, 12, 30);
                 p.Text(450, 86, 40, 10, "BRT", 7, kLegend);
                 const char* lamps[] = {"RALT", "TST", "SYS"};
                 for (int i = 0; i < 3; ++i) {
                   p.LampOff(384 + 38.0f * i, 20, 34, 14);
                   p.Text(384 + 38.0f * i, 20, 34, 14, lamps[i], 7, kDimLegend);
                 }
                 p.KeysOf("EFS50_EHSI_CNTR");
               }});
  a.push_back({9782, 17, 20, "MCU annunciator lamp, lit", [](Painter& p) {
                 p.Transparent(Finish::kGrey);
                 p.Lamp(0, 0, 17, 20, kLitGreen);
               }});
  // --- window buttons
  a.push_back(Button(9812, 50, 49, "window button MFD OPEN", "MFD|OPEN", false));
  a.push_back(Button(9814, 50, 49, "window button CNTR OPEN", "CNTR|OPEN", false));
  a.push_back(Button(9816, 50, 49, "window button TCAS OPEN", "TCAS|OPEN", false));
  // --- CDU
  a.push_back(Screen(9826, 284, 233, "CDU screen"));
  for (auto [id, finish, what] : {std::tuple{9827u, Finish::kTan, "CDU keypad, tan bezel"},
                                  std::tuple{9828u, Finish::kGrey, "CDU keypad, grey bezel"}}) {
    a.push_back({id, 415, 640, what, [finish](Painter& p) {
                   p.Panel(finish);
                   p.Opening(66, 40, 284, 233);
                   p.KeysOf("SMITHS_FMS");
                   p.Key(51, 377, 44, 30, "N1|LIMIT");
                   p.Knob(340, 313, 13, 30);
                   p.Text(322, 286, 36, 10, "BRT", 7, kLegend);
                   p.LampOff(24, 434, 15, 97);
                   p.Vertical(24, 434, 15, 97, "FAIL", 9, kDimLegend);
                   p.LampOff(376, 434, 15, 97);
                   p.Vertical(376, 434, 15, 97, "MSG", 10, kDimLegend);
                 }});
  }
  a.push_back({9829, 50, 36, "CDU EXEC key with its lit bar", [](Painter& p) {
                 p.Transparent(Finish::kGrey);
                 p.Key(4, 2, 44, 30, "EXEC", true);
               }});
  a.push_back(Screen(9830, 247, 294, "B737 ND / B777 PFD screen"));
  a.push_back(Bezel(9832, 281, 337, "B737 ND bezel, grey", Finish::kGrey, 18, 25, 247, 294));
  a.push_back(Bezel(9833, 281, 337, "B737 ND bezel, tan", Finish::kTan, 18, 25, 247, 294));
  a.push_back(B737Panel(9840, Finish::kGrey, "B737 EFIS control panel, grey", "HW_B737_EFIS_CNTR"));
  a.push_back(B737Panel(9841, Finish::kTan, "B737 EFIS control panel, tan", "HW_B737_EFIS_CNTR_BR"));
  a.push_back({9842, 15, 97, "CDU MSG annunciator, lit", [](Painter& p) {
                 p.Transparent(Finish::kGrey);
                 p.LampOff(0, 0, 15, 97);
                 p.Vertical(0, 0, 15, 97, "MSG", 10, kLitWhite);
               }});
  a.push_back(B737ModeImage(9844, 1, 149, 40));
  a.push_back(B737ModeImage(9846, 2, 148, 39));
  a.push_back(B737ModeImage(9848, 3, 148, 38));
  a.push_back(B737ModeImage(9856, 4, 150, 39));
  a.push_back(B737ModeImage(9858, 5, 148, 40));
  a.push_back(B737ModeImage(9860, 6, 148, 40));
  a.push_back(B737RangeImage(9864, 1, 242, 35));
  a.push_back(B737RangeImage(9872, 3, 244, 37));
  a.push_back(B737RangeImage(9874, 4, 244, 36));
  a.push_back(B737RangeImage(9876, 5, 243, 35));
  a.push_back(B737RangeImage(9878, 6, 245, 36));
  // --- MD-11, DU-1000
  a.push_back(Screen(9986, 246, 241, "MD-11 ND screen"));
  a.push_back(Bezel(9988, 291, 319, "MD-11 ND bezel", Finish::kGrey, 20, 28, 246, 241));
  a.push_back(Screen(9990, 318, 311, "EHSI screen (DU-1000, MD-80, A320)"));
  a.push_back(Bezel(9992, 392, 394, "DU-1000 EHSI bezel", Finish::kGrey, 37, 39, 318, 311));
  a.push_back({10006, 311, 182, "MD-11 EFIS control panel", [](Painter& p) {
                 p.Panel(Finish::kGrey);
                 p.KeysOf("MD11_EFIS_CTRL");
                 p.Text(150, 88, 116, 12, "NAV 1   RANGE   NAV 2", 7, kLegend);
                 p.Text(150, 4, 150, 14, "MODE", 8, kLegend);
               }});
  a.push_back({10016, 373, 312, "A300 EFIS control panel", [](Painter& p) {
                 p.Panel(Finish::kGrey);
                 p.Dial(kA300ModeX, kA300ModeY, kA300KnobR + 2, Angles(4), kA300Modes, 7);
                 p.Knob(kA300ModeX, kA300ModeY, kA300KnobR, Painter::PositionAngle(2, 4));
                 p.Dial(kA300RangeX, kA300RangeY, kA300KnobR + 2, Angles(5), kA300Ranges, 7);
                 p.Knob(kA300RangeX, kA300RangeY, kA300KnobR, Painter::PositionAngle(2, 5));
                 p.Knob(312, 75, 20, 0);
                 p.Text(292, 28, 40, 12, "CRS", 8, kLegend);
                 p.Text(kA300ModeX + 18, 140, 50, 10, "MODE", 8, kLegend);
                 p.Text(kA300RangeX - 30, 122, 60, 10, "RANGE", 8, kLegend);
                 p.KeysOf("A300_EFIS_CTRL");
               }});
  a.push_back(A300Knob(10018, true, 0, "A300 range knob at 15 NM and below"));
  a.push_back(A300Knob(10020, true, 1, "A300 range knob at 30 NM"));
  a.push_back(A300Knob(10024, true, 3, "A300 range knob at 120 NM"));
  a.push_back(A300Knob(10032, true, 4, "A300 range knob at 240 NM"));
  a.push_back(A300LitKey(10036, 56, 36, "INT", "A300 intersections key, lit"));
  a.push_back(A300LitKey(10038, 56, 36, "NAV", "A300 navaids key, lit"));
  a.push_back(A300LitKey(10040, 56, 36, "AUX", "A300 AUX key, lit"));
  a.push_back(A300LitKey(10048, 56, 36, "ARPT", "A300 airports key, lit"));
  a.push_back(A300Knob(10050, false, 1, "A300 mode knob at mode 1"));
  a.push_back(A300Knob(10052, false, 3, "A300 mode knob at mode 2"));
  a.push_back(A300Knob(10054, false, 0, "A300 mode knob at mode 0"));
  // --- Pro Line 4
  a.push_back(Screen(10056, 247, 285, "Pro Line 4 MFD screen"));
  a.push_back(Bezel(10064, 322, 368, "Pro Line 4 MFD bezel", Finish::kBlack, 38, 40, 247, 285));
  a.push_back({10066, 313, 93, "Pro Line 4 map-layer keys with their lamps", [](Painter& p) {
                 p.Panel(Finish::kBlack);
                 p.KeysOf("PROLINE4_AUX_CTRL", 0, 0, Place::kLow);
                 for (float x : {32, 77, 121, 165, 210, 254}) p.LampOff(x, 35, 25, 10);
               }});
  a.push_back({10068, 311, 97, "Pro Line 4 control panel: mode knob with the range knob inside it", [](Painter& p) {
                 p.Panel(Finish::kBlack);
                 // The inner knob as wide as the range keys' rectangle (x 137 to
                 // 170), so the ring around it is where the mode keys take clicks.
                 p.Knob(154.5f, 36, 23, 0);
                 p.Knob(154.5f, 36, 17, 0);
                 // Under the traffic key's bottom edge (y 81), clear of it.
                 p.Text(114, 84, 82, 10, "MODE  /  RANGE", 7, kLegend);
                 p.KeysOf("PROLINE4_MFD_CTRL");
               }});
  a.push_back(A300LitKey(10070, 49, 31, "TCAS", "A300 TCAS key, lit"));
  a.push_back(Button(10072, 49, 49, "boundary button", "BDRY", false));
  a.push_back({10080, 392, 214, "MD-80 EHSI control panel", [](Painter& p) {
                 p.Panel(Finish::kGrey);
                 p.Dial(68, 74, 24, Angles(4), {"ROSE", "ARC", "MAP", "PLAN"}, 7);
                 p.Knob(68, 74, 22, 0);
                 p.Key(166, 48, 44, 54, "");
                 p.Text(166, 104, 44, 12, "ADF", 8, kLegend);
                 p.Dial(316, 72, 24, Angles(5), {"5", "10", "20", "40", "80"}, 7);
                 p.Knob(316, 72, 22, 0);
                 p.Text(40, 118, 60, 12, "MODE", 8, kLegend);
                 p.Text(288, 118, 60, 12, "RANGE", 8, kLegend);
                 p.KeysOf("MD80_EHSI_CTRL", 0, 0, Place::kHigh);
                 for (float x : {50, 109, 166, 227, 276}) p.LampOff(x, 167, 25, 10);
               }});
  a.push_back({10082, 25, 10, "lamp, lit", [](Painter& p) {
                 p.Transparent(Finish::kGrey);
                 p.Lamp(0, 0, 25, 10, kLitGreen);
               }});
  a.push_back({10084, 14, 18, "inclinometer ball", [](Painter& p) {
                 p.Transparent(Finish::kGrey);
                 p.Ball(7, 9, 5.5f, 0xFF101010u);
               }});
  a.push_back({10086, 326, 72, "P1000 key strip: SET knob, five soft keys, range knob", [](Painter& p) {
                 p.Panel(Finish::kGrey);
                 P1000Knobs(p, 41);
                 p.KeysOf("P1000_MFD_NB_CNTR");
               }});
  a.push_back({10088, 36, 36, "knob cap", [](Painter& p) {
                 p.Transparent(Finish::kGrey);
                 p.Knob(18, 18, 17, 0);
               }});
  a.push_back(Button(10090, 64, 48, "LNAV engage button, lit", "LNAV", true));
  a.push_back(Button(10092, 64, 48, "VNAV engage button, lit", "VNAV", true));
  // --- C-17
  a.push_back(Screen(13824, 246, 241, "C-17 MFD screen"));
  a.push_back({13830, 487, 558, "C-17 MFD control panel", [](Painter& p) {
                 p.Panel(Finish::kBlack);
                 p.Text(150, 20, 187, 20, "MFCP", 14, kLegend);
                 p.KeysOf("C17_MFCP");
                 p.Rocker(66, 426, 83, 82, false);
                 p.Text(66, 410, 83, 14, "RANGE", 9, kLegend);
               }});
  std::sort(a.begin(), a.end(), [](const Artwork& x, const Artwork& y) { return x.id < y.id; });
  return a;
}

const Artwork* FaceUnder(const std::string& gauge) {
  // The lit pictures' keys unlit, on the same black plate.
  static const Artwork kLnav = Button(0, 64, 48, "LNAV engage button, off", "LNAV", false);
  static const Artwork kVnav = Button(0, 64, 48, "VNAV engage button, off", "VNAV", false);
  if (util::EqualsIgnoreCase(gauge, "LNAV")) return &kLnav;
  if (util::EqualsIgnoreCase(gauge, "VNAV")) return &kVnav;
  return nullptr;
}

void DrawPanelBackground(const sim::PanelWindow& window, gfx::DeviceContext& dc) {
  gfx::Graphics g(&dc);
  g.Clear(gfx::Color(0xFF000000u));
  g.SetPixelOffsetMode(gfx::PixelOffsetMode::Half);
  const sim::KeyTable no_keys;
  for (const sim::PanelGauge& gauge : window.gauges) {
    const Artwork* face = FaceUnder(gauge.name);
    if (face == nullptr) continue;
    gfx::DeviceContext picture(face->width, face->height);
    {
      gfx::Graphics pg(&picture);
      Painter p(pg, face->width, face->height, no_keys);
      face->draw(p);
    }
    // The panel entry's size, as the stand-in gives it: the width, else the
    // design width; the height, else the design proportions.
    const float w = static_cast<float>(gauge.w > 0 ? gauge.w : face->width);
    const float h = gauge.h > 0 ? static_cast<float>(gauge.h) : w * static_cast<float>(face->height) / face->width;
    g.DrawImage(gfx::Bitmap(picture), static_cast<float>(gauge.x), static_cast<float>(gauge.y), w, h);
  }
}

bool WriteArtwork(const Artwork& art, const sim::KeyTable& keys, const std::string& dir, os::FileProblem* problem) {
  gfx::DeviceContext dc(art.width, art.height);
  {
    gfx::Graphics g(&dc);
    Painter p(g, art.width, art.height, keys);
    art.draw(p);
  }
  return gfx::WritePng(dc, dir + "/" + std::to_string(art.id) + ".png", gfx::PngSpeed::kSmall, kSoftware, problem);
}

}  // namespace ovi::bitmaps
