// The C-17 gauges: C17_MFD, one of up to four multifunction displays (its
// parameter says which), and C17_MFCP, their control panel. C17_MFD opens
// the module's debug log, runs the per-tick update and serves a mode
// mailbox at pre-update, and registers the four mailboxes while connected.
#pragma once

#include <cstdint>

#include "platform/panel/panel.h"

namespace ovi::c17 {

inline constexpr std::uint32_t kC17MfdScreenBitmap = 13824;  // 246 x 241
inline constexpr std::uint32_t kC17MfcpBitmap = 13830;       // 487 x 558

// The names the mailboxes are registered under, in order.
inline constexpr const char* kMailboxNames[] = {"MFDX1 mode", "MFDX2 mode", "MFDX3 mode", "MFDX4 mode"};

extern GAUGEHDR c17_mfd_gauge;
extern GAUGEHDR c17_mfcp_gauge;
void c17_mfd_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void c17_mfcp_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);

}  // namespace ovi::c17
