// The small panel-window buttons: a picture and one key that opens or
// closes one pop-up window. They answer no service.
#pragma once

#include "platform/panel/panel.h"

namespace ovi::host {

extern GAUGEHDR p1000_mfd_open_gauge;       // P1000_MFD_OPEN: window 4002, the P1000 MFD
extern GAUGEHDR p1000_mfd_cntr_open_gauge;  // P1000_MFD_CNTR_OPEN: window 4003, its controller
extern GAUGEHDR efs50_tcas_open_gauge;      // EFS50_TCAS_OPEN: window 4010, the EFS 50 traffic display

}  // namespace ovi::host
