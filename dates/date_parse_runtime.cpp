// Reading a text as a date as the platform's run time reads it (VarDateFromStr with a day-month-year locale).
//
// - The text is cut into at most six numbers and words; blanks and commas between them are ignored. A word is a
//   month name, a day name or an AM/PM designator of the locale (matched at the start of the rest of the text, in
//   any letter case, the first that fits in that order), or "a"/"p" after a number. Day names are ignored.
// - ":" and "." after a number make it a part of the time of day; "/" and "-" (at most two) separate the date.
// - Which numbers are the time (hours, minutes, optionally seconds, before or after the date) follows from where
//   the time separators stand; a lone number with AM/PM is an hour. The rest, two or three numbers, is the date.
// - Numbers are read as day, month, year; when that is no date, in the order year, month, day; then in any order
//   that gives one. A month name fixes the month. Two numbers without a month name that can be no day and month
//   are a month and a year, on the first day. A missing year is the present one; a year of 0 to 99 falls into the
//   locale's two-digit-year window. A time alone is on 30 December 1899.
// Our own words come after the run time's: abbreviations without their period, and the English names.

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "dates/date_calendar.h"

namespace marelco {

using namespace calendar;

std::optional<int> PresentYear(const DateServices::Clock& now) {
  const auto today = Split(now());
  if (!today) return std::nullopt;
  return static_cast<int>(year_month_day{today->day}.year());
}

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

using Kind = DateServices::Names::Kind;

// What the run time takes for blanks between fields.
bool IsRunTimeBlank(char16_t c) {
  return c == u' ' || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

enum Meridiem { kNoMeridiem, kMorning, kAfternoon };

struct TokenField {
  uint32_t value = 0;  // as many digits as written, saturating at 2^32 - 1
  bool monthName = false;
  bool timeSeparated = false;  // followed by ":" or "."
  Meridiem meridiem = kNoMeridiem;  // AM/PM written right after it
};

// The numbers and month names of a text; fields beyond `count` stay 0.
struct Tokens {
  static constexpr int kMaxFields = 6;
  std::array<TokenField, kMaxFields> fields{};
  int count = 0;
  Meridiem meridiem = kNoMeridiem;

  uint32_t Value(int i) const { return fields[static_cast<size_t>(i)].value; }
  bool MonthName(int i) const { return fields[static_cast<size_t>(i)].monthName; }
  bool AnyMeridiem(std::initializer_list<int> indices) const {
    return std::any_of(indices.begin(), indices.end(),
                       [&](int i) { return fields[static_cast<size_t>(i)].meridiem != kNoMeridiem; });
  }
  bool Add(TokenField field) {
    if (count == kMaxFields) return false;
    fields[static_cast<size_t>(count++)] = field;
    return true;
  }
  bool SetMeridiem(Meridiem half) {
    if (count == 0 || meridiem != kNoMeridiem) return false;
    fields[static_cast<size_t>(count - 1)].meridiem = meridiem = half;
    return true;
  }
};

// The first word, in the order of the list, that the text continues with.
const DateServices::Names::Word* WordAt(std::u16string_view rest, const std::vector<DateServices::Names::Word>& words) {
  for (const auto& word : words) {
    if (word.folded.size() <= rest.size() &&
        std::equal(word.folded.begin(), word.folded.end(), rest.begin(),
                   [](char16_t folded, char16_t c) { return folded == FoldCase(c); })) {
      return &word;
    }
  }
  return nullptr;
}

std::optional<Tokens> Tokenize(std::u16string_view text, const DateServices::Names& names) {
  Tokens tokens;
  int dateSeparators = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const bool last = i + 1 == text.size();
    bool ok = true;
    if (IsDigit(c)) {
      uint64_t value = 0;
      for (; i < text.size() && IsDigit(text[i]); ++i) value = std::min<uint64_t>(value * 10 + (text[i] - u'0'), UINT32_MAX);
      --i;
      ok = tokens.Add({static_cast<uint32_t>(value)});
    } else if (c == u':' || c == u'.') {
      ok = tokens.count > 0 && !last;
      if (ok && !names.dateSeparator.empty() && c == names.dateSeparator.front()) {
        ok = ++dateSeparators <= 2;
      } else if (ok) {
        tokens.fields[static_cast<size_t>(tokens.count - 1)].timeSeparated = true;
      }
    } else if (c == u'/' || c == u'-') {
      ok = ++dateSeparators <= 2 && tokens.count > 0 && !last;
    } else if (c == u',') {
      ok = !last;
    } else if (IsRunTimeBlank(c)) {
    } else if (const auto* word = WordAt(text.substr(i), names.words)) {
      i += word->folded.size() - 1;
      if (word->kind == Kind::Month) ok = tokens.Add({static_cast<uint32_t>(word->number), true});
      if (word->kind == Kind::Morning || word->kind == Kind::Afternoon) {
        ok = tokens.SetMeridiem(word->kind == Kind::Morning ? kMorning : kAfternoon);
      }
    } else {
      // "a" and "p" stand for AM and PM after a number. The run time takes the character after them as part of
      // them, whatever it is ("7a." is 7 AM).
      const char16_t letter = FoldCase(c);
      ok = (letter == u'a' || letter == u'p') && tokens.SetMeridiem(letter == u'a' ? kMorning : kAfternoon);
      ++i;
    }
    if (!ok) return std::nullopt;
  }
  return tokens;
}

// Where the date's fields start among the tokens, how many there are, and the time of day.
struct Layout {
  int first = 0;
  int count = 0;
  uint32_t hour = 0, minute = 0, second = 0;
};

// A text without time separators: two or three date fields, the hour of an AM/PM before or after them, or an
// hour alone.
std::optional<Layout> LayoutWithoutTimeSeparators(const Tokens& t) {
  const int n = t.count;
  const bool meridiem = t.meridiem != kNoMeridiem;
  if (n == 1 && meridiem) return Layout{0, 0, t.Value(0)};
  if (n > 4 || (n < 3 && meridiem)) return std::nullopt;
  if (n == 3 && meridiem) {
    if (t.AnyMeridiem({0})) return Layout{1, 2, t.Value(0)};
    if (t.AnyMeridiem({2})) return Layout{0, 2, t.Value(2)};
    return std::nullopt;
  }
  if (n == 4) {
    if (t.AnyMeridiem({0})) return Layout{1, 3, t.Value(0)};
    if (t.AnyMeridiem({3})) return Layout{0, 3, t.Value(3)};
    return std::nullopt;
  }
  return Layout{0, n};
}

// The fields followed by a time separator decide which numbers are the time.
std::optional<Layout> LayoutOf(const Tokens& t) {
  const int n = t.count;
  if (n == 0 || (n == 1 && t.meridiem == kNoMeridiem)) return std::nullopt;
  unsigned timeFields = 0;
  for (int i = 0; i < 5; ++i) timeFields |= static_cast<unsigned>(t.fields[static_cast<size_t>(i)].timeSeparated) << i;
  switch (timeFields) {
    case 0b00000: return LayoutWithoutTimeSeparators(t);
    case 0b00001:  // hh:mm, alone or before a date
      if (t.AnyMeridiem({2, 3, 4}) || (n != 2 && n != 4 && n != 5)) return std::nullopt;
      return Layout{2, n - 2, t.Value(0), t.Value(1)};
    case 0b00011:  // hh:mm:ss, alone or before a date
      if (t.AnyMeridiem({3, 4, 5}) || (n != 3 && n != 5 && n != 6)) return std::nullopt;
      return Layout{3, n - 3, t.Value(0), t.Value(1), t.Value(2)};
    case 0b00100:  // two date fields, hh:mm
      if (n != 4 || t.AnyMeridiem({0, 1})) return std::nullopt;
      return Layout{0, 2, t.Value(2), t.Value(3)};
    case 0b01100:  // two date fields, hh:mm:ss
      if (n != 5 || t.AnyMeridiem({0, 1})) return std::nullopt;
      return Layout{0, 2, t.Value(2), t.Value(3), t.Value(4)};
    case 0b01000:  // three date fields, hh:mm
      if (n != 5 || t.AnyMeridiem({0, 1, 2})) return std::nullopt;
      return Layout{0, 3, t.Value(3), t.Value(4)};
    case 0b11000:  // three date fields, hh:mm:ss
      if (t.AnyMeridiem({0, 1, 2})) return std::nullopt;
      return Layout{0, n - 3, t.Value(3), t.Value(4), t.Value(5)};
    default: return std::nullopt;
  }
}

bool IsLeap(uint32_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

bool IsMonthDay(uint32_t day, uint32_t month, uint32_t year) {
  static constexpr uint32_t kDays[] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return day != 0 && month != 0 && month <= 12 && (day <= kDays[month] || (month == 2 && day == 29 && IsLeap(year)));
}

// The orders in which the date's numbers may stand.
enum Order : unsigned { kMDY = 1, kYMD = 2, kYDM = 4, kDMY = 8, kMYD = 16 };

struct DayMonthYear {
  uint32_t day, month, year;
};

// The first order that makes a date of a, b and c: day-month-year first, then the orders that keep the day before
// the month or the year first, then any. An order that fails is not tried again.
std::optional<DayMonthYear> FirstValidOrder(unsigned orders, uint32_t a, uint32_t b, uint32_t c) {
  static constexpr Order kSequence[] = {kMDY, kYMD, kYDM, kDMY, kMYD};
  for (int pass = 0; orders != 0; ++pass) {
    const unsigned trying = pass == 0 ? orders & kDMY : pass == 1 ? orders & ~(kMDY | kYDM | kMYD) : orders;
    for (const Order order : kSequence) {
      if (!(trying & order)) continue;
      const DayMonthYear date = order == kMDY   ? DayMonthYear{b, a, c}
                                : order == kYMD ? DayMonthYear{c, b, a}
                                : order == kYDM ? DayMonthYear{b, c, a}
                                : order == kDMY ? DayMonthYear{a, b, c}
                                                : DayMonthYear{c, a, b};
      if (IsMonthDay(date.day, date.month, date.year)) return date;
      orders &= ~order;
    }
  }
  return std::nullopt;
}

std::optional<DayMonthYear> ChooseDate(const Tokens& t, const Layout& layout, const DateServices::Clock& now) {
  if (layout.count == 0) return DayMonthYear{30, 12, 1899};
  const int first = layout.first;
  const bool three = layout.count == 3;
  const auto presentYear = three ? std::optional<int>(0) : PresentYear(now);
  if (!presentYear) return std::nullopt;
  const uint32_t a = t.Value(first), b = t.Value(first + 1);
  const uint32_t c = three ? t.Value(first + 2) : static_cast<uint32_t>(*presentYear);
  unsigned orders = kMDY | kDMY | (three ? kYMD | kYDM : 0u);
  if (t.MonthName(first)) {
    orders = kMDY;
  } else if (t.MonthName(first + 1)) {
    orders = kDMY | (three ? kYMD : 0u);
  } else if (three && t.MonthName(first + 2)) {
    orders = kYDM;
  }
  if (const auto date = FirstValidOrder(orders, a, b, c)) return date;
  // Two numbers that are no day and month: a month and a year, on the first of the month.
  if (!three) return FirstValidOrder(kYMD | kMYD, a, b, 1);
  return std::nullopt;
}

}  // namespace

std::optional<DateTime> ReadAsRunTime(std::u16string_view text, const DateServices::Names& names,
                                      const DateServices::Clock& now) {
  const auto tokens = Tokenize(text, names);
  if (!tokens) return std::nullopt;
  const auto layout = LayoutOf(*tokens);
  if (!layout || layout->hour > 23 || layout->minute > 59 || layout->second > 59) return std::nullopt;
  const auto date = ChooseDate(*tokens, *layout, now);
  if (!date || date->year > 9999) return std::nullopt;
  const int yearNumber = date->year <= 99 ? WindowYear(static_cast<int>(date->year), names.twoDigitYearMax)
                                          : static_cast<int>(date->year);
  const year_month_day day{year{yearNumber}, month{date->month}, std::chrono::day{date->day}};
  if (!day.ok() || !IsSupported(sys_days{day})) return std::nullopt;
  uint32_t hour = layout->hour;
  if (hour < 12 && tokens->meridiem == kAfternoon) hour += 12;
  if (hour == 12 && tokens->meridiem == kMorning) hour = 0;
  return DateTime{sys_days{day}, std::chrono::hours{hour} + minutes{layout->minute} + seconds{layout->second}};
}

}  // namespace marelco
