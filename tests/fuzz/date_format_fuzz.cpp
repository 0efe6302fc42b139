// Any value with any format and week arguments, and DateAdd with any unit and count: no failure but the
// invalid procedure call that bad arguments deserve.
#include <cstdlib>
#include <cstring>

#include "dates/date_services.h"
#include "dates/runtime_error.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using namespace marelco;

template <typename Call>
void ExpectOnlyInvalidProcedureCall(Call call) {
  try {
    call();
  } catch (const RuntimeError& error) {
    if (error.number() != ErrorNumber::InvalidProcedureCall) std::abort();
  }
}

}  // namespace

// Input: kind of value, first day of week, first week of year, an 8-byte double, then the text value and the
// format, split at the first zero byte.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const auto spanish = MakeLocale("es-ES");
  static const DateServices services(*spanish, [] { return Date{46270.5}; });
  if (size < 11) return 0;
  double number;
  std::memcpy(&number, data + 3, sizeof number);
  const int firstDayOfWeek = data[1] % 9;
  const int firstWeekOfYear = data[2] % 5;
  const uint8_t* rest = data + 11;
  const size_t restSize = size - 11;
  const auto* zero = static_cast<const uint8_t*>(std::memchr(rest, 0, restSize));
  const size_t textSize = zero ? static_cast<size_t>(zero - rest) : 0;
  const std::u16string text = fuzz::Text(rest, textSize);
  const std::u16string format = fuzz::Text(rest + (zero ? textSize + 1 : 0), restSize - (zero ? textSize + 1 : 0));

  FormatValue value;
  switch (data[0] % 3) {
    case 0: value = Date{number}; break;
    case 1: value = number; break;
    default: value = text; break;
  }
  ExpectOnlyInvalidProcedureCall([&] { services.Format(value, format, firstDayOfWeek, firstWeekOfYear); });
  ExpectOnlyInvalidProcedureCall([&] { services.DateAdd(static_cast<DateUnit>(data[1] % 4), number, Date{46270.5}); });
  ExpectOnlyInvalidProcedureCall([&] { services.DateAdd(DateUnit::Month, data[0] - 128.0, Date{number}); });
  return 0;
}
