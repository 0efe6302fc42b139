// The date services: serial numbers over <chrono> civil days, Now, the conversions, DateAdd, the string functions.
#include <algorithm>
#include <cmath>
#include <ctime>

#include "dates/date_calendar.h"
#include "dates/runtime_error.h"

namespace marelco {

namespace calendar {

std::optional<DateTime> Split(Date date) {
  const double serial = date.serial;
  if (!std::isfinite(serial)) return std::nullopt;
  const double whole = std::trunc(serial);
  if (whole < DayNumber(kFirstDay) || whole > DayNumber(kLastDay)) return std::nullopt;
  // Below zero the sign belongs to the days only: the fraction is always the time of day.
  auto time = std::llround(std::fabs(serial - whole) * kSecondsPerDay);
  sys_days day = kEpoch + days{static_cast<long long>(whole)};
  if (time == kSecondsPerDay) {  // rounds up to midnight of the next day, or to the last second of the last
    time = day < kLastDay ? 0 : kSecondsPerDay - 1;
    day += days{day < kLastDay ? 1 : 0};
  }
  return DateTime{day, seconds{time}};
}

Date Join(const DateTime& dateTime) {
  const auto whole = static_cast<double>(DayNumber(dateTime.day));
  const double fraction = static_cast<double>(dateTime.time.count()) / kSecondsPerDay;
  return Date{whole < 0 ? whole - fraction : whole + fraction};
}

int WindowYear(int twoDigitYear, int twoDigitYearMax) {
  const int lowest = twoDigitYearMax - 99;
  return lowest + ((twoDigitYear - lowest) % 100 + 100) % 100;
}

}  // namespace calendar

using namespace calendar;

char16_t FoldCase(char16_t c) {
  auto shifted = [c](int by) { return static_cast<char16_t>(c + by); };
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? shifted(32) : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return shifted(32);
  if (c == 0x130) return u'i';
  if (c == 0x178) return 0xFF;
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c % 2 == 0) ? shifted(1) : c;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c % 2 == 1) ? shifted(1) : c;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return shifted(32);
  if (c == 0x3C2) return 0x3C3;
  if (c == 0x386) return 0x3AC;
  if (c >= 0x388 && c <= 0x38A) return shifted(37);
  if (c == 0x38C) return 0x3CC;
  if (c == 0x38E || c == 0x38F) return shifted(63);
  if (c >= 0x410 && c <= 0x42F) return shifted(32);
  if (c >= 0x400 && c <= 0x40F) return shifted(80);
  return c;
}

namespace {

std::u16string WithoutTrailingPeriod(std::u16string name) {
  if (name.size() > 1 && name.back() == u'.') name.pop_back();
  return name;
}

std::u16string Folded(std::u16string_view text) {
  std::u16string folded(text);
  std::transform(folded.begin(), folded.end(), folded.begin(), FoldCase);
  return folded;
}

// English month names are read in every locale.
const Locale& English() {
  static const std::unique_ptr<Locale> english = MakeLocale("en");
  return *english;
}

void AddNames(const Locale& locale, std::vector<DateServices::Names::Word>& words, bool withoutPeriod) {
  using Kind = DateServices::Names::Kind;
  const auto add = [&](std::u16string name, Kind kind, int number) {
    if (withoutPeriod) name = WithoutTrailingPeriod(std::move(name));
    if (!name.empty()) words.push_back({Folded(name), kind, number});
  };
  for (bool abbreviated : {false, true}) {
    for (int month = 1; month <= 12; ++month) add(locale.MonthName(month, abbreviated), Kind::Month, month);
  }
  for (bool abbreviated : {false, true}) {
    for (int weekday = 1; weekday <= 7; ++weekday) add(locale.DayName(weekday, abbreviated), Kind::Weekday, weekday);
  }
}

void Require(bool condition, ErrorNumber error) {
  if (!condition) throw RuntimeError(error);
}

}  // namespace

DateServices::Names::Names(const Locale& locale)
    : designators{locale.Designator(false), locale.Designator(true)},
      pictures{locale.DatePicture(Locale::Picture::ShortDate), locale.DatePicture(Locale::Picture::LongDate),
               locale.DatePicture(Locale::Picture::Time)},
      dateSeparator(locale.DateSeparator()),
      twoDigitYearMax(locale.TwoDigitYearMax()) {
  for (int weekday = 1; weekday <= 7; ++weekday) {
    days[weekday - 1] = locale.DayName(weekday, false);
    dayAbbreviations[weekday - 1] = WithoutTrailingPeriod(locale.DayName(weekday, true));
  }
  // A month's abbreviation keeps its period where without it it would be a day's ("mar." of marzo in Colombia,
  // where "mar" is martes), so that it reads back as the month.
  const auto isDayAbbreviation = [&](const std::u16string& name) {
    return std::any_of(dayAbbreviations.begin(), dayAbbreviations.end(),
                       [&](const std::u16string& day) { return Folded(day) == Folded(name); });
  };
  for (int month = 1; month <= 12; ++month) {
    months[month - 1] = locale.MonthName(month, false);
    const std::u16string abbreviation = locale.MonthName(month, true);
    const std::u16string bare = WithoutTrailingPeriod(abbreviation);
    monthAbbreviations[month - 1] = isDayAbbreviation(bare) ? abbreviation : bare;
  }
  AddNames(locale, words, false);
  for (int afternoon = 0; afternoon <= 1; ++afternoon) {
    if (!designators[afternoon].empty()) {
      words.push_back({Folded(designators[afternoon]), afternoon ? Kind::Afternoon : Kind::Morning, 0});
    }
  }
  AddNames(locale, words, true);
  AddNames(English(), words, false);
}

DateServices::DateServices(const Locale& locale, Clock now)
    : locale_(locale), now_(std::move(now)), names_(std::make_shared<const Names>(locale)) {}

Date DateServices::Now() const { return now_(); }

Date DateServices::LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  const year_month_day day{year{local.tm_year + 1900}, month{static_cast<unsigned>(local.tm_mon + 1)},
                           std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
  const auto time = hours{local.tm_hour} + minutes{local.tm_min} + seconds{std::min(local.tm_sec, 59)};
  return Join({sys_days{day}, time});
}

bool DateServices::IsDate(std::u16string_view text) const { return ParseDate(text, *names_, now_).has_value(); }

Date DateServices::ToDate(std::u16string_view text) const {
  const auto date = ParseDate(text, *names_, now_);
  Require(date.has_value(), ErrorNumber::TypeMismatch);
  return Join(*date);
}

int DateServices::Day(std::u16string_view text) const {
  const auto date = ParseDate(text, *names_, now_);
  Require(date.has_value(), ErrorNumber::TypeMismatch);
  return static_cast<int>(static_cast<unsigned>(year_month_day{date->day}.day()));
}

namespace {

DateTime AddMonths(const DateTime& start, long long count) {
  const year_month_day date{start.day};
  const long long monthIndex = static_cast<int>(date.year()) * 12LL + static_cast<unsigned>(date.month()) - 1 + count;
  const long long targetYear = monthIndex / 12;  // below zero it is 0 or less: out of range all the same
  Require(targetYear >= 100 && targetYear <= 9999, ErrorNumber::InvalidProcedureCall);
  const year_month target{year{static_cast<int>(targetYear)}, month{static_cast<unsigned>(monthIndex % 12 + 1)}};
  // A day that the target month lacks becomes its last day.
  const auto lastDay = year_month_day_last{target.year(), month_day_last{target.month()}}.day();
  return {sys_days{target / std::min(date.day(), lastDay)}, start.time};
}

DateTime AddDays(const DateTime& start, long long count) {
  const long long dayNumber = DayNumber(start.day) + count;
  Require(dayNumber >= DayNumber(kFirstDay) && dayNumber <= DayNumber(kLastDay), ErrorNumber::InvalidProcedureCall);
  return {kEpoch + days{dayNumber}, start.time};
}

}  // namespace

// The time of day stays.
Date DateServices::DateAdd(DateUnit unit, double count, Date date) const {
  const auto start = Split(date);
  // Beyond this count no unit stays within the supported dates.
  constexpr double kLargestCount = 1e12;
  Require(start.has_value() && std::isfinite(count) && std::fabs(count) < kLargestCount,
          ErrorNumber::InvalidProcedureCall);
  const long long steps = std::llround(count);
  switch (unit) {
    case DateUnit::Day: return Join(AddDays(*start, steps));
    case DateUnit::Month: return Join(AddMonths(*start, steps));
    case DateUnit::Year: return Join(AddMonths(*start, steps * 12));
  }
  throw RuntimeError(ErrorNumber::InvalidProcedureCall);  // no unit of ours
}

// String functions.

int InStr(int start, std::u16string_view text, std::u16string_view sought, int compare) {
  Require(start >= 1 && compare >= 0 && compare <= 2, ErrorNumber::InvalidProcedureCall);
  if (static_cast<size_t>(start) > text.size()) return 0;
  if (sought.empty()) return start;
  const auto equal = [compare](char16_t a, char16_t b) { return compare == 0 ? a == b : FoldCase(a) == FoldCase(b); };
  const auto rest = text.substr(static_cast<size_t>(start) - 1);
  const auto found = std::search(rest.begin(), rest.end(), sought.begin(), sought.end(), equal);
  return found == rest.end() ? 0 : start + static_cast<int>(found - rest.begin());
}

int Len(std::u16string_view text) { return static_cast<int>(text.size()); }

std::u16string Mid(std::u16string_view text, int start, int length) {
  Require(start >= 1 && length >= 0, ErrorNumber::InvalidProcedureCall);
  if (static_cast<size_t>(start) > text.size()) return {};
  return std::u16string(text.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(length)));
}

std::u16string String(int count, char16_t character) {
  Require(count >= 0, ErrorNumber::InvalidProcedureCall);
  return std::u16string(static_cast<size_t>(count), character);
}

}  // namespace marelco
