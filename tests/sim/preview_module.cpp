// A stand-in module named ovi1 for the tests of the sample panels: it
// exports every gauge the panels name with the element lists the gauges
// declare (bitmaps, sizes, places, flags), and draws nothing, so a panel
// composes to its bezels, screens and pictures before the instruments exist.
// A gauge whose parameter is "ICONS" shows all its pictures.
#include <cmath>
#include <cstring>
#include <deque>
#include <vector>

#include "platform/panel/panel.h"

#define EXPORT __attribute__((visibility("default")))

namespace {

struct El {
  std::int32_t type;
  std::uint32_t id;
  int x, y, w, h;
  std::uint32_t flags;
};

struct PreviewGauge {
  const char* name;
  std::vector<El> chain;  // each element the child of the one before
};

constexpr std::int32_t S = ELEMENT_TYPE_STATIC_IMAGE, I = ELEMENT_TYPE_ICON, L = ELEMENT_TYPE_SLIDER;
constexpr std::uint32_t kIcon = 0x40000003u;

std::vector<El> Display(std::uint32_t bezel, int bw, int bh, std::uint32_t bezel_flags, std::uint32_t screen, int x,
                        int y, int sw, int sh) {
  return {{S, bezel, 0, 0, bw, bh, bezel_flags}, {S, screen, x, y, sw, sh, 0x24}};
}

std::vector<El> B737Panel(std::uint32_t bezel) {
  std::vector<El> c = {{S, bezel, 0, 0, 313, 212, 0}};
  const int mode[][3] = {{9844, 149, 40}, {9846, 148, 39}, {9848, 148, 38},
                         {9856, 150, 39}, {9858, 148, 40}, {9860, 148, 40}};
  for (auto& m : mode) c.push_back({I, static_cast<std::uint32_t>(m[0]), m[1], m[2], 46, 36, kIcon});
  const int range[][3] = {{9864, 242, 35}, {9872, 244, 37}, {9874, 244, 36}, {9876, 243, 35}, {9878, 245, 36}};
  for (auto& r : range) c.push_back({I, static_cast<std::uint32_t>(r[0]), r[1], r[2], 42, 42, kIcon});
  return c;
}

std::vector<El> A300Panel() {
  std::vector<El> c = {{S, 10016, 0, 0, 373, 312, 0}};
  for (std::uint32_t id : {10018u, 10020u, 10024u, 10032u}) c.push_back({I, id, 253, 153, 66, 66, kIcon});
  for (std::uint32_t id : {10054u, 10050u, 10052u}) c.push_back({I, id, 56, 153, 66, 66, kIcon});
  c.push_back({I, 10036, 95, 231, 56, 36, kIcon});
  c.push_back({I, 10038, 159, 231, 56, 36, kIcon});
  c.push_back({I, 10040, 222, 231, 56, 36, kIcon});
  c.push_back({I, 10048, 285, 232, 56, 36, kIcon});
  c.push_back({I, 10070, 24, 95, 49, 31, kIcon});
  return c;
}

std::vector<El> Cdu(std::uint32_t keypad) {
  return {{S, keypad, 0, 0, 415, 640, 0},
          {S, 9826, 66, 40, 284, 233, 0x24},
          {I, 9829, 314, 336, 50, 36, kIcon},
          {I, 9842, 376, 434, 15, 97, kIcon}};
}

std::vector<El> Mcu(std::uint32_t flags) {
  return {{S, 9735, 0, 0, 501, 386, flags},
          {S, 9745, 40, 32, 420, 159, 0x4024},
          {I, 9782, 220, 228, 17, 20, 0x40000007u},
          {I, 9782, 134, 264, 17, 20, 0x40000007u}};
}

std::vector<El> Lamps(std::uint32_t bezel, int w, int h, std::vector<El> extra) {
  std::vector<El> c = {{S, bezel, 0, 0, w, h, 0}};
  c.insert(c.end(), extra.begin(), extra.end());
  return c;
}

const std::vector<PreviewGauge>& PreviewGauges() {
  static const std::vector<PreviewGauge> gauges = {
      {"SERVER", {}},
      {"BDRY", {{S, 10072, 0, 0, 49, 49, 0}}},
      {"P1000_MFD_OPEN", {{S, 9812, 0, 0, 50, 49, 0}}},
      {"P1000_MFD_CNTR_OPEN", {{S, 9814, 0, 0, 50, 49, 0}}},
      {"EFS50_TCAS_OPEN", {{S, 9816, 0, 0, 50, 49, 0}}},
      {"LNAV", {{S, 10090, 0, 0, 64, 48, IMAGE_HIDDEN}}},
      {"VNAV", {{S, 10092, 0, 0, 64, 48, IMAGE_HIDDEN}}},
      {"HW_B737_ND", Display(9832, 281, 337, 0, 9830, 18, 25, 247, 294)},
      {"HW_B737_ND_BR", Display(9833, 281, 337, 0, 9830, 18, 25, 247, 294)},
      {"HW_B737_ND_NB", Display(9830, 247, 294, 0x1, 9830, 0, 0, 247, 294)},
      {"HW_B737_EFIS_CNTR", B737Panel(9840)},
      {"HW_B737_EFIS_CNTR_BR", B737Panel(9841)},
      {"HW_MD11_ND", Display(9988, 291, 319, 0, 9986, 20, 28, 246, 241)},
      {"HW_MD11_ND_NB", Display(9986, 246, 241, 0x1, 9986, 0, 0, 246, 241)},
      {"MD11_EFIS_CTRL", {{S, 10006, 0, 0, 311, 182, 0}}},
      {"A300_EFIS_CTRL", A300Panel()},
      {"SMITHS_FMS", Cdu(9828)},
      {"SMITHS_FMS_BR", Cdu(9827)},
      {"GNSXLS", Display(9752, 550, 433, 0, 9751, 90, 57, 292, 217)},
      {"GNSXLS_LM", Display(9752, 550, 433, IMAGE_LUMINOUS, 9751, 90, 57, 292, 217)},
      {"MCU", Mcu(0)},
      {"MCU_LM", Mcu(IMAGE_LUMINOUS)},
      {"DU_1000_EHSI", Display(9992, 392, 394, 0, 9990, 37, 39, 318, 311)},
      {"DU_1000_EHSI_NB", Display(9990, 318, 311, 0, 9990, 0, 0, 318, 311)},
      {"PROLINE4_MFD", Display(10064, 322, 368, 0, 10056, 38, 40, 247, 285)},
      {"PROLINE4_MFD_NB", Display(10056, 247, 285, 0, 10056, 0, 0, 247, 285)},
      {"MD80_EHSI_NB", Display(9990, 318, 311, 0, 9990, 0, 0, 318, 311)},
      {"PROLINE4_MFD_CTRL", {{S, 10068, 0, 0, 311, 97, 0}}},
      {"PROLINE4_AUX_CTRL", Lamps(10066, 313, 93,
                                  {{I, 10082, 32, 35, 25, 10, kIcon}, {I, 10082, 77, 35, 25, 10, kIcon},
                                   {I, 10082, 121, 35, 25, 10, kIcon}, {I, 10082, 165, 35, 25, 10, kIcon},
                                   {I, 10082, 210, 35, 25, 10, kIcon}, {I, 10082, 254, 35, 25, 10, kIcon}})},
      {"MD80_EHSI_CTRL", Lamps(10080, 392, 214,
                               {{I, 10088, 50, 56, 36, 36, kIcon}, {I, 10088, 169, 53, 36, 36, kIcon},
                                {I, 10088, 298, 54, 36, 36, kIcon}, {I, 10082, 50, 167, 25, 10, kIcon},
                                {I, 10082, 109, 167, 25, 10, kIcon}, {I, 10082, 166, 167, 25, 10, kIcon},
                                {I, 10082, 227, 167, 25, 10, kIcon}, {I, 10082, 276, 167, 25, 10, kIcon}})},
      {"EFS50_EADI",
       {{S, 9762, 0, 0, 384, 371, 0x1}, {S, 9761, 51, 42, 280, 262, 0x24}, {L, 10084, 185, 335, 14, 18, 0x3}}},
      {"EFS50_EADI_NB", Display(9761, 280, 262, 0x1, 9761, 0, 0, 280, 262)},
      {"EFS50_EHSI", Display(9764, 384, 371, 0, 9761, 51, 42, 280, 262)},
      {"EFS50_EHSI_NB", Display(9761, 280, 262, 0x1, 9761, 0, 0, 280, 262)},
      {"EFS50_TCAS", Display(9764, 384, 371, 0x1, 9761, 51, 42, 280, 262)},
      {"EFS50_EHSI_CNTR", {{S, 9778, 0, 0, 500, 169, 0}}},
      {"EFS50_EHSI_CNTR_LM", {{S, 9778, 0, 0, 500, 169, IMAGE_LUMINOUS}}},
      {"B777_PFD_NB", Display(9830, 247, 294, 0x1, 9830, 0, 0, 247, 294)},
      {"A320_EADI_NB", Display(9990, 318, 311, 0, 9990, 0, 0, 318, 311)},
      {"P1000_MFD", Display(9728, 326, 433, 0, 9729, 28, 33, 272, 314)},
      {"P1000_MFD_NB", {{S, 9729, 0, 0, 272, 314, 0x24}}},
      {"P1000_MFD_CNTR", {{S, 9746, 0, 0, 605, 234, 0}}},
      {"P1000_MFD_NB_CNTR", {{S, 10086, 0, 0, 326, 72, 0}}},
      {"C17_MFD", {{S, 13824, 0, 0, 246, 241, 0x26}}},
      {"C17_MFCP", {{S, 13830, 0, 0, 487, 558, 0}}},
  };
  return gauges;
}

double BallRise(MODULE_VAR* v) { return std::fabs(v->value.n) * 0.025; }

void Callback(GAUGEHDR* g, std::int32_t service, std::uint32_t) {
  if (service != PANEL_SERVICE_PRE_UPDATE || g->parameters == nullptr || std::strcmp(g->parameters, "ICONS") != 0 ||
      g->elements_list == nullptr)
    return;
  for (ELEMENT_HEADER* e = g->elements_list[0]; e != nullptr; e = e->next_element ? e->next_element[0] : nullptr)
    e->image_flags &= ~IMAGE_HIDDEN;
}

std::deque<ELEMENT_HEADER> elements;
std::deque<std::vector<ELEMENT_HEADER*>> lists;
std::deque<GAUGEHDR> headers;
std::vector<GAUGEHDR*> table;

void Build() {
  for (const PreviewGauge& gauge : PreviewGauges()) {
    ELEMENT_HEADER** first = nullptr;
    std::vector<ELEMENT_HEADER*>* previous = nullptr;
    for (const El& el : gauge.chain) {
      ELEMENT_HEADER& e = elements.emplace_back(ELEMENT_HEADER{.element_type = el.type,
                                                               .resource_id = el.id,
                                                               .position = {el.x, el.y},
                                                               .image_size = {el.w, el.h},
                                                               .image_flags = el.flags});
      if (el.type == ELEMENT_TYPE_SLIDER) {
        e.slider_x = {69, 0.28, nullptr};
        e.slider_y = {69, -1.0, BallRise};
      }
      lists.push_back({&e, nullptr});
      if (previous == nullptr) {
        first = lists.back().data();
      } else {
        previous->front()->next_element = lists.back().data();
      }
      previous = &lists.back();
    }
    if (first == nullptr) first = lists.emplace_back(std::vector<ELEMENT_HEADER*>{nullptr}).data();
    headers.push_back(GAUGEHDR{GAUGE_HEADER_VERSION, gauge.name, first, Callback, 0, nullptr, nullptr, {312, 0},
                               nullptr});
    table.push_back(&headers.back());
  }
  table.push_back(nullptr);
}

void Init() {}
void Deinit() {}

}  // namespace

extern "C" {
EXPORT IMPORT_TABLE ImportTable = {{0x0000000F, nullptr}, {0x00000000, nullptr}};
EXPORT GAUGESLINKAGE Linkage = {MODULE_ID, Init, Deinit, 0, MODULE_VERSION_FS2004, nullptr};
}

namespace {
// Built when the library is loaded, after the tables above exist: the host
// reads the gauge table before any entry of ours runs.
struct Builder {
  Builder() {
    Build();
    Linkage.gauge_table = table.data();
  }
} builder;
}  // namespace
