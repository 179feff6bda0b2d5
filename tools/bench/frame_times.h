// Frame timing of the display benchmarks: each frame's own processor time
// (on a busy machine wall-clock worst frames measure the other processes),
// reported as the median (typical) and the slowest frame in microseconds.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <vector>

namespace ovi::bench {

inline double ThreadMicroseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// Times one `draw()` per iteration and sets the counters typical_us and
// worst_us.
template <typename Draw>
void TimeFrames(benchmark::State& state, Draw draw) {
  std::vector<double> frames;
  for (auto _ : state) {
    const double start = ThreadMicroseconds();
    draw();
    frames.push_back(ThreadMicroseconds() - start);
  }
  std::sort(frames.begin(), frames.end());
  if (!frames.empty()) {
    state.counters["typical_us"] = frames[frames.size() / 2];
    state.counters["worst_us"] = frames.back();
  }
}

}  // namespace ovi::bench
