// PERF INIT and PERF LIMITS (page 3, sub-pages 1 and 2): weights, reserves,
// cost index, cruise altitude and wind, ISA deviation or top-of-climb
// temperature, transition altitude; the IAS / Mach limits of each phase.
// The key acts before the fields are drawn, so an entry shows at once.
#include <string>

#include "src/flightplan/execute.h"
#include "src/flightplan/state.h"
#include "src/guidance/flight_log.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/perf_entries.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"

namespace ovi::fms {

namespace {

model::State& M() { return model::model_state; }

// Ten units left of the first 18, as on RTE: the box met the title.
constexpr ActModForm kPerfInitTitle{8, 8, 10, 3, false};
constexpr double kNotSet = -999.0;
// Weights above this are no aircraft's: refused rather than stored.
constexpr double kMaxWeightPounds = 2000000.0;

bool Modified() { return flightplan::flightplan_state.RouteState == 4; }

// The ISA temperature at the cruise altitude's whole thousands of feet.
double IsaAtCruise() { return 15.0 - static_cast<double>(M().CruiseAlt / 1000) * 1.98; }

void Refuse() { RefuseEntry(kInvalidEntry); }

// ---- PERF INIT ----------------------------------------------------------------

bool TakeWeight(double v, double& target) {
  const double pounds = EnteredWeight(v);
  if (!(pounds <= kMaxWeightPounds)) return false;
  target = pounds;
  return true;
}

void EnterZeroFuelWeight() {
  const double v = LeadingDecimal(Scratchpad());
  if (!(v > 0.0 && v < 1000.0) || !TakeWeight(v, guidance::guidance_state.GrossWeight)) return Refuse();
  AcceptEntry();
}

void EnterReserves() {
  const double v = LeadingDecimal(Scratchpad());
  if (!(v > 0.0) || !TakeWeight(v, M().ReserveFuel)) return Refuse();
  AcceptEntry();
}

void EnterCostIndex() {
  const std::string& text = Scratchpad();
  const double n = LeadingInteger(text);
  if (!(n >= -1.0 && n <= 200.0) || !ReadsAsTypedZero(text, n)) return Refuse();
  model::State& m = M();
  SaveEntryCopy(m.SavedCostIndex, m.CostIndexSaved, m.CostIndex);
  m.CostIndex = static_cast<std::int32_t>(n);
  StepIfExecuted();
  AcceptEntry();
}

void EnterCruiseWind() {
  const std::string& text = Scratchpad();
  if (text.size() < 5 || text.find('/') != 3) return Refuse();
  const double direction = LeadingDecimal(std::string_view(text).substr(0, 3));
  const double speed = LeadingDecimal(std::string_view(text).substr(4));
  // The speed shows in three places; nothing larger is a wind.
  if (!(speed < 1000.0 && speed > -1000.0)) return Refuse();
  fms_state.CruiseWindDirection = static_cast<std::int32_t>(direction);
  fms_state.CruiseWindSpeed = static_cast<std::int32_t>(speed);
  AcceptEntry();
}

// ISA DEV and T/C OAT: one relation, entered either way. An empty
// scratchpad does nothing here, where every other empty field refuses.
void EnterTemperature(bool deviation) {
  const std::string& text = Scratchpad();
  if (text.empty()) return;
  const double v = LeadingDecimal(text);
  if (!ReadsAsTypedZero(text, v)) return Refuse();
  if (deviation) {
    fms_state.IsaDeviation = v;
    M().TopOfClimbOat = v + IsaAtCruise();
  } else {
    M().TopOfClimbOat = v;
    fms_state.IsaDeviation = v - IsaAtCruise();
  }
  AcceptEntry();
}

void EnterTransitionAltitude() {
  const double v = LeadingDecimal(Scratchpad());
  // Stored in whole feet: below 1 it would be 0, "not set".
  if (!(v >= 1.0 && v < 99999.0)) return Refuse();
  M().TransAlt = static_cast<std::int32_t>(v);
  AcceptEntry();
}

void EraseOrIndex() {
  if (Modified()) {
    flightplan::ResetRouteData();
  } else {
    OpenPage(kPageInitRefIndex);
  }
}

constexpr KeyAction kPerfInitKeys[] = {
    {kL3, EnterZeroFuelWeight},
    {kL4, EnterReserves},
    {kL5, EnterCostIndex},
    {kL6, EraseOrIndex},
    {kR1, [] { EnterCruiseAltitude(true); }},
    {kR2, EnterCruiseWind},
    {kR3, [] { EnterTemperature(true); }},
    {kR4, [] { EnterTemperature(false); }},
    {kR5, EnterTransitionAltitude},
    {kR6, [] { OpenPage(kPageTakeoffRef); }},
};

std::string Temperatures(double fahrenheit, double celsius) {
  return ScreenText("%-3.0f\xB0" "F / %-3.0f\xB0" "C", fahrenheit, celsius);
}

void DrawPerfInit(CduPage& page) {
  page.ActModTitle(kPerfInitTitle);
  page.Large(63, kTitleY, "PERF  INIT");
  const model::State& m = M();
  const guidance::State& g = guidance::guidance_state;

  // The fuel is read again for each field that shows it; every read also
  // lowers the reserve to the fuel on board, before RESERVES is drawn.
  page.Small(12, 22, "G W  /  C R Z  C G");
  page.Large(0, 33, ScreenText("%3.1f", ShownWeight(guidance::GetFuelFlowWeight() + g.GrossWeight)));
  page.RightText(22, FontSize::kSmall, "C R Z   A L T");
  if (m.CruiseAlt == 0) {
    page.EntryBoxes(228, 38, 5);
  } else {
    page.Large(222, 33, AltitudeText(guidance::PlannedCruiseAltitude()));
  }

  page.Small(12, 55, "F U E L");
  const double fuel = guidance::GetFuelFlowWeight();
  if (fuel == 0.0) {
    page.EntryBoxes(5, 71, 2);
    page.Large(20, 66, ".");
    page.EntryBoxes(30, 71, 1);
  } else {
    page.Large(0, 66, ScreenText("%2.1f", ShownWeight(fuel)));
  }
  page.Small(190, 55, "C R Z   W I N D");
  if (fms_state.CruiseWindSpeed <= 0) {
    page.Large(190, 66, "- - - \xB0 / - - -");
  } else {
    page.Large(200, 66, ScreenText("%03d\xB0/%3d", fms_state.CruiseWindDirection, fms_state.CruiseWindSpeed));
  }

  page.Small(12, 88, "ZFW");
  if (g.GrossWeight <= 0.0) {
    page.EntryBoxes(5, 104, 3);
    page.Large(30, 99, ".");
    page.EntryBoxes(40, 104, 1);
  } else {
    page.Large(0, 99, ScreenText("%3.1f", ShownWeight(g.GrossWeight)));
  }
  if (m.CruiseAlt > 0) {
    page.Small(200, 88, "I S A    D E V");
    const double dev = fms_state.IsaDeviation;
    page.Large(170, 103, dev == kNotSet ? "- - - \xB0 F / - - - \xB0 C" : Temperatures(dev * 1.8, dev));
  }

  page.Small(12, 121, "R E S E R V E S");
  if (m.ReserveFuel == 0.0) {
    page.EntryBoxes(5, 137, 2);
    page.Large(20, 132, ".");
    page.EntryBoxes(30, 137, 1);
  } else {
    page.Large(0, 133, ScreenText("%2.1f", ShownWeight(m.ReserveFuel)));
  }
  if (m.CruiseAlt > 0) {
    page.Small(200, 121, "T / C    O A T");
    const double oat = m.TopOfClimbOat;
    page.Large(170, 130, oat == kNotSet ? "- - - \xB0 F / - - - \xB0 C" : Temperatures(oat * 1.8 + 32.0, oat));
  }

  page.Small(12, 151, "C O S T   I N D E X");
  if (m.CostIndex == -1) {
    page.EntryBoxes(5, 169, 3);
  } else {
    page.Large(0, 165, ScreenText("%3d", m.CostIndex));
  }
  page.RightText(151, FontSize::kSmall, "T R A N S   A L T");
  if (m.TransAlt <= 0) {
    page.EntryBoxes(228, 169, 5);
  } else {
    page.Large(210, 165, ScreenText("%5d", m.TransAlt));
  }
  page.Large(175, kPromptY, "TAKEOFF >");
}

// ---- PERF LIMITS --------------------------------------------------------------

// The IAS limit and MinSpeedTable slot of a PERF LIMITS key. In slot
// order: each minimum (even slot) is followed by its maximum.
struct LimitField {
  std::int32_t key;
  double model::State::*ias;
  int mach_slot;
};
constexpr LimitField kLimitFields[] = {
    {kL2, &model::State::ClimbIasMin, 0},   {kR2, &model::State::ClimbIasMax, 1},
    {kL3, &model::State::CruiseIasMin, 2},  {kR3, &model::State::CruiseIasMax, 3},
    {kL4, &model::State::DescentIasMin, 4}, {kR4, &model::State::DescentIasMax, 5},
};

// A minimum at or below the row's maximum, a maximum at or above its
// minimum, in both the IAS and the Mach: a crossed pair is a limit no
// aircraft can fly. The Machs are 0 until an aircraft file was read; a
// Mach of 0 on the other side is no limit to be kept clear of.
bool KeepsItsRowOrdered(const LimitField& field, double ias, double mach) {
  const model::State& m = M();
  const LimitField& other = kLimitFields[field.mach_slot ^ 1];
  const double other_ias = m.*other.ias;
  const double other_mach = m.MinSpeedTable[static_cast<std::size_t>(other.mach_slot)];
  const bool minimum = field.mach_slot % 2 == 0;
  const bool ias_ordered = minimum ? ias <= other_ias : ias >= other_ias;
  const bool mach_ordered = !(other_mach > 0.0) || (minimum ? mach <= other_mach : mach >= other_mach);
  return ias_ordered && mach_ordered;
}

// "250/.780": three characters of IAS, "/.", three digits of thousandths.
// A short Mach part is padded with zeros (".7" is .700), and the padded
// text stays in the scratchpad even when the entry is then refused, as
// the page has always done.
void EnterLimit(const LimitField& field) {
  std::string text = Scratchpad();
  if (text.size() == 6) text += "00";
  if (text.size() == 7) text += "0";
  M().FmsScratchpad = text;
  if (text.size() < 6 || text.size() > 8 || text.compare(3, 2, "/.") != 0) return Refuse();
  const std::string_view ias_text = std::string_view(text).substr(0, 3);
  const std::string_view mach_text = std::string_view(text).substr(5, 3);
  const double ias = LeadingInteger(ias_text);
  const double thousandths = LeadingInteger(mach_text);
  if (ias == 0.0 || thousandths == 0.0) return Refuse();
  // The climb minimum keeps the decimals of both parts ("2.5" stays 2.5),
  // unlike the other five; kept as the page has always stored it.
  const bool decimals = field.mach_slot == 0;
  const double new_ias = decimals ? LeadingDecimal(ias_text) : ias;
  const double new_mach = (decimals ? LeadingDecimal(mach_text) : thousandths) / 1000.0;
  // The +/- key puts a sign before either part: no speed is negative.
  if (!(new_ias > 0.0 && new_mach > 0.0)) return Refuse();
  if (!KeepsItsRowOrdered(field, new_ias, new_mach)) return Refuse();
  model::State& m = M();
  m.*field.ias = new_ias;
  m.MinSpeedTable[static_cast<std::size_t>(field.mach_slot)] = new_mach;
  AcceptEntry();
}

void ActOnLimitsKey() {
  const int key = LineSelectKey();
  for (const LimitField& f : kLimitFields) {
    if (f.key == key) return EnterLimit(f);
  }
  if (key == kL6) return EraseOrIndex();
  if (key == kR6) {
    OpenPage(kPageProgress);
    M().FmsSubPageTable.ProgressSubPage = 2;
  }
}

std::string LimitRow(double min_ias, double min_mach, double max_ias, double max_mach) {
  return ScreenText("%3.0f /.%3.0f                     %3.0f / .%3.0f", min_ias, min_mach * 1000.0, max_ias,
                    max_mach * 1000.0);
}

void DrawPerfLimits(CduPage& page) {
  page.Large(63, kTitleY, "PERF  LIMITS");
  const model::State& m = M();
  const auto& mach = m.MinSpeedTable;
  page.Small(0, 22, "  T I M E    E R R O R    T O L E R A N C E");
  page.Small(12, 39, "   1 5    S E C    A T    R T A    W P T");
  page.Small(0, 55, "  M I N    S P D     - - C L B - -       M A X    S P D");
  page.Large(0, 71, LimitRow(m.ClimbIasMin, mach[0], m.ClimbIasMax, mach[1]));
  page.Small(0, 88, "                            - -  C R Z - -");
  page.Large(0, 104, LimitRow(m.CruiseIasMin, mach[2], m.CruiseIasMax, mach[3]));
  page.Small(0, 121, "                            - -  D E S - -");
  page.Large(0, 139, LimitRow(m.DescentIasMin, mach[4], m.DescentIasMax, mach[5]));
  page.Large(205, kPromptY, "RTA >");
}

}  // namespace

void FmsPagePerfInit(display::GaugeDisplay& display, gfx::Graphics& g) {
  CduPage page(display, g);
  model::FmsSubPageTable& sub = M().FmsSubPageTable;
  // NEXT is tested before PREV here (the other pages test PREV first); with
  // two sub-pages either key shows the other one.
  if (fms_state.FmsNextPageKey == 1) {
    if (++sub.PerfInitSubPage > sub.PerfInitSubPageCount) sub.PerfInitSubPage = 1;
  } else if (fms_state.FmsPrevPageKey == 1) {
    if (--sub.PerfInitSubPage < 1) sub.PerfInitSubPage = sub.PerfInitSubPageCount;
  }
  const bool init = sub.PerfInitSubPage == 1;
  page.Small(220, kTitleY, ScreenText("%2d / %2d", sub.PerfInitSubPage, sub.PerfInitSubPageCount));
  if (init) {
    RunKeyAction(kPerfInitKeys);
    DrawPerfInit(page);
  } else {
    ActOnLimitsKey();
    DrawPerfLimits(page);
  }
  page.Large(0, 184, "- - - - - - - - - - - - - - - - - - - - - - - - -");
  page.Large(0, kPromptY, Modified() ? "< ERASE" : "< INDEX");
  page.ScratchpadLine();
}

}  // namespace ovi::fms
