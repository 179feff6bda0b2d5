#include "src/instruments/gnsxls/hold_typing.h"

#include <span>

#include "src/instruments/gnsxls/field_typing.h"

namespace ovi::gnsxls {

namespace {

constexpr int kCoursePlaces[] = {0, 1, 2};
constexpr int kLegTimePlaces[] = {0, 2};
constexpr int kLegDistancePlaces[] = {0, 1, 3};

std::span<const int> Places(HoldField kind) {
  switch (kind) {
    case HoldField::kCourse:
      return kCoursePlaces;
    case HoldField::kLegTime:
      return kLegTimePlaces;
    default:
      return kLegDistancePlaces;
  }
}

// A field of another width (never one the page made) takes nothing.
bool Fits(const std::string& field, HoldField kind) {
  return field.size() == std::string_view(HoldFieldTemplate(kind)).size();
}

}  // namespace

const char* HoldFieldTemplate(HoldField kind) {
  switch (kind) {
    case HoldField::kCourse:
      return "   ";
    case HoldField::kLegTime:
      return " . ";
    default:
      return "  . ";
  }
}

void HoldFieldDigit(std::string& field, HoldField kind, char digit) {
  const std::span<const int> places = Places(kind);
  if (!Fits(field, kind) || field[static_cast<std::size_t>(places.front())] != ' ') return;
  ShiftDigitIn(field, places, digit);
}

void HoldFieldClear(std::string& field, HoldField kind) {
  const std::span<const int> places = Places(kind);
  if (!Fits(field, kind) || field[static_cast<std::size_t>(places.back())] == ' ') return;
  ShiftDigitOut(field, places);
}

bool TakeTypedDigit(std::string& entry_line, char& digit) {
  const std::size_t start = entry_line.find_first_not_of(' ');
  std::string word;
  if (start != std::string::npos) {
    const std::size_t end = entry_line.find(' ', start);
    word = entry_line.substr(start, end == std::string::npos ? std::string::npos : end - start);
  }
  entry_line.clear();
  if (word.size() != 1 || word[0] < '0' || word[0] > '9') return false;
  digit = word[0];
  return true;
}

}  // namespace ovi::gnsxls
