// The date, format and string services of the control's run time: ours, over <chrono> civil-calendar
// arithmetic, with month and day names from the platform's locale.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

namespace marelco {

// An OLE Automation date: days since 30 December 1899, the time of day as the fraction. Below zero the
// sign belongs to the whole days only (-1.25 is 29 December 1899, 06:00). Supported: 1 January 100 to
// 31 December 9999.
struct Date {
  double serial = 0;
  friend bool operator==(Date, Date) = default;
};

// The units that DateAdd counts in.
enum class DateUnit { Day, Month, Year };

// A value handed to Format: a date, a number, or a text (formatted as a date when it reads as one).
using FormatValue = std::variant<Date, double, std::u16string>;

// Names and settings of one locale, as the platform gives them.
class Locale {
 public:
  // The locale's own ways of writing a whole date or time, as Windows date and time pictures
  // ("dd/MM/yyyy", "dddd, d MMMM yyyy", "HH:mm:ss").
  enum class Picture { ShortDate, LongDate, Time };

  virtual ~Locale() = default;
  virtual std::u16string MonthName(int month, bool abbreviated) const = 0;  // month 1 to 12
  virtual std::u16string DayName(int weekday, bool abbreviated) const = 0;  // weekday 1 (Sunday) to 7
  virtual std::u16string Designator(bool afternoon) const = 0;              // "AM", "PM", "a. m."
  virtual std::u16string DateSeparator() const = 0;                         // "/", "."
  virtual std::u16string DatePicture(Picture picture) const = 0;
  virtual int TwoDigitYearMax() const = 0;  // two-digit years fall into [max - 99, max]
};

// The platform's locale of that name ("en", "es"); an empty name is the user's locale. ICU natively,
// the Windows locale functions in the Windows builds.
std::unique_ptr<Locale> MakeLocale(std::string_view name);

class DateServices {
 public:
  using Clock = std::function<Date()>;

  explicit DateServices(const Locale& locale, Clock now = LocalNow);

  Date Now() const;
  bool IsDate(std::u16string_view text) const;
  Date ToDate(std::u16string_view text) const;  // type mismatch (13) when the text is no date
  int Day(std::u16string_view text) const;
  // The count is rounded to a whole number; invalid procedure call (5) for a result outside the supported dates
  Date DateAdd(DateUnit unit, double count, Date date) const;
  // Weeks start on firstDayOfWeek (1 is Sunday, 7 Saturday); week 1 of a year is the week of 1 January (1), the
  // first with four days (2) or the first whole week (3). 0 stands for 1 in both, as does leaving them out, which
  // is how the control formats.
  std::u16string Format(const FormatValue& value, std::u16string_view format, int firstDayOfWeek = 1,
                        int firstWeekOfYear = 1) const;

  const Locale& locale() const { return locale_; }

  static Date LocalNow();

  struct Names;  // the locale's names, read once, as Format writes and ToDate reads them

 private:
  const Locale& locale_;
  Clock now_;
  std::shared_ptr<const Names> names_;
};

// String functions of the run time; positions are 1-based, 0 meaning "not found".
int InStr(int start, std::u16string_view text, std::u16string_view sought, int compare = 0);
int Len(std::u16string_view text);
std::u16string Mid(std::u16string_view text, int start, int length);
std::u16string String(int count, char16_t character);

}  // namespace marelco
