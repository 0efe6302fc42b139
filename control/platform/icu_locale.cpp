// Month and day names from ICU, for the native build.
#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>

#include <array>
#include <string>

#include "control/platform/date_services.h"
#include "control/platform/runtime_error.h"

namespace marelco {

namespace {

std::u16string ToU16(const icu::UnicodeString& text) {
  return std::u16string(text.getBuffer(), static_cast<size_t>(text.length()));
}

// The names used inside a date ("15 de septiembre"): ICU's format context, wide and abbreviated.
class IcuLocale final : public Locale {
 public:
  explicit IcuLocale(const icu::DateFormatSymbols& symbols) {
    using Symbols = icu::DateFormatSymbols;
    for (const auto width : {Symbols::WIDE, Symbols::ABBREVIATED}) {
      const bool abbreviated = width == Symbols::ABBREVIATED;
      int32_t count = 0;
      const icu::UnicodeString* months = symbols.getMonths(count, Symbols::FORMAT, width);
      for (int32_t i = 0; i < 12 && i < count; ++i) months_[abbreviated][i] = ToU16(months[i]);
      // ICU's weekdays start at index 1, Sunday, as ours do.
      const icu::UnicodeString* weekdays = symbols.getWeekdays(count, Symbols::FORMAT, width);
      for (int32_t i = 1; i <= 7 && i < count; ++i) days_[abbreviated][i - 1] = ToU16(weekdays[i]);
    }
  }

  std::u16string MonthName(int month, bool abbreviated) const override {
    if (month < 1 || month > 12) throw RuntimeError(ErrorNumber::InvalidProcedureCall);
    return months_[abbreviated][month - 1];
  }

  std::u16string DayName(int weekday, bool abbreviated) const override {
    if (weekday < 1 || weekday > 7) throw RuntimeError(ErrorNumber::InvalidProcedureCall);
    return days_[abbreviated][weekday - 1];
  }

  // ICU has no user setting for it: two-digit years mean 1950 to 2049.
  int TwoDigitYearMax() const override { return 2049; }

 private:
  std::array<std::array<std::u16string, 12>, 2> months_;
  std::array<std::array<std::u16string, 7>, 2> days_;
};

}  // namespace

// A name whose language ICU has no data for ("xx") is refused with an invalid procedure call, rather than
// answered with the names of the default locale that ICU falls back to.
std::unique_ptr<Locale> MakeLocale(std::string_view name) {
  std::string id(name);
  for (char& c : id) c = (c == '-') ? '_' : c;
  const icu::Locale locale = id.empty() ? icu::Locale::getDefault() : icu::Locale(id.c_str());
  UErrorCode status = U_ZERO_ERROR;
  const icu::DateFormatSymbols symbols(locale, status);
  const auto known = [&] {
    UErrorCode lookup = U_ZERO_ERROR;
    return std::string_view(symbols.getLocale(ULOC_VALID_LOCALE, lookup).getLanguage()) == locale.getLanguage();
  };
  if (locale.isBogus() || U_FAILURE(status) || (!id.empty() && !known())) {
    throw RuntimeError(ErrorNumber::InvalidProcedureCall);
  }
  return std::make_unique<IcuLocale>(symbols);
}

}  // namespace marelco
