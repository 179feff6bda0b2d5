#include "src/host/gauge_table.h"

// Each subsystem defines its gauge headers next to its callbacks; the table
// only collects them.
namespace ovi::host {

GAUGEHDR** GaugeTable() {
  static GAUGEHDR* table[] = {
      nullptr,
  };
  return table;
}

}  // namespace ovi::host
