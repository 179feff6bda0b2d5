// Costs of a run (wall clock and processor time), for `ovi-sim --timing`: durations gathered on a
// fine logarithmic scale, so a day of frames costs a fixed, small memory and
// the typical (median) value is known to within 2 %.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <ctime>

namespace ovi::sim {

class DurationStats {
 public:
  void Add(double seconds);
  std::uint64_t count() const { return count_; }
  double total() const { return total_; }
  double worst() const { return worst_; }
  // The median, as the middle of its 2 % bin; 0 without samples.
  double Typical() const;

 private:
  static constexpr double kFloor = 1e-8;  // seconds; anything shorter counts here
  static constexpr double kRatio = 1.02;
  static constexpr int kBins = 1100;      // up to kFloor x 1.02^1100, about 30 minutes
  static int Bin(double seconds);
  std::array<std::uint32_t, kBins> bins_{};
  std::uint64_t count_ = 0;
  double total_ = 0.0;
  double worst_ = 0.0;
};

// Seconds since an arbitrary start, monotonic.
inline double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Seconds of processor time this thread has used: on a busy machine the
// wall clock also counts the time other processes held the processor.
inline double ThreadNow() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace ovi::sim
