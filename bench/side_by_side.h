// Shared pieces of the side-by-side comparison programs (owl_peer_compare,
// owl_opencv_compare, owl_shapes_compare) and of the benchmarks: random
// premultiplied pixels, and contenders timed interleaved within one process
// in the thread's processor time (the cores are shared, and time spent
// descheduled would count against whichever contender was running).
#pragma once

#include <time.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "owlgraphic.h"

namespace owlbench {

using Op = std::function<void()>;

// Premultiplied pixels: a quarter opaque (all of them when opaque), the rest
// of any alpha, every colour byte at or below its alpha, so that the opaque
// and transparent shortcuts of the blending loops are taken as in a real
// picture.
inline void FillPremultiplied(const BitmapBits& b, uint32_t seed, bool opaque = false) {
  std::mt19937 gen(seed);
  for (int32_t y = 0; y < b.height; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(b.bits) + std::ptrdiff_t(y) * b.pitch);
    for (int32_t x = 0; x < b.width; ++x) {
      const uint32_t a = opaque || gen() % 4 == 0 ? 255 : gen() & 0xFF;
      uint32_t p = a << 24;
      for (int shift = 0; shift < 24; shift += 8) p |= (uint32_t(gen()) % (a + 1)) << shift;
      row[x] = p;
    }
  }
}

inline double ThreadSeconds() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Seconds per call of op over n calls, after an untimed restore.
inline double SecondsOf(const Op& op, const Op& restore, int n) {
  restore();
  const double t0 = ThreadSeconds();
  for (int i = 0; i < n; ++i) op();
  return (ThreadSeconds() - t0) / n;
}

// Times the contenders interleaved, the order reversing between repetitions,
// each batch of calls about batch_seconds of the slowest contender and
// preceded by restore; contenders slower than 50 ms a call take half the
// repetitions (at least 3). Returns the median seconds per call of each.
inline std::vector<double> TimeInterleaved(const std::vector<Op>& ops, const Op& restore, int reps,
                                           double batch_seconds) {
  double slowest = 0;
  for (const Op& op : ops) {
    restore();
    op();  // warm the caches and any first-use tables
    slowest = std::max(slowest, SecondsOf(op, restore, 1));
  }
  const int n = std::max(1, int(batch_seconds / std::max(slowest, 1e-9)));
  if (slowest > 0.05) reps = std::max(3, (reps / 2) | 1);
  std::vector<std::vector<double>> times(ops.size());
  for (int r = 0; r < reps; ++r)
    for (size_t k = 0; k < ops.size(); ++k) {
      const size_t i = r % 2 ? ops.size() - 1 - k : k;
      times[i].push_back(SecondsOf(ops[i], restore, n));
    }
  std::vector<double> medians;
  for (auto& t : times) medians.push_back(Median(t));
  return medians;
}

}  // namespace owlbench
