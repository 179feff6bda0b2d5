#include "src/host/module_state.h"

#include "src/display/state.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/state.h"
#include "src/instruments/efs/state.h"
#include "src/instruments/ehsi/state.h"
#include "src/instruments/fms/state.h"
#include "src/instruments/gnsxls/mcu/state.h"
#include "src/instruments/gnsxls/state.h"
#include "src/instruments/mfd/c17/state.h"
#include "src/instruments/mfd/p1000/state.h"
#include "src/instruments/nd/state.h"
#include "src/model/fixed_table.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/procedure_state.h"
#include "src/navdb/state.h"

namespace ovi {

void ResetModuleState() {
  model::Recreate(host::host_state);
  model::Recreate(model::model_state);
  model::Recreate(flightplan::flightplan_state);
  model::Recreate(guidance::guidance_state);
  model::Recreate(fms::fms_state);
  model::Recreate(gnsxls::gnsxls_state);
  model::Recreate(mcu::mcu_state);
  model::Recreate(nd::nd_state);
  model::Recreate(ehsi::ehsi_state);
  model::Recreate(efs::efs_state);
  model::Recreate(c17::c17_state);
  model::Recreate(p1000::p1000_state);
  model::Recreate(navdb::navdb_state);
  model::Recreate(navdb::entry_state);
  model::Recreate(navdb::procedure_state);
  model::Recreate(display::display_state);
}

}  // namespace ovi
