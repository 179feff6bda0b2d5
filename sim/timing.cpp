#include "sim/timing.h"

#include <algorithm>
#include <cmath>

namespace ovi::sim {

int DurationStats::Bin(double seconds) {
  if (!(seconds > kFloor)) return 0;
  double b = std::log(seconds / kFloor) / std::log(kRatio);
  return static_cast<int>(std::min<double>(b, kBins - 1));
}

void DurationStats::Add(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0.0) seconds = 0.0;
  // A bin's count saturates rather than wrap; a run never gets near it.
  std::uint32_t& b = bins_[Bin(seconds)];
  if (b < UINT32_MAX) ++b;
  ++count_;
  total_ += seconds;
  worst_ = std::max(worst_, seconds);
}

double DurationStats::Typical() const {
  if (count_ == 0) return 0.0;
  std::uint64_t half = (count_ + 1) / 2, seen = 0;
  for (int i = 0; i < kBins; ++i) {
    seen += bins_[i];
    if (seen >= half) return std::min(worst_, i == 0 ? kFloor : kFloor * std::pow(kRatio, i + 0.5));
  }
  return worst_;
}

}  // namespace ovi::sim
