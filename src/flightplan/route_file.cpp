#include "src/flightplan/route_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/os/os.h"
#include "src/flightplan/pln_convert.h"
#include "src/flightplan/state.h"
#include "src/host/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/text_file.h"
#include "src/util/text.h"

namespace ovi::flightplan {

namespace {

constexpr const char* kDefaultFolder = "\\ovi\\flightplans";
constexpr int kColumns = 7;

std::string JoinPath(const std::string& folder, std::string_view name) {
  std::string path = folder;
  path += '\\';
  path += name;
  return path;
}

// The decimal number at the start of a value text ("16000ft" is 16000);
// false when the text does not start with a finite one. Only the
// characters of a decimal number are looked at: "0x1p3" starts with 0,
// not 8.
bool LeadingDouble(std::string_view text, double& out) {
  const std::size_t n = text.find_first_not_of("+-0123456789.eE");
  std::string tmp(text.substr(0, n));
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(tmp.c_str(), &end);
  if (end == tmp.c_str() || !std::isfinite(v)) return false;
  out = v;
  return true;
}

// The value of a key line within 0..max, else the line is reported with
// the rule it broke and the setting left as it was.
bool KeyValue(std::string_view key, const std::vector<std::string_view>& tok, double max, const char* unit,
              navdb::BadLineReport& bad, double& out) {
  const std::string name(key.substr(0, 16));
  if (tok.size() < 2 || !LeadingDouble(tok[1], out)) {
    bad.Count("'" + name + "' value is not a number, not taken");
    return false;
  }
  if (out < 0.0 || out > max) {
    bad.Count(util::Format("'%s' value out of range (0 to %.0f%s), not taken", name.c_str(), max, unit));
    return false;
  }
  return true;
}

bool LooksLikeKeyLine(const std::array<std::string_view, kColumns>& tok, std::size_t n) {
  return (n >= 1 && tok[0].find('=') != std::string_view::npos) || (n >= 2 && tok[1].front() == '=');
}

// Applies one key line; true when its key is one the reader knows. A value
// that is no number or out of its range is counted into `bad` with why.
bool ApplyKeyLine(std::string_view key_line, RouteKeyLines kind, RouteReadResult& result, navdb::BadLineReport& bad) {
  model::State& m = model::model_state;
  std::string text(key_line);
  std::replace(text.begin(), text.end(), '=', ' ');
  const auto tok = util::SplitBlanks(text);
  double v = 0.0;
  auto fuel = [&](std::string_view key) { return KeyValue(key, tok, kMaxRouteFuel, "", bad, v); };

  if (kind == RouteKeyLines::kRequestLoad) {
    // The fuel line is told by its first four characters alone.
    if (text.size() >= 4 && text.compare(0, 4, "FUEL") == 0) {
      if (fuel("FUEL")) result.load_fuel_total = v;
      return true;
    }
  }
  if (tok.empty()) return false;
  const std::string_view key = tok[0];
  if (util::EqualsIgnoreCase(key, "CruiseAlt")) {
    if (KeyValue(key, tok, kMaxRouteCruiseAltitude, " ft", bad, v)) {
      const auto feet = static_cast<std::int32_t>(v);
      if (kind == RouteKeyLines::kRequestLoad) m.CruiseAlt = feet;
      else m.FileCruiseAlt = feet;
    }
    return true;
  }
  if (util::EqualsIgnoreCase(key, "TripFuel")) {
    if (fuel(key)) {
      if (kind == RouteKeyLines::kRequestLoad) result.load_fuel_total += v;
      else m.PlannedFuel += v;
    }
    return true;
  }
  if (util::EqualsIgnoreCase(key, "ResvFuel")) {
    if (fuel(key)) {
      if (kind == RouteKeyLines::kRequestLoad) {
        m.ReserveFuel = v;
        result.load_fuel_total += v;
      } else {
        m.ResvFuel = v;
        m.PlannedFuel += v;
      }
    }
    return true;
  }
  if (kind == RouteKeyLines::kSelectedLoad && util::EqualsIgnoreCase(key, "Fuel")) {
    if (fuel(key)) m.PlannedFuel = v;
    return true;
  }
  return false;
}

void StoreWaypoint(model::FlightPlanWaypoint& wp, const std::array<std::string_view, kColumns>& tok,
                   double latitude, double longitude) {
  wp.ident.assign(tok[0]);
  wp.latitude = latitude;
  wp.longitude = longitude;
  wp.type.assign(tok[3]);
  wp.frequency_text.assign(tok[4]);
  wp.via.assign(tok[5]);
  wp.procedure_tag.assign(tok[6]);
  // text1 belongs to others and stays as it was.
  wp.text2.clear();
  wp.time_over_text.clear();
  wp.altitude_constraint = model::kNoValue;
  wp.speed_constraint = model::kNoValue;
  wp.value3 = -1.0;
  wp.flyover = 0;
  wp.constraint_flag = 0;
  wp.hold_number = 0;
}

// A text column of a route line: the text padded with blanks to its width,
// then the blank before the next column.
void Column(std::string& out, const std::string& text, std::size_t width) {
  out += text;
  if (text.size() < width) out.append(width - text.size(), ' ');
  out += ' ';
}

}  // namespace

std::string DefaultFlightPlanFolder() { return host::host_state.SimulatorFolder + kDefaultFolder; }

std::string FlightPlanFolderInForce() {
  const model::State& m = model::model_state;
  if (!m.AircraftFlightPlansFolder.empty()) return m.AircraftFlightPlansFolder;
  if (!m.FlightPlansFolder.empty()) return m.FlightPlansFolder;
  return DefaultFlightPlanFolder();
}

std::string FlightPlanReadFolder() {
  const std::string& listed = flightplan_state.FlightPlanListFolder;
  return listed.empty() ? FlightPlanFolderInForce() : listed;
}

std::string FlightPlanReadPath(std::string_view name) { return JoinPath(FlightPlanReadFolder(), name); }

std::string FlightPlanWriteFolder() {
  const model::State& m = model::model_state;
  if (!m.FlightPlansFolder.empty()) return m.FlightPlansFolder;
  return DefaultFlightPlanFolder();
}

std::string FlightPlanWritePath(std::string_view name) { return JoinPath(FlightPlanWriteFolder(), name); }

std::string RouteFileIdent(std::string_view ident) {
  std::string out(ident);
  for (char& c : out) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b <= ' ' || b == 0x7F) c = '_';
  }
  if (!out.empty() && out[0] == ';') out[0] = '_';
  return out;
}

int SaveFlightPlanFile(const std::string& name) {
  // The name is the pilot's entry: a saved route belongs in the flight-plan
  // folder, where the library lists it, never in a folder the name points to.
  if (name.find_first_of("\\/:") != std::string::npos) return 0;
  State& s = flightplan_state;
  const int last = std::min(s.ActiveFlightPlanLastIndex, model::kMaxFlightPlanWaypoints);
  // What the readers would refuse is not reported as saved.
  for (int i = 0; i <= last; ++i) {
    const model::FlightPlanWaypoint& wp = s.ActiveFlightPlan[i];
    if (wp.ident.size() > kMaxRouteIdentLength || wp.via.size() > kMaxRouteViaLength) return 0;
  }
  const model::State& m = model::model_state;

  std::string out;
  if (m.SaveFPLCruiseAlt == 1) out += util::Format("CruiseAlt=%d\n", m.CruiseAlt);
  out += "[FlightPlan]\n";
  for (int i = 0; i <= last; ++i) {
    model::FlightPlanWaypoint& wp = s.ActiveFlightPlan[i];
    const std::string& freq = wp.frequency_text.empty() ? std::string("---") : wp.frequency_text;
    const std::string tag = wp.via.empty() ? std::string() : wp.procedure_tag;
    if (wp.type != "APT" && wp.type != "VOR" && wp.type != "NDB" && wp.type != "INT") wp.type = "WPT";
    const std::string ident = RouteFileIdent(wp.ident.empty() ? std::string_view("_") : std::string_view(wp.ident));
    // The texts whole, every byte: one read from a damaged file may hold a
    // NUL, where a C string ends, and the columns after it moved left.
    Column(out, ident, 16);
    out += util::Format("%-2.5f  %-3.5f  ", wp.latitude, wp.longitude);
    Column(out, wp.type, 3);
    Column(out, freq, 6);
    Column(out, wp.via, 7);
    out += tag;
    out += '\n';
  }
  // Written beside the file it replaces: a save that fails (a full disk)
  // keeps the route stored under that name whole, and says why.
  os::FileProblem problem;
  if (os::SaveFile(FlightPlanWritePath(name), out, &problem)) return 1;
  model::AddStatusMessage(name + ": not saved (" + problem.text + ")");
  return 0;
}

void CompleteNavaidIdent(model::FlightPlanWaypoint& wp) {
  if (!wp.frequency_text.empty() || wp.type == "APT") return;
  const int i = navdb::FindNavaid(wp.ident, wp.type, wp.latitude, wp.longitude);
  if (i <= 0) return;
  const navdb::State& nav = navdb::navdb_state;
  const model::NavDbRecord& r = nav.NavaidTable[i];
  wp.frequency_text = r.frequency_text;
  if (wp.type == "INT" || wp.type.empty()) {
    if (r.kind == "V") wp.type = "VOR";
    else if (r.kind == "N") wp.type = "NDB";
    else wp.type = r.kind;
  }
}

std::FILE* OpenRouteFile(std::string_view name, const std::string& label) {
  os::FileProblem problem;
  std::FILE* f = os::OpenFileForReading(FlightPlanReadPath(name), model::kMaxPlanFileBytes, &problem);
  if (f == nullptr) model::AddStatusMessage(label + ": " + (problem.missing() ? "cannot be opened" : problem.text));
  return f;
}

RouteReadResult ReadRouteFile(std::FILE* f, const RouteReadRequest& req) {
  RouteReadResult result;
  if (f == nullptr || req.target.table == nullptr || req.target.last_index == nullptr) return result;
  const bool mirrored = req.mirror.table != nullptr && req.mirror.last_index != nullptr;
  int& last = *req.target.last_index;

  bool in_section = false;
  bool any_text = false;
  int beyond = 0;  // waypoint lines past the table's last slot
  std::int64_t line_number = 0;
  navdb::BadLineReport bad(req.label);
  std::string line;
  std::string upper;
  while (util::ReadLine(f, line)) {
    bad.At(++line_number);
    const auto all = util::SplitBlanks(line);
    const std::size_t n = std::min<std::size_t>(all.size(), kColumns);
    std::array<std::string_view, kColumns> tok{};
    for (std::size_t i = 0; i < n; ++i) tok[i] = all[i];
    if (util::EqualsIgnoreCase(tok[4], "---")) tok[4] = {};
    any_text = any_text || n > 0;

    if (n > 0 && tok[0].front() == ';') continue;

    bool bad_waypoint = false;
    bool waypoint = false;
    if (in_section && n > 0) {
      double lat = 0.0, lon = 0.0;
      // A line lacking a column or a position is no waypoint: storing it
      // would give it made-up fields (or the previous line's).
      if (n < 4 || !util::ParseDouble(tok[1], lat) || !util::ParseDouble(tok[2], lon) ||
          std::fabs(lat) > 90.0 || std::fabs(lon) > 180.0) {
        bad_waypoint = true;
      } else if (tok[0].size() > kMaxRouteIdentLength) {
        // No ident comes near the column's width: this is no route file
        // the module or a pilot wrote, and its text would run across
        // every display and into the flight log.
        result.refused = util::Format("line %lld has an ident of %zu characters, longer than %zu",
                                      static_cast<long long>(line_number), tok[0].size(), kMaxRouteIdentLength);
        break;
      } else if (tok[5].size() > kMaxRouteViaLength) {
        // Nor a via near the names of airways and procedures: drawn whole
        // on RTE, a 300-character via ran across the page.
        result.refused = util::Format("line %lld has a via of %zu characters, longer than %zu",
                                      static_cast<long long>(line_number), tok[5].size(), kMaxRouteViaLength);
        break;
      } else if (last >= model::kMaxFlightPlanWaypoints) {
        ++beyond;  // counted for the refusal; a route is never cut short
        waypoint = true;
      } else {
        waypoint = true;
        ++last;
        model::FlightPlanWaypoint& wp = (*req.target.table)[last];
        StoreWaypoint(wp, tok, lat, lon);
        CompleteNavaidIdent(wp);
        if (mirrored && *req.mirror.last_index < model::kMaxFlightPlanWaypoints) {
          ++*req.mirror.last_index;
          model::FlightPlanWaypoint& copy = (*req.mirror.table)[*req.mirror.last_index];
          StoreWaypoint(copy, tok, lat, lon);
          copy.frequency_text = wp.frequency_text;
          copy.type = wp.type;
        }
        ++result.stored;
        if (req.on_stored) req.on_stored(last);
      }
    }

    bool key_line = false;
    // A waypoint whose ident the request load takes for a fuel line
    // ("FUELX") is no bad line for its value.
    navdb::BadLineReport unreported;
    navdb::BadLineReport& values = waypoint ? unreported : bad;
    if (req.key_lines == RouteKeyLines::kRequestLoad) {
      upper = util::ToUpper(line);
      key_line = ApplyKeyLine(upper, req.key_lines, result, values);
    } else if (req.key_lines == RouteKeyLines::kSelectedLoad) {
      key_line = ApplyKeyLine(line, req.key_lines, result, values);
    }
    if (bad_waypoint && !key_line && !LooksLikeKeyLine(tok, n)) bad.Count();

    if (!in_section && n > 0 && util::EqualsIgnoreCase(tok[0], "[FlightPlan]")) in_section = true;
  }
  // Without its header no line is a waypoint: "fewer than two waypoints"
  // would send the user counting lines that are there.
  if (result.refused.empty() && !in_section) result.refused = any_text ? "the [FlightPlan] header is missing" : "empty";
  if (result.refused.empty() && beyond > 0) {
    result.refused = util::Format("%d waypoints, more than a route holds (%d)", result.stored + beyond,
                                  model::kFlightPlanSlots);
  }
  result.skipped = bad.count();
  bad.Post();
  if (!result.refused.empty()) model::AddStatusMessage(req.label + ": " + result.refused);
  return result;
}

void PreparePlaceholderPlan(model::FlightPlanTable& table, int& last_index) {
  const int last = std::min(last_index, model::kMaxFlightPlanWaypoints);
  for (int i = 0; i <= last; ++i) {
    model::FlightPlanWaypoint& wp = table[i];
    wp.type.clear();
    wp.frequency_text.clear();
    wp.text2.clear();
    wp.procedure_tag.clear();
    wp.via.clear();
  }
  last_index = -1;
  model::FlightPlanWaypoint& first = table[0];
  first.ident = "******";
  first.latitude = 0.0;
  first.longitude = 0.0;
  first.type.clear();
  first.frequency_text.clear();
  first.text2.clear();
  first.procedure_tag.clear();
  first.via.clear();
  first.altitude_constraint = model::kNoValue;
  first.speed_constraint = model::kNoValue;
  first.value3 = -1.0;
  first.flyover = 0;
  first.constraint_flag = 0;
  first.hold_number = 0;
  table[1].ident.clear();
}

bool ResolveLibraryFileName(std::string& name, bool show_failure) {
  name = util::ToUpper(name);
  if (name.find(".PLN") == std::string::npos) return true;
  if (ConvertPlnToRte(name, show_failure) == kPlnNotLoaded) return false;
  name = "Temp.rte";
  return true;
}

void ReadFlightPlanFile(std::string name, int key_switch) {
  (void)key_switch;  // this reader never takes key lines
  model::State& m = model::model_state;
  State& s = flightplan_state;
  m.FileCruiseAlt = 0;
  m.ResvFuel = 0.0;
  if (name == "NEXT FPL") {
    PreparePlaceholderPlan(s.ScratchFlightPlan, s.ScratchFlightPlanLastIndex);
    s.EditWaypointIndex = 0;
    return;
  }
  const std::string label = name;
  name = util::ToUpper(name);
  // A .PLN plan is read as converted, in memory: listing the library
  // writes no file. Listing says nothing on the MCU line; the status log
  // has the reason.
  std::string converted;
  const bool plan = name.find(".PLN") != std::string::npos;
  if (plan && ConvertPln(name, converted, false) == kPlnNotLoaded) return;
  s.ScratchFlightPlanLastIndex = -1;
  // A route the list leaves out is logged as a refused .PLN plan is, so
  // that every plan missing from the list says why.
  std::FILE* f = plan ? fmemopen(converted.data(), converted.size(), "r") : OpenRouteFile(name, label);
  if (f == nullptr) return;
  RouteReadRequest req;
  req.target = {&s.ScratchFlightPlan, &s.ScratchFlightPlanLastIndex};
  req.label = label;
  const RouteReadResult read = ReadRouteFile(f, req);
  std::fclose(f);
  if (!read.refused.empty()) {
    s.ScratchFlightPlanLastIndex = -1;
  } else if (s.ScratchFlightPlanLastIndex < 1) {
    model::AddStatusMessage(label + ": fewer than two waypoints");
  }
}

}  // namespace ovi::flightplan
