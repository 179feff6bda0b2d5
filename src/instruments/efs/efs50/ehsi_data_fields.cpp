// The texts and small symbols around the compass of every EHSI mode below
// 8: course or desired track, TO/FR, wind, navigation source, distance,
// ground speed, time to go, the bearing-pointer blocks, "WX OFF", "NO MAP",
// the selected heading and the wind arrow. A table of fields in drawing
// order; x places that depend on a text's length come from table A.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/efs/efs50/ehsi.h"
#include "src/model/state.h"

namespace ovi::efs {

namespace {

using display::FiniteOr;
using ehsi::Segment;
using ehsi::Shape;
using gfx::Point;
namespace c = efs50_colour;

const model::State& M() { return model::model_state; }
const guidance::State& G() { return guidance::guidance_state; }

// A field's text as drawn: formatted into a bounded buffer, leading blanks
// stripped where the field is trimmed.
struct FieldText {
  static constexpr std::size_t kCapacity = 48;
  char chars[kCapacity] = {};
  std::size_t length = 0;

  void Format(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    std::va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(chars, kCapacity, format, args);
    va_end(args);
    length = n < 0 ? 0 : std::strlen(chars);
  }
  // Read back as one blank-delimited token.
  void Trim() {
    std::size_t start = 0;
    while (start < length && chars[start] == ' ') ++start;
    std::size_t end = start;
    while (end < length && chars[end] != ' ') ++end;
    std::memmove(chars, chars + start, end - start);
    length = end - start;
    chars[length] = '\0';
  }
};

// Table A: x by the length of a text, for the lengths a field defines; a
// length outside them takes the nearest defined one.
struct ColumnsByLength {
  float x[8];
  std::size_t shortest;
  std::size_t longest;

  bool Defines(std::size_t length) const { return length >= shortest && length <= longest; }
  float At(std::size_t length) const {
    if (length < shortest) length = shortest;
    if (length > longest) length = longest;
    return x[length];
  }
};
constexpr ColumnsByLength kDistanceX{{0, 0, 0, 218, 210, 202, 194, 187}, 3, 7};
constexpr ColumnsByLength kGroundSpeedX{{0, 230, 223, 214, 207, 0, 0, 0}, 1, 4};
constexpr ColumnsByLength kTimeToGoX{{0, 0, 0, 0, 230, 222, 0, 0}, 4, 5};
constexpr ColumnsByLength kPointer1NmX{{0, 0, 0, 50, 59, 66, 74, 82}, 3, 7};
constexpr ColumnsByLength kPointer2NmX{{0, 0, 0, 231, 239, 247, 255, 263}, 3, 7};

// What several fields read, worked out once a frame.
struct Context {
  int mode = 0;
  bool radio = true;  // EFS50NavMode 1
  bool active = false;
  gfx::ARGB source = c::kGreen;
  FieldText ground_speed;
};

bool MapMode(int mode) { return mode == 2 || mode == 3 || mode == 5 || mode == 6; }

// --- Text rules -----------------------------------------------------------------

void CourseText(const Context& x, FieldText& t) {
  const guidance::State& s = G();
  if (x.radio)
    t.Format("CRS %03.0f", FiniteOr(s.SelectedCourse));
  else if (x.active)
    t.Format("DTK %03.0f", FiniteOr(s.DesiredTrack));
  else
    t.Format("DTK ---");
}

void ToFromText(const Context& /*x*/, FieldText& t) {
  const ehsi::ToFrom sense = Efs50ToFrom(true);
  if (sense != ehsi::ToFrom::kNone) t.Format("%s", sense == ehsi::ToFrom::kTo ? "TO" : "FR");
}

void WindSpeedText(const Context& /*x*/, FieldText& t) { t.Format("%4.0f", FiniteOr(G().WindSpeed)); }

template <int kLine>
void SourceLetter(const Context& x, FieldText& t) {
  const char* letters = !x.radio ? "FMS" : host::IsNav1Localizer() != 0 ? "LOC" : "VOR";
  t.Format("%c", letters[kLine]);
}

void DistanceText(const Context& x, FieldText& t) {
  const guidance::State& s = G();
  const double dme = FiniteOr(s.Nav1DmeDistance);
  if (dme > 0.0 && M().EFS50NavMode == 1)
    t.Format("%4.1f", dme);
  else if (x.active && M().EFS50NavMode == 2)
    t.Format("%4.1f", FiniteOr(s.ActiveWaypointDistance));
  else
    t.Format("---");
  t.Trim();
}

void Fixed(FieldText& t, const char* text) { t.Format("%s", text); }
void NmText(const Context& /*x*/, FieldText& t) { Fixed(t, "NM"); }
void KtText(const Context& /*x*/, FieldText& t) { Fixed(t, "KT"); }
void GroundSpeedText(const Context& x, FieldText& t) { t = x.ground_speed; }

// Minutes to go: by the DME's own speed on the radio, by the ground speed
// on the flight plan; only above 50 kt and for a positive time.
double MinutesToGo() {
  const guidance::State& s = G();
  const double gs = FiniteOr(s.GroundSpeedKnots);
  if (!(gs > 50.0)) return 0.0;
  double t = 0.0;
  if (M().EFS50NavMode == 1) {
    const double dme = FiniteOr(s.Nav1DmeDistance), speed = FiniteOr(s.Nav1HasDme);
    if (dme > 0.0 && speed > 0.0) t = dme / speed * 60.0;
  } else {
    const double distance = FiniteOr(s.ActiveWaypointDistance);
    if (distance > 0.0) t = distance / gs * 60.0;
  }
  return FiniteOr(t);
}

// "H:MM": the minutes rounded as they print, a rounded 60 carried into the
// hours.
void TimeToGoText(const Context& /*x*/, FieldText& t) {
  const double minutes = MinutesToGo();
  if (!(minutes > 0.0)) return;
  double hours = std::trunc(minutes / 60.0);
  double rest = std::nearbyint(minutes - 60.0 * hours);
  if (rest >= 60.0) {
    hours += 1.0;
    rest = 0.0;
  }
  t.Format("%2.0f:%02.0f", hours, rest);
  t.Trim();
}

void WeatherText(const Context& /*x*/, FieldText& t) { Fixed(t, "WX OFF"); }
void NoMapText(const Context& /*x*/, FieldText& t) { Fixed(t, "NO MAP"); }

// --- Conditions ---------------------------------------------------------------------

bool Always(const Context& /*x*/) { return true; }
bool InMapMode(const Context& x) { return MapMode(x.mode); }
bool Windy(const Context& /*x*/) { return G().WindSpeed >= 1.0; }
bool WeatherMode(const Context& x) { return x.mode == 2 || x.mode == 6 || x.mode == 7; }
bool NoMap(const Context& x) {
  if (!MapMode(x.mode)) return false;
  const int nav_mode = M().EFS50NavMode;
  return (nav_mode == 1 && !(host::GetNav1Signal() > 0.0)) || (nav_mode == 2 && !x.active);
}
bool Pointer1On(const Context& /*x*/) { return M().Efs50BearingPointer1Source > 0; }
bool Pointer2On(const Context& /*x*/) { return M().Efs50BearingPointer2Source > 0; }

// --- Places --------------------------------------------------------------------------

template <int kX, int kY>
gfx::PointF At(const Context& /*x*/, const FieldText& /*t*/) {
  return gfx::PointF(kX, kY);
}
gfx::PointF DistanceAt(const Context& /*x*/, const FieldText& t) { return gfx::PointF(kDistanceX.At(t.length), 0); }
float GroundSpeedX(const Context& x) { return kGroundSpeedX.At(x.ground_speed.length); }
gfx::PointF GroundSpeedAt(const Context& x, const FieldText& /*t*/) { return gfx::PointF(GroundSpeedX(x), 15); }
// A time of 100 hours or more stands where the ground speed does.
gfx::PointF TimeToGoAt(const Context& x, const FieldText& t) {
  return gfx::PointF(kTimeToGoX.Defines(t.length) ? kTimeToGoX.At(t.length) : GroundSpeedX(x), 30);
}
gfx::PointF NoMapAt(const Context& x, const FieldText& /*t*/) {
  return gfx::PointF(110, x.mode == 2 || x.mode == 3 ? 155 : 45);
}

// --- Colours ------------------------------------------------------------------------------

gfx::ARGB SourceColour(const Context& x) { return x.source; }
gfx::ARGB White(const Context& /*x*/) { return c::kWhite; }

// --- Fields drawn by a routine of their own -----------------------------------------

struct PointerBlock {
  int pointer;
  gfx::ARGB colour;
  Shape symbol;
  const char* radio_label;
  float x;
  ColumnsByLength nm_x;
};
constexpr Point kPointer1Triangle[] = {{20, 205}, {25, 210}, {15, 210}};
constexpr Segment kPointer1Stem[] = {{{20, 210}, {20, 220}}};
constexpr Point kPointer2Triangle[] = {{200, 205}, {205, 210}, {195, 210}};
constexpr Segment kPointer2Stems[] = {{{197, 210}, {197, 220}}, {{203, 210}, {203, 220}}};
constexpr PointerBlock kPointer1Block{1, c::kBlue, {c::kBlue, 1.0f, kPointer1Stem, {}, kPointer1Triangle},
                                      "VOR 1", 30.0f, kPointer1NmX};
constexpr PointerBlock kPointer2Block{2, c::kMagenta, {c::kMagenta, 1.0f, kPointer2Stems, {}, kPointer2Triangle},
                                      "VOR 2", 210.0f, kPointer2NmX};

// What a pointer's block shows for its source: the source's name, the
// distance text and whether the source gives anything; no label for a
// source outside 1..3.
struct PointerText {
  const char* label = nullptr;
  FieldText distance;
  bool valid = true;
};
PointerText PointerTextFor(const PointerBlock& b, int source) {
  const guidance::State& s = G();
  PointerText t;
  switch (source) {
    case 1: {
      t.label = b.radio_label;
      const double signal = b.pointer == 1 ? host::GetNav1Signal() : host::GetNav2Signal();
      if (signal > 0.0)
        t.distance.Format("%3.1f", FiniteOr(b.pointer == 1 ? s.Nav1DmeDistance : s.Nav2DmeDistance));
      else
        t.valid = false;
      break;
    }
    case 2:
      t.label = "FMS";
      if (Efs50WaypointActive())
        t.distance.Format("%4.1f", FiniteOr(s.ActiveWaypointDistance));
      else
        t.valid = false;
      break;
    case 3:
      t.label = "ADF";
      t.valid = s.AdfSignal >= 1.0;
      break;
    default:
      return t;
  }
  if (t.distance.length == 0) t.distance.Format("---");
  return t;
}

void DrawUnit(gfx::Graphics& g, const PointerBlock& b, const PointerText& t) {
  display::DrawScreenText(g, display::ArialBold(14.0f), gfx::SolidBrush(b.colour), b.nm_x.At(t.distance.length),
                          210.0f, "NM");
}

// Under the full rose the lower box would cover pointer 1's "NM" (from x
// 73 on): the frame draws it after the box instead.
bool UnitAfterLowerBox(const PointerBlock& b) {
  const int mode = M().EFS50HsiMode;
  return b.pointer == 1 && mode >= 1 && mode <= 3;
}

// The pointer's symbol, its source, the distance to it with "NM", and a
// red cross over the source while the source gives nothing.
void DrawPointerBlock(gfx::Graphics& g, const PointerBlock& b, int source) {
  const PointerText t = PointerTextFor(b, source);
  if (t.label == nullptr) return;
  ehsi::DrawShape(g, b.symbol);
  const gfx::Font font = display::ArialBold(14.0f);
  const gfx::SolidBrush brush(b.colour);
  display::DrawScreenText(g, font, brush, b.x, 200.0f, t.label);
  display::DrawScreenText(g, font, brush, b.x, 210.0f, t.distance.chars);
  if (!UnitAfterLowerBox(b)) DrawUnit(g, b, t);
  if (t.valid) return;
  const gfx::Pen red(c::kRed, 1.0f);
  const int x0 = static_cast<int>(b.x);
  g.DrawLineI(red, x0, 202, x0 + 30, 208);
  g.DrawLineI(red, x0, 208, x0 + 30, 202);
}

void Pointer1Block(const Context& /*x*/, gfx::Graphics& g, const display::CanvasScale& /*scale*/) {
  DrawPointerBlock(g, kPointer1Block, M().Efs50BearingPointer1Source);
}
void Pointer2Block(const Context& /*x*/, gfx::Graphics& g, const display::CanvasScale& /*scale*/) {
  DrawPointerBlock(g, kPointer2Block, M().Efs50BearingPointer2Source);
}

// The selected heading: under the rose in modes 1 to 3; on the arc only
// while the plain difference of the two values as read exceeds 45 degrees
// (heading 350 with 10 selected: 340, so the readout shows), tilted on the
// side the shorter way gives.
void SelectedHeading(const Context& x, gfx::Graphics& g, const display::CanvasScale& scale) {
  const double heading = FiniteOr(G().AircraftHeading), as_read = FiniteOr(G().ApHeadingLockDir);
  double selected = as_read;
  if (selected == 0.0) selected = 360.0;
  const gfx::Font font = display::ArialBold(14.0f);
  const gfx::SolidBrush amber(c::kAmber);
  if (x.mode >= 1 && x.mode <= 3) {
    display::DrawScreenTextF(g, font, amber, 208.0f, 180.0f, "%03.0f\xB0", selected);
    return;
  }
  if (x.mode < 4 || x.mode > 7) return;
  if (!(std::fabs(std::trunc(as_read - heading)) > 45.0)) return;
  if (ehsi::ShorterTurn(heading, selected) >= 0.0)
    display::UseOrigin(g, scale, 220.0f, 85.0f, 40.0);
  else
    display::UseOrigin(g, scale, 15.0f, 105.0f, -40.0);
  display::DrawScreenTextF(g, font, amber, 0.0f, 0.0f, "%03.0f\xB0", selected);
  display::UseCanvas(g, scale);
}

// Where the wind blows to, turned against the heading-up picture.
void WindArrow(const Context& /*x*/, gfx::Graphics& g, const display::CanvasScale& scale) {
  const guidance::State& s = G();
  double to = FiniteOr(s.WindDirectionMagnetic) + 180.0;
  if (to > 360.0) to -= 360.0;
  display::UseOrigin(g, scale, 10.0f, 22.0f, to - FiniteOr(s.AircraftHeading));
  constexpr Point kHead[] = {{0, -6}, {5, -1}, {-5, -1}};
  g.FillPolygonI(gfx::SolidBrush(c::kWhite), kHead);
  g.DrawLineI(gfx::Pen(c::kWhite, 2.0f), 0, -1, 0, 6);
  display::UseCanvas(g, scale);
}

// --- The table ------------------------------------------------------------------------------

struct DataField {
  const char* name;
  bool (*shown)(const Context&);
  // A text field: its text (none when left empty), place, font and colour.
  void (*text)(const Context&, FieldText&);
  gfx::PointF (*place)(const Context&, const FieldText&);
  float font_size;
  gfx::ARGB (*colour)(const Context&);
  // Or a field drawn by a routine of its own.
  void (*draw)(const Context&, gfx::Graphics&, const display::CanvasScale&) = nullptr;
};

gfx::ARGB CourseColour(const Context& x) { return x.radio ? c::kGreen : c::kBlue; }

constexpr DataField kFields[] = {
    {"course", Always, CourseText, At<0, 0>, 14.0f, CourseColour},
    {"TO/FR flag", InMapMode, ToFromText, At<60, 3>, 10.0f, White},
    {"wind speed", Windy, WindSpeedText, At<15, 15>, 14.0f, SourceColour},
    {"source, first letter", Always, SourceLetter<0>, At<0, 90>, 14.0f, SourceColour},
    {"source, second letter", Always, SourceLetter<1>, At<0, 105>, 14.0f, SourceColour},
    {"source, third letter", Always, SourceLetter<2>, At<0, 120>, 14.0f, SourceColour},
    {"distance", Always, DistanceText, DistanceAt, 14.0f, SourceColour},
    {"distance unit", Always, NmText, At<240, 0>, 14.0f, SourceColour},
    {"ground speed", Always, GroundSpeedText, GroundSpeedAt, 14.0f, SourceColour},
    {"ground speed unit", Always, KtText, At<240, 15>, 14.0f, SourceColour},
    {"time to go", Always, TimeToGoText, TimeToGoAt, 14.0f, SourceColour},
    {"bearing pointer 1", Pointer1On, nullptr, nullptr, 14.0f, nullptr, Pointer1Block},
    {"bearing pointer 2", Pointer2On, nullptr, nullptr, 14.0f, nullptr, Pointer2Block},
    // 5 units above its place of (0, 190), where it ran into pointer 1's
    // source at (30, 200).
    {"weather", WeatherMode, WeatherText, At<0, 185>, 14.0f, White},
    {"no map", NoMap, NoMapText, NoMapAt, 10.0f, White},
    {"selected heading", Always, nullptr, nullptr, 14.0f, nullptr, SelectedHeading},
    {"wind arrow", Windy, nullptr, nullptr, 0.0f, nullptr, WindArrow},
};

}  // namespace

void DrawEfs50PointerUnitOverBox(const display::GaugeDisplay& display, gfx::Graphics& g) {
  const display::CanvasScale scale = Efs50Scale(display);
  if (!scale.usable || !UnitAfterLowerBox(kPointer1Block)) return;
  const PointerText t = PointerTextFor(kPointer1Block, M().Efs50BearingPointer1Source);
  if (t.label == nullptr) return;
  display::UseCanvas(g, scale);
  DrawUnit(g, kPointer1Block, t);
}

void DrawEfs50DataFields(const display::GaugeDisplay& display, gfx::Graphics& g) {
  const display::CanvasScale scale = Efs50Scale(display);
  if (!scale.usable) return;
  display::UseCanvas(g, scale);
  Context x;
  x.mode = M().EFS50HsiMode;
  x.radio = M().EFS50NavMode == 1;
  x.active = Efs50WaypointActive();
  x.source = x.radio ? c::kGreen : c::kBlue;
  x.ground_speed.Format("%4.0f", FiniteOr(G().GroundSpeedKnots));
  x.ground_speed.Trim();
  for (const DataField& field : kFields) {
    if (!field.shown(x)) continue;
    if (field.draw != nullptr) {
      field.draw(x, g, scale);
      continue;
    }
    FieldText text;
    field.text(x, text);
    if (text.length == 0) continue;
    const gfx::PointF at = field.place(x, text);
    display::DrawScreenText(g, display::ArialBold(field.font_size), gfx::SolidBrush(field.colour(x)), at.X, at.Y,
                            text.chars);
  }
}

}  // namespace ovi::efs
