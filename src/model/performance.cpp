#include "src/model/performance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "platform/os/os.h"
#include "src/host/state.h"
#include "src/model/bad_lines.h"
#include "src/model/config.h"
#include "src/util/text.h"

namespace ovi::model {
namespace {

constexpr double kTropopause = 36089.24;  // feet
constexpr double kSeaLevelSoundSpeed = 661.4786;  // knots
constexpr double kKgToLb = 2.20462262;
constexpr double kNotSet = -999.0;

struct Table {
  PerformanceTable* rows;
  std::int32_t* count;
};

Table TableOf(PerformanceSegment seg) {
  State& s = model_state;
  switch (seg) {
    case PerformanceSegment::kClimb:
      return {&s.ClimbPerformanceTable, &s.ClimbPerformanceCount};
    case PerformanceSegment::kCruise:
      return {&s.CruisePerformanceTable, &s.CruisePerformanceCount};
    case PerformanceSegment::kDescent:
      break;
  }
  return {&s.DescentPerformanceTable, &s.DescentPerformanceCount};
}

double Column(const PerformanceRow& r, PerformanceColumn c) {
  switch (c) {
    case PerformanceColumn::kTas:
      return r.tas;
    case PerformanceColumn::kVerticalSpeed:
      return r.vertical_speed;
    case PerformanceColumn::kFuelFlow:
      break;
  }
  return r.fuel_flow;
}

// Rows [b, e) share one altitude and are sorted by weight.
double GroupValue(const PerformanceTable& t, int b, int e, PerformanceColumn c, double w) {
  if (w <= t[b].weight) return Column(t[b], c);
  if (w >= t[e - 1].weight) return Column(t[e - 1], c);
  for (int k = b; k + 1 < e; ++k) {
    double w0 = t[k].weight, w1 = t[k + 1].weight;
    if (w >= w0 && w <= w1) {
      double f = (w1 > w0) ? (w - w0) / (w1 - w0) : 0.0;
      return Column(t[k], c) + f * (Column(t[k + 1], c) - Column(t[k], c));
    }
  }
  return Column(t[e - 1], c);
}

double TopAltitude(PerformanceSegment seg) {
  Table t = TableOf(seg);
  return *t.count > 0 ? (*t.rows)[*t.count].altitude : 0.0;
}

// Weight the routines use: PerformanceWeight, or the heaviest tabulated one
// while it is not known.
double WeightInUse() {
  double w = model_state.PerformanceWeight;
  if (!std::isfinite(w) || w <= 0) return std::numeric_limits<double>::max();
  return w;
}

// Time (minutes) and distance (NM) to climb or descend between sea level and
// top, in 500-ft slices at the slice's middle altitude.
void Profile(PerformanceSegment seg, double top, double weight, double& minutes, double& miles) {
  minutes = 0;
  miles = 0;
  constexpr double kSlice = 500.0;
  for (double h = 0; h < top; h += kSlice) {
    double dh = std::min(kSlice, top - h);
    double vs = 0, tas = 0;
    LookupPerformance(seg, PerformanceColumn::kVerticalSpeed, h + dh / 2, weight, vs);
    LookupPerformance(seg, PerformanceColumn::kTas, h + dh / 2, weight, tas);
    double dt = dh / std::max(vs, 50.0);
    minutes += dt;
    miles += tas * dt / 60.0;
  }
}

// Mean rate and true airspeed of a climb or descent through [0, top].
bool MeanRateAndTas(PerformanceSegment seg, double top, double weight, double& rate, double& tas) {
  if (*TableOf(seg).count == 0) return false;
  if (!std::isfinite(top)) top = 0;
  top = std::min(top, 60000.0);  // no table goes higher; also bounds the slices
  if (top <= 0) {
    LookupPerformance(seg, PerformanceColumn::kVerticalSpeed, 0, weight, rate);
    LookupPerformance(seg, PerformanceColumn::kTas, 0, weight, tas);
    return true;
  }
  double minutes = 0, miles = 0;
  Profile(seg, top, weight, minutes, miles);
  if (minutes <= 0) return false;
  rate = top / minutes;
  tas = miles / minutes * 60.0;
  return true;
}

// --- File reading ---------------------------------------------------------

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

enum class Section { kNone, kClimb, kCruise, kDescent, kUnits };

bool SectionName(std::string_view tok, Section& out) {
  if (tok.size() >= 2 && tok.front() == '[' && tok.back() == ']') tok = tok.substr(1, tok.size() - 2);
  if (util::EqualsIgnoreCase(tok, "CLIMB")) out = Section::kClimb;
  else if (util::EqualsIgnoreCase(tok, "CRUISE")) out = Section::kCruise;
  else if (util::EqualsIgnoreCase(tok, "DESCENT")) out = Section::kDescent;
  else if (util::EqualsIgnoreCase(tok, "UNITS")) out = Section::kUnits;
  else return false;
  return true;
}

const char* SectionText(Section s) {
  switch (s) {
    case Section::kClimb: return "CLIMB";
    case Section::kCruise: return "CRUISE";
    case Section::kDescent: return "DESCENT";
    case Section::kUnits: return "UNITS";
    case Section::kNone: break;
  }
  return "no section";
}

bool In(double v, double lo, double hi) { return v >= lo && v <= hi; }

// Parses one data row of a section; false when it is malformed or out of range.
bool ParseRow(Section sec, const std::vector<std::string_view>& tok, PerformanceRow& row) {
  std::size_t want = sec == Section::kClimb ? 5 : 4;
  if (tok.size() != want) return false;
  double v[5] = {};
  for (std::size_t i = 0; i < want; ++i) {
    if (!util::ParseDouble(tok[i], v[i])) return false;
  }
  row = PerformanceRow{};
  row.altitude = v[0];
  row.tas = v[1];
  switch (sec) {
    case Section::kClimb:  // altitude tas v/s weight fuel-flow
      row.vertical_speed = v[2];
      row.weight = v[3];
      row.fuel_flow = v[4];
      break;
    case Section::kCruise:  // altitude tas weight fuel-flow
      row.weight = v[2];
      row.fuel_flow = v[3];
      break;
    default:  // descent: altitude tas |v/s| fuel-flow
      row.vertical_speed = std::fabs(v[2]);
      row.fuel_flow = v[3];
      break;
  }
  if (!In(row.altitude, 0, 60000) || !In(row.tas, 50, 700) || !In(row.fuel_flow, 0, 200000))
    return false;
  if (sec != Section::kCruise && !In(row.vertical_speed, 0, 10000)) return false;
  if (sec != Section::kDescent && !In(row.weight, 1, 2000000)) return false;
  return true;
}

// Sorts by altitude, then weight; of rows with the same pair the last one
// read stays. Returns the number of rows dropped as duplicates.
int SortTable(Table t) {
  std::vector<PerformanceRow> rows;
  for (int i = 1; i <= *t.count; ++i) rows.push_back((*t.rows)[i]);
  std::stable_sort(rows.begin(), rows.end(), [](const PerformanceRow& a, const PerformanceRow& b) {
    return a.altitude != b.altitude ? a.altitude < b.altitude : a.weight < b.weight;
  });
  std::vector<PerformanceRow> kept;
  for (const PerformanceRow& r : rows) {
    if (!kept.empty() && kept.back().altitude == r.altitude && kept.back().weight == r.weight)
      kept.back() = r;
    else
      kept.push_back(r);
  }
  t.rows->Clear();
  int n = 0;
  for (const PerformanceRow& r : kept) (*t.rows)[++n] = r;
  int dropped = *t.count - n;
  *t.count = n;
  return dropped;
}

}  // namespace

double IasToTas(double ias, double altitude) { return ias + ias * 0.019 * altitude * 0.001; }

double IsaTemperatureKelvin(double altitude) {
  if (!std::isfinite(altitude)) altitude = 0;
  return altitude < kTropopause ? 288.15 - 0.0019812 * altitude : 216.65;
}

double IsaPressureRatio(double altitude) {
  if (!std::isfinite(altitude)) altitude = 0;
  if (altitude < kTropopause) return std::pow(1.0 - 6.8755856e-6 * altitude, 5.2558797);
  return 0.22336094 * std::exp(-4.806346e-5 * (altitude - kTropopause));
}

namespace {

// The temperature every Mach number of the module is worked out at:
// TopOfClimbOat, else the standard atmosphere's.
double MachTemperatureKelvin(double altitude) {
  const double t_isa = IsaTemperatureKelvin(altitude);
  const double oat = model_state.TopOfClimbOat;
  const double t = (std::isfinite(oat) && oat != kNotSet) ? oat + 273.15 : t_isa;
  return t < 150.0 || t > 400.0 ? t_isa : t;  // not a temperature air has up there
}

}  // namespace

double IasToMach(double ias, double altitude) {
  if (!std::isfinite(ias) || ias <= 0) return 0.0;
  if (!std::isfinite(altitude)) altitude = 0;
  altitude = std::clamp(altitude, -5000.0, 65000.0);
  double r = ias / kSeaLevelSoundSpeed;
  double impact = std::pow(1.0 + 0.2 * r * r, 3.5) - 1.0;  // qc / p0
  double mach_isa = std::sqrt(5.0 * (std::pow(impact / IsaPressureRatio(altitude) + 1.0, 2.0 / 7.0) - 1.0));
  return mach_isa * std::sqrt(IsaTemperatureKelvin(altitude) / MachTemperatureKelvin(altitude));
}

double PerformanceMachAt(PerformanceSegment segment, double altitude) {
  if (!std::isfinite(altitude)) altitude = 0;
  double tas = 0.0;
  if (!LookupPerformance(segment, PerformanceColumn::kTas, altitude, WeightInUse(), tas)) return 0.0;
  return tas / (kSeaLevelSoundSpeed * std::sqrt(MachTemperatureKelvin(altitude) / 288.15));
}

void ClearPerformanceData() {
  for (auto seg : {PerformanceSegment::kClimb, PerformanceSegment::kCruise, PerformanceSegment::kDescent}) {
    Table t = TableOf(seg);
    t.rows->Clear();
    *t.count = 0;
  }
}

bool LookupPerformance(PerformanceSegment segment, PerformanceColumn column, double altitude,
                       double weight, double& out) {
  Table tab = TableOf(segment);
  const PerformanceTable& t = *tab.rows;
  const int n = *tab.count;
  if (n <= 0) return false;
  if (!std::isfinite(altitude)) altitude = 0;
  if (std::isnan(weight)) weight = 0;
  int lo_b = -1, lo_e = -1, hi_b = -1, hi_e = -1;
  for (int i = 1; i <= n;) {
    int j = i;
    while (j <= n && t[j].altitude == t[i].altitude) ++j;
    if (t[i].altitude <= altitude) lo_b = i, lo_e = j;
    if (t[i].altitude >= altitude && hi_b < 0) hi_b = i, hi_e = j;
    i = j;
  }
  if (lo_b < 0) lo_b = hi_b, lo_e = hi_e;
  if (hi_b < 0) hi_b = lo_b, hi_e = lo_e;
  double v_lo = GroupValue(t, lo_b, lo_e, column, weight);
  if (lo_b == hi_b) {
    out = v_lo;
    return true;
  }
  double v_hi = GroupValue(t, hi_b, hi_e, column, weight);
  double a0 = t[lo_b].altitude, a1 = t[hi_b].altitude;
  out = v_lo + (altitude - a0) / (a1 - a0) * (v_hi - v_lo);
  return true;
}

bool LoadPerformanceData(std::string_view file_name) {
  ClearPerformanceData();
  const std::string label = "Aircraft\\" + std::string(file_name.substr(0, 60));
  std::unique_ptr<std::FILE, FileCloser> f(
      OpenSettingsFile(host::DataPath("\\ovi\\Aircraft\\") + std::string(file_name), label, "no performance data"));
  if (!f) return false;
  if (const std::string_view why = util::NotPlainTextFile(f.get()); !why.empty()) {
    AddStatusMessage(
        util::Format("%s: not plain text (%s), no performance data", label.c_str(), std::string(why).c_str()));
    return false;
  }
  auto report = [&](Section sec, int line_no, const char* problem) {
    AddStatusMessage(util::Format("%s: '%s line %d' %s", label.c_str(), SectionText(sec), line_no, problem));
  };
  // One status for the file's bad lines, naming the first.
  BadLineReport bad(label);

  double weight_factor = 1.0, flow_factor = 1.0;
  Section sec = Section::kNone;
  bool full_reported[5] = {};
  std::string line;
  int line_no = 0;
  while (util::ReadLine(f.get(), line)) {
    bad.At(++line_no);
    std::string_view trimmed = util::Trim(line);
    if (trimmed.empty() || trimmed.front() == ';') continue;
    // Rows may be written as the flight summary writes its items: a_b_c_d.
    for (char& c : line) {
      if (c == '_') c = ' ';
    }
    auto tok = util::SplitBlanks(line);
    if (tok.empty()) continue;
    Section named;
    if (tok.size() == 1 && SectionName(tok[0], named)) {
      sec = named;
      continue;
    }
    if (sec == Section::kNone) {
      bad.Count("row before any section");
      continue;
    }
    if (sec == Section::kUnits) {
      double factor = 0;
      if (tok.size() == 2 && (util::EqualsIgnoreCase(tok[1], "LBS") || util::EqualsIgnoreCase(tok[1], "LB")))
        factor = 1.0;
      else if (tok.size() == 2 && (util::EqualsIgnoreCase(tok[1], "KGS") || util::EqualsIgnoreCase(tok[1], "KG")))
        factor = kKgToLb;
      if (factor > 0 && util::EqualsIgnoreCase(tok[0], "WEIGHT")) weight_factor = factor;
      else if (factor > 0 && util::EqualsIgnoreCase(tok[0], "FUELFLOW")) flow_factor = factor;
      else bad.Count("unknown unit line");
      continue;
    }
    PerformanceRow row;
    if (!ParseRow(sec, tok, row)) {
      bad.Count(util::Format("not a %s row", SectionText(sec)));
      continue;
    }
    Table t = TableOf(sec == Section::kClimb    ? PerformanceSegment::kClimb
                      : sec == Section::kCruise ? PerformanceSegment::kCruise
                                                : PerformanceSegment::kDescent);
    if (*t.count >= kMaxPerformanceRows) {
      if (!full_reported[static_cast<int>(sec)]) report(sec, line_no, "table full, rest ignored");
      full_reported[static_cast<int>(sec)] = true;
      continue;
    }
    (*t.rows)[++*t.count] = row;
  }
  bad.Post();

  for (auto seg : {PerformanceSegment::kClimb, PerformanceSegment::kCruise, PerformanceSegment::kDescent}) {
    Table t = TableOf(seg);
    for (int i = 1; i <= *t.count; ++i) {
      (*t.rows)[i].weight *= weight_factor;
      (*t.rows)[i].fuel_flow *= flow_factor;
    }
    if (int dropped = SortTable(t); dropped > 0)
      AddStatusMessage(util::Format("%s: %d repeated rows, the last of each kept", label.c_str(), dropped));
  }
  const State& s = model_state;
  AddStatusMessage(util::Format("%s: performance rows %d climb, %d cruise, %d descent", label.c_str(),
                                s.ClimbPerformanceCount, s.CruisePerformanceCount, s.DescentPerformanceCount));
  return true;
}

void InterpolatePerformanceSpeeds() {
  State& s = model_state;
  double target = s.CruiseAlt > 0 ? s.CruiseAlt : (s.MaxCruise > 0 ? s.MaxCruise : TopAltitude(PerformanceSegment::kCruise));
  double w = WeightInUse();
  double rate = 0, tas = 0;
  if (MeanRateAndTas(PerformanceSegment::kClimb, target, w, rate, tas)) s.ClimbTas = tas;
  if (LookupPerformance(PerformanceSegment::kCruise, PerformanceColumn::kTas, target, w, tas)) s.CruiseTas = tas;
  if (MeanRateAndTas(PerformanceSegment::kDescent, target, 0, rate, tas)) s.DescentTas = tas;
}

double ComputePerformanceCeiling() {
  State& s = model_state;
  if (s.ClimbPerformanceCount <= 0 || s.CruisePerformanceCount <= 0 || s.DescentPerformanceCount <= 0)
    return 0.0;
  double w = WeightInUse();
  double top = std::min(TopAltitude(PerformanceSegment::kCruise), TopAltitude(PerformanceSegment::kClimb));
  if (s.MaxCruise > 0) top = std::min(top, static_cast<double>(s.MaxCruise));
  double ceiling = 0;
  for (double h = 1000; h <= top; h += 1000) {
    double vs = 0;
    LookupPerformance(PerformanceSegment::kClimb, PerformanceColumn::kVerticalSpeed, h, w, vs);
    if (vs < kCeilingClimbRate) break;
    ceiling = h;
  }
  if (ceiling <= 0) return 0.0;
  ApplyPerformanceMeans(ceiling);
  return ceiling;
}

void ApplyPerformanceMeans(double altitude) {
  State& s = model_state;
  double rate = 0, tas = 0;
  if (MeanRateAndTas(PerformanceSegment::kClimb, altitude, WeightInUse(), rate, tas)) {
    s.ClimbRate = static_cast<std::int32_t>(std::lround(rate));
    s.ClimbTas = tas;
  }
  if (MeanRateAndTas(PerformanceSegment::kDescent, altitude, 0, rate, tas)) {
    s.DescentRate = rate;
    s.DescentTas = tas;
  }
}

bool ClimbPerformanceAt(double altitude, double& rate, double& tas) {
  const double w = WeightInUse();
  return LookupPerformance(PerformanceSegment::kClimb, PerformanceColumn::kVerticalSpeed, altitude, w, rate) &&
         LookupPerformance(PerformanceSegment::kClimb, PerformanceColumn::kTas, altitude, w, tas);
}

}  // namespace ovi::model
