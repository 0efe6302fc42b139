// DateAdd, the supported range, negative serial numbers and the run time's string functions.
#include <gmock/gmock.h>

#include <cstring>
#include <ctime>
#include <utility>

#include "tests/core/date_test_support.h"

namespace marelco {
namespace {

using test::DateOf;
using test::ErrorOf;

class DateArithmetic : public ::testing::Test {
 protected:
  test::LocaleServices fixture{"en-US"};
  const DateServices& services = fixture.services;
};

struct Step {
  Date from;
  DateUnit unit;
  double count;
  Date to;
};

TEST_F(DateArithmetic, StepsCarryAndClampToTheMonthEnd) {
  const Step steps[] = {
      {DateOf(2027, 1, 31), DateUnit::Month, 1, DateOf(2027, 2, 28)},  // common year
      {DateOf(2028, 1, 31), DateUnit::Month, 1, DateOf(2028, 2, 29)},  // leap year
      {DateOf(2028, 3, 31), DateUnit::Month, -1, DateOf(2028, 2, 29)},
      {DateOf(2026, 8, 31), DateUnit::Month, 1, DateOf(2026, 9, 30)},
      {DateOf(2026, 9, 30), DateUnit::Month, 1, DateOf(2026, 10, 30)},  // the clamped day stays
      {DateOf(2026, 12, 15), DateUnit::Month, 1, DateOf(2027, 1, 15)},
      {DateOf(2027, 1, 15), DateUnit::Month, -1, DateOf(2026, 12, 15)},
      {DateOf(2028, 2, 29), DateUnit::Year, 1, DateOf(2029, 2, 28)},
      {DateOf(2028, 2, 29), DateUnit::Year, 4, DateOf(2032, 2, 29)},
      {DateOf(2026, 12, 31), DateUnit::Day, 1, DateOf(2027, 1, 1)},
      {DateOf(2027, 1, 1), DateUnit::Day, -1, DateOf(2026, 12, 31)},
      {DateOf(2028, 2, 28), DateUnit::Day, 1, DateOf(2028, 2, 29)},
      {DateOf(2027, 2, 28), DateUnit::Day, 1, DateOf(2027, 3, 1)},
      {DateOf(2027, 2, 28, 18), DateUnit::Day, 1, DateOf(2027, 3, 1, 18)},  // the time of day stays
      {DateOf(2027, 1, 31), DateUnit::Month, 3, DateOf(2027, 4, 30)},
      {DateOf(2027, 1, 31), DateUnit::Day, 7, DateOf(2027, 2, 7)},
      {DateOf(2027, 1, 31, 23), DateUnit::Day, 1.4, DateOf(2027, 2, 1, 23)},  // the count is rounded
      {DateOf(1899, 12, 30), DateUnit::Day, -1, DateOf(1899, 12, 29)},
      {DateOf(100, 1, 2), DateUnit::Day, -1, DateOf(100, 1, 1)},
      {DateOf(100, 1, 31), DateUnit::Month, 1, DateOf(100, 2, 28)},  // 100 is no leap year
      {DateOf(9999, 12, 30), DateUnit::Day, 1, DateOf(9999, 12, 31)},
      {DateOf(9998, 12, 31), DateUnit::Year, 1, DateOf(9999, 12, 31)},
  };
  for (const Step& step : steps) {
    const Date result = services.DateAdd(step.unit, step.count, step.from);
    EXPECT_NEAR(result.serial, step.to.serial, 1e-9)
        << ::testing::PrintToString(services.Format(step.from, u"dd/mm/yyyy hh:nn", 1, 1)) << " "
        << static_cast<int>(step.unit) << " " << step.count;
  }
}

TEST_F(DateArithmetic, LeavingTheSupportedDatesFails) {
  const Date last = DateOf(9999, 12, 31);
  const Date first = DateOf(100, 1, 1);
  for (const DateUnit unit : {DateUnit::Day, DateUnit::Month, DateUnit::Year}) {
    EXPECT_EQ(ErrorOf([&] { services.DateAdd(unit, 1, last); }), ErrorNumber::InvalidProcedureCall);
    EXPECT_EQ(ErrorOf([&] { services.DateAdd(unit, -1, first); }), ErrorNumber::InvalidProcedureCall);
  }
  EXPECT_EQ(ErrorOf([&] { services.DateAdd(DateUnit::Day, 1e300, first); }), ErrorNumber::InvalidProcedureCall);
  EXPECT_EQ(ErrorOf([&] { services.DateAdd(DateUnit::Month, -1e15, last); }), ErrorNumber::InvalidProcedureCall);
  EXPECT_EQ(ErrorOf([&] { services.DateAdd(DateUnit::Day, std::nan(""), first); }), ErrorNumber::InvalidProcedureCall);
  EXPECT_EQ(ErrorOf([&] { services.DateAdd(DateUnit::Day, 1, Date{3e6}); }), ErrorNumber::InvalidProcedureCall);
  EXPECT_EQ(ErrorOf([&] { services.DateAdd(static_cast<DateUnit>(3), 1, first); }), ErrorNumber::InvalidProcedureCall);
}

TEST_F(DateArithmetic, NegativeSerialsKeepTheTimeAsTheFraction) {
  // Below zero the sign belongs to the days only.
  EXPECT_EQ(services.Format(Date{-1.25}, u"dd/mm/yyyy hh:nn", 1, 1), u"29/12/1899 06:00");
  EXPECT_EQ(services.Format(Date{-0.5}, u"dd/mm/yyyy hh:nn", 1, 1), u"30/12/1899 12:00");
  EXPECT_EQ(services.Format(Date{1.75}, u"dd/mm/yyyy hh:nn", 1, 1), u"31/12/1899 18:00");
  EXPECT_EQ(services.ToDate(u"29/12/1899 06:00"), Date{-1.25});
  EXPECT_EQ(services.DateAdd(DateUnit::Day, -2, Date{1.25}), Date{-1.25});
  EXPECT_EQ(services.DateAdd(DateUnit::Day, 1, Date{-2.75}), Date{-1.75});
  EXPECT_EQ(services.DateAdd(DateUnit::Day, 1.25, Date{-1.25}), Date{0.25});
}

TEST_F(DateArithmetic, NowIsTheClock) {
  EXPECT_EQ(services.Now(), test::kFixedNow);
  // The local time as the C library writes it, read before and after: a minute may pass in between.
  const auto clockText = [] {
    const std::time_t now = std::time(nullptr);
    char text[32];
    std::strftime(text, sizeof text, "%d/%m/%Y %H:%M", std::localtime(&now));
    return std::u16string(text, text + std::strlen(text));
  };
  const std::u16string before = clockText();
  const std::u16string local = services.Format(DateServices::LocalNow(), u"dd/mm/yyyy hh:nn");
  EXPECT_THAT(local, ::testing::AnyOf(before, clockText()));
  test::LocaleServices live("en-US");
  DateServices defaultClock(*live.locale);
  EXPECT_NEAR(defaultClock.Now().serial, DateServices::LocalNow().serial, 1.0 / 24 / 60);
}

TEST(RunTimeErrors, CarryThePlatformsNumbersAndTexts) {
  const std::pair<int, std::string> kErrors[] = {{5, "Invalid procedure call or argument"}, {6, "Overflow"},
                                                 {13, "Type mismatch"}, {380, "Invalid property value"},
                                                 {7, "Application-defined or object-defined error"}};
  for (const auto& [number, text] : kErrors) {
    EXPECT_EQ(Description(static_cast<ErrorNumber>(number)), text) << number;
    EXPECT_EQ(RuntimeError(static_cast<ErrorNumber>(number)).what(), text) << number;
  }
}

TEST(StringFunctions, InStrFindsFromTheStart) {
  EXPECT_EQ(InStr(1, u"15/09/2026", u"/"), 3);
  EXPECT_EQ(InStr(4, u"15/09/2026", u"/"), 6);
  EXPECT_EQ(InStr(7, u"15/09/2026", u"/"), 0);
  EXPECT_EQ(InStr(3, u"15/09/2026", u"/"), 3);
  EXPECT_EQ(InStr(11, u"15/09/2026", u"/"), 0);  // past the end
  EXPECT_EQ(InStr(1, u"", u"/"), 0);
  EXPECT_EQ(InStr(2, u"abc", u""), 2);
  EXPECT_EQ(InStr(1, u"15/Sep/2026", u"sep"), 0);
  EXPECT_EQ(InStr(1, u"15/Sep/2026", u"sep", 1), 4);
  EXPECT_EQ(InStr(1, u"ÉTÉ", u"été", 1), 1);
  EXPECT_EQ(InStr(1, u"ab", u"abc"), 0);
  EXPECT_EQ(InStr(1, u"15/SEP/2026", u"sep", 2), 4);  // the database comparison ignores case too
  EXPECT_EQ(ErrorOf([] { InStr(0, u"abc", u"a"); }), ErrorNumber::InvalidProcedureCall);
  EXPECT_EQ(ErrorOf([] { InStr(1, u"abc", u"a", 3); }), ErrorNumber::InvalidProcedureCall);
}

// Each capital beside its small letter, at the ends of every range that changes case; then pairs that stay apart.
TEST(StringFunctions, InStrIgnoresTheCaseOfLatinGreekAndCyrillicLetters) {
  const std::pair<std::u16string, std::u16string> kSameLetters[] = {
      {u"AZ\u00c0\u00d6\u00d8\u00de", u"az\u00e0\u00f6\u00f8\u00fe"},
      {u"\u0100\u012e\u0132\u0136\u0139\u0147\u014a\u0176\u0178\u0179\u017d",
       u"\u0101\u012f\u0133\u0137\u013a\u0148\u014b\u0177\u00ff\u017a\u017e"},
      {u"\u0130", u"i"},  // the dotted capital I
      {u"\u0391\u03a1\u03a3\u03a9\u03aa\u03ab\u0386\u0388\u038a\u038c\u038e\u038f\u03a3",
       u"\u03b1\u03c1\u03c3\u03c9\u03ca\u03cb\u03ac\u03ad\u03af\u03cc\u03cd\u03ce\u03c2"},
      {u"\u0410\u042f\u0400\u040f", u"\u0430\u044f\u0450\u045f"},
  };
  for (const auto& [capitals, smalls] : kSameLetters) {
    EXPECT_EQ(InStr(1, capitals, smalls, 1), 1) << ::testing::PrintToString(capitals);
    EXPECT_EQ(InStr(1, smalls, capitals, 1), 1) << ::testing::PrintToString(capitals);
    EXPECT_EQ(InStr(1, capitals, smalls, 0), 0) << ::testing::PrintToString(capitals);
  }
  const std::u16string kApart[][2] = {
      {u"@", u"`"},            {u"[", u"{"},            {u"\u00d7", u"\u00f7"}, {u"\u00df", u"\u00ff"},
      {u"\u00bf", u"\u00df"},  {u"\u012f", u"i"},       {u"\u0131", u"i"},
      {u"\u0177", u"\u00ff"},  {u"\u0179", u"\u00ff"},  {u"\u0390", u"\u03b0"}, {u"\u03ac", u"\u03cc"},
      {u"\u03c1", u"\u03c3"},  {u"\u0385", u"\u03ac"},  {u"\u0387", u"\u03ac"}, {u"\u038b", u"\u03b0"},
      {u"\u038b", u"\u03cc"},  {u"\u038d", u"\u03cc"},  {u"\u0390", u"\u03cf"}, {u"\u0430", u"\u0450"},
      {u"\u03ff", u"\u044f"}};
  for (const auto& pair : kApart) EXPECT_EQ(InStr(1, pair[0], pair[1], 1), 0) << ::testing::PrintToString(pair[0]);
}

TEST(StringFunctions, LenMidAndString) {
  EXPECT_EQ(Len(u""), 0);
  EXPECT_EQ(Len(u"15/septiembre/2026"), 18);
  EXPECT_EQ(Mid(u"15/09/2026", 1, 2), u"15");
  EXPECT_EQ(Mid(u"15/09/2026", 3, 1), u"/");
  EXPECT_EQ(Mid(u"6/12/2026", 3, 1), u"1");
  EXPECT_EQ(Mid(u"15/09/2026", 7, 10), u"2026");
  EXPECT_EQ(Mid(u"15", 3, 1), u"");
  EXPECT_EQ(Mid(u"15", 1, 0), u"");
  EXPECT_EQ(ErrorOf([] { Mid(u"abc", 0, 1); }), ErrorNumber::InvalidProcedureCall);
  EXPECT_EQ(ErrorOf([] { Mid(u"abc", 1, -1); }), ErrorNumber::InvalidProcedureCall);
  EXPECT_EQ(String(2, u'0'), u"00");
  EXPECT_EQ(String(0, u'0'), u"");
  EXPECT_EQ(ErrorOf([] { String(-1, u'0'); }), ErrorNumber::InvalidProcedureCall);
}

}  // namespace
}  // namespace marelco
