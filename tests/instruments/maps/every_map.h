// Every map display of the module, each with its design size, how it marks
// the top of climb and descent, how it is set to its map and drawn, and the
// switches of the layers that name places: the table the map tests run
// over.
#pragma once

#include "src/display/kit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/instruments/efs/efs50/efs50.h"
#include "src/instruments/efs/state.h"
#include "src/instruments/ehsi/du1000/du1000.h"
#include "src/instruments/ehsi/md80/md80.h"
#include "src/instruments/ehsi/proline4/proline4.h"
#include "src/instruments/ehsi/state.h"
#include "src/instruments/mfd/c17/c17_mfd.h"
#include "src/instruments/mfd/c17/state.h"
#include "src/instruments/mfd/p1000/p1000_mfd.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/instruments/nd/md11_nd.h"
#include "src/instruments/nd/state.h"
#include "src/model/state.h"
#include "src/navdb/state.h"

namespace ovi::maps_test {

using gfx::OpKind;
namespace colour = display::colour;
inline model::State& M() { return model::model_state; }
inline guidance::State& G() { return guidance::guidance_state; }

// How a map marks a point: "T/C" 8 canvas units right of and 7 above it; a
// bar across it; a "T" standing on it; a circle about it.
enum class Mark { kText, kBar, kTee, kCircle };
using DrawEntry = void (*)(gfx::DeviceContext*, const PIXSIZE*);

struct Map {
  const char* name;
  int width, height;          // design size
  double canvas_w, canvas_h;  // the units of the text marks' offsets
  Mark mark;
  gfx::ARGB route;  // the legs beyond the active waypoint
  void (*set)();
  DrawEntry draw;
  void (*layers)() = nullptr;  // every layer that names places shown
};

inline const Map kMaps[] = {
    {"B737", 244, 302, 244, 302, Mark::kText, colour::kMagenta, [] { M().HWB737NDMode = 5, M().NdRange = 40; },
     [](gfx::DeviceContext* dc, const PIXSIZE* s) { nd::DrawB737NavigationDisplay(nd::nd_state.B737NdDisplay, dc, s, 1); },
     [] { M().NdShowNavaids = M().NdShowAirports = M().NdShowIntersections = 1; }},
    {"MD11", 240, 258, 240, 258, Mark::kBar, colour::kMagenta,
     [] { M().HWMD11NDMode = nd::kMd11NdModeMap, M().Md11NdRange = 40; },
     [](gfx::DeviceContext* dc, const PIXSIZE* s) { nd::DrawMd11NavigationDisplay(nd::nd_state.Md11NdDisplay, dc, s, 1); },
     [] { M().Md11NdShowNavaids = M().Md11NdShowAirports = M().Md11NdShowIntersections = 1; }},
    {"DU1000", 318, 311, 318, 310, Mark::kTee, colour::kWhite, [] { M().DU1000EHSIMode = 3, M().Du1000EhsiRange = 60; },
     [](gfx::DeviceContext* dc, const PIXSIZE* s) { ehsi::DrawDu1000Ehsi(ehsi::ehsi_state.Du1000Display, dc, s, 1); },
     [] { M().Du1000ShowNavaids = M().Du1000ShowAux = M().Du1000ShowAirports = M().Du1000ShowIntersections = 1; }},
    {"ProLine4", 247, 285, 247, 285, Mark::kTee, colour::kWhite,
     [] { M().PROLINE4MFDMode = 3, M().Proline4MapRadius = 140, M().Proline4MapRange = 40; },
     [](gfx::DeviceContext* dc, const PIXSIZE* s) { ehsi::DrawProline4Mfd(ehsi::ehsi_state.Proline4Display, dc, s, 1); },
     [] { M().Proline4ShowVors = M().Proline4ShowNdbs = 1;
          M().Proline4ShowAirports = M().Proline4ShowIntersections = 1; }},
    {"MD80", 266, 232, 266, 232, Mark::kText, colour::kWhite, [] { M().MD80EHSIMode = 3, M().Md80EhsiMapRange = 40; },
     [](gfx::DeviceContext* dc, const PIXSIZE* s) { ehsi::DrawMd80Ehsi(ehsi::ehsi_state.Md80Display, dc, s, 1); },
     [] { M().Md80EhsiShowNavaids = M().Md80EhsiShowAirports = M().Md80EhsiShowIntersections = 1; }},
    {"P1000", 272, 314, 272, 314, Mark::kCircle, colour::kWhite, [] { M().P1000MapRange = 25; },
     [](gfx::DeviceContext* dc, const PIXSIZE* s) { p1000::DrawP1000Mfd(efs::efs_state.P1000MfdDisplay, dc, s, 1); },
     [] { M().P1000ShowNavaids = M().P1000ShowAirports = 1; }},
    {"C17MapPage", 492, 482, 246, 241, Mark::kText, colour::kMagenta, [] { M().C17MfdPage = 6, M().C17MfdMapRange = 40; },
     [](gfx::DeviceContext* dc, const PIXSIZE* s) { c17::DrawC17Mfd(c17::c17_state.C17MfdDisplay, dc, s, 5); },
     [] { M().Proline4ShowVors = M().Proline4ShowNdbs = M().Proline4ShowAirports = 1; }},
    // Last: no layer of it names the route's places.
    {"EFS50", 280, 262, 266, 230, Mark::kCircle, colour::kWhite,
     [] { M().EFS50HsiMode = 5, M().EFS50NavMode = 2, M().Efs50EhsiRange = 20, M().ShowTodBodIndicators = 1; },
     [](gfx::DeviceContext* dc, const PIXSIZE* s) { efs::DrawEfs50Ehsi(efs::efs_state.Efs50EhsiDisplay, dc, s, 1); }},
};

}  // namespace ovi::maps_test
