// A locale as a table of names read once from the platform (ICU natively, the Windows locale functions in the
// Windows builds); each platform only fills the table.
#pragma once

#include <array>
#include <string>
#include <utility>

#include "dates/date_services.h"
#include "dates/runtime_error.h"

namespace marelco {

struct LocaleNames {
  std::array<std::array<std::u16string, 12>, 2> months;  // [abbreviated][month - 1]
  std::array<std::array<std::u16string, 7>, 2> days;     // [abbreviated][weekday - 1], weekday 1 is Sunday
  std::array<std::u16string, 2> designators{u"AM", u"PM"};  // [afternoon]
  std::u16string dateSeparator = u"/";
  std::array<std::u16string, 3> pictures{u"dd/MM/yyyy", u"dddd, d MMMM yyyy", u"HH:mm:ss"};  // by Locale::Picture
  int twoDigitYearMax = 2049;
};

class NamedLocale final : public Locale {
 public:
  explicit NamedLocale(LocaleNames names) : names_(std::move(names)) {}

  std::u16string MonthName(int month, bool abbreviated) const override {
    if (month < 1 || month > 12) throw RuntimeError(ErrorNumber::InvalidProcedureCall);
    return names_.months[abbreviated][month - 1];
  }

  std::u16string DayName(int weekday, bool abbreviated) const override {
    if (weekday < 1 || weekday > 7) throw RuntimeError(ErrorNumber::InvalidProcedureCall);
    return names_.days[abbreviated][weekday - 1];
  }

  std::u16string Designator(bool afternoon) const override { return names_.designators[afternoon]; }
  std::u16string DateSeparator() const override { return names_.dateSeparator; }
  std::u16string DatePicture(Picture picture) const override { return names_.pictures[static_cast<int>(picture)]; }
  int TwoDigitYearMax() const override { return names_.twoDigitYearMax; }

 private:
  LocaleNames names_;
};

}  // namespace marelco
