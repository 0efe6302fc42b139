// Reading texts as dates, IsDate, Day, and the round trip of the control's three formats.
#include <optional>
#include <vector>

#include "dates/date_calendar.h"
#include "dates/locale_names.h"

#include "tests/core/date_test_support.h"
#include "tests/runtime_dates/locales.h"

namespace marelco {
namespace {

using test::ComparedLocale;
using test::DateOf;
using test::ErrorOf;
using test::LocaleServices;

// The calendar date of a serial number; below zero the fraction is the time of day, so the days are truncated.
std::chrono::year_month_day CalendarDate(double serial) {
  using namespace std::chrono;
  return year_month_day{sys_days{days{static_cast<long long>(serial) - 25569}}};
}

class DateConversion : public ::testing::TestWithParam<ComparedLocale> {
 protected:
  LocaleServices fixture{GetParam().name};
  const DateServices& services = fixture.services;
};

INSTANTIATE_TEST_SUITE_P(Locales, DateConversion,
                         ::testing::Values(ComparedLocale{"en-US", 0}, ComparedLocale{"es-ES", 0}));

// The round trip holds in every locale whose dates are compared with the platform's.
class ThreeFormats : public DateConversion {};

INSTANTIATE_TEST_SUITE_P(ComparedLocales, ThreeFormats, ::testing::ValuesIn(test::kComparedLocales),
                         [](const auto& info) { return test::TestName(info.param.name); });

TEST_P(ThreeFormats, ReadBackToTheSameDate) {
  // Every 37th day from the first supported date to the last, and every day of a leap year.
  std::vector<Date> dates;
  for (double serial = -657434; serial <= 2958465; serial += 37) dates.push_back(Date{serial});
  for (double serial = test::Serial(2028, 1, 1); serial <= test::Serial(2028, 12, 31); ++serial) {
    dates.push_back(Date{serial});
  }
  dates.push_back(Date{2958465});
  for (const char16_t* format : {u"dd/mm/yyyy", u"dd/mmm/yyyy", u"dd/mmmm/yyyy"}) {
    for (const Date date : dates) {
      const std::u16string text = services.Format(date, format, 1, 1);
      ASSERT_TRUE(services.IsDate(text)) << ::testing::PrintToString(text);
      ASSERT_EQ(services.ToDate(text), date) << ::testing::PrintToString(text);
      ASSERT_EQ(services.Day(text), std::stoi(std::string(text.begin(), text.begin() + 2)));
      ASSERT_EQ(text[2], u'/');
    }
  }
}

TEST_P(DateConversion, MonthNamesOfTheLocaleInAnyCase) {
  for (int month = 1; month <= 12; ++month) {
    for (bool abbreviated : {false, true}) {
      std::u16string name = services.locale().MonthName(month, abbreviated);
      for (char16_t& c : name) c = (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
      EXPECT_EQ(services.ToDate(u"3/" + name + u"/2030"), DateOf(2030, static_cast<unsigned>(month), 3))
          << ::testing::PrintToString(name);
    }
  }
}

TEST_P(DateConversion, TwoDigitYearsFallIntoTheLocaleWindow) {
  const int max = services.locale().TwoDigitYearMax();
  const auto yearOf = [&](std::u16string text) {
    return static_cast<int>(CalendarDate(services.ToDate(text).serial).year());
  };
  for (int y = 0; y < 100; ++y) {
    const std::u16string digits{static_cast<char16_t>(u'0' + y / 10), static_cast<char16_t>(u'0' + y % 10)};
    const int year = yearOf(u"1/1/" + digits);
    EXPECT_TRUE(year % 100 == y && year >= max - 99 && year <= max) << y << " read as " << year;
    if (y < 10) {
      EXPECT_EQ(yearOf(u"1/1/" + digits.substr(1)), year);
    }
  }
  EXPECT_EQ(yearOf(u"1/1/100"), 100);  // three digits: as written
  EXPECT_EQ(yearOf(u"1/1/0999"), 999);
#ifndef _WIN32
  EXPECT_EQ(max, 2049);  // without a user setting: 1950 to 2049
  EXPECT_EQ(yearOf(u"31/12/49"), 2049);
  EXPECT_EQ(yearOf(u"1/1/50"), 1950);
#endif
}

// Windows that reach below the supported dates or into 1900, which is no leap year: read both ways.
TEST(DateConversionWindows, TwoDigitYearsOfOtherWindows) {
  const struct {
    int twoDigitYearMax;
    const char16_t* text;
    std::optional<Date> date;
  } kCases[] = {
      {1999, u"1.1.00 0:00", DateOf(1900, 1, 1)}, {1999, u"29/2/00", std::nullopt}, {1999, u"29.2.00", std::nullopt},
      {150, u"1/1/20", DateOf(120, 1, 1)},        {150, u"1.1.60 0:00", std::nullopt},
  };
  for (const auto& c : kCases) {
    LocaleNames names;
    names.twoDigitYearMax = c.twoDigitYearMax;
    const NamedLocale locale(names);
    const DateServices services(locale, [] { return test::kFixedNow; });
    EXPECT_EQ(services.IsDate(c.text) ? std::optional(services.ToDate(c.text)) : std::nullopt, c.date)
        << ::testing::PrintToString(std::u16string(c.text)) << " " << c.twoDigitYearMax;
  }
}

// Among them 29 February 1900: 100 divides the year, 400 does not.
TEST_P(DateConversion, TextsThatAreNoDate) {
  for (const char16_t* text :
       {u"", u"   ", u"abc", u"31/02/2026", u"29/02/2027", u"31/04/2026", u"32/1/2026", u"0/1/2026", u"1/0/2026",
        u"13/13/2026", u"29/02/1900", u"1/1/10000", u"31/12/99999", u"7", u"7/", u"7/3/2001/", u"7//3/2001", u"10:30:",
        u"24:00", u"0:60", u"7/3/2001 25:00", u"7/3/2001 10:60", u"7/3/2001abc", u"7/3/2001 pm", u"7 Marchx 2001",
        u"1/2/3/4", u"-7/3/2001", u"1 2 3 4 5", u"1.2.3.4", u"7 am 8", u"pm 7", u"7, ", u"\u0661/3/2001"}) {
    const std::u16string shown(text);
    EXPECT_FALSE(services.IsDate(text)) << ::testing::PrintToString(shown);
    EXPECT_EQ(ErrorOf([&] { services.ToDate(text); }), ErrorNumber::TypeMismatch) << ::testing::PrintToString(shown);
    EXPECT_EQ(ErrorOf([&] { services.Day(text); }), ErrorNumber::TypeMismatch) << ::testing::PrintToString(shown);
  }
}

TEST_P(DateConversion, DayNamesAreIgnoredAsTheRunTimeIgnoresThem) {
  const Date saturday = DateOf(2026, 9, 5);
  EXPECT_EQ(services.ToDate(u"Saturday, 5 September 2026"), saturday);
  EXPECT_EQ(services.ToDate(u"sat 05/09/2026"), saturday);
  EXPECT_EQ(services.ToDate(services.Format(saturday, u"dddd, d mmmm yyyy", 1, 1)), saturday);
  EXPECT_EQ(services.ToDate(services.Format(saturday, u"ddd dd/mmm/yyyy", 1, 1)), saturday);
  const std::u16string monday = services.Format(DateOf(2026, 9, 7), u"dddd", 1, 1);
  EXPECT_EQ(services.ToDate(monday + services.Format(saturday, u", d mmmm yyyy", 1, 1)), saturday);  // not its own
  EXPECT_FALSE(services.IsDate(u"Saturday"));
}

// Texts read as the platform's run time reads them (VarDateFromStr with a day-month-year locale); the comparison
// under Wine checks thousands more. Each is a date, and Day gives its day.
TEST_P(DateConversion, TextsReadAsDates) {
  const Date march7 = DateOf(2001, 3, 7), september15 = DateOf(2026, 9, 15);
  const struct {
    const char16_t* text;
    Date date;
  } kReadings[] = {
      {u"30/12/1899", Date{0}}, {u"01/01/2000", Date{36526}}, {u"01/01/100", Date{-657434}},
      {u"31/12/9999", Date{2958465}},
      {u"01/01/100 12:00", Date{-657434.5}},  // below zero the time of day moves the serial away from zero
      {u"29/02/2028", DateOf(2028, 2, 29)},
      {u"29/02/2000", DateOf(2000, 2, 29)},  // divisible by 400
      // Numbers are day, month and year.
      {u"7/3/2001", march7}, {u"07/03/2001", march7}, {u"07-03-2001", march7}, {u"7.3.2001", march7},
      {u"7 3 2001", march7}, {u"  7/3/2001  ", march7}, {u"7 / 3 / 2001", march7}, {u"2001/3/7", march7},
      {u"2001-03-07", march7},                 // the year first
      {u"007/03/2001", march7},                // as many digits as written
      {u"\u00a07/3/2001\u3000", march7},       // any blank around the text
      {u"12/25/2001", DateOf(2001, 12, 25)},   // no 25th month: month and day swap
      {u"7/3/099", DateOf(1999, 3, 7)},        // a year below 100 falls into the window
      {u"7/3", DateOf(2026, 3, 7)},            // no year: the present year
      {u"7 March", DateOf(2026, 3, 7)},
      {u"2030 2", DateOf(2030, 2, 1)},         // two numbers that are no day and month
      {u"14 1", DateOf(2026, 1, 14)},          // a day and a month of the present year
      {u"1 14", DateOf(2026, 1, 14)},
      // English month names in any case.
      {u"15/September/2026", september15}, {u"15/SEPTEMBER/2026", september15}, {u"15/sep/2026", september15},
      {u"15-Sep.-2026", september15}, {u"15 September 2026", september15}, {u"September 15, 2026", september15},
      {u"2026 Sep 15", september15},
      {u"March 2001", DateOf(2001, 3, 1)},     // a month and a year: the first day
      {u"Mar 2035", DateOf(2035, 3, 1)},
      {u"2035-Mar", DateOf(2035, 3, 1)},
      {u"7 Mar Apr", DateOf(2004, 3, 7)},      // a second month name stands for its number
      // Times of day after the date, before it, or alone: on 30 December 1899.
      {u"7/3/2001 14:05", DateOf(2001, 3, 7, 14 + 5 / 60.0)},
      {u"7/3/2001 2:05:30 pm", DateOf(2001, 3, 7, 14 + 5 / 60.0 + 30 / 3600.0)},
      {u"7/3/2001 12:00 AM", march7},
      {u"7/3/2001 23:59:59", DateOf(2001, 3, 7, 23 + 59 / 60.0 + 59 / 3600.0)},
      {u"7/3/2001 2 pm", DateOf(2001, 3, 7, 14)},
      {u"2:05 pm 7/3/2001", DateOf(2001, 3, 7, 14 + 5 / 60.0)},
      {u"29/2/2020 7.30", DateOf(2020, 2, 29, 7.5)},  // a leap day, in a year that 101 divides too
      {u"7:30", DateOf(1899, 12, 30, 7.5)},
      {u"7.30.15", DateOf(1899, 12, 30, 7 + 30 / 60.0 + 15 / 3600.0)},  // "." separates a time too
      {u"7 pm", DateOf(1899, 12, 30, 19)},                              // an hour with AM/PM
      {u"12:59 AM", DateOf(1899, 12, 30, 59 / 60.0)},
      {u"0:00 p", DateOf(1899, 12, 30, 12)},
      {u"13:00 PM", DateOf(1899, 12, 30, 13)},  // AM/PM after a 24-hour time changes nothing
  };
  for (const auto& reading : kReadings) {
    const std::u16string text(reading.text);
    EXPECT_TRUE(services.IsDate(text)) << ::testing::PrintToString(text);
    EXPECT_DOUBLE_EQ(services.ToDate(text).serial, reading.date.serial) << ::testing::PrintToString(text);
    EXPECT_EQ(services.Day(text), static_cast<int>(static_cast<unsigned>(CalendarDate(reading.date.serial).day())))
        << ::testing::PrintToString(text);
  }
  EXPECT_EQ(services.Format(Date{-657434.5}, u"dd/mm/yyyy", 1, 1), u"01/01/100");
}

// Month names of other locales in any case, abbreviations with or without their period; a day name is ignored,
// also where one abbreviation is both ("mar": marzo and martes).
TEST(DateConversionOtherLocales, MonthNamesInAnyCase) {
  const struct {
    const char* locale;
    const char16_t* text;
    Date date;
  } kReadings[] = {
      {"es-ES", u"15/septiembre/2026", DateOf(2026, 9, 15)}, {"es-ES", u"15/Septiembre/2026", DateOf(2026, 9, 15)},
      {"es-ES", u"1/ENERO/2027", DateOf(2027, 1, 1)},        {"es-ES", u"24 dic 2026", DateOf(2026, 12, 24)},
      {"es-ES", u"mar 7 2001", DateOf(2001, 3, 7)},          {"es-ES", u"martes 6/3/2001", DateOf(2001, 3, 6)},
      {"fr-FR", u"15/janv/2026", DateOf(2026, 1, 15)},       {"fr-FR", u"15 janv. 2026", DateOf(2026, 1, 15)},
      {"fr-FR", u"15/Février/2026", DateOf(2026, 2, 15)},    {"fr-FR", u"15/FÉVRIER/2026", DateOf(2026, 2, 15)},
  };
  for (const auto& reading : kReadings) {
    EXPECT_EQ(LocaleServices(reading.locale).services.ToDate(reading.text), reading.date)
        << reading.locale << " " << ::testing::PrintToString(std::u16string(reading.text));
  }
  // The locale's own abbreviation of September, whatever the platform makes it ("sep" or "sept").
  LocaleServices spanish("es-ES");
  const std::u16string september = spanish.services.Format(DateOf(2026, 9, 15), u"mmm", 1, 1);
  EXPECT_EQ(spanish.services.ToDate(u"15/" + september + u"/2026"), DateOf(2026, 9, 15));
  EXPECT_EQ(spanish.services.ToDate(u"15/" + september + u"./2026"), DateOf(2026, 9, 15));
  // Both ICU and the Windows locale functions end French abbreviations in a period ("janv."), which is left out.
  EXPECT_EQ(LocaleServices("fr-FR").services.Format(DateOf(2026, 1, 15), u"dd/mmm/yyyy", 1, 1), u"15/janv/2026");
}

// Names are compared with their capitals folded: Latin, Greek and Cyrillic, at the ends of each run of letters.
TEST(Locales, NamesAreComparedWithTheCapitalsOfEachAlphabetFolded) {
  const std::pair<char16_t, char16_t> folds[] = {
      {u'A', u'a'},   {u'Z', u'z'},   {u'a', u'a'},   {0xC0, 0xE0},   {0xDE, 0xFE},   {0xD7, 0xD7},   {0x130, u'i'},
      {0x178, 0xFF},  {0x100, 0x101}, {0x136, 0x137}, {0x138, 0x138}, {0x14A, 0x14B}, {0x176, 0x177}, {0x139, 0x13A},
      {0x147, 0x148}, {0x149, 0x149}, {0x179, 0x17A}, {0x17D, 0x17E}, {0x391, 0x3B1}, {0x3A2, 0x3A2}, {0x3AB, 0x3CB},
      {0x3C2, 0x3C3}, {0x386, 0x3AC}, {0x388, 0x3AD}, {0x38A, 0x3AF}, {0x38C, 0x3CC}, {0x38E, 0x3CD}, {0x38F, 0x3CE},
      {0x410, 0x430}, {0x42F, 0x44F}, {0x400, 0x450}, {0x40F, 0x45F}, {0x3B1, 0x3B1}};
  for (const auto& [capital, small] : folds) EXPECT_EQ(FoldCase(capital), small) << std::hex << int(capital);
}

TEST(Locales, UnknownNamesMonthsAndWeekdaysAreRefused) {
  EXPECT_EQ(ErrorOf([] { MakeLocale("xx-QQ"); }), ErrorNumber::InvalidProcedureCall);
  const auto locale = MakeLocale("en");
  for (const auto& [month, weekday] : {std::pair{0, 0}, std::pair{13, 8}}) {
    EXPECT_EQ(ErrorOf([&] { locale->MonthName(month, false); }), ErrorNumber::InvalidProcedureCall) << month;
    EXPECT_EQ(ErrorOf([&] { locale->DayName(weekday, true); }), ErrorNumber::InvalidProcedureCall) << weekday;
  }
}

#ifndef _WIN32
// What the native build takes from ICU: the short date's separator, ICU's patterns as Windows pictures, the
// names of Monday and the designators.
TEST(Locales, NamesAndPicturesFromIcu) {
  const struct {
    const char* name;
    const char16_t *separator, *shortDate, *longDate, *time, *monday, *mondayAbbreviated, *am, *pm;
  } kLocales[] = {
      {"en-US", u"/", u"M/d/yy", u"dddd, MMMM d, yyyy", u"h:mm:ss\u202ftt", u"Monday", u"Mon", u"AM", u"PM"},
      {"en-GB", u"/", u"dd/MM/yyyy", u"dddd, d MMMM yyyy", u"HH:mm:ss", u"Monday", u"Mon", u"am", u"pm"},
      {"es-ES", u"/", u"d/M/yy", u"dddd, d 'de' MMMM 'de' yyyy", u"H:mm:ss", u"lunes", u"lun", u"a.\u00a0m.",
       u"p.\u00a0m."},
      {"de-DE", u".", u"dd.MM.yy", u"dddd, d. MMMM yyyy", u"HH:mm:ss", u"Montag", u"Mo.", u"AM", u"PM"},
      {"sv-SE", u"-", u"yyyy-MM-dd", u"dddd d MMMM yyyy", u"HH:mm:ss", u"m\u00e5ndag", u"m\u00e5n", u"fm", u"em"},
      {"ko-KR", u".", u"yy. M. d.", u"yyyy\ub144 M\uc6d4 d\uc77c dddd", u"tt h:mm:ss", u"\uc6d4\uc694\uc77c", u"\uc6d4",
       u"\uc624\uc804", u"\uc624\ud6c4"},
      // ICU's flexible day period ("Bh:mm:ss") is the designator.
      {"zh-TW", u"/", u"yyyy/M/d", u"yyyy\u5e74M\u6708d\u65e5 dddd", u"tth:mm:ss", u"\u661f\u671f\u4e00", u"\u9031\u4e00",
       u"\u4e0a\u5348", u"\u4e0b\u5348"},
      // The era (G) is left out.
      {"th-TH", u"/", u"d/M/yy", u"dddd\u0e17\u0e35\u0e48 d MMMM  yyyy", u"HH:mm:ss",
       u"\u0e27\u0e31\u0e19\u0e08\u0e31\u0e19\u0e17\u0e23\u0e4c", u"\u0e08.",
       u"\u0e01\u0e48\u0e2d\u0e19\u0e40\u0e17\u0e35\u0e48\u0e22\u0e07", u"\u0e2b\u0e25\u0e31\u0e07\u0e40\u0e17\u0e35\u0e48\u0e22\u0e07"},
  };
  using Picture = Locale::Picture;
  for (const auto& expected : kLocales) {
    const auto locale = MakeLocale(expected.name);
    EXPECT_EQ((std::vector<std::u16string>{locale->DateSeparator(), locale->DatePicture(Picture::ShortDate),
                                           locale->DatePicture(Picture::LongDate), locale->DatePicture(Picture::Time),
                                           locale->DayName(2, false), locale->DayName(2, true),
                                           locale->Designator(false), locale->Designator(true)}),
              (std::vector<std::u16string>{expected.separator, expected.shortDate, expected.longDate, expected.time,
                                           expected.monday, expected.mondayAbbreviated, expected.am, expected.pm}))
        << expected.name;
  }
}
#endif

TEST(Locales, UserLocaleHasNames) {
  const auto locale = MakeLocale("");
  for (int month = 1; month <= 12; ++month) EXPECT_FALSE(locale->MonthName(month, false).empty());
  for (int weekday = 1; weekday <= 7; ++weekday) EXPECT_FALSE(locale->DayName(weekday, true).empty());
  EXPECT_GE(locale->TwoDigitYearMax(), 99);
}

}  // namespace
}  // namespace marelco
