// Month and day names from ICU, for the native build.
#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>

#include <string>

#include "control/platform/locale_names.h"

namespace marelco {

namespace {

std::u16string ToU16(const icu::UnicodeString& text) {
  return std::u16string(text.getBuffer(), static_cast<size_t>(text.length()));
}

// The names used inside a date ("15 de septiembre"): ICU's format context, wide and abbreviated. ICU has no user
// setting for the two-digit-year window: two-digit years mean 1950 to 2049.
LocaleNames NamesOf(const icu::DateFormatSymbols& symbols) {
  using Symbols = icu::DateFormatSymbols;
  LocaleNames names;
  for (const auto width : {Symbols::WIDE, Symbols::ABBREVIATED}) {
    const bool abbreviated = width == Symbols::ABBREVIATED;
    int32_t count = 0;
    const icu::UnicodeString* months = symbols.getMonths(count, Symbols::FORMAT, width);
    for (int32_t i = 0; i < 12 && i < count; ++i) names.months[abbreviated][i] = ToU16(months[i]);
    // ICU's weekdays start at index 1, Sunday, as ours do.
    const icu::UnicodeString* weekdays = symbols.getWeekdays(count, Symbols::FORMAT, width);
    for (int32_t i = 1; i <= 7 && i < count; ++i) names.days[abbreviated][i - 1] = ToU16(weekdays[i]);
  }
  return names;
}

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
  return std::make_unique<NamedLocale>(NamesOf(symbols));
}

}  // namespace marelco
