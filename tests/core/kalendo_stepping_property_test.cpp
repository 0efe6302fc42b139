// Random steps of random dates, checked against a model of the step built on <chrono> alone: the date
// arithmetic, the text and the selection are worked out here, only the month names come from the locale.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <tuple>

#include "tests/core/kalendo_fixture.h"

namespace marelco::test {
namespace {

using namespace std::chrono;

enum class MonthStyle { Digits, Abbreviated, Full };
enum class Unit { Day, Month, Year };

struct Expected {
  std::u16string text;
  Long selStart;
  Long selLength;
};

class StepModel {
 public:
  StepModel(const Locale& locale, MonthStyle style) : locale_(locale), style_(style) {}

  std::u16string Render(year_month_day date) const {
    return Digits(static_cast<unsigned>(date.day()), 2) + u"/" + MonthText(static_cast<unsigned>(date.month())) +
           u"/" + Digits(static_cast<int>(date.year()), 4);
  }

  // The text and selection after one step at caret P; nothing changes when the result leaves the
  // supported years (up to 9999).
  Expected Step(year_month_day date, Long P, int direction) const {
    const std::u16string before = Render(date);
    const std::optional<year_month_day> after = Add(date, UnitAt(before, P), direction);
    if (!after) return {before, P, 0};
    const std::u16string text = Render(*after);
    const auto L = static_cast<Long>(text.size());
    const Long secondSeparator = SecondSeparator(text);  // 0-based index, = 1-based S2 - 1
    if (P <= 2) return {text, 0, 2};
    if (P <= secondSeparator) return {text, 3, secondSeparator - 3};
    if (P <= L) return {text, secondSeparator + 1, L - secondSeparator - 1};
    return {text, L, 0};
  }

 private:
  static Long SecondSeparator(const std::u16string& text) { return static_cast<Long>(text.find(u'/', 3)); }

  static Unit UnitAt(const std::u16string& text, Long P) {
    if (P <= 2) return Unit::Day;
    if (P <= SecondSeparator(text)) return Unit::Month;
    return Unit::Year;
  }

  static std::optional<year_month_day> Add(year_month_day date, Unit unit, int n) {
    year_month_day result;
    if (unit == Unit::Day) {
      result = year_month_day{sys_days{date} + days{n}};
    } else {
      const year_month month = unit == Unit::Month ? year_month{date.year(), date.month()} + months{n}
                                                   : year_month{date.year(), date.month()} + years{n};
      result = month / std::min(date.day(), (month / last).day());
    }
    if (result.year() < year{100} || result.year() > year{9999}) return std::nullopt;
    return result;
  }

  std::u16string MonthText(unsigned month) const {
    switch (style_) {
      case MonthStyle::Digits: return Digits(month, 2);
      case MonthStyle::Abbreviated: return locale_.MonthName(static_cast<int>(month), true);
      case MonthStyle::Full: return locale_.MonthName(static_cast<int>(month), false);
    }
    return {};
  }

  // The value in as many decimal digits as given, with leading zeros.
  static std::u16string Digits(int value, int count) {
    std::u16string digits(count, u'0');
    for (int i = count - 1; i >= 0; --i, value /= 10) digits[i] = static_cast<char16_t>(u'0' + value % 10);
    return digits;
  }

  const Locale& locale_;
  MonthStyle style_;
};

// A locale, and the month's style in the date format.
class SteppingProperty : public ::testing::TestWithParam<std::tuple<const char*, MonthStyle>> {};

TEST_P(SteppingProperty, EveryStepMatchesTheCalendar) {
  const auto [locale, style] = GetParam();
  KalendoHarness k(locale);
  const char16_t* const formats[] = {u"dd/mm/yyyy", u"dd/mmm/yyyy", u"dd/mmmm/yyyy"};
  k.control.SetFormato(formats[static_cast<int>(style)]);
  const StepModel model(*k.locale, style);

  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> years(1000, 9999);
  std::uniform_int_distribution<unsigned> months(1, 12);
  std::uniform_int_distribution<int> coin(0, 1);
  std::uniform_int_distribution<int> edge(0, 9);

  for (int i = 0; i < 2500; ++i) {
    // One case in ten sits in the last supported year, one in ten on the first or last day of a month.
    const int y = edge(random) == 0 ? 9999 : years(random);
    const year_month month{year{y}, std::chrono::month{months(random)}};
    const unsigned lastDay = static_cast<unsigned>((month / last).day());
    const unsigned d = edge(random) == 0 ? (coin(random) ? 1 : lastDay)
                                         : std::uniform_int_distribution<unsigned>(1, lastDay)(random);
    const year_month_day date = month / day{d};
    const std::u16string text = model.Render(date);
    const Long caret = std::uniform_int_distribution<Long>(0, static_cast<Long>(text.size()))(random);
    const int direction = coin(random) ? 1 : -1;
    const bool byFormat = coin(random);

    k.Show(text, caret);
    Boolean incremento = direction > 0 ? kTrue : kFalse;
    byFormat ? k.control.CambiaFecha2(incremento) : k.control.CambiaFecha(incremento);

    const Expected expected = model.Step(date, caret, direction);
    ASSERT_EQ(Narrow(k.control.Text()), Narrow(expected.text))
        << Narrow(text) << " caret " << caret << " step " << direction << (byFormat ? " by format" : "");
    ASSERT_EQ(k.box().SelStart(), expected.selStart) << Narrow(text) << " caret " << caret;
    ASSERT_EQ(k.box().SelLength(), expected.selLength) << Narrow(text) << " caret " << caret;
  }
}

std::string SettingName(const ::testing::TestParamInfo<SteppingProperty::ParamType>& info) {
  const char* const styles[] = {"Digits", "Abbreviated", "Full"};
  return std::get<0>(info.param) + std::string(styles[static_cast<int>(std::get<1>(info.param))]);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SteppingProperty,
    ::testing::Combine(::testing::Values("en", "es"),
                       ::testing::Values(MonthStyle::Digits, MonthStyle::Abbreviated, MonthStyle::Full)),
    SettingName);

}  // namespace
}  // namespace marelco::test
