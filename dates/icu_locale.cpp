// Month and day names, designators and date pictures from ICU, for the native build.
#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>

#include <algorithm>
#include <memory>
#include <string>

#include "dates/locale_names.h"

namespace marelco {

namespace {

std::u16string ToU16(const icu::UnicodeString& text) {
  return std::u16string(text.getBuffer(), static_cast<size_t>(text.length()));
}

// An ICU date pattern ("d 'de' MMMM 'de' y", "h:mm:ss a") as a Windows picture ("d 'de' MMMM 'de' yyyy",
// "h:mm:ss tt"). Quoted text is the same in both; letters without a Windows counterpart are left out.
std::u16string PictureOf(const icu::UnicodeString& pattern) {
  const std::u16string icu = ToU16(pattern);
  std::u16string picture;
  for (size_t i = 0; i < icu.size();) {
    const char16_t letter = icu[i];
    if (letter == u'\'') {
      const size_t close = icu.find(u'\'', i + 1);
      const size_t end = close == std::u16string::npos ? icu.size() : close + 1;
      picture += icu.substr(i, end - i);
      i = end;
      continue;
    }
    size_t run = 1;
    while (i + run < icu.size() && icu[i + run] == letter) ++run;
    i += run;
    const auto repeat = [&](char16_t c, size_t count) { picture.append(count, c); };
    switch (letter) {
      case u'y': repeat(u'y', run == 2 ? 2 : 4); break;
      case u'M': case u'L': repeat(u'M', std::min<size_t>(run, 4)); break;
      case u'd': case u'H': case u'h': case u'm': case u's': repeat(letter, std::min<size_t>(run, 2)); break;
      case u'E': case u'c': case u'e': repeat(u'd', run >= 4 ? 4 : 3); break;
      case u'a': case u'b': case u'B': repeat(u't', 2); break;  // any day period: the designator
      default:
        if (!((letter >= u'a' && letter <= u'z') || (letter >= u'A' && letter <= u'Z'))) repeat(letter, run);
    }
  }
  return picture;
}

std::u16string PictureOf(const icu::Locale& locale, icu::DateFormat::EStyle dateStyle,
                         icu::DateFormat::EStyle timeStyle) {
  const std::unique_ptr<icu::DateFormat> format(icu::DateFormat::createDateTimeInstance(dateStyle, timeStyle, locale));
  const auto* simple = dynamic_cast<const icu::SimpleDateFormat*>(format.get());
  icu::UnicodeString pattern;
  if (simple) simple->toPattern(pattern);
  return PictureOf(pattern);
}

// The names as Windows gives them: months as they stand alone ("gener", not "de gener"; "Mär"), weekdays as
// written in a date ("Mo."). ICU has no user setting for the two-digit-year window: two-digit years mean 1950 to
// 2049.
LocaleNames NamesOf(const icu::Locale& locale, const icu::DateFormatSymbols& symbols) {
  using Symbols = icu::DateFormatSymbols;
  LocaleNames names;
  for (const auto width : {Symbols::WIDE, Symbols::ABBREVIATED}) {
    const bool abbreviated = width == Symbols::ABBREVIATED;
    int32_t count = 0;
    const icu::UnicodeString* months = symbols.getMonths(count, Symbols::STANDALONE, width);
    for (int32_t i = 0; i < std::min(count, 12); ++i) names.months[abbreviated][i] = ToU16(months[i]);
    // ICU's weekdays start at index 1, Sunday, as ours do.
    const icu::UnicodeString* weekdays = symbols.getWeekdays(count, Symbols::FORMAT, width);
    for (int32_t i = 1; i < std::min(count, 8); ++i) names.days[abbreviated][i - 1] = ToU16(weekdays[i]);
  }
  int32_t count = 0;
  const icu::UnicodeString* designators = symbols.getAmPmStrings(count);
  if (count >= 2) names.designators = {ToU16(designators[0]), ToU16(designators[1])};
  using Format = icu::DateFormat;
  names.pictures = {PictureOf(locale, Format::kShort, Format::kNone), PictureOf(locale, Format::kFull, Format::kNone),
                    PictureOf(locale, Format::kNone, Format::kMedium)};
  // The separator is what follows the short date's first field: "dd/MM/yyyy", "yyyy-MM-dd", "d.M.yy".
  const std::u16string& shortDate = names.pictures[0];
  const size_t afterField = shortDate.find_first_not_of(u"dMy");
  if (afterField != std::u16string::npos) names.dateSeparator = shortDate.substr(afterField, 1);
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
  return std::make_unique<NamedLocale>(NamesOf(locale, symbols));
}

}  // namespace marelco
