// Any text: IsDate agrees with ToDate and Day, errors are type mismatches, and what reads as a date is a supported
// date that the control's formats write and read back.
#include <cmath>
#include <cstdlib>

#include "dates/date_services.h"
#include "dates/runtime_error.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using namespace marelco;

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckText(const DateServices& services, const std::u16string& text) {
  const bool isDate = services.IsDate(text);
  Date date;
  try {
    date = services.ToDate(text);
  } catch (const RuntimeError& error) {
    Check(!isDate && error.number() == ErrorNumber::TypeMismatch);
    return;
  }
  Check(isDate);
  // The day part only: a time on the first day lies below its serial ("1/1/100 12:00" is -657434.5).
  const double day = std::trunc(date.serial);
  Check(day >= -657434 && day <= 2958465);
  for (const char16_t* format : {u"dd/mm/yyyy", u"dd/mmm/yyyy", u"dd/mmmm/yyyy"}) {
    const std::u16string written = services.Format(date, format, 1, 1);
    Check(services.ToDate(written).serial == day);
  }
  int dayOfMonth = 0;
  for (char16_t digit : services.Format(date, u"d", 1, 1)) dayOfMonth = dayOfMonth * 10 + (digit - u'0');
  Check(services.Day(text) == dayOfMonth);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const auto english = MakeLocale("en-US");
  static const auto spanish = MakeLocale("es-ES");
  static const DateServices inEnglish(*english, [] { return Date{46270.5}; });
  static const DateServices inSpanish(*spanish, [] { return Date{46270.5}; });
  const std::u16string text = fuzz::Text(data, size);
  CheckText(inEnglish, text);
  CheckText(inSpanish, text);
  return 0;
}
