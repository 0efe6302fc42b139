// Inner workings shared by the date services: serial numbers and civil dates, case folding, the locale's names.
#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dates/date_services.h"

namespace marelco {

namespace calendar {

using namespace std::chrono;

inline constexpr sys_days kEpoch{year{1899} / December / 30};
inline constexpr sys_days kFirstDay{year{100} / January / 1};
inline constexpr sys_days kLastDay{year{9999} / December / 31};
inline constexpr long long kSecondsPerDay = 86400;

// A supported date split into its calendar day and its time of day, whole seconds.
struct DateTime {
  sys_days day;
  seconds time{};  // 0 to 86399
};

// Days since the epoch of a calendar day; below zero for days before 30 December 1899.
inline long long DayNumber(sys_days day) { return (day - kEpoch).count(); }
inline bool IsSupported(sys_days day) { return day >= kFirstDay && day <= kLastDay; }

// The day and time of a serial, rounded to the second; nothing for NaN, infinities and unsupported dates.
std::optional<DateTime> Split(Date date);
Date Join(const DateTime& dateTime);

// The year that a year written with one or two digits stands for, within [max - 99, max].
int WindowYear(int twoDigitYear, int twoDigitYearMax);

}  // namespace calendar

// Simple case folding of one UTF-16 unit: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic letters.
char16_t FoldCase(char16_t c);

struct DateServices::Names {
  explicit Names(const Locale& locale);

  // As Format writes them; an abbreviation loses the period that some locales end it with, unless a month's would
  // then be a day's.
  std::array<std::u16string, 12> months, monthAbbreviations;
  std::array<std::u16string, 7> days, dayAbbreviations;  // index 0 is Sunday
  std::array<std::u16string, 2> designators;             // [afternoon]
  std::array<std::u16string, 3> pictures;                // by Locale::Picture
  std::u16string dateSeparator;
  int twoDigitYearMax;

  // Case-folded words that ToDate reads, with the month (1 to 12) or weekday (1 is Sunday) they name.
  enum class Kind { Month, Weekday, Morning, Afternoon };
  struct Word {
    std::u16string folded;
    Kind kind;
    int number;
  };
  // The run time's words first, in the order it tries them: the locale's full and abbreviated month names, its
  // full and abbreviated day names, its two designators. Then words of our own: abbreviations without their
  // period, and the English names.
  std::vector<Word> words;
};

// The present year of the clock; nothing when the clock gives no supported date.
std::optional<int> PresentYear(const DateServices::Clock& now);

// The date a text stands for as the platform's run time reads it; nothing when it reads none.
std::optional<calendar::DateTime> ReadAsRunTime(std::u16string_view text, const DateServices::Names& names,
                                               const DateServices::Clock& now);

// The date a text stands for; nothing when it is no date. A text without a year means the year of `now`.
std::optional<calendar::DateTime> ParseDate(std::u16string_view text, const DateServices::Names& names,
                                            const DateServices::Clock& now);

}  // namespace marelco
