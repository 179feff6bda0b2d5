// Targets of the external traffic provider.
#include <cmath>
#include <string>

#include "src/display/labels.h"
#include "src/display/map_inputs.h"
#include "src/display/map_labels.h"
#include "src/display/map_overlays.h"
#include "src/display/map_projection.h"
#include "src/display/map_symbols.h"
#include "src/display/state.h"
#include "src/host/traffic_link.h"
#include "src/model/state.h"
#include "src/util/text.h"

namespace ovi::display {

namespace {

constexpr double kDegreesPerRadian = 57.29578;
constexpr char kTrendCodes[] = "v-^";   // descending, level, climbing
constexpr char kThreatCodes[] = "OPTR";  // other, proximate, advisory, resolution
constexpr gfx::ARGB kLabelYellow = 0xFFFFFF00;
constexpr gfx::ARGB kLabelRed = 0xFFF10101;
constexpr gfx::ARGB kLabelCyan = 0xFF00E6E9;
constexpr gfx::ARGB kLabelWhite = 0xFFDEE6E9;

// Asks the provider while it has not answered, at most
// kTrafficProviderMaxAttempts times; a new list replaces the plotted
// targets.
void TakeNewProviderList() {
  State& s = display_state;
  if (s.TrafficListPointer == nullptr) {
    if (s.TrafficProviderAttempts >= kTrafficProviderMaxAttempts) return;
    s.TrafficListPointer = host::QueryTrafficProvider(host::kTrafficProviderToken);
    ++s.TrafficProviderAttempts;
    if (s.TrafficListPointer == nullptr) return;
  }
  const std::uint16_t sequence = host::TrafficListSequence(s.TrafficListPointer);
  if (sequence == s.TrafficListSequence) return;
  s.TrafficListSequence = sequence;
  host::TrafficTarget targets[kMaxTrafficPlots];
  int left_out = 0;
  const int taken = host::TakeTrafficList(s.TrafficListPointer, targets, kMaxTrafficPlots, &left_out);
  if (left_out > s.TrafficLeftOutReported) {
    s.TrafficLeftOutReported = left_out;
    model::AddStatusMessage(util::Format("traffic: %d targets, the %d nearest kept, %d left out", taken + left_out,
                                         taken, left_out));
  }
  s.TrafficPlotCount = 0;
  const double heading = MapHeading();
  for (int i = 0; i < taken; ++i) {
    const host::TrafficTarget& t = targets[i];
    TrafficPlotEntry e;
    e.bearing = t.bearing_rad * kDegreesPerRadian + heading;
    if (e.bearing >= 360.0) e.bearing -= 360.0;
    e.range = t.range_nm;
    e.relative_altitude = t.relative_altitude_ft * 0.01;
    e.trend = kTrendCodes[t.trend];
    e.threat = kThreatCodes[t.threat];
    s.TrafficPlotTable[++s.TrafficPlotCount] = e;
  }
}

std::uint32_t SymbolCode(char threat, std::int32_t kind) {
  const std::uint32_t base = kind == kDisplayP1000 ? kSymbolTrafficOther : kSymbolTrafficOtherLarge;
  switch (threat) {
    case 'P':
      return base + 1;
    case 'T':
      return base + 2;
    case 'R':
      return base + 3;
    default:
      return base;
  }
}

bool CyanFamily(std::int32_t kind) {
  return kind == kDisplayP1000 || kind == kDisplayEfs50 || kind == kDisplayProLine4;
}

std::uint32_t SymbolStyle(char threat, std::int32_t kind) {
  if (threat == 'T' || threat == 'R') return kStyleYellow;
  return CyanFamily(kind) ? kStyleCyan : kStyleDefault;
}

gfx::ARGB LabelColour(char threat, std::int32_t kind) {
  if (threat == 'T') return kLabelYellow;
  if (threat == 'R') return kLabelRed;
  return CyanFamily(kind) ? kLabelCyan : kLabelWhite;
}

std::int32_t TrendArrow(char trend) {
  if (trend == 'v') return kTrendDescending;
  if (trend == '^') return kTrendClimbing;
  return 0;
}

}  // namespace

void DrawProviderTraffic(gfx::Graphics& g, int radius, double range, int cx, int cy, std::int32_t kind) {
  DrawProviderTraffic(g, radius, range, cx, cy, kind, MapHeading());
}

void DrawProviderTraffic(gfx::Graphics& g, int radius, double range, int cx, int cy, std::int32_t kind,
                         double rotation) {
  if (!SetMapScale(radius, range)) return;
  TakeNewProviderList();

  const State& s = display_state;
  const double window = model::model_state.TcasVertRange;
  const double heading = rotation;
  const bool small = kind == kDisplayP1000;
  gfx::Font font("Arial", small ? 10.0f : 12.0f, gfx::FontStyleRegular, gfx::Unit::Pixel);
  for (int i = 1; i <= s.TrafficPlotCount; ++i) {
    const TrafficPlotEntry& e = s.TrafficPlotTable[i];
    if (!(e.relative_altitude >= -window && e.relative_altitude <= window)) continue;
    int x, y;
    navdb::BearingOffsetToScreenInt(heading, e.bearing, cx, cy, e.range * s.MapPixelsPerNm, x, y);
    const std::string label = FitLabel(util::Format("%+02.0f", e.relative_altitude), kTrafficLabelField);
    gfx::SolidBrush brush(LabelColour(e.threat, kind));
    const gfx::PointF at = small ? gfx::PointF(static_cast<gfx::REAL>(x - 9), static_cast<gfx::REAL>(y + 8))
                                 : gfx::PointF(static_cast<gfx::REAL>(x - 13), static_cast<gfx::REAL>(y + 12));
    // Where its place below the symbol is taken, the tag stands above it,
    // its ink clear of the symbol.
    const gfx::PointF above[] = {small ? gfx::PointF(static_cast<gfx::REAL>(x - 9), static_cast<gfx::REAL>(y - 18))
                                       : gfx::PointF(static_cast<gfx::REAL>(x - 13), static_cast<gfx::REAL>(y - 20))};
    // A tag is read whole or not at all; where tags would meet, the
    // resolution advisory's, then the traffic advisory's, then the
    // nearest target's is the one written.
    const double urgency = e.threat == 'R' ? 0.0 : e.threat == 'T' ? 1.0 : 2.0;
    WriteMapText(g, MapRank::kTraffic, MapText{label, font, at}, brush,
                 MapTextWay{.other_places = above,
                            .whole = true,
                            .order = urgency * 1e6 + (std::isfinite(e.range) ? e.range : 1e5)});
    DrawMapSymbol(g, x, y, SymbolCode(e.threat, kind), TrendArrow(e.trend), 1.0, 1.0, SymbolStyle(e.threat, kind),
                  range);
  }
}

}  // namespace ovi::display
