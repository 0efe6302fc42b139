// The number of the run-time error a call raises; a call that raises none fails the test.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "dates/runtime_error.h"

namespace marelco::test {

inline ErrorNumber ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const RuntimeError& error) {
    return error.number();
  }
  ADD_FAILURE() << "no run-time error raised";
  return ErrorNumber{};
}

}  // namespace marelco::test
