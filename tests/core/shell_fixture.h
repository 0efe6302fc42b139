// A Kalendo on in-memory constituents, with a recording host, a fake gdi32, English names and the clock
// stopped on 5 September 2026.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

#include "control/kalendo.h"
#include "tests/core/fake_gdi.h"
#include "tests/core/recording_host.h"
#include "tests/support/memory_constituents.h"

namespace marelco::test {

class ShellTest : public ::testing::Test {
 protected:
  ShellTest() { gdi.validHdc = surface.hdc(); }

  // The serial date of a civil date (days since 30 December 1899).
  static Date Day(int year, unsigned month, unsigned day) {
    using namespace std::chrono;
    const sys_days date = std::chrono::year{year} / month / day;
    return Date{static_cast<double>((date - sys_days{std::chrono::year{1899} / December / 30}).count())};
  }

  // The number of the run-time error the call raised.
  static ErrorNumber ErrorOf(const std::function<void()>& call) {
    try {
      call();
    } catch (const RuntimeError& error) {
      return error.number();
    }
    ADD_FAILURE() << "no error raised";
    return ErrorNumber{};
  }

  MemoryTextBox& textBox() { return surface.txtFecha(); }
  MemorySpinner& spinner() { return surface.UpDown1(); }

  std::unique_ptr<Locale> locale = MakeLocale("en");
  DateServices dates{*locale, [] { return Day(2026, 9, 5); }};
  MemorySurface surface;
  RecordingHost host;
  FakeGdi gdi;
  Kalendo control{surface, host, dates, gdi};
};

}  // namespace marelco::test
