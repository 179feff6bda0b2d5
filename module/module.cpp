// The two symbols the host looks up in a gauge module.
#include "platform/panel/panel.h"
#include "src/host/gauge_table.h"
#include "src/host/state.h"

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

}  // extern "C"

namespace {

void ModuleInit() { ovi::host::host_state.Panels = ImportTable.panels_entry.panels; }

// The gauge table is built on first use; publish it before the host reads it.
struct PublishTable {
  PublishTable() { Linkage.gauge_table = ovi::host::GaugeTable(); }
} publish_table;

}  // namespace
