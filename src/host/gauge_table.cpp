#include "src/host/gauge_table.h"

#include <vector>

#include "src/display/bdry_gauge.h"
#include "src/guidance/engage_buttons.h"
#include "src/host/server_gauge.h"
#include "src/host/window_keys.h"
#include "src/instruments/efs/control_panel.h"
#include "src/instruments/efs/display_gauges.h"
#include "src/instruments/ehsi/gauges.h"
#include "src/instruments/ehsi/panels/panels.h"
#include "src/instruments/fms/gauges.h"
#include "src/instruments/gnsxls/gauges.h"
#include "src/instruments/gnsxls/mcu/gauges.h"
#include "src/instruments/mfd/c17/gauges.h"
#include "src/instruments/mfd/p1000/gauges.h"
#include "src/instruments/nd/gauges.h"

// Each subsystem defines its gauge headers next to its callbacks; the table
// only collects them. A subsystem adds its gauges by declaring them in its
// own header and listing them here.
namespace ovi::host {

GAUGEHDR** GaugeTable() {
  static GAUGEHDR* listed[] = {
      &server_gauge,
      &display::bdry_gauge,
      &p1000_mfd_open_gauge,
      &p1000_mfd_cntr_open_gauge,
      &efs50_tcas_open_gauge,
      &nd::hw_b737_nd_gauge,
      &nd::hw_b737_nd_br_gauge,
      &nd::hw_b737_nd_nb_gauge,
      &nd::hw_b737_efis_cntr_gauge,
      &nd::hw_b737_efis_cntr_br_gauge,
      &nd::hw_md11_nd_gauge,
      &nd::hw_md11_nd_nb_gauge,
      &nd::md11_efis_ctrl_gauge,
      &nd::a300_efis_ctrl_gauge,
      &guidance::lnav_gauge,
      &guidance::vnav_gauge,
      &fms::smiths_fms_gauge,
      &fms::smiths_fms_br_gauge,
      &gnsxls::gnsxls_gauge,
      &gnsxls::gnsxls_lm_gauge,
      &mcu::mcu_gauge,
      &mcu::mcu_lm_gauge,
      &efs::efs50_ehsi_cntr_gauge,
      &efs::efs50_ehsi_cntr_lm_gauge,
      &c17::c17_mfd_gauge,
      &c17::c17_mfcp_gauge,
      &ehsi::proline4_mfd_ctrl_gauge,
      &ehsi::proline4_aux_ctrl_gauge,
      &ehsi::md80_ehsi_ctrl_gauge,
      &p1000::p1000_mfd_cntr_gauge,
      &p1000::p1000_mfd_nb_cntr_gauge,
      nullptr,
  };
  // The EHSI and the other display gauges follow once their display draws.
  static std::vector<GAUGEHDR*> table = [] {
    std::vector<GAUGEHDR*> t;
    for (GAUGEHDR** g = listed; *g != nullptr; ++g) t.push_back(*g);
    for (GAUGEHDR* g : ehsi::ExportedEhsiGauges()) t.push_back(g);
    for (GAUGEHDR* g : efs::ExportedDisplayGauges()) t.push_back(g);
    t.push_back(nullptr);
    return t;
  }();
  return table.data();
}

}  // namespace ovi::host
