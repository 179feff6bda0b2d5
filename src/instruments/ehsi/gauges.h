// The five gauges of the EHSI displays: DU_1000_EHSI and DU_1000_EHSI_NB
// (DU-1000), PROLINE4_MFD and PROLINE4_MFD_NB (Pro Line 4 MFD),
// MD80_EHSI_NB (MD-80). Each shows its display's screen, with or without a
// bezel, and opens or closes the display's pop-up window by a click on the
// screen. A gauge is exported once its display has a draw entry.
#pragma once

#include <cstdint>
#include <span>

#include "platform/panel/panel.h"
#include "src/host/gauge_skeleton.h"

namespace ovi::ehsi {

inline constexpr std::uint32_t kDu1000Window = 4017;
inline constexpr std::uint32_t kProline4Window = 4018;
inline constexpr std::uint32_t kMd80Window = 4024;

inline constexpr std::uint32_t kDu1000BezelBitmap = 9992;    // 392 x 394
inline constexpr std::uint32_t kEhsiScreenBitmap = 9990;     // 318 x 311, DU-1000 and MD-80
inline constexpr std::uint32_t kProline4BezelBitmap = 10064;  // 322 x 368
inline constexpr std::uint32_t kProline4ScreenBitmap = 10056; // 247 x 285

extern GAUGEHDR du_1000_ehsi_gauge;
extern GAUGEHDR du_1000_ehsi_nb_gauge;
extern GAUGEHDR proline4_mfd_gauge;
extern GAUGEHDR proline4_mfd_nb_gauge;
extern GAUGEHDR md80_ehsi_nb_gauge;

void du_1000_ehsi_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void du_1000_ehsi_nb_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void proline4_mfd_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void proline4_mfd_nb_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void md80_ehsi_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);

// The five gauges in the order above, each with the form of the skeleton
// its callback runs.
struct EhsiGaugeRow {
  GAUGEHDR* gauge;
  const host::GaugeForm* form;
};
std::span<const EhsiGaugeRow> EhsiGaugeRows();
// Those the module exports: the gauges whose display draws.
std::span<GAUGEHDR* const> ExportedEhsiGauges();

}  // namespace ovi::ehsi
