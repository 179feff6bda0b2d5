#include "src/instruments/gnsxls/mcu/entry_editor.h"

#include <algorithm>

#include "src/instruments/gnsxls/mcu/state.h"
#include "src/model/state.h"

namespace ovi::mcu {

namespace {

// The editor works on at most 7 characters: the entry text, with one blank
// after it to type into while it is shorter than 6.
constexpr int kMaxCursor = 7;
constexpr std::size_t kTypeAfterBelow = 6;
// Characters stand 9 canvas units apart from x 17; the underline runs from
// 2 units right of a character's place, 9 units long, at y 75.
constexpr int kCharacterX = 17;
constexpr int kCharacterStep = 9;
constexpr int kUnderlineX = 19;
constexpr int kUnderlineY = 75;

constexpr std::int32_t kThousands = 1;
constexpr std::int32_t kFiveHundreds = 2;

// The first blank-delimited word.
std::string FirstWord(const std::string& text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) return {};
  const std::size_t end = text.find(' ', start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

template <typename T>
void StepAltitudeValue(T& altitude) {
  State& m = mcu_state;
  switch (m.McuLineSelectKey) {
    case kRockerLeft:
      m.McuEntryCursor = kThousands;
      break;
    case kRockerRight:
      m.McuEntryCursor = kFiveHundreds;
      break;
    case kRockerUp:
      if (m.McuEntryCursor == kThousands && altitude <= kMaxRockerAltitude - 1000) altitude += 1000;
      if (m.McuEntryCursor == kFiveHundreds && altitude <= kMaxRockerAltitude - 1500) altitude += 500;
      break;
    case kRockerDown:
      if (m.McuEntryCursor == kThousands && altitude >= 1000) altitude -= 1000;
      if (m.McuEntryCursor == kFiveHundreds && altitude >= 500) altitude -= 500;
      break;
    default:
      break;
  }
}

}  // namespace

char StepCharacterUp(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  if (u >= 'Z') return ' ';
  if (c == ' ') return '0';
  if (c == '9') return 'A';
  return static_cast<char>(u + 1);
}

char StepCharacterDown(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  if (u <= ' ') return 'Z';
  if (c == '0') return ' ';
  if (c == 'A') return '9';
  return static_cast<char>(u - 1);
}

void RunCharacterEditor(McuPage& page, bool draw_text) {
  State& m = mcu_state;
  std::string& entry = model::model_state.McuEntryText;
  std::string text = entry;
  if (text.size() < kTypeAfterBelow) text += ' ';
  const int length = static_cast<int>(text.size());
  // The entry text may have become shorter under the cursor (a load, a
  // blank that cut it): the cursor comes back onto the text.
  m.McuEntryCursor = std::clamp(m.McuEntryCursor, 1, std::min(length, kMaxCursor));

  const std::int32_t key = m.McuLineSelectKey;
  if (key == kRockerLeft && m.McuEntryCursor > 1) --m.McuEntryCursor;
  if (key == kRockerRight && m.McuEntryCursor < kMaxCursor && m.McuEntryCursor < length) ++m.McuEntryCursor;
  char& at = text[static_cast<std::size_t>(m.McuEntryCursor - 1)];
  if (key == kRockerUp || key == kRockerDown) {
    at = key == kRockerUp ? StepCharacterUp(at) : StepCharacterDown(at);
    entry = FirstWord(text);
  }

  if (draw_text) {
    for (int i = 0; i < length; ++i)
      page.Text(static_cast<float>(kCharacterX + kCharacterStep * i), kEntryLineY, kGreen,
                std::string(1, text[static_cast<std::size_t>(i)]));
    const int x = kUnderlineX + kCharacterStep * (m.McuEntryCursor - 1);
    page.Underline(x, x + kCharacterStep, kUnderlineY);
  }
  page.Text(0.0f, kEntryLineY, kGreen, kPrompt);
}

void StepAltitude(double& altitude) { StepAltitudeValue(altitude); }
void StepAltitude(std::int32_t& altitude) { StepAltitudeValue(altitude); }

}  // namespace ovi::mcu
