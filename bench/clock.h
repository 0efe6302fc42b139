// The bench's clock: the performance counter, in seconds.
#pragma once

#include <windows.h>

namespace marelco::bench {

inline double NowSeconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / frequency;
}

template <class Action>
double Seconds(const Action& action) {
  const double start = NowSeconds();
  action();
  return NowSeconds() - start;
}

}  // namespace marelco::bench
