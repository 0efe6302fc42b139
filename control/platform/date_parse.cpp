// Reading a text as a date: first as the platform's run time reads it, then, for texts it reads as no date, as a
// person writing a day, a month and a year would mean it.
//
// The run time's reading (ReadAsRunTime):
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
//
// The natural reading (ReadNaturalDate), for what the run time refuses:
// - A date is two or three fields, optionally followed by a time of day; blanks around the text are ignored.
// - Fields are numbers or a month name, separated by blanks and at most one of "/", "-", "." or "," (the
//   separators may differ: "7/3-2001" is read). A month name is the locale's or English, full or abbreviated,
//   in any letter case, with or without a period after an abbreviation ("sept.", "Sep").
// - Numeric fields are read as day, month, year: "7.3.2001" is 7 March 2001. A first field of three or four
//   digits is the year, and the order is then year, month, day.
// - With a month name, the numbers are the day and the year, in that order unless the first has three or four
//   digits: "15-Sep.-2026", "2001 Mar. 7".
// - A missing year is the present year; a month name with a year alone means the first day.
// - A day or month has one or two digits, a year one to four; a year of one or two digits falls into the
//   locale's two-digit-year window, one of three or four digits is taken as written.
// - A weekday name may come first, and must then be the date's own.
// - The time of day follows the date after a blank: hours and minutes, optionally seconds, separated by ":",
//   optionally followed by AM/PM or A/P.
//
// Either way the date must exist (no 31/02, no 29/02 of a common year) and lie between 1 January 100 and
// 31 December 9999.
#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "control/platform/date_calendar.h"

namespace marelco {

using namespace calendar;

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == 0xA0; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsFieldSeparator(char16_t c) { return c == u'/' || c == u'-' || c == u'.' || c == u','; }
// Whatever may follow a word or a number: not a letter.
bool EndsWord(char16_t c) { return IsBlank(c) || IsDigit(c) || IsFieldSeparator(c) || c == u':'; }

struct Field {
  int value = 0;
  int digits = 0;  // 0 for a month name
  int month = 0;   // the month of a month name
};

class Reader {
 public:
  explicit Reader(std::u16string_view text) : text_(text) {}

  bool AtEnd() const { return position_ == text_.size(); }
  size_t position() const { return position_; }
  void Rewind(size_t position) { position_ = position; }

  bool SkipBlanks() {
    const size_t start = position_;
    while (!AtEnd() && IsBlank(text_[position_])) ++position_;
    return position_ > start;
  }

  bool Skip(char16_t c) {
    if (AtEnd() || text_[position_] != c) return false;
    ++position_;
    return true;
  }

  // Blanks and at most one separator character between two fields; a month name may carry a period.
  bool SkipFieldSeparator(bool afterMonthName) {
    const size_t start = position_;
    if (afterMonthName) Skip(u'.');
    SkipBlanks();
    if (!AtEnd() && IsFieldSeparator(text_[position_])) {
      ++position_;
      SkipBlanks();
    }
    return position_ > start;
  }

  // A run of at most maxDigits digits followed by no letter; a date field is not followed by ":" either.
  std::optional<Field> ReadNumber(int maxDigits, bool colonMayFollow = false) {
    const size_t start = position_;
    Field field;
    while (!AtEnd() && IsDigit(text_[position_]) && field.digits <= maxDigits) {
      field.value = field.value * 10 + (text_[position_++] - u'0');
      ++field.digits;
    }
    const bool ends = AtEnd() || (EndsWord(text_[position_]) && (colonMayFollow || text_[position_] != u':'));
    if (field.digits == 0 || field.digits > maxDigits || !ends) {
      position_ = start;
      return std::nullopt;
    }
    return field;
  }

  // The number of the longest name of that kind that the text continues with, as a whole word; 0 when there
  // is none.
  int ReadName(const std::vector<DateServices::Names::Word>& words, DateServices::Names::Kind kind) {
    const std::u16string_view rest = text_.substr(position_);
    if (rest.empty()) return 0;
    const char16_t first = FoldCase(rest[0]);
    const DateServices::Names::Word* best = nullptr;
    for (const auto& word : words) {
      const size_t length = word.folded.size();
      if (word.kind != kind || word.folded[0] != first || length > rest.size() ||
          (best && length <= best->folded.size())) {
        continue;
      }
      if (length < rest.size() && !EndsWord(rest[length])) continue;
      if (std::equal(word.folded.begin(), word.folded.end(), rest.begin(),
                     [](char16_t folded, char16_t c) { return folded == FoldCase(c); })) {
        best = &word;
      }
    }
    if (!best) return 0;
    position_ += best->folded.size();
    return best->number;
  }

  // "AM", "PM", "A" or "P" as a whole word, any case: 0 for none, 1 for the morning, 2 for the afternoon.
  int ReadMeridiem() {
    if (AtEnd()) return 0;
    const char16_t first = FoldCase(text_[position_]);
    if (first != u'a' && first != u'p') return 0;
    size_t length = 1;
    if (position_ + 1 < text_.size() && FoldCase(text_[position_ + 1]) == u'm') length = 2;
    if (position_ + length < text_.size() && !EndsWord(text_[position_ + length])) return 0;
    position_ += length;
    return first == u'a' ? 1 : 2;
  }

 private:
  std::u16string_view text_;
  size_t position_ = 0;
};

std::optional<seconds> ReadTime(Reader& reader) {
  const auto hour = reader.ReadNumber(2, true);
  if (!hour || !reader.Skip(u':')) return std::nullopt;
  const auto minute = reader.ReadNumber(2, true);
  if (!minute) return std::nullopt;
  Field second;
  if (reader.Skip(u':')) {
    const auto read = reader.ReadNumber(2, true);
    if (!read) return std::nullopt;
    second = *read;
  }
  reader.SkipBlanks();
  const int meridiem = reader.ReadMeridiem();
  int hours = hour->value;
  if (meridiem) {
    if (hours > 12) return std::nullopt;
    hours = hours % 12 + (meridiem == 2 ? 12 : 0);
  }
  if (hours > 23 || minute->value > 59 || second.value > 59) return std::nullopt;
  return std::chrono::hours{hours} + minutes{minute->value} + seconds{second.value};
}

// The present year, asked of the clock only when a text has no year.
std::optional<int> PresentYear(const DateServices::Clock& now) {
  const auto today = Split(now());
  if (!today) return std::nullopt;
  return static_cast<int>(year_month_day{today->day}.year());
}

struct DateFields {
  std::array<Field, 3> fields;
  int count = 0;
};

DateFields ReadDateFields(Reader& reader, const DateServices::Names& names) {
  DateFields date;
  size_t end = reader.position();
  for (;;) {
    auto field = reader.ReadNumber(4);
    if (!field) {
      const int month = reader.ReadName(names.words, DateServices::Names::Kind::Month);
      if (month == 0) break;
      field = Field{0, 0, month};
    }
    date.fields[date.count++] = *field;
    end = reader.position();
    if (date.count == 3 || !reader.SkipFieldSeparator(field->month != 0)) break;
  }
  reader.Rewind(end);
  return date;
}

// Day, month and year of the fields as the comment at the top of this file orders them.
std::optional<year_month_day> Arrange(const DateFields& date, const DateServices::Names& names,
                                      const DateServices::Clock& now) {
  int month = 0;
  std::array<Field, 3> numbers;
  int count = 0;
  for (int i = 0; i < date.count; ++i) {
    const Field& field = date.fields[i];
    if (field.month == 0) {
      numbers[count++] = field;
    } else if (month == 0) {
      month = field.month;
    } else {
      return std::nullopt;  // two month names
    }
  }
  Field day, year;
  bool yearGiven = true;
  if (month != 0 && count == 2) {
    const bool yearFirst = numbers[0].digits >= 3;
    year = numbers[yearFirst ? 0 : 1];
    day = numbers[yearFirst ? 1 : 0];
  } else if (month != 0 && count == 1) {
    yearGiven = numbers[0].digits >= 3;
    (yearGiven ? year : day) = numbers[0];
    if (yearGiven) day = Field{1, 1};
  } else if (month == 0 && count == 3) {
    const bool yearFirst = numbers[0].digits >= 3;
    year = numbers[yearFirst ? 0 : 2];
    month = numbers[1].value;
    day = numbers[yearFirst ? 2 : 0];
    if (numbers[1].digits > 2) return std::nullopt;
  } else if (month == 0 && count == 2) {
    day = numbers[0];
    month = numbers[1].value;
    yearGiven = false;
    if (numbers[1].digits > 2) return std::nullopt;
  } else {
    return std::nullopt;
  }
  if (day.digits > 2) return std::nullopt;
  int yearNumber = year.value;
  if (!yearGiven) {
    const auto present = PresentYear(now);
    if (!present) return std::nullopt;
    yearNumber = *present;
  } else if (year.digits <= 2) {
    yearNumber = WindowYear(year.value, names.twoDigitYearMax);
  }
  const year_month_day result{std::chrono::year{yearNumber}, std::chrono::month{static_cast<unsigned>(month)},
                              std::chrono::day{static_cast<unsigned>(day.value)}};
  if (!result.ok() || !IsSupported(sys_days{result})) return std::nullopt;
  return result;
}

// The date and the optional time of day from the reader's position to the end of the text.
std::optional<DateTime> ReadDateAndTime(Reader& reader, const DateServices::Names& names,
                                        const DateServices::Clock& now) {
  const DateFields fields = ReadDateFields(reader, names);
  if (fields.count < 2) return std::nullopt;
  const bool blank = reader.SkipBlanks();
  seconds time{0};
  if (!reader.AtEnd()) {
    if (!blank) return std::nullopt;
    const auto read = ReadTime(reader);
    if (!read) return std::nullopt;
    time = *read;
    reader.SkipBlanks();
    if (!reader.AtEnd()) return std::nullopt;
  }
  const auto date = Arrange(fields, names, now);
  if (!date) return std::nullopt;
  return DateTime{sys_days{*date}, time};
}

// The run time's reading.

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
  std::array<TokenField, 7> fields{};
  int count = 0;
  Meridiem meridiem = kNoMeridiem;

  uint32_t Value(int i) const { return fields[static_cast<size_t>(i)].value; }
  bool MonthName(int i) const { return fields[static_cast<size_t>(i)].monthName; }
  bool AnyMeridiem(std::initializer_list<int> indices) const {
    return std::any_of(indices.begin(), indices.end(),
                       [&](int i) { return fields[static_cast<size_t>(i)].meridiem != kNoMeridiem; });
  }
  bool Add(TokenField field) {
    if (count == 6) return false;
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
      if ((n > 3 && t.AnyMeridiem({2, 3, 4})) || (n != 2 && n != 4 && n != 5)) return std::nullopt;
      return Layout{2, n - 2, t.Value(0), t.Value(1)};
    case 0b00011:  // hh:mm:ss, alone or before a date
      if ((n > 4 && t.AnyMeridiem({3, 4, 5})) || (n != 3 && n != 5 && n != 6)) return std::nullopt;
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

// The natural reading.

std::optional<DateTime> ReadNaturalDate(std::u16string_view text, const DateServices::Names& names,
                                        const DateServices::Clock& now) {
  Reader reader(text);
  reader.SkipBlanks();
  const size_t start = reader.position();
  // A leading weekday name must be the date's own. Some names are also months' ("mar"): then read it as a month.
  if (const int weekdayNumber = reader.ReadName(names.words, DateServices::Names::Kind::Weekday)) {
    reader.SkipFieldSeparator(true);
    const auto date = ReadDateAndTime(reader, names, now);
    if (date && weekday{date->day}.c_encoding() + 1 == static_cast<unsigned>(weekdayNumber)) return date;
    reader.Rewind(start);
  }
  return ReadDateAndTime(reader, names, now);
}

}  // namespace

std::optional<DateTime> ParseDate(std::u16string_view text, const DateServices::Names& names,
                                  const DateServices::Clock& now) {
  if (auto date = ReadAsRunTime(text, names, now)) return date;
  return ReadNaturalDate(text, names, now);
}

}  // namespace marelco
