// The one fixture of the control's tests: a Kalendo on in-memory constituents, with a recording host, a fake
// gdi32, a locale's names and the clock stopped.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "control/kalendo.h"
#include "tests/core/date_test_support.h"
#include "tests/core/fake_gdi.h"
#include "tests/core/recording_host.h"
#include "tests/support/error_of.h"
#include "tests/support/memory_constituents.h"

namespace marelco::test {

struct KalendoHarness {
  // The clock stands at half past ten in the morning of 7 December 2026 unless told otherwise.
  explicit KalendoHarness(const char* localeName = "en", Date now = DateOf(2026, 12, 7, 10.5))
      : locale(MakeLocale(localeName)), dates(*locale, [now] { return now; }) {
    gdi.validHdc = surface.hdc();
  }

  MemoryTextBox& box() { return surface.txtFecha(); }
  MemorySpinner& spinner() { return surface.UpDown1(); }

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
  FakeGdi gdi;
  Kalendo control{surface, host, dates, gdi};
};

// The harness as a test fixture, the clock stopped on 5 September 2026.
class ShellTest : public ::testing::Test, public KalendoHarness {
 protected:
  ShellTest() : KalendoHarness("en", DateOf(2026, 9, 5)) {}
};

}  // namespace marelco::test
