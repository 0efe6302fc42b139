// Month and day names, designators, pictures and the two-digit-year window from the Windows locale functions.
#include <windows.h>

#include <string>

#include "dates/locale_names.h"

namespace marelco {

namespace {

// One item of the locale; an empty name is the user's locale. Month names are the ordinary ones, not the genitive
// forms of some languages ("de gener" in Catalan): the platform's run time reads and writes the ordinary ones.
std::u16string Info(const wchar_t* locale, LCTYPE type) {
  wchar_t buffer[128];
  const int length = GetLocaleInfoEx(locale, type, buffer, 128);
  if (length == 0) throw RuntimeError(ErrorNumber::InvalidProcedureCall);
  return std::u16string(buffer, buffer + length - 1);  // without the terminating null
}

LocaleNames NamesOf(const std::wstring& name) {
  const wchar_t* locale = name.empty() ? LOCALE_NAME_USER_DEFAULT : name.c_str();
  LocaleNames names;
  for (int month = 1; month <= 12; ++month) {
    names.months[0][month - 1] = Info(locale, LOCALE_SMONTHNAME1 + month - 1);
    names.months[1][month - 1] = Info(locale, LOCALE_SABBREVMONTHNAME1 + month - 1);
  }
  for (int weekday = 1; weekday <= 7; ++weekday) {
    // LOCALE_SDAYNAME1 is Monday; our weekday 1 is Sunday.
    const int offset = (weekday + 5) % 7;
    names.days[0][weekday - 1] = Info(locale, LOCALE_SDAYNAME1 + offset);
    names.days[1][weekday - 1] = Info(locale, LOCALE_SABBREVDAYNAME1 + offset);
  }
  names.designators = {Info(locale, LOCALE_S1159), Info(locale, LOCALE_S2359)};
  names.dateSeparator = Info(locale, LOCALE_SDATE);
  names.pictures = {Info(locale, LOCALE_SSHORTDATE), Info(locale, LOCALE_SLONGDATE), Info(locale, LOCALE_STIMEFORMAT)};
  DWORD value = 0;
  if (GetCalendarInfoEx(locale, CAL_GREGORIAN, nullptr, CAL_ITWODIGITYEARMAX | CAL_RETURN_NUMBER, nullptr, 0,
                        &value) &&
      value >= 99 && value <= 9999) {
    names.twoDigitYearMax = static_cast<int>(value);
  }
  return names;
}

}  // namespace

// Names take the Windows form "es-ES"; "es_ES" is read as the same. A name Windows does not know is refused with
// an invalid procedure call.
std::unique_ptr<Locale> MakeLocale(std::string_view name) {
  std::wstring wide;
  for (char c : name) wide += static_cast<wchar_t>(c == '_' ? '-' : c);
  if (!wide.empty() && !IsValidLocaleName(wide.c_str())) throw RuntimeError(ErrorNumber::InvalidProcedureCall);
  return std::make_unique<NamedLocale>(NamesOf(wide));
}

}  // namespace marelco
