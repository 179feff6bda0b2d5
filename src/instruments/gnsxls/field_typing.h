// Typing into the digit fields of PILOT ENTERED WPT and OFFSET WPT: the
// character keys write the entry line; the page takes one character a
// frame out of it into the field being typed. A field is a fixed-width
// text with fixed places (hemisphere letter, blanks, the point) and digit
// places, which fill from the right.
#pragma once

#include <span>
#include <string>

namespace ovi::gnsxls {

// Digit places, left to right, of the fields.
inline constexpr int kLatitudeDigits[] = {2, 3, 5, 6, 8, 9};      // "N 47 27.50"
inline constexpr int kLongitudeDigits[] = {1, 2, 3, 5, 6, 8, 9};  // "W122 18.33"
inline constexpr int kBearingDigits[] = {0, 1, 2, 4};             // "123.4"
inline constexpr int kDistanceDigits[] = {0, 1, 2, 3, 5};         // "1234.5"

// The position fields of PILOT ENTERED WPT: their degree digits, the
// largest value they may hold and the hemisphere letter that makes it
// negative.
struct PositionField {
  int degree_digits;
  double limit;
  char negative;
};
inline constexpr PositionField kLatitudeField{2, 90.0, 'S'};
inline constexpr PositionField kLongitudeField{3, 180.0, 'W'};

// Whether the first digit place of a position field is filled: no digit
// can be typed into it any more.
bool PositionFieldComplete(const std::string& field, const PositionField& kind);

// A complete position field as degrees, minutes and seconds: "N 47 27.30"
// is 47 degrees 27 minutes 30 seconds north, the last pair read as the
// seconds the DATABASE WPT position shows there. False for a field not
// complete, or that is no position (minutes or seconds above 59, beyond
// 90 or 180 degrees).
bool PositionFieldDegrees(const std::string& field, const PositionField& kind, double& value);

// The next character typed since the field was opened: the entry line read
// as one word (its blanks dropped), its first character taken and the rest
// left for the next frame, so keys pressed between two frames are all
// taken in order. False when nothing was typed (the line still holds the
// text it was opened with, or is empty).
bool NextTypedCharacter(char& c);

// The digits shift one place to the left over the digit places (the first
// one drops out) and `digit` enters at the last.
void ShiftDigitIn(std::string& field, std::span<const int> places, char digit);
// The digits shift one place to the right (the last one drops out) and
// the first digit place becomes blank.
void ShiftDigitOut(std::string& field, std::span<const int> places);

// The number the digits of a field make with its point ("  4.5": 4.5);
// false when the field holds no digit or is not a field of these places.
bool FieldValue(const std::string& field, std::span<const int> places, int point, double& value);

}  // namespace ovi::gnsxls
