// Format: dates through user-defined date and time formats, numbers through digit placeholders.
//
// Date tokens (any letter case):
//   d dd ddd dddd   day; two digits; abbreviated weekday name; full weekday name
//   ddddd dddddd    the locale's short date; its long date
//   ttttt           the locale's time of day
//   c               the date as the locale's short date and the time of day, each only when there is one
//   m mm mmm mmmm   month; two digits; abbreviated month name; full month name
//   y yy yyyy       day of the year; two-digit year; the whole year
//   w ww q          weekday (1 is the first day of the week); week of the year; quarter
//   h hh n nn s ss  hours, minutes, seconds; one digit or two
//   AM/PM am/pm A/P a/p   the half of the day, written in the letters of the format; makes the hours 12-hour
//   AMPM            the half of the day as the locale names it ("AM", "p. m."); makes the hours 12-hour
//   /  :            the date and the time separator, "/" and ":"
// "text" and \c are written as they stand, as is every other character. Longer runs of a letter are taken as the
// longest token and the rest ("ddddddd" is dddddd and d). The first m or mm after h or hh is minutes, not months,
// unless a day token (d to dddddd) or "c" comes between them ("hh yy mm" is minutes); n and nn are always minutes.
// Abbreviated names are written without a trailing period ("sept", "janv"), since the format's own separators
// frame them; a month's keeps it where without it it would be a day's ("mar." in Colombia, where "mar" is martes).
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "dates/date_calendar.h"
#include "dates/runtime_error.h"

namespace marelco {

using namespace calendar;

namespace {

char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

void AppendAscii(std::u16string& out, std::string_view text) { out.append(text.begin(), text.end()); }

void AppendNumber(std::u16string& out, long long value, int minDigits) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  for (auto length = end - digits; length < minDigits; ++length) out += u'0';
  AppendAscii(out, std::string_view(digits, static_cast<size_t>(end - digits)));
}

// The length of an AM/PM, A/P or AMPM token at position i of the format, 0 when there is none.
size_t MeridiemLength(std::u16string_view format, size_t i) {
  if (AsciiLower(format[i]) != u'a') return 0;
  const auto matches = [&](std::u16string_view token) {
    if (format.size() - i < token.size()) return false;
    for (size_t k = 0; k < token.size(); ++k) {
      if (AsciiLower(format[i + k]) != token[k]) return false;
    }
    return true;
  };
  if (matches(u"am/pm")) return 5;
  if (matches(u"ampm")) return 4;
  if (matches(u"a/p")) return 3;
  return 0;
}

// Calls visit(i) for every position of the format outside quoted and escaped literals, and literal(text) for
// those literals; visit returns how many characters it consumed.
template <typename Visit, typename Literal>
void Scan(std::u16string_view format, Visit visit, Literal literal) {
  for (size_t i = 0; i < format.size();) {
    if (format[i] == u'"') {
      const size_t close = std::min(format.find(u'"', i + 1), format.size());
      literal(format.substr(i + 1, close - i - 1));
      i = close + 1;
    } else if (format[i] == u'\\') {
      literal(format.substr(i + 1, 1));
      i += 2;
    } else {
      i += visit(i);
    }
  }
}

// What a format asks for: digit placeholders ("0", "#") make it a number format, and AM/PM or A/P make the
// hours 12-hour.
struct FormatKind {
  bool number = false;
  bool twelveHours = false;
};

FormatKind Classify(std::u16string_view format) {
  FormatKind kind;
  Scan(
      format,
      [&](size_t i) {
        kind.number = kind.number || format[i] == u'0' || format[i] == u'#';
        kind.twelveHours = kind.twelveHours || MeridiemLength(format, i);
        return size_t{1};
      },
      [](std::u16string_view) {});
  return kind;
}

class DateWriter {
 public:
  DateWriter(const DateTime& date, const DateServices::Names& names, int firstDayOfWeek, int firstWeekOfYear)
      : day_(date.day), date_(date.day), time_(date.time), names_(names),
        firstDayOfWeek_(firstDayOfWeek == 0 ? 1 : firstDayOfWeek),
        firstWeekOfYear_(firstWeekOfYear == 0 ? 1 : firstWeekOfYear) {}

  std::u16string Write(std::u16string_view format, bool twelveHours) {
    twelveHours_ = twelveHours;
    Scan(
        format, [&](size_t i) { return WriteToken(format, i); },
        [&](std::u16string_view text) { out_.append(text); });
    return std::move(out_);
  }

 private:
  // Writes the token at position i and returns its length.
  size_t WriteToken(std::u16string_view format, size_t i) {
    if (const size_t length = MeridiemLength(format, i)) {
      const bool afternoon = time_.hours().count() >= 12;
      if (length == 4) {
        out_ += names_.designators[afternoon];
      } else {
        const size_t half = length / 2;  // "AM" of "AM/PM", "A" of "A/P"
        out_.append(format.substr(afternoon ? i + half + 1 : i, half));
      }
      return length;
    }
    const char16_t letter = AsciiLower(format[i]);
    size_t run = 1;
    while (i + run < format.size() && AsciiLower(format[i + run]) == letter) ++run;
    switch (letter) {
      case u'd':
        minutesPending_ = false;
        if (run >= 5) {
          WritePicture(names_.pictures[run == 5 ? 0 : 1]);
          return run == 5 ? 5 : 6;
        }
        return WriteDay(run);
      case u't':
        if (run >= 5) {
          WritePicture(names_.pictures[2]);
          return 5;
        }
        out_ += format[i];
        return 1;
      case u'c': minutesPending_ = false; return WriteGeneralDate();
      case u'm':
        if (minutesPending_ && run <= 2) {
          minutesPending_ = false;
          return WriteNumber(time_.minutes().count(), run);
        }
        return WriteMonth(std::min<size_t>(run, 4));
      case u'y': return WriteYear(run >= 4 ? 4 : run >= 2 ? 2 : 1);
      case u'w': return WriteWeek(run);
      case u'q': return WriteNumber((static_cast<unsigned>(date_.month()) - 1) / 3 + 1, 1);
      case u'h': minutesPending_ = true; return WriteHours(std::min<size_t>(run, 2));
      case u'n': return WriteNumber(time_.minutes().count(), std::min<size_t>(run, 2));
      case u's': return WriteNumber(time_.seconds().count(), std::min<size_t>(run, 2));
      default: out_ += format[i]; return 1;  // "/" and ":" included: our separators are the format's own
    }
  }

  // A Windows date or time picture of the locale ("dd/MM/yyyy", "dddd, d' de 'MMMM", "h:mm tt"): letters are
  // case-sensitive there, M for months and m for minutes, h for 12 hours and H for 24.
  void WritePicture(std::u16string_view picture) {
    for (size_t i = 0; i < picture.size();) {
      const char16_t letter = picture[i];
      if (letter == u'\'') {  // quoted text; two quotes stand for one
        size_t close = picture.find(u'\'', i + 1);
        if (close == std::u16string_view::npos) close = picture.size();
        out_.append(close == i + 1 ? u"'" : picture.substr(i + 1, close - i - 1));
        i = close + 1;
        continue;
      }
      size_t run = 1;
      while (i + run < picture.size() && picture[i + run] == letter) ++run;
      i += run;
      WritePictureToken(letter, run);
    }
  }

  void WritePictureToken(char16_t letter, size_t run) {
    const auto hours = time_.hours().count();
    const bool afternoon = hours >= 12;
    switch (letter) {
      case u'd': WriteDay(std::min<size_t>(run, 4)); break;
      case u'M': WriteMonth(std::min<size_t>(run, 4)); break;
      case u'y':
        if (run >= 3) WriteYear(4);
        else AppendNumber(out_, static_cast<int>(date_.year()) % 100, static_cast<int>(run));
        break;
      case u'H': AppendNumber(out_, hours, static_cast<int>(std::min<size_t>(run, 2))); break;
      case u'h': AppendNumber(out_, hours % 12 == 0 ? 12 : hours % 12, static_cast<int>(std::min<size_t>(run, 2))); break;
      case u'm': AppendNumber(out_, time_.minutes().count(), static_cast<int>(std::min<size_t>(run, 2))); break;
      case u's': AppendNumber(out_, time_.seconds().count(), static_cast<int>(std::min<size_t>(run, 2))); break;
      case u't': out_.append(std::u16string_view(names_.designators[afternoon]).substr(0, run == 1 ? 1 : std::u16string_view::npos)); break;
      case u'g': break;  // the era: none in the Gregorian calendar's pictures we write
      default: out_.append(run, letter);
    }
  }

  // "c": the short date unless the day is 30 December 1899, then the time unless it is midnight.
  size_t WriteGeneralDate() {
    const bool hasDate = DayNumber(day_) != 0;
    const bool hasTime = time_.to_duration().count() != 0 || !hasDate;
    if (hasDate) WritePicture(names_.pictures[0]);
    if (hasDate && hasTime) out_ += u' ';
    if (hasTime) WritePicture(names_.pictures[2]);
    return 1;
  }

  // A number of at least `length` digits; returns the length of its token.
  size_t WriteNumber(long long value, size_t length) {
    AppendNumber(out_, value, static_cast<int>(length));
    return length;
  }

  size_t WriteDay(size_t length) {
    const unsigned weekday = weekday_.c_encoding();
    if (length <= 2) AppendNumber(out_, static_cast<unsigned>(date_.day()), static_cast<int>(length));
    if (length == 3) out_ += names_.dayAbbreviations[weekday];
    if (length == 4) out_ += names_.days[weekday];
    return length;
  }

  size_t WriteMonth(size_t length) {
    const unsigned month = static_cast<unsigned>(date_.month());
    if (length <= 2) AppendNumber(out_, month, static_cast<int>(length));
    if (length == 3) out_ += names_.monthAbbreviations[month - 1];
    if (length == 4) out_ += names_.months[month - 1];
    return length;
  }

  size_t WriteYear(size_t length) {
    const int year = static_cast<int>(date_.year());
    if (length == 1) AppendNumber(out_, (day_ - sys_days{date_.year() / January / 1}).count() + 1, 1);
    if (length == 2) AppendNumber(out_, year % 100, 2);
    if (length == 4) AppendNumber(out_, year, 1);
    return length;
  }

  size_t WriteHours(size_t length) {
    long long hours = time_.hours().count();
    if (twelveHours_) hours = (hours % 12 == 0) ? 12 : hours % 12;
    AppendNumber(out_, hours, static_cast<int>(length));
    return length;
  }

  // Days since the first day of the week, 0 to 6.
  int DaysIntoWeek(sys_days day) const {
    return static_cast<int>((weekday{day}.c_encoding() + 7 - (firstDayOfWeek_ - 1)) % 7);
  }

  // The first day of week 1 of a year: the week of 1 January, the first week with four days of the year, or
  // the first whole week.
  sys_days FirstWeekStart(year y) const {
    const sys_days january1{y / January / 1};
    const int into = DaysIntoWeek(january1);
    const sys_days start = january1 - days{into};
    const bool counts = firstWeekOfYear_ == 1 || (firstWeekOfYear_ == 2 && 7 - into >= 4) ||
                        (firstWeekOfYear_ == 3 && into == 0);
    return counts ? start : start + days{7};
  }

  // "w": the day of the week; "ww" and longer runs: the week of the year, two letters of them.
  size_t WriteWeek(size_t length) {
    if (length == 1) {
      AppendNumber(out_, DaysIntoWeek(day_) + 1, 1);
      return 1;
    }
    sys_days firstWeek = FirstWeekStart(date_.year());
    if (day_ < firstWeek) firstWeek = FirstWeekStart(date_.year() - years{1});
    const sys_days weekStart = day_ - days{DaysIntoWeek(day_)};
    AppendNumber(out_, (weekStart - firstWeek).count() / 7 + 1, 1);
    return 2;
  }

  sys_days day_;
  year_month_day date_;
  weekday weekday_{day_};
  hh_mm_ss<seconds> time_;
  const DateServices::Names& names_;
  int firstDayOfWeek_;
  int firstWeekOfYear_;
  bool twelveHours_ = false;
  bool minutesPending_ = false;
  std::u16string out_;
};

// The integer and fraction digits of a non-negative number, rounded to `decimals` digits, halves away from zero.
void RoundHalfAway(double number, int decimals, std::string& integer, std::string& fraction) {
  // Twenty more digits than needed: the exact expansion as far as it can decide the rounding.
  std::string digits(400 + static_cast<size_t>(decimals) + 20, '\0');
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), number, std::chars_format::fixed,
                                 decimals + 20).ptr;
  digits.resize(static_cast<size_t>(end - digits.data()));
  const size_t point = digits.find('.');
  const bool roundUp = digits[point + 1 + static_cast<size_t>(decimals)] >= '5';
  digits.erase(point, 1);
  digits.resize(point + static_cast<size_t>(decimals));
  for (auto k = digits.size(); roundUp && k-- > 0;) {
    if (digits[k] != '9') {
      ++digits[k];
      break;
    }
    digits[k] = '0';
    if (k == 0) digits.insert(0, 1, '1');
  }
  const size_t integerDigits = digits.size() - static_cast<size_t>(decimals);
  integer = digits.substr(0, integerDigits);
  fraction = digits.substr(integerDigits);
}

// Number formats: digit placeholders "0" (a digit always) and "#" (a digit when needed), one "." before the
// decimals, "," for thousands; other characters and literals are written before or after the number.
std::u16string FormatNumber(double number, std::u16string_view format) {
  // The format with its literals resolved, and which characters came from literals.
  std::u16string characters;
  std::vector<bool> literal;
  Scan(
      format,
      [&](size_t i) {
        characters += format[i];
        literal.push_back(false);
        return size_t{1};
      },
      [&](std::u16string_view text) {
        characters.append(text);
        literal.resize(characters.size(), true);
      });
  const auto isPattern = [&](size_t k, std::u16string_view set) {
    return !literal[k] && set.find(characters[k]) != std::u16string_view::npos;
  };
  size_t start = 0;
  while (start < characters.size() && !isPattern(start, u"0#")) ++start;
  if (start > 0 && isPattern(start - 1, u".")) --start;
  size_t end = start;
  while (end < characters.size() && isPattern(end, u"0#.,")) ++end;

  int integerZeros = 0, decimalZeros = 0, decimals = 0;
  bool inDecimals = false, grouped = false;
  for (size_t k = start; k < end; ++k) {
    const char16_t c = characters[k];
    if (c == u'.' && !inDecimals) {
      inDecimals = true;
    } else if (c == u',') {
      grouped = grouped || !inDecimals;
    } else if (c != u'.') {
      if (inDecimals) ++decimals;
      if (c == u'0') ++(inDecimals ? decimalZeros : integerZeros);
    }
  }
  const std::u16string_view before = std::u16string_view(characters).substr(0, start);
  const std::u16string_view after = std::u16string_view(characters).substr(end);

  const bool negative = number < 0;
  std::string integer, fraction;
  RoundHalfAway(std::fabs(number), decimals, integer, fraction);
  while (static_cast<int>(fraction.size()) > decimalZeros && !fraction.empty() && fraction.back() == '0') {
    fraction.pop_back();
  }
  if (integer == "0" && integerZeros == 0) integer.clear();
  if (static_cast<int>(integer.size()) < integerZeros) integer.insert(0, integerZeros - integer.size(), '0');
  if (grouped) {
    for (auto i = static_cast<long long>(integer.size()) - 3; i > 0; i -= 3) {
      integer.insert(static_cast<size_t>(i), 1, ',');
    }
  }
  std::u16string out(before);
  if (negative) out += u'-';
  AppendAscii(out, integer);
  if (!fraction.empty()) {
    out += u'.';
    AppendAscii(out, fraction);
  }
  out.append(after);
  return out;
}

// Plain digits up to 15 of them, exponent notation beyond; the fewest digits that read back as the number.
std::u16string NumberText(double number) {
  char text[32];
  const auto format = std::fabs(number) < 1e15 ? std::chars_format::fixed : std::chars_format::scientific;
  const auto end = std::to_chars(text, text + sizeof text, number, format).ptr;
  std::u16string out;
  AppendAscii(out, std::string_view(text, static_cast<size_t>(end - text)));
  return out;
}

// A text of the form [-]digits[.digits], blanks around it allowed; "inf" and "nan" are no numbers.
std::optional<double> ReadNumber(std::u16string_view text) {
  std::string ascii;
  for (char16_t c : text) {
    if (c >= 0x80) return std::nullopt;
    if (c != u' ') ascii += static_cast<char>(c);
  }
  double number = 0;
  const char* last = ascii.data() + ascii.size();
  const auto [end, error] = std::from_chars(ascii.data(), last, number);
  if (error != std::errc{} || end != last || ascii.empty() || !std::isfinite(number)) {
    return std::nullopt;
  }
  return number;
}

}  // namespace

std::u16string DateServices::Format(const FormatValue& value, std::u16string_view format, int firstDayOfWeek,
                                    int firstWeekOfYear) const {
  if (firstDayOfWeek < 0 || firstDayOfWeek > 7 || firstWeekOfYear < 0 || firstWeekOfYear > 3) {
    throw RuntimeError(ErrorNumber::InvalidProcedureCall);
  }
  const FormatKind kind = Classify(format);
  const auto writeDate = [&](const DateTime& date) {
    return DateWriter(date, *names_, firstDayOfWeek, firstWeekOfYear).Write(format, kind.twelveHours);
  };
  // A date's own text: the day as dd/mm/yyyy, then the time of day when there is one.
  const auto ownDateText = [&](const DateTime& date) {
    return DateWriter(date, *names_, 1, 1).Write(date.time.count() ? u"dd/mm/yyyy hh:nn:ss" : u"dd/mm/yyyy", false);
  };
  const bool numberFormat = kind.number;

  if (const auto* text = std::get_if<std::u16string>(&value)) {
    if (format.empty()) return *text;
    if (numberFormat) {
      if (const auto number = ReadNumber(*text)) return FormatNumber(*number, format);
    }
    const auto date = ParseDate(*text, *names_, now_);
    return date ? writeDate(*date) : *text;
  }
  const double serial = std::holds_alternative<Date>(value) ? std::get<Date>(value).serial : std::get<double>(value);
  if (numberFormat && std::isfinite(serial)) return FormatNumber(serial, format);
  const auto date = Split(Date{serial});
  if (!date || (format.empty() && std::holds_alternative<double>(value))) return NumberText(serial);
  return format.empty() ? ownDateText(*date) : writeDate(*date);
}

}  // namespace marelco
