#include "src/instruments/fms/kit.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::fms {

namespace {

constexpr float kRightEdge = 272.0f;
constexpr float kLargeCharWidth = 9.0f;
constexpr float kSmallCharWidth = 5.5f;
constexpr float kLargePx = 18.0f;
constexpr float kSmallPx = 12.0f;
constexpr float kEntryBoxWidth = 5.0f;
constexpr float kEntryBoxHeight = 10.0f;
constexpr float kEntryBoxPitch = 10.0f;

// The drawing layer refuses a scale of 0 and would leave the transform as
// it was; an empty surface draws nothing anyway, so any positive factor does.
float ScaleFactor(int pixels, float logical) {
  return pixels > 0 ? static_cast<float>(pixels) / logical : 1.0f;
}

std::string_view Bounded(std::string_view text) { return text.substr(0, kMaxScreenText); }

// The action of the recorded key among a page's entries; a key the page
// does not use does nothing.
template <typename Entry, typename ActionOf>
void RunRecordedKey(std::span<const Entry> entries, ActionOf action_of) {
  int key = LineSelectKey();
  if (key == kNoKey) return;
  for (const Entry& e : entries) {
    const KeyAction& a = action_of(e);
    if (a.key == key) {
      a.act();
      return;
    }
  }
}

}  // namespace

int RowOfKey(int key) {
  if (IsLeftKey(key)) return key;
  if (IsRightKey(key)) return key - kR1 + 1;
  return 0;
}

int LineSelectKey() { return fms_state.FmsLineSelectKey; }

void RunKeyAction(std::span<const KeyAction> table) {
  RunRecordedKey(table, [](const KeyAction& a) -> const KeyAction& { return a; });
}

void RunMenuKey(std::span<const MenuPrompt> prompts) {
  RunRecordedKey(prompts, [](const MenuPrompt& p) -> const KeyAction& { return p.action; });
}

void OpenPage(std::int32_t page) { fms_state.FmsPage = page; }

void StepSubPage(std::int32_t& index, std::int32_t count, PrevPageStep prev) {
  if (count < 1) count = 1;
  int back = prev == PrevPageStep::kBack ? -1 : 1;
  int step = 0;
  if (fms_state.FmsPrevPageKey == 1) {
    step = back;
  } else if (fms_state.FmsNextPageKey == 1) {
    step = -back;
  }
  if (step == 0) return;
  index += step;
  if (index < 1) index = count;
  if (index > count) index = 1;
}

const std::string& Scratchpad() { return model::model_state.FmsScratchpad.str(); }

bool DeleteArmed() { return model::model_state.PanelMessage == kDeleteArmed; }

void RefuseEntry(const char* message) { model::model_state.PanelMessage = message; }

void AcceptEntry() { model::model_state.FmsScratchpad.clear(); }

void StepFromUnchanged() {
  const std::int32_t state = flightplan::flightplan_state.RouteState;
  if (state == 0 || state == 3) flightplan::StepRouteState();
}

bool ReadPlainNumber(std::string_view text, double& value) {
  int points = 0, digits = 0;
  for (char c : text) {
    if (c == '.') {
      ++points;
    } else if (c >= '0' && c <= '9') {
      ++digits;
    } else {
      return false;
    }
  }
  if (points > 1 || digits == 0) return false;
  value = std::strtod(std::string(text).c_str(), nullptr);
  return std::isfinite(value);
}

double CourseShown(double course) {
  if (!std::isfinite(course)) return 360.0;
  course = std::fmod(course, 360.0);
  if (course < 0.0) course += 360.0;
  return course < 0.5 ? course + 360.0 : course;
}

bool AnyDisplayInPlanMode() {
  const model::State& m = model::model_state;
  return m.HWB737NDMode >= 7 || m.DU1000EHSIMode == 2 || m.HWMD11NDMode == 2 || m.MD80EHSIMode == 2 ||
         m.C17MfdPage == 6;
}

std::string ScreenText(const char* format, ...) {
  char narrow[140];
  va_list ap;
  va_start(ap, format);
  int n = std::vsnprintf(narrow, sizeof narrow, format, ap);
  va_end(ap);
  if (n < 0) return {};
  return std::string(Bounded(narrow));
}

float RightAlignedX(FontSize size, std::size_t chars) {
  float width = size == FontSize::kLarge ? kLargeCharWidth : kSmallCharWidth;
  return kRightEdge - width * static_cast<float>(chars);
}

namespace {

// "N47:26:56" into "N47\xB026.5", the degrees padded to `degree_digits`.
std::string PositionText(const std::string& dms, std::size_t degree_digits) {
  std::size_t first = dms.find(':');
  std::size_t second = first == std::string::npos ? first : dms.find(':', first + 1);
  if (dms.empty() || second == std::string::npos || second + 1 >= dms.size()) return {};
  std::string degrees = dms.substr(1, first - 1);
  if (degrees.size() < degree_digits) degrees.insert(0, degree_digits - degrees.size(), '0');
  return dms.substr(0, 1) + degrees + "\xB0" + dms.substr(first + 1, second - first - 1) + "." + dms[second + 1];
}

}  // namespace

std::string LatitudeScreenText(double latitude) {
  std::string lat, lon;
  navdb::FormatLatLonDms(latitude, 0.0, 1, lat, lon);
  return std::string(Bounded(PositionText(lat, 2)));
}

std::string LongitudeScreenText(double longitude) {
  std::string lat, lon;
  navdb::FormatLatLonDms(0.0, -longitude, 1, lat, lon);
  return std::string(Bounded(PositionText(lon, 3)));
}

void DrawFmsHighlightBox(int x, int y, gfx::Graphics& g, int n) {
  gfx::SolidBrush brush(kGreen);
  int right = x + kHighlightCharWidth * n;
  int bottom = y + kHighlightHeight;
  const gfx::Point corners[] = {{x, y}, {right, y}, {right, bottom}, {x, bottom}, {x, y}};
  g.FillPolygonI(brush, corners);
}

CduPage::CduPage(const display::GaugeDisplay& display, gfx::Graphics& g)
    : g_(g),
      green_(kGreen),
      black_(kBlack),
      pen_(gfx::Color(kGreen), 1.0f),
      large_("Arial", kLargePx, gfx::FontStyleRegular, gfx::Unit::Pixel),
      small_("Arial", kSmallPx, gfx::FontStyleRegular, gfx::Unit::Pixel) {
  g_.ResetTransform();
  g_.ScaleTransform(ScaleFactor(display.width, kScreenWidth), ScaleFactor(display.height, kScreenHeight));
}

void CduPage::Text(float x, float y, FontSize size, std::string_view text) {
  if (text.empty()) return;
  g_.DrawString(Bounded(text), size == FontSize::kLarge ? large_ : small_, gfx::PointF(x, y), green_);
}

void CduPage::Text(float x, float y, const gfx::Font& font, std::string_view text) {
  if (text.empty()) return;
  g_.DrawString(Bounded(text), font, gfx::PointF(x, y), green_);
}

void CduPage::RightText(float y, FontSize size, std::string_view text) {
  text = Bounded(text);
  Text(RightAlignedX(size, text.size()), y, size, text);
}

void CduPage::HighlightedText(float x, float y, std::string_view text, int box_x, int box_y, int chars) {
  DrawFmsHighlightBox(box_x, box_y, g_, chars);
  if (text.empty()) return;
  g_.DrawString(Bounded(text), large_, gfx::PointF(x, y), black_);
}

void CduPage::EntryBoxes(float x, float y, int count) {
  for (int i = 0; i < count; ++i) {
    g_.DrawRectangle(pen_, x + kEntryBoxPitch * static_cast<float>(i), y, kEntryBoxWidth, kEntryBoxHeight);
  }
}

void CduPage::Prompts(std::span<const MenuPrompt> prompts) {
  for (const MenuPrompt& p : prompts) Large(p.x, p.y, p.text);
}

void CduPage::ActModTitle(const ActModForm& form) {
  const std::int32_t state = flightplan::flightplan_state.RouteState;
  if (state == 3) {
    Large(form.act_x, kTitleY, "ACT");
  } else if (state == 4 || (state > 4 && form.mod_above_four)) {
    HighlightedText(form.mod_x, kTitleY, "MOD", form.box_x, static_cast<int>(kTitleY), form.box_chars);
  }
}

float CduPage::TextWidth(FontSize size, std::string_view text) {
  const gfx::Font& font = size == FontSize::kLarge ? large_ : small_;
  gfx::RectF box;
  if (g_.MeasureString(Bounded(text), font, gfx::PointF(0.0f, 0.0f), nullptr, &box) != gfx::Status::Ok) return 0.0f;
  // The layout box holds a sixth of the em on either side.
  const float px = size == FontSize::kLarge ? kLargePx : kSmallPx;
  return std::max(0.0f, box.Width - px / 3.0f);
}

void CduPage::ScratchpadLine() {
  const std::string& message = model::model_state.PanelMessage;
  const std::string& line = message.empty() ? Scratchpad() : message;
  // The large font's first letter starts a sixth of its em in.
  const bool fits = kLargePx / 6.0f + TextWidth(FontSize::kLarge, line) <= kScreenWidth;
  Text(0.0f, fits ? kScratchpadY : kScratchpadY + kSmallBaselineDrop, fits ? FontSize::kLarge : FontSize::kSmall, line);
}

}  // namespace ovi::fms
