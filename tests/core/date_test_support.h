// Shared helpers of the date services tests: locales, a fixed clock, dates by day, month and year.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "dates/date_services.h"
#include "dates/runtime_error.h"
#include "tests/support/error_of.h"

namespace marelco::test {

// OLE Automation day numbers, counted independently of the services through the standard calendar.
inline double Serial(int year, unsigned month, unsigned day) {
  using namespace std::chrono;
  const sys_days date{std::chrono::year{year} / month / day};
  return static_cast<double>((date - sys_days{std::chrono::year{1899} / December / 30}).count());
}

inline Date DateOf(int year, unsigned month, unsigned day, double hours = 0) {
  return Date{Serial(year, month, day) + hours / 24};
}

// 5 September 2026, 14:07:09: a Saturday in the afternoon.
inline const Date kFixedNow = DateOf(2026, 9, 5, 14 + 7 / 60.0 + 9 / 3600.0);

// The date services over a platform locale, with the clock stopped at kFixedNow.
struct LocaleServices {
  explicit LocaleServices(const char* name) : locale(MakeLocale(name)), services(*locale, [] { return kFixedNow; }) {}
  std::unique_ptr<Locale> locale;
  DateServices services;
};

}  // namespace marelco::test

namespace marelco {
inline void PrintTo(const Date& date, std::ostream* out) { *out << "Date{" << date.serial << "}"; }
}  // namespace marelco
