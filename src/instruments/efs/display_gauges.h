// The display gauges whose pictures are drawn by the EFS 50 EADI, EHSI and
// TCAS display, the B777 PFD, the A320 EADI and the P1000 MFD: EFS50_EADI,
// EFS50_EADI_NB, EFS50_EHSI, EFS50_EHSI_NB, EFS50_TCAS, B777_PFD_NB,
// A320_EADI_NB, P1000_MFD and P1000_MFD_NB. Each is a row of data over the
// one gauge skeleton: log line, post-install hook, display form, pop-up
// window, drawing element and the instrument's draw entry. A gauge is
// exported once its instrument has a draw entry.
#pragma once

#include <cstdint>
#include <span>

#include "platform/gfx/device_context.h"
#include "platform/panel/panel.h"
#include "src/display/lifetime.h"

namespace ovi::efs {

inline constexpr std::uint32_t kP1000MfdWindow = 4002;
inline constexpr std::uint32_t kEfs50EadiWindow = 4005;
inline constexpr std::uint32_t kEfs50EhsiWindow = 4008;
inline constexpr std::uint32_t kEfs50TcasWindow = 4010;
inline constexpr std::uint32_t kA320EadiWindow = 4022;
inline constexpr std::uint32_t kB777PfdWindow = 4023;

inline constexpr std::uint32_t kEfs50EadiBezelBitmap = 9762;   // 384 x 371
inline constexpr std::uint32_t kEfs50ScreenBitmap = 9761;      // 280 x 262
inline constexpr std::uint32_t kEfs50BallBitmap = 10084;       // 14 x 18
inline constexpr std::uint32_t kEfs50EhsiBezelBitmap = 9764;   // 384 x 371
inline constexpr std::uint32_t kB777PfdScreenBitmap = 9830;    // 247 x 294
inline constexpr std::uint32_t kA320EadiScreenBitmap = 9990;   // 318 x 311
inline constexpr std::uint32_t kP1000MfdBezelBitmap = 9728;    // 326 x 433
inline constexpr std::uint32_t kP1000MfdScreenBitmap = 9729;   // 272 x 314

// A display instrument's draw entry: its record (the element's pixel size
// is copied in), the element's device context, the element image's size and
// the display variant.
using DrawEntry = void (*)(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size,
                           int variant);
// The A320 EADI's entry takes a fifth argument, which its gauge passes as 320.
using DrawEntryWithModel = void (*)(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size,
                                    int variant, int model);
inline constexpr int kA320Model = 320;

// The draw entry of each instrument, null until its picture is built; a
// picture's work sets its entry here, and its gauges are exported from then
// on. (Tests put recording entries here.)
struct DisplayDrawEntries {
  DrawEntry efs50_eadi = nullptr;          // DrawEfs50Eadi
  DrawEntry efs50_ehsi = nullptr;          // DrawEfs50Ehsi
  DrawEntry efs50_tcas = nullptr;          // DrawEfs50TcasScreen
  DrawEntry b777_pfd = nullptr;            // DrawB777Pfd
  DrawEntryWithModel a320_eadi = nullptr;  // DrawA320Eadi
  DrawEntry p1000_mfd = nullptr;           // DrawP1000Mfd
};
extern DisplayDrawEntries display_draw_entries;

extern GAUGEHDR efs50_eadi_gauge;
extern GAUGEHDR efs50_eadi_nb_gauge;
extern GAUGEHDR efs50_ehsi_gauge;
extern GAUGEHDR efs50_ehsi_nb_gauge;
extern GAUGEHDR efs50_tcas_gauge;
extern GAUGEHDR b777_pfd_nb_gauge;
extern GAUGEHDR a320_eadi_nb_gauge;
extern GAUGEHDR p1000_mfd_gauge;
extern GAUGEHDR p1000_mfd_nb_gauge;

void efs50_eadi_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void efs50_eadi_nb_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void efs50_ehsi_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void efs50_ehsi_nb_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void efs50_tcas_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void d100_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void a320_eadi_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void p1000_mfd_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);
void p1000_mfd_nb_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);

// The inclinometer ball of EFS50_EADI rises towards both ends of its tube:
// the slider's vertical offset is |token 69| x 0.025 (the host applies the
// axis scale -1); a value that is not a number gives 0.
double Efs50InclinometerBallRise(MODULE_VAR* var);

// All nine gauges, in the order above.
std::span<GAUGEHDR* const> DisplayGauges();
// Those whose instrument has a draw entry now.
std::span<GAUGEHDR* const> ExportedDisplayGauges();

}  // namespace ovi::efs
