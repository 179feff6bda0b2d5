// Frame timing shared by the display benchmarks: each iteration times one
// frame in the thread's processor time (on a busy machine wall-clock worst
// frames measure the other processes) and the run reports the median
// ("typical_us") and the slowest frame ("worst_us").
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

template <typename Frame>
void TimeFrames(benchmark::State& state, Frame frame) {
  std::vector<double> frames;
  for (auto _ : state) {
    const double start = ThreadMicroseconds();
    frame();
    frames.push_back(ThreadMicroseconds() - start);
  }
  std::sort(frames.begin(), frames.end());
  if (!frames.empty()) {
    state.counters["typical_us"] = frames[frames.size() / 2];
    state.counters["worst_us"] = frames.back();
  }
}

}  // namespace ovi::bench
