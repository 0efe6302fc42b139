// Reading a text as a date: first as the platform's run time reads it (date_parse_runtime.cpp), then, for texts
// it reads as no date, as a person writing a day, a month and a year would mean it.
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
#include "dates/date_calendar.h"

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

  // A run of at most maxDigits digits followed by no letter, nor by ":" but where colonMayFollow (the hour and the
  // minute of a time).
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

  // "AM", "PM", "A" or "P", any case: 0 for none, 1 for the morning, 2 for the afternoon. Nothing may follow
  // but blanks, which the caller checks.
  int ReadMeridiem() {
    if (AtEnd()) return 0;
    const char16_t first = FoldCase(text_[position_]);
    if (first != u'a' && first != u'p') return 0;
    size_t length = 1;
    if (position_ + 1 < text_.size() && FoldCase(text_[position_ + 1]) == u'm') length = 2;
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
    const auto read = reader.ReadNumber(2);
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
  } else if (count == 3) {  // with a month name there are at most two numbers
    const bool yearFirst = numbers[0].digits >= 3;
    year = numbers[yearFirst ? 0 : 2];
    month = numbers[1].value;
    day = numbers[yearFirst ? 2 : 0];
    if (numbers[1].digits > 2) return std::nullopt;
  } else if (count == 2) {
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
