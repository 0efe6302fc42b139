// Format: the control's three formats in both locales, every date and time token, numbers and non-dates.
#include "dates/locale_names.h"
#include "tests/core/date_test_support.h"

namespace marelco {
namespace {

using test::DateOf;
using test::ErrorOf;

std::u16string Upper(std::u16string text) {
  for (char16_t& c : text) c = (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
  return text;
}

std::string Shown(const char16_t* text) { return ::testing::PrintToString(std::u16string(text)); }

class DateFormat : public ::testing::Test {
 protected:
  test::LocaleServices english{"en-US"};
  test::LocaleServices spanish{"es-ES"};
  const Date afternoon = test::kFixedNow;  // Saturday 5 September 2026, 14:07:09

  std::u16string Format(const FormatValue& value, std::u16string_view format) {
    return english.services.Format(value, format, 1, 1);
  }
};

TEST_F(DateFormat, TheControlsThreeFormats) {
  const Date date = DateOf(2026, 9, 15, 10.5);
  EXPECT_EQ(Format(date, u"dd/mm/yyyy"), u"15/09/2026");
  EXPECT_EQ(Format(date, u"dd/mmm/yyyy"), u"15/Sep/2026");
  EXPECT_EQ(Format(date, u"dd/mmmm/yyyy"), u"15/September/2026");
  EXPECT_EQ(spanish.services.Format(date, u"dd/mm/yyyy", 1, 1), u"15/09/2026");
  EXPECT_EQ(spanish.services.Format(date, u"dd/mmmm/yyyy", 1, 1), u"15/septiembre/2026");
  EXPECT_EQ(spanish.services.Format(DateOf(2027, 1, 3), u"dd/mmmm/yyyy", 1, 1), u"03/enero/2027");
  EXPECT_EQ(Format(DateOf(100, 1, 1), u"dd/mm/yyyy"), u"01/01/100");
  EXPECT_EQ(Format(DateOf(9999, 12, 31), u"dd/mmmm/yyyy"), u"31/December/9999");
}

TEST_F(DateFormat, EnglishNames) {
  const char16_t* months[] = {u"January", u"February", u"March",     u"April",   u"May",      u"June",
                              u"July",    u"August",   u"September", u"October", u"November", u"December"};
  for (unsigned month = 1; month <= 12; ++month) {
    const Date date = DateOf(2026, month, 1);
    EXPECT_EQ(Format(date, u"mmmm"), months[month - 1]);
    EXPECT_EQ(Format(date, u"mmm"), std::u16string(months[month - 1]).substr(0, 3));
  }
  EXPECT_EQ(Format(afternoon, u"dddd ddd"), u"Saturday Sat");
}

TEST_F(DateFormat, AbbreviationsAreShortFormsWithoutPeriod) {
  // The platforms differ on the abbreviations ("sep", "sept"); each is the start of the full name, and none ends
  // in a period, which would read as a separator.
  for (auto* services : {&english.services, &spanish.services}) {
    for (unsigned month = 1; month <= 12; ++month) {
      const Date date = DateOf(2026, month, 1);
      const std::u16string full = Upper(services->Format(date, u"mmmm", 1, 1));
      const std::u16string abbreviation = Upper(services->Format(date, u"mmm", 1, 1));
      ASSERT_FALSE(abbreviation.empty());
      EXPECT_NE(abbreviation.back(), u'.');
      EXPECT_EQ(full.compare(0, abbreviation.size(), abbreviation), 0) << ::testing::PrintToString(abbreviation);
    }
  }
}

struct TokenCase {
  const char16_t* format;
  const char16_t* expected;
  Date date = test::kFixedNow;
};

TEST_F(DateFormat, DateAndTimeTokens) {
  const TokenCase cases[] = {
      {u"d", u"5"},       {u"dd", u"05"},     {u"m", u"9"},        {u"mm", u"09"},      {u"mmm", u"Sep"},
      {u"yy", u"26"},     {u"yyyy", u"2026"}, {u"y", u"248"},      {u"q", u"3"},        {u"DD/MM/YYYY", u"05/09/2026"},
      {u"w", u"7"},       {u"ww", u"36"},     {u"www", u"367"},    {u"ddddddd", u"Saturday, September 5, 20265"},
      // Time tokens, and the designators either side of noon.
      {u"h", u"14"},           {u"hh:nn:ss", u"14:07:09"}, {u"h:n:s", u"14:7:9"},  {u"h:mm", u"14:07"},
      {u"hh:mm:ss AM/PM", u"02:07:09 PM"},                 {u"h am/pm", u"2 pm"},  {u"h A/P", u"2 P"},
      {u"h a/p", u"2 p"},      {u"h Am/pM", u"2 pM"},      {u"HH:NN", u"14:07"},
      {u"h:nn AM/PM", u"12:30 AM", DateOf(2026, 9, 5, 0.5)},
      {u"h:nn AM/PM", u"12:00 PM", DateOf(2026, 9, 5, 12)},
      {u"hh a/p", u"11 a", DateOf(2026, 9, 5, 11)},
      // Minutes or the month after hours.
      {u"h \"x\" m", u"14 x 7"},  // literals between keep the minutes
      {u"h d m", u"14 5 9"},      // a day token between makes it the month
      {u"h yy w q mmm m", u"14 26 7 3 Sep 7"},  // other date tokens keep the minutes
      {u"h m m", u"14 7 9"},      // only the first run after the hours
      {u"m h", u"9 14"},
      {u"n m", u"7 9"},           // n is always minutes and leaves m the month
      {u"h mmm", u"14 Sep"},
      // Literals and other characters.
      {u"\"Day\" d", u"Day 5"},   {u"\\d d", u"d 5"},          {u"dd.mm.yyyy", u"05.09.2026"},
      {u"dd-mm-yyyy", u"05-09-2026"}, {u"\"unclosed", u"unclosed"}, {u"d\\", u"5"},
      {u"[d] é", u"[5] é"},
  };
  for (const TokenCase& token : cases) {
    EXPECT_EQ(Format(token.date, token.format), token.expected) << Shown(token.format) << " " << token.date.serial;
  }
}

TEST_F(DateFormat, WeekOfYearFollowsItsArguments) {
  const DateServices& services = english.services;
  const Date january1 = DateOf(2027, 1, 1);  // a Friday
  EXPECT_EQ(services.Format(january1, u"ww", 1, 1), u"1");
  EXPECT_EQ(services.Format(january1, u"ww", 2, 2), u"53");  // Monday weeks, the first with four days
  EXPECT_EQ(services.Format(DateOf(2027, 1, 4), u"ww", 2, 2), u"1");
  EXPECT_EQ(services.Format(DateOf(2027, 1, 3), u"ww", 1, 3), u"1");  // first whole week from Sunday 3 January
  EXPECT_EQ(services.Format(january1, u"w", 2, 1), u"5");
  EXPECT_EQ(services.Format(january1, u"w", 7, 1), u"7");  // Saturday, the last first day there is
  EXPECT_EQ(services.Format(january1, u"w ww", 0, 0), u"6 1");  // 0 and no arguments stand for Sunday, 1 January
  EXPECT_EQ(services.Format(january1, u"w ww"), u"6 1");
  EXPECT_EQ(ErrorOf([&] { services.Format(january1, u"ww", 8, 1); }), ErrorNumber::InvalidProcedureCall);
}

// Texts that read as dates are dates; numbers take number formats; an empty format gives the value's own text; a
// value beyond the supported dates is a number.
TEST_F(DateFormat, ValuesOfEachKind) {
  using namespace std::string_literals;
  const struct {
    FormatValue value;
    const char16_t *format, *expected;
  } cases[] = {
      {u"7 March 2001"s, u"dd/mm/yyyy", u"07/03/2001"},
      {u"6/12/2026"s, u"dd/mmmm/yyyy", u"06/December/2026"},
      {6.0, u"00", u"06"},
      {31.0, u"00", u"31"},
      {123.0, u"00", u"123"},
      {u"6"s, u"00", u"06"},
      {1234.5, u"#,##0.00", u"1,234.50"},
      {1234567.0, u"#,##0", u"1,234,567"},  {123456.0, u"#,##0", u"123,456"},
      {0.5, u"#.##", u".5"},  // "#" writes no zero before the point
      {0.5, u".0", u".5"},
      {25.0, u"#", u"25"},
      {-2.25, u"0.0", u"-2.3"},
      {0.5, u"\"n=\"0.##\"!\"", u"n=0.5!"},
      {12.0, u"0\"0\"\\#", u"120#"},  // quoted and escaped placeholders are text
      {DateOf(2026, 9, 15), u"", u"15/09/2026"},
      {test::kFixedNow, u"", u"05/09/2026 14:07:09"},
      {6.5, u"", u"6.5"},
      {u"any text"s, u"", u"any text"},
      {Date{3e6}, u"dd/mm/yyyy", u"3000000"},
      // A time that rounds up to midnight: of the next day, or the last second of the last day.
      {DateOf(2026, 9, 5, 23.9999999), u"dd/mm/yyyy hh:nn:ss", u"06/09/2026 00:00:00"},
      {DateOf(9999, 12, 31, 23.9999999), u"dd/mm/yyyy hh:nn:ss", u"31/12/9999 23:59:59"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Format(c.value, c.format), c.expected) << Shown(c.format) << " " << ::testing::PrintToString(c.value);
  }
  EXPECT_EQ(Format(Date{std::nan("")}, u"dd/mm/yyyy"), Format(std::nan(""), u""));
  EXPECT_EQ(spanish.services.Format(u"15/09/2026"s, u"dd/mmmm/yyyy", 1, 1), u"15/septiembre/2026");
  // Texts that are no date, and texts that only the C library reads as numbers, come back unchanged.
  for (const char16_t* text : {u"abc", u"", u"31/02/2026", u"12 monkeys", u"inf", u"-INF", u"nan", u"infinity",
                               u"1e999"}) {
    for (const char16_t* format : {u"dd/mm/yyyy", u"0.00"}) {
      EXPECT_EQ(Format(std::u16string(text), format), text) << Shown(text) << " " << Shown(format);
    }
  }
}

}  // namespace
}  // namespace marelco

namespace marelco {
namespace {

// The named formats write the locale's own pictures: here a locale whose pictures use every picture letter.
TEST(NamedFormats, WriteTheLocalesPictures) {
  LocaleNames names;
  const auto english = MakeLocale("en");
  for (int month = 1; month <= 12; ++month) {
    names.months[0][month - 1] = english->MonthName(month, false);
    names.months[1][month - 1] = english->MonthName(month, true);
  }
  for (int weekday = 1; weekday <= 7; ++weekday) {
    names.days[0][weekday - 1] = english->DayName(weekday, false);
    names.days[1][weekday - 1] = english->DayName(weekday, true);
  }
  names.months[1][8] = u"S.";  // two letters, one of them the period
  names.designators = {u"am", u"pm"};
  names.pictures = {u"d/M/yy", u"ddddd', 'dd' de 'MMMMM yyyy gg ('') yyy", u"hhh:mmm:sss tt t H HHH"};
  const NamedLocale locale(names);
  const DateServices services(locale, [] { return test::kFixedNow; });
  const Date afternoon = test::kFixedNow;  // Saturday 5 September 2026, 14:07:09
  const struct {
    Date date;
    const char16_t* format;
    const char16_t* text;
  } kCases[] = {
      {afternoon, u"ddddd", u"5/9/26"},
      {afternoon, u"dddddd", u"Saturday, 05 de September 2026  (') 2026"},
      {afternoon, u"ttttt", u"02:07:09 pm p 14 14"},
      {afternoon, u"DDDDD ttttt", u"5/9/26 02:07:09 pm p 14 14"},
      {afternoon, u"ddddddd", u"Saturday, 05 de September 2026  (') 20265"},  // six, then one more d
      {afternoon, u"c", u"5/9/26 02:07:09 pm p 14 14"},
      {DateOf(2001, 3, 7), u"C", u"7/3/01"},                              // no time of day: the date alone
      {Date{0.25}, u"c", u"06:00:00 am a 6 06"},                           // no date: the time alone
      {DateOf(2026, 9, 5, 12.5), u"ttttt", u"12:30:00 pm p 12 12"},        // noon is afternoon
      {afternoon, u"tttt", u"tttt"},                                      // fewer than five t are text
      {afternoon, u"mmm", u"S"},                                          // the abbreviation without its period
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(services.Format(c.date, c.format, 1, 1), c.text) << ::testing::PrintToString(std::u16string(c.format));
  }
}

}  // namespace
}  // namespace marelco
