// The numbers of the C-17 engine and configuration pages that the pictures
// are drawn from, apart from the drawing so that they can be checked alone.
#pragma once

#include <array>
#include <optional>

namespace ovi::c17 {

// Page 9: EPR from N1 (percent) through the N1 band that token 342 places,
// 0.85 to 1.85.
double EprFromN1(double n1, double token342);
// Page 9: the canvas units of an EPR bar left empty at its top (0 full,
// 120 empty).
int EprBarEmpty(double epr);

// Page 10: EPR of engine n (0 to 3) from its source value, 1 + k x source /
// token 342; none without a reference (token 342 of 0) or for a result that
// is not a number.
inline constexpr std::array<double, 4> kDetailEprFactors = {0.32, 0.318, 0.315, 0.317};
std::optional<double> DetailEpr(int engine, double source, double token342);
// Page 10: a fuel flow in pounds an hour cut toward zero to tens.
int FuelFlowTens(double pounds_per_hour);

// Page 12: the flap handle's setting, "UP", "1/2", "3/4" or "FULL".
const char* FlapsSettingText(double handle);

}  // namespace ovi::c17
