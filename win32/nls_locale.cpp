// Month and day names and the two-digit-year window from the Windows locale functions.
#include <windows.h>

#include <array>
#include <string>

#include "control/platform/date_services.h"
#include "control/platform/runtime_error.h"

namespace marelco {

namespace {

class NlsLocale final : public Locale {
 public:
  // An empty name is the user's locale.
  explicit NlsLocale(const std::wstring& name) : name_(name) {
    for (int month = 1; month <= 12; ++month) {
      // Genitive names are the ones used next to a day ("15 de septiembre"); locales without them give the
      // ordinary names.
      months_[0][month - 1] = Info(LOCALE_SMONTHNAME1 + month - 1, true);
      months_[1][month - 1] = Info(LOCALE_SABBREVMONTHNAME1 + month - 1, true);
    }
    for (int weekday = 1; weekday <= 7; ++weekday) {
      // LOCALE_SDAYNAME1 is Monday; our weekday 1 is Sunday.
      const int offset = (weekday + 5) % 7;
      days_[0][weekday - 1] = Info(LOCALE_SDAYNAME1 + offset, false);
      days_[1][weekday - 1] = Info(LOCALE_SABBREVDAYNAME1 + offset, false);
    }
    DWORD value = 0;
    if (GetCalendarInfoEx(LocaleName(), CAL_GREGORIAN, nullptr, CAL_ITWODIGITYEARMAX | CAL_RETURN_NUMBER, nullptr,
                          0, &value) &&
        value >= 99 && value <= 9999) {
      twoDigitYearMax_ = static_cast<int>(value);
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

  int TwoDigitYearMax() const override { return twoDigitYearMax_; }

 private:
  const wchar_t* LocaleName() const { return name_.empty() ? LOCALE_NAME_USER_DEFAULT : name_.c_str(); }

  std::u16string Info(LCTYPE type, bool genitive) const {
    wchar_t buffer[128];
    int length = genitive ? GetLocaleInfoEx(LocaleName(), type | LOCALE_RETURN_GENITIVE_NAMES, buffer, 128) : 0;
    if (length == 0) length = GetLocaleInfoEx(LocaleName(), type, buffer, 128);
    if (length == 0) throw RuntimeError(ErrorNumber::InvalidProcedureCall);
    return std::u16string(buffer, buffer + length - 1);  // without the terminating null
  }

  std::wstring name_;
  std::array<std::array<std::u16string, 12>, 2> months_;
  std::array<std::array<std::u16string, 7>, 2> days_;
  int twoDigitYearMax_ = 2049;
};

}  // namespace

// Names take the Windows form "es-ES"; "es_ES" is read as the same. A name Windows does not know is refused with
// an invalid procedure call.
std::unique_ptr<Locale> MakeLocale(std::string_view name) {
  std::wstring wide;
  for (char c : name) wide += static_cast<wchar_t>(c == '_' ? '-' : c);
  if (!wide.empty() && !IsValidLocaleName(wide.c_str())) throw RuntimeError(ErrorNumber::InvalidProcedureCall);
  return std::make_unique<NlsLocale>(wide);
}

}  // namespace marelco
