// A Kalendo on in-memory constituents, with a recording host, English names and a fixed clock.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "control/kalendo.h"
#include "dates/date_services.h"
#include "tests/core/recording_host.h"
#include "tests/support/memory_constituents.h"

namespace marelco::test {

// The serial date of a civil date (days since 30 December 1899).
inline Date SerialOf(std::chrono::year_month_day date, double timeOfDay = 0) {
  constexpr std::chrono::sys_days kEpoch = std::chrono::year{1899} / 12 / 30;
  return Date{static_cast<double>((std::chrono::sys_days{date} - kEpoch).count()) + timeOfDay};
}

// The clock of the harness: 7 December 2026, half past ten in the morning.
inline Date FixedNow() {
  using namespace std::chrono;
  return SerialOf(year{2026} / December / 7, 10.5 / 24);
}

// A device context with no font: both queries fail.
class NullGdi : public Gdi {
 public:
  Long GetTextMetricsA(Long, TextMetrics&) override { return 0; }
  Long GetCharWidth32A(Long, std::uint32_t, std::uint32_t, std::int32_t*) override { return 0; }
};

struct KalendoHarness {
  explicit KalendoHarness(const char* localeName = "en")
      : locale(MakeLocale(localeName)), dates(*locale, FixedNow), control(surface, host, dates, gdi) {}

  MemoryTextBox& box() { return surface.txtFecha(); }

  // Puts text and caret into the box as the user would leave them, and forgets the events so far.
  void Show(const std::u16string& text, Long caret) {
    box().SetText(text);
    box().SetSelStart(caret);
    host.Take();
  }

  std::unique_ptr<Locale> locale;
  DateServices dates;
  MemorySurface surface;
  RecordingHost host;
  NullGdi gdi;
  Kalendo control;
};

}  // namespace marelco::test
