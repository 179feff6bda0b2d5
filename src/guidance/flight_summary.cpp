// WriteFlightSummary: fpl.log condensed into averages by altitude band (and
// by weight band for climb and cruise), one record per flight in Flight.log.
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/os/os.h"
#include "src/guidance/flight_log.h"
#include "src/host/state.h"
#include "src/model/state.h"
#include "src/util/text.h"

namespace ovi::guidance {

namespace {

constexpr const char* kFplLogPath = "\\ovi\\FlightLog\\fpl.log";
constexpr const char* kFlightLogPath = "\\ovi\\FlightLog\\Flight.log";
constexpr std::size_t kMaxLineLength = 298;
constexpr int kMaxRows = 9;          // altitude bands 5000 .. 45000 ft
constexpr int kMaxWeightBands = 19;

struct Sum {
  double total = 0.0;
  int count = 0;
  void Add(double v) {
    total += v;
    ++count;
  }
  // A cell no line reached prints 0.
  double Mean() const { return count > 0 ? total / count : 0.0; }
};

struct Row {
  double band = 0.0;
  Sum tas, vs, ff;
  std::array<Sum, kMaxWeightBands> ff_by_weight;
};

struct Table {
  std::array<Row, kMaxRows> rows;
  int row_count = 0;
  std::array<double, kMaxWeightBands> weights{};
  int weight_count = 0;

  int FindRow(double band) const {
    for (int i = 0; i < row_count; ++i) {
      if (rows[i].band == band) return i;
    }
    return -1;
  }
  int FindWeight(double band) const {
    for (int i = 0; i < weight_count; ++i) {
      if (weights[i] == band) return i;
    }
    return -1;
  }
  // The row (and weight band) of a line, appended when new; null when a
  // new one has no room left, and then nothing is appended.
  Row* RowFor(double band, double weight, int* weight_index) {
    int r = FindRow(band);
    int w = weight_index != nullptr ? FindWeight(weight) : 0;
    if ((r < 0 && row_count == kMaxRows) || (w < 0 && weight_count == kMaxWeightBands)) return nullptr;
    if (r < 0) {
      r = row_count++;
      rows[r].band = band;
    }
    if (w < 0) {
      w = weight_count++;
      weights[w] = weight;
    }
    if (weight_index != nullptr) *weight_index = w;
    return &rows[r];
  }
};

// One data line of fpl.log: the eleven fields before the IAS column.
struct LogLine {
  std::string time, segment;
  double tas = 0.0, vs = 0.0, alt = 0.0, ff = 0.0, fob = 0.0, zfw = 0.0, pld = 0.0;
};

bool Number(std::string_view text, double& out) {
  std::string t(text);
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (end == t.c_str() || *end != '\0' || !std::isfinite(v)) return false;
  out = v;
  return true;
}

// Lines with fewer than eleven fields (the header lines) or with a number
// that does not read are not data lines.
bool ParseLine(std::string_view line, LogLine& out) {
  const auto f = util::SplitBlanks(line);
  if (f.size() < 11) return false;
  double gsp = 0.0;
  if (!Number(f[3], gsp) || !Number(f[4], out.tas) || !Number(f[5], out.vs) || !Number(f[6], out.alt) ||
      !Number(f[7], out.ff) || !Number(f[8], out.fob) || !Number(f[9], out.zfw) || !Number(f[10], out.pld))
    return false;
  out.time.assign(f[0]);
  out.segment.assign(f[1]);
  return true;
}

double AltitudeBand(double altitude) {
  const double band = std::trunc(std::trunc(altitude * 0.0002 + 0.5) * 5000.0);
  return band < 5000.0 ? 5000.0 : band;
}

double WeightBand(double weight) {
  if (weight < 95500.0) return std::trunc(std::trunc(weight * 0.0002 + 0.5) * 5000.0);
  return std::trunc(std::trunc(weight * 0.0001 + 0.5) * 10000.0);
}

int WholeMagnitude(double v) {
  const double t = std::fabs(std::trunc(v));
  return t < 2147483647.0 ? static_cast<int>(t) : 2147483647;
}

}  // namespace

void WriteFlightSummary() {
  const std::string folder = host::host_state.SimulatorFolder;
  Table climb, cruise, descent;
  double start_fuel = 0.0, fuel_used = 0.0;
  std::string flight_time;

  os::FileProblem problem;
  std::FILE* f = os::OpenFileForReading(folder + kFplLogPath, model::kMaxFlightLogBytes, &problem);
  if (f == nullptr && !problem.missing()) model::AddStatusMessage("fpl.log: " + problem.text + ", not read");
  if (f != nullptr) {
    std::string line;
    while (util::ReadLine(f, line)) {
      if (line.size() > kMaxLineLength) line.resize(kMaxLineLength);
      if (!line.empty() && line[0] == ';') continue;
      LogLine l;
      if (!ParseLine(line, l)) continue;
      const double band = AltitudeBand(l.alt);
      const double weight = WeightBand(l.fob + l.zfw + l.pld);
      if (l.time == "00:00:00") start_fuel = l.fob;
      if (l.segment == "Climb" || l.segment == "Cruise") {
        Table& t = l.segment == "Climb" ? climb : cruise;
        int w = 0;
        Row* row = t.RowFor(band, weight, &w);
        if (row == nullptr) continue;
        row->tas.Add(l.tas);
        if (&t == &climb) row->vs.Add(l.vs);
        row->ff_by_weight[static_cast<std::size_t>(w)].Add(l.ff);
      } else if (l.segment == "Descent") {
        if (Row* row = descent.RowFor(band, 0.0, nullptr)) {
          row->tas.Add(l.tas);
          row->vs.Add(l.vs);
          row->ff.Add(l.ff);
        }
      } else if (l.segment == "End_Flight") {
        flight_time = l.time.substr(0, 5);
        fuel_used = start_fuel - l.fob;
      }
    }
    std::fclose(f);
  }

  const model::State& m = model::model_state;
  if (m.AircraftConfigName.empty()) return;
  const os::SystemTime today = os::GetLocalTime();
  std::string text = util::Format("[%s-%s]\n", m.OriginAirportIdent.c_str(), m.DestinationAirportIdent.c_str());
  text += util::Format("Date=%d/%02d/%02d\n", today.year, today.month, today.day);
  text += util::Format("FlightTime=%s\n", flight_time.c_str());
  text += util::Format("Aircraft=%s\n", m.AircraftConfigName.c_str());
  text += util::Format("FuelUsed=%.0f\n", fuel_used);
  if (climb.row_count > 0) {
    text += "Climb=";
    for (int r = 0; r < climb.row_count; ++r) {
      const Row& row = climb.rows[r];
      for (int w = 0; w < climb.weight_count; ++w) {
        text += util::Format("%.0f_%.0f_%.0f_%.0f_%.0f ", row.band, row.tas.Mean(), row.vs.Mean(), climb.weights[w],
                             row.ff_by_weight[w].Mean());
      }
    }
    text += "\n";
  }
  if (cruise.row_count > 0) {
    text += "Cruise=";
    for (int r = 0; r < cruise.row_count; ++r) {
      const Row& row = cruise.rows[r];
      for (int w = 0; w < cruise.weight_count; ++w) {
        text += util::Format("%.0f_%.0f_%.0f_%.0f ", row.band, row.tas.Mean(), cruise.weights[w],
                             row.ff_by_weight[w].Mean());
      }
    }
    text += "\n";
  }
  if (descent.row_count > 0) {
    text += "Descent=";
    for (int r = 0; r < descent.row_count; ++r) {
      const Row& row = descent.rows[r];
      text += util::Format("%.0f_%.0f_%d_%.0f ", row.band, row.tas.Mean(), WholeMagnitude(row.vs.Mean()),
                           row.ff.Mean());
    }
    text += "\n";
  }
  text += "\n";
  // The records of earlier flights are kept whole: the file with this one
  // added replaces it only once it is written whole.
  std::string records;
  if (!os::ReadWholeFile(folder + kFlightLogPath, model::kMaxFlightLogBytes, records, &problem) &&
      !problem.missing()) {
    model::AddStatusMessage("Flight.log: " + problem.text + ", record not written");
    return;
  }
  if (!os::SaveFile(folder + kFlightLogPath, records + text, &problem) && !problem.missing())
    model::AddStatusMessage("Flight.log: record not written (" + problem.text + ")");
}

}  // namespace ovi::guidance
