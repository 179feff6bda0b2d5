#include "src/flightplan/pln_convert.h"

#include <pugixml.hpp>

#include <cctype>
#include <cstdio>
#include <vector>

#include "platform/os/os.h"
#include "src/flightplan/route_file.h"
#include "src/model/state.h"
#include "src/util/text.h"

namespace ovi::flightplan {

namespace {

constexpr const char* kUnableToLoad = "Unable to load FP";
constexpr const char* kTempRouteName = "temp.rte";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Digits at text[pos .. pos+len-1], up to the first non-digit; positions
// past the end read as a non-digit.
int FieldAt(std::string_view text, std::size_t pos, std::size_t len) {
  int v = 0;
  for (std::size_t i = pos; i < pos + len && i < text.size() && IsDigit(text[i]); ++i) v = v * 10 + (text[i] - '0');
  return v;
}

// atoi over exactly these characters.
int SmallAtoi(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  int v = 0;
  for (; i < s.size() && IsDigit(s[i]); ++i) v = v * 10 + (s[i] - '0');
  return neg ? -v : v;
}

std::string_view FirstWord(std::string_view s) {
  std::size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  std::size_t e = b;
  while (e < s.size() && !IsBlank(s[e])) ++e;
  return s.substr(b, e - b);
}

// Common first steps of both position texts of the key-and-comma form.
std::string NormalizeIniCommon(std::string_view text) {
  std::string t(text);
  for (char& c : t) {
    if (c == '*') c = ':';
  }
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] != '.') continue;
    t[i] = ':';
    // Hundredths of a minute become whole seconds.
    if (t.size() - (i + 1) >= 2) {
      const int hundredths = SmallAtoi(std::string_view(t).substr(i + 1, 2));
      if (hundredths > 0) {
        const std::string secs = util::Format("%02.0f", hundredths * 0.6);
        t.replace(i + 1, 2, secs.substr(0, 2));
      }
    }
  }
  std::string out;
  out.reserve(t.size());
  for (char c : t) {
    if (!IsBlank(c) && c != '\'') out.push_back(c);
  }
  return out;
}

bool At(const std::string& t, std::size_t i, char c) { return i < t.size() && t[i] == c; }

struct Waypoint {
  std::string ident;
  std::string lat_text;
  std::string lon_text;
};

// Text between `open` and `close` after the first `open` of the data;
// empty when either is missing.
std::string Between(std::string_view data, std::string_view open, std::string_view close) {
  const std::size_t a = data.find(open);
  if (a == std::string_view::npos) return {};
  const std::size_t b = data.find(close, a + open.size());
  if (b == std::string_view::npos) return {};
  return std::string(util::Trim(data.substr(a + open.size(), b - a - open.size())));
}

// The first damage the tags of an XML document show: an element left open
// (a closing tag ends an element opened around it), or the data ending with
// elements open or inside a tag (a file cut short). `at` is where the open
// element starts, or where the last tag of a cut file starts.
struct XmlTagDamage {
  enum Kind { kNone, kLeftOpen, kCutShort } kind = kNone;
  std::size_t at = 0;
  std::string name;
};

XmlTagDamage FindXmlTagDamage(std::string_view data) {
  struct Open {
    std::string_view name;
    std::size_t at;
  };
  std::vector<Open> open;
  XmlTagDamage cut{XmlTagDamage::kCutShort, 0, {}};
  std::size_t i = 0;
  auto skip_to = [&](std::string_view end, std::size_t from) {
    const std::size_t e = data.find(end, from);
    return e == std::string_view::npos ? e : e + end.size();
  };
  while ((i = data.find('<', i)) != std::string_view::npos) {
    cut.at = i;
    const std::string_view rest = data.substr(i);
    std::size_t next = std::string_view::npos;
    if (rest.starts_with("<!--")) {
      next = skip_to("-->", i + 4);
    } else if (rest.starts_with("<![CDATA[")) {
      next = skip_to("]]>", i + 9);
    } else if (rest.starts_with("<?")) {
      next = skip_to("?>", i + 2);
    } else if (rest.starts_with("<!")) {
      next = skip_to(">", i + 2);
    } else {
      const bool closing = rest.size() > 1 && rest[1] == '/';
      const std::size_t name_at = i + (closing ? 2 : 1);
      std::size_t e = name_at;
      while (e < data.size() && !std::isspace(static_cast<unsigned char>(data[e])) && data[e] != '>' &&
             data[e] != '/')
        ++e;
      const std::string_view name = data.substr(name_at, e - name_at);
      char quote = 0;
      for (; e < data.size(); ++e) {
        const char c = data[e];
        if (quote != 0) {
          if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
          quote = c;
        } else if (c == '>') {
          break;
        }
      }
      if (e >= data.size()) return cut;
      next = e + 1;
      if (closing) {
        std::size_t d = open.size();
        while (d > 0 && open[d - 1].name != name) --d;
        if (d == 0) return {};  // a closing tag of nothing open: the parser's own word stands
        if (d < open.size()) return {XmlTagDamage::kLeftOpen, open[d].at, std::string(open[d].name)};
        open.pop_back();
      } else if (data[e - 1] != '/') {
        open.push_back({name, i});
      }
    }
    if (next == std::string_view::npos) return cut;
    i = next;
  }
  return open.empty() ? XmlTagDamage{} : cut;
}

class Converter {
 public:
  std::string out = "[FlightPlan]\n";
  int written = 0;  // waypoint lines in `out`
  // Why the plan cannot be loaded whole: the first damage met, in file
  // order; empty when every waypoint the file names was converted.
  std::string failure;

  void Run(std::string_view data) {
    if (IsUtf16(data)) return Fail("UTF-16 text (plans are read as UTF-8 or single-byte text)");
    if (util::Trim(data).empty()) return Fail("empty");
    if (data.size() >= 3 && data.substr(0, 3) == "\xEF\xBB\xBF") {
      data.remove_prefix(3);
      bom_ = 3;
    }
    std::size_t pos = 0;
    while (pos < data.size()) {
      std::size_t nl = data.find('\n', pos);
      if (nl == std::string_view::npos) nl = data.size();
      std::string_view line = data.substr(pos, nl - pos);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (line.find("<DepartureID>") != std::string_view::npos) {
        // From here on the file is the XML form, for good.
        CheckXmlDocument(data);
        RunXml(data.substr(pos));
        const std::string destination = Between(data, "<DestinationID>", "</DestinationID>");
        if (!destination.empty()) EndsAtDestination(destination);
        return;
      }
      IniLine(line);
      pos = nl + 1;
    }
    // Neither form: a plan of another program, whose waypoints would all be
    // read as missing.
    if (ini_lines_ == 0 && departure_ident_.empty() && destination_ident_.empty()) {
      return Fail("not a simulator flight plan (no <DepartureID>, no waypoint.0 line)");
    }
    if (!destination_ident_.empty()) EndsAtDestination(destination_ident_);
  }

 private:
  std::string type_ = "I";
  std::string departure_ident_;
  std::string destination_ident_;
  std::string last_ident_;
  int leading_field_ = 0;
  int ini_lines_ = 0;  // waypoint lines of the key-and-comma form met
  int elements_ = 0;   // waypoint elements of the XML form met
  std::size_t bom_ = 0;  // bytes of a byte-order mark before the data: offsets are the file's

  // Two-byte text: a byte-order mark, or the first character's high byte 0.
  static bool IsUtf16(std::string_view data) {
    if (data.size() < 2) return false;
    const auto b0 = static_cast<unsigned char>(data[0]), b1 = static_cast<unsigned char>(data[1]);
    return (b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF) || (b0 != 0 && b1 == 0) || (b0 == 0 && b1 != 0);
  }

  void Fail(std::string reason) {
    if (failure.empty()) failure = std::move(reason);
  }

  // False (and the reason kept) when the waypoint cannot be written whole.
  bool Write(const Waypoint& wp, const std::string& label) {
    // A line without ident would read as something else.
    if (wp.ident.empty()) {
      Fail(label + " has no ident");
      return false;
    }
    // No real ident comes near the route file's ident column.
    if (wp.ident.size() > kMaxRouteIdentLength) {
      Fail(util::Format("%s has an ident of %zu characters, longer than %zu", label.c_str(), wp.ident.size(),
                        kMaxRouteIdentLength));
      return false;
    }
    if (!IsDmsLatitude(wp.lat_text) || !IsDmsLongitude(wp.lon_text)) {
      Fail(label + " (" + wp.ident + ") has no position in degrees, minutes and seconds");
      return false;
    }
    double lat = 0.0, lon = 0.0;
    ParseDmsLatLon(wp.lat_text, wp.lon_text, lat, lon);
    if (wp.lat_text.front() == 'S') lat = -lat;
    if (wp.lon_text.front() == 'W') lon = -lon;
    out += util::Format("%-8s %-3.5f %-3.5f  %s\n", RouteFileIdent(wp.ident).c_str(), lat, lon, type_.c_str());
    ++written;
    last_ident_ = wp.ident;
    return true;
  }

  // A plan cut short ends before the destination its header names. Idents
  // are compared in any case, as the rest of the module compares them.
  void EndsAtDestination(const std::string& destination) {
    if (written > 0 && !util::EqualsIgnoreCase(last_ident_, destination)) {
      Fail("ends at " + last_ident_ + ", before its destination " + destination);
    }
  }

  // ---- key-and-comma form ----

  void IniLine(std::string_view line) {
    if (std::size_t p = line.find("departure_id="); p != std::string_view::npos) {
      std::string_view v = line.substr(p + 13).substr(0, 4);
      departure_ident_.clear();
      for (char c : v) {
        if (c != ' ' && c != ',') departure_ident_.push_back(c);
      }
    }
    if (std::size_t p = line.find("destination_id="); p != std::string_view::npos) {
      std::string_view v = line.substr(p + 15);
      destination_ident_ = std::string(util::Trim(v.substr(0, v.find(','))));
    }
    if (std::size_t p = line.find("waypoint.0"); p != std::string_view::npos) {
      std::string value;
      for (char c : line.substr(std::min(line.size(), p + 11))) {
        if (c != ' ') value.push_back(c);
      }
      leading_field_ = value.compare(0, departure_ident_.size(), departure_ident_) != 0 ? 1 : 0;
    }
    if (std::size_t p = line.find("waypoint."); p != std::string_view::npos) {
      // Numbered from 0 on: a number skipped is a line lost.
      std::size_t end = p + 9;
      while (end < line.size() && IsDigit(line[end])) ++end;
      const std::string number(line.substr(p + 9, end - p - 9));
      const std::string label = "waypoint." + number;
      if (number != std::to_string(ini_lines_)) Fail(label + " out of order");
      ++ini_lines_;
      const int before = written;
      IniWaypoint(line, label);
      if (written == before) Fail(label + " has no ident or position");
    }
  }

  void IniWaypoint(std::string_view line, const std::string& label) {
    std::string_view rest;
    if (std::size_t eq = line.find('='); eq != std::string_view::npos) rest = line.substr(eq + 1);
    else rest = line.substr(std::min<std::size_t>(11, line.size()));

    std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos) return;
    std::string_view ident_text = rest.substr(0, comma);
    rest.remove_prefix(comma + 1);
    if (leading_field_ == 1) {
      if (std::size_t c2 = rest.find(','); c2 != std::string_view::npos) {
        ident_text = rest.substr(0, c2);
        rest.remove_prefix(c2 + 1);
      }
    }
    type_ = "INT";
    Waypoint wp;
    wp.ident = std::string(FirstWord(ident_text));

    while (!rest.empty()) {
      const std::string_view word = FirstWord(rest);
      if (util::EqualsIgnoreCase(word, "A,")) {
        type_ = "APT";
      } else if (util::EqualsIgnoreCase(word, "V,")) {
        type_ = "VOR";
      } else if (util::EqualsIgnoreCase(word, "N,")) {
        type_ = "NDB";
      } else if (!word.empty() && word.back() == '*') {
        const std::size_t c = rest.find(',');
        if (c == std::string_view::npos) return;  // no longitude follows
        const std::string_view lat_text = rest.substr(0, c);
        rest.remove_prefix(c + 1);
        const std::string_view lon_text = rest.substr(0, rest.find(','));
        wp.lat_text = NormalizeIniLatitude(lat_text);
        wp.lon_text = NormalizeIniLongitude(lon_text);
        Write(wp, label);
      }
      const std::size_t next = rest.find(',');
      if (next == std::string_view::npos) return;
      rest.remove_prefix(next + 1);
    }
  }

  // ---- XML form ----

  // One position text of <WorldPosition> ("N47\xB0 26' 56.00\"") rebuilt as
  // Hdd:mm:ss; empty when it is not a position.
  static std::string XmlDms(std::string_view t, std::size_t max_degree_digits) {
    if (t.empty()) return {};
    std::string field[3];
    int k = 0;
    for (std::size_t i = 1; i < t.size(); ++i) {
      const char c = t[i];
      if (c == '.' || c == ',' || c == '"') break;
      if (IsDigit(c)) {
        field[k].push_back(c);
      } else if (static_cast<unsigned char>(c) == 0xB0) {
        if (k != 0) return {};
        k = 1;
      } else if (c == '\'') {
        if (k != 1) return {};
        k = 2;
      } else if (c != ' ') {
        return {};
      }
    }
    if (field[0].empty() || field[0].size() > max_degree_digits) return {};
    for (std::string& f : field) {
      if (f.empty() || f.size() > 3) return {};
      if (f.size() == 1) f.insert(f.begin(), '0');
    }
    return std::string(1, t[0]) + field[0] + ":" + field[1] + ":" + field[2];
  }

  // The whole document must be well-formed: a plan cut short or damaged
  // anywhere parses no further than the damage. Only a file that is an XML
  // document from its first byte; one whose first lines are of the other
  // form is taken element by element.
  void CheckXmlDocument(std::string_view data) {
    if (const std::size_t nul = data.find('\0'); nul != std::string_view::npos) {
      Fail(util::Format("a NUL byte at byte %zu", nul));
      return;
    }
    const std::string_view start = util::Trim(data);
    if (start.empty() || start.front() != '<') return;
    pugi::xml_document doc;
    const pugi::xml_parse_result r = doc.load_buffer(data.data(), data.size(), pugi::parse_default, pugi::encoding_utf8);
    if (r) return;
    // The parser stops where the damage shows, which for an element left
    // open is the closing tag of the element around it, near the file's
    // end, and for a file cut short its last byte: the tags say where the
    // damage is.
    const XmlTagDamage damage = FindXmlTagDamage(data);
    const auto offset = static_cast<std::size_t>(r.offset);
    if (damage.kind == XmlTagDamage::kLeftOpen && damage.at <= offset) {
      return Fail(util::Format("not well-formed XML (<%s> at byte %zu never closes)", damage.name.c_str(),
                               damage.at + bom_));
    }
    if (damage.kind == XmlTagDamage::kCutShort && damage.at <= offset) {
      return Fail(util::Format("cut short at byte %zu", data.size() + bom_));
    }
    Fail(util::Format("not well-formed XML (%s at byte %zu)", r.description(), offset + bom_));
  }

  // One whole <ATCWaypoint ...> ... </ATCWaypoint> element, parsed on its
  // own; the first damage in it is the plan's.
  void XmlWaypoint(std::string_view element) {
    const std::string label = "waypoint " + std::to_string(++elements_);
    pugi::xml_document doc;
    if (!doc.load_buffer(element.data(), element.size(), pugi::parse_default, pugi::encoding_utf8)) {
      return Fail(label + " is damaged");
    }
    const pugi::xml_node node = doc.child("ATCWaypoint");
    const pugi::xml_attribute id = node.attribute("id");
    Waypoint wp;
    for (const char* p = id.value(); *p != '\0'; ++p) {
      if (!std::isspace(static_cast<unsigned char>(*p))) wp.ident.push_back(*p);
    }
    if (const pugi::xml_node t = node.child("ATCWaypointType")) {
      const std::string_view type = t.child_value();
      if (type == "Airport") type_ = "APT";
      else if (type == "Intersection") type_ = "INT";
      else if (type == "VOR") type_ = "VOR";
      else if (type == "NDB") type_ = "NDB";
    }
    // Without a position the waypoint is not put somewhere else.
    const pugi::xml_node wpos = node.child("WorldPosition");
    std::string pos;
    for (const char* p = wpos.child_value(); *p != '\0'; ++p) {
      if (static_cast<unsigned char>(*p) != 0xC2) pos.push_back(*p);
    }
    std::string_view v = util::Trim(pos);
    const std::size_t comma = v.find(',');
    if (comma != std::string_view::npos) {
      const std::string_view lon_part = util::Trim(v.substr(comma + 1));
      wp.lat_text = XmlDms(v.substr(0, 15), 2);
      wp.lon_text = XmlDms(lon_part.substr(0, 15), 3);
    }
    Write(wp, label);
  }

  // The start of the next <ATCWaypoint> element (not <ATCWaypointType>).
  static std::size_t FindWaypointStart(std::string_view data, std::size_t from) {
    static constexpr std::string_view kStart = "<ATCWaypoint";
    for (std::size_t at = data.find(kStart, from); at != std::string_view::npos; at = data.find(kStart, at + 1)) {
      const std::size_t after = at + kStart.size();
      if (after < data.size() && (data[after] == '>' || std::isspace(static_cast<unsigned char>(data[after]))))
        return at;
    }
    return std::string_view::npos;
  }

  // A waypoint is written when its element closes; one that never closes
  // (a file cut short, a broken tag) gives nothing and refuses the plan.
  void RunXml(std::string_view data) {
    static constexpr std::string_view kEnd = "</ATCWaypoint>";
    std::size_t pos = 0;
    std::size_t close = 0;  // the first closing tag at or after `open`, kept while it is ahead
    for (;;) {
      const std::size_t open = FindWaypointStart(data, pos);
      if (open == std::string_view::npos) break;
      if (close < open) close = data.find(kEnd, open);
      const std::size_t next = FindWaypointStart(data, open + 1);
      if (close == std::string_view::npos || next < close) {
        Fail("waypoint " + std::to_string(++elements_) + " never closes");
        if (close == std::string_view::npos) break;
        pos = next;
        continue;
      }
      XmlWaypoint(data.substr(open, close + kEnd.size() - open));
      pos = close + kEnd.size();
    }
  }
};

}  // namespace

void ParseDmsLatLon(std::string_view lat_text, std::string_view lon_text, double& latitude,
                    double& longitude) {
  latitude = FieldAt(lat_text, 1, 2) + (FieldAt(lat_text, 4, 2) + FieldAt(lat_text, 7, 2) / 60.0) / 60.0;
  if (lon_text.size() > 3 && lon_text[3] == ':') {
    longitude = FieldAt(lon_text, 1, 2) + (FieldAt(lon_text, 4, 2) + FieldAt(lon_text, 7, 2) / 60.0) / 60.0;
  } else {
    longitude = FieldAt(lon_text, 1, 3) + (FieldAt(lon_text, 5, 2) + FieldAt(lon_text, 8, 2) / 60.0) / 60.0;
  }
}

std::string NormalizeIniLatitude(std::string_view text) {
  std::string t = NormalizeIniCommon(text);
  if (t.size() >= 3 && At(t, 2, ':')) t.insert(1, "0");
  if (t.size() >= 6 && At(t, 5, ':')) t.insert(4, "0");
  if (t.size() == 8) t.insert(7, "0");
  return t;
}

std::string NormalizeIniLongitude(std::string_view text) {
  std::string t = NormalizeIniCommon(text);
  if (t.size() >= 3 && At(t, 2, ':')) t.insert(1, "0");
  if (t.size() >= 8 && At(t, 3, ':') && At(t, 5, ':')) t.insert(4, "0");
  if (t.size() >= 7 && At(t, 4, ':') && At(t, 6, ':')) t.insert(5, "0");
  if (t.size() == 8 && At(t, 3, ':')) t.insert(7, "0");
  if (t.size() == 9 && At(t, 4, ':')) t.insert(8, "0");
  return t;
}

namespace {

// "dd:mm:ss" at text[pos..]; minutes and seconds below 60.
bool IsMinSec(std::string_view t, std::size_t pos) {
  return t.size() == pos + 6 && t[pos] == ':' && IsDigit(t[pos + 1]) && IsDigit(t[pos + 2]) &&
         t[pos + 3] == ':' && IsDigit(t[pos + 4]) && IsDigit(t[pos + 5]) && t[pos + 1] < '6' &&
         t[pos + 4] < '6';
}

}  // namespace

bool IsDmsLatitude(std::string_view t) {
  if (t.size() != 9 || (t[0] != 'N' && t[0] != 'S') || !IsDigit(t[1]) || !IsDigit(t[2]) || !IsMinSec(t, 3))
    return false;
  double lat = 0.0, lon = 0.0;
  ParseDmsLatLon(t, "E000:00:00", lat, lon);
  return lat <= 90.0;
}

bool IsDmsLongitude(std::string_view t) {
  if (t.empty() || (t[0] != 'E' && t[0] != 'W')) return false;
  std::size_t digits = 0;
  while (digits < 3 && 1 + digits < t.size() && IsDigit(t[1 + digits])) ++digits;
  if (digits < 2 || !IsMinSec(t, 1 + digits)) return false;
  double lat = 0.0, lon = 0.0;
  ParseDmsLatLon("N00:00:00", t, lat, lon);
  return lon <= 180.0;
}

namespace {

// A plan that cannot be loaded: the log names the file and the reason; a
// load shows it on the MCU entry line as well.
int Refuse(const std::string& name, const std::string& reason, bool show_failure) {
  if (show_failure) model::model_state.McuEntryText = kUnableToLoad;
  model::AddStatusMessage(name + ": " + reason);
  return kPlnNotLoaded;
}

}  // namespace

namespace {

// Converts the named plan into `route` (written to temp.rte first when
// `temp` is given); 0 or kPlnNotLoaded as ConvertPlnToRte.
int Convert(const std::string& name, std::string& route, bool show_failure, bool temp) {
  std::string data;
  os::FileProblem problem;
  // No flight plan is larger than kMaxPlanFileBytes; a larger file is not
  // loaded into memory.
  if (!os::ReadWholeFile(FlightPlanReadPath(name), model::kMaxPlanFileBytes, data, &problem))
    return Refuse(name, problem.missing() ? "cannot be opened" : problem.text, show_failure);

  Converter conv;
  conv.Run(data);

  // A temp.rte left from an earlier conversion must never pass for this one:
  // the plan is refused when it cannot be written. A scratch file, written
  // again on every load: not synced to the disk.
  if (temp && !os::SaveScratchFile(FlightPlanReadPath(kTempRouteName), conv.out, &problem))
    return Refuse(name, "temp.rte cannot be written (" + problem.text + ")", show_failure);
  route = std::move(conv.out);
  // A plan is loaded whole or not at all: a route cut short or missing a
  // waypoint is not the plan the pilot chose.
  if (!conv.failure.empty()) return Refuse(name, conv.failure, show_failure);
  if (conv.written > model::kFlightPlanSlots) {
    return Refuse(name, util::Format("%d waypoints, more than a route holds (%d)", conv.written, model::kFlightPlanSlots),
                  show_failure);
  }
  // A route needs two ends.
  if (conv.written < 2) return Refuse(name, "fewer than two waypoints", show_failure);
  return 0;
}

}  // namespace

int ConvertPlnToRte(const std::string& name, bool show_failure) {
  std::string route;
  return Convert(name, route, show_failure, true);
}

int ConvertPln(const std::string& name, std::string& route, bool show_failure) {
  return Convert(name, route, show_failure, false);
}

}  // namespace ovi::flightplan
