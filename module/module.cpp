// The module's exports: the two symbols the host looks up in a gauge
// module, and the status log for a host that shows it.
#include "platform/panel/panel.h"
#include "src/host/gauge_table.h"
#include "src/host/state.h"
#include "src/model/state.h"

namespace {

// The library's own start and unload entries do nothing but bind the panel
// services the host has put into the import table.
void ModuleInit();
void ModuleDeinit() {}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) IMPORT_TABLE ImportTable = {
    {0x0000000F, nullptr},
    {0x00000000, nullptr},
};

__attribute__((visibility("default"))) GAUGESLINKAGE Linkage = {
    MODULE_ID, ModuleInit, ModuleDeinit, 0, MODULE_VERSION_FS2004, nullptr,
};

// The status log, for a host that shows why something was not loaded (the
// simulator stand-in prints it); the simulator itself never looks.
__attribute__((visibility("default"))) int OviStatusMessageCount() {
  return ovi::model::model_state.StatusMessageCount;
}

__attribute__((visibility("default"))) const char* OviStatusMessage(int index) {
  const ovi::model::State& s = ovi::model::model_state;
  if (index < 1 || index > s.StatusMessageCount || index > ovi::model::kMaxStatusMessages) return nullptr;
  return s.StatusMessageLog[index].c_str();
}

}  // extern "C"

namespace {

void ModuleInit() { ovi::host::host_state.Panels = ImportTable.panels_entry.panels; }

// The gauge table is built on first use; publish it before the host reads it.
struct PublishTable {
  PublishTable() { Linkage.gauge_table = ovi::host::GaugeTable(); }
} publish_table;

}  // namespace
