// Stepping the date field under the caret: by the arrow keys, the spinner and the two methods.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/kalendo_fixture.h"

namespace marelco::test {
namespace {

using Log = RecordingHost::Log;

struct Selection {
  Long start;
  Long length;
  friend bool operator==(const Selection&, const Selection&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Selection& s) {
    return out << "(" << s.start << ", " << s.length << ")";
  }
};

class KalendoStepping : public ::testing::Test {
 protected:
  Selection selection() { return {k.box().SelStart(), k.box().SelLength()}; }
  std::string text() { return Narrow(k.control.Text()); }

  void Step2(Boolean incremento) { k.control.CambiaFecha2(incremento); }
  void Step1(Boolean incremento) { k.control.CambiaFecha(incremento); }

  KalendoHarness k;
};

TEST_F(KalendoStepping, UpArrowInTheMonthStepsItAndConsumesTheKey) {
  k.Show(u"31/01/2027", 4);
  std::string textInChange;
  Selection selectionInChange{-1, -1};
  k.host.onChange = [&] {
    textInChange = text();
    selectionInChange = selection();
  };
  k.box().PressKey(vk::Up);
  EXPECT_EQ(k.box().KeyCodeAfterKeyDown(), 0);
  EXPECT_EQ(text(), "28/02/2027");
  EXPECT_EQ(selection(), (Selection{3, 2}));  // had the key gone on, the caret would have moved
  EXPECT_EQ(textInChange, "28/02/2027");
  EXPECT_EQ(selectionInChange, (Selection{0, 0}));  // Change comes before the field is selected
  EXPECT_EQ(k.host.Take(), (Log{"KeyDown 38 0", "Change", "KeyUp 38 0"}));
}

TEST_F(KalendoStepping, HostSeesTheKeyBeforeTheDateChanges) {
  k.Show(u"31/01/2027", 4);
  std::string textInKeyDown;
  k.host.onKeyDown = [&](Integer&, Integer&) { textInKeyDown = text(); };
  k.box().PressKey(vk::Down, kShiftMask);
  EXPECT_EQ(textInKeyDown, "31/01/2027");
  EXPECT_EQ(text(), "31/12/2026");
  EXPECT_EQ(k.host.Take(), (Log{"KeyDown 40 1", "Change", "KeyUp 40 1"}));
}

TEST_F(KalendoStepping, LeapYearsBothWays) {
  k.Show(u"31/03/2028", 4);
  Step2(kFalse);
  EXPECT_EQ(text(), "29/02/2028");
  k.Show(u"29/02/2028", 10);
  Step2(kTrue);
  EXPECT_EQ(text(), "28/02/2029");
  EXPECT_EQ(selection(), (Selection{6, 4}));
  k.Show(u"28/02/2028", 0);
  Step2(kTrue);
  EXPECT_EQ(text(), "29/02/2028");
  k.Show(u"01/03/2100", 1);  // 2100 is no leap year
  Step2(kFalse);
  EXPECT_EQ(text(), "28/02/2100");
}

TEST_F(KalendoStepping, DaysCarryIntoMonthsAndYears) {
  k.Show(u"01/01/2027", 1);
  Step2(kFalse);
  EXPECT_EQ(text(), "31/12/2026");
  EXPECT_EQ(selection(), (Selection{0, 2}));
  k.Show(u"31/12/2026", 0);
  k.box().Blur();
  Step2(kTrue);
  EXPECT_EQ(text(), "01/01/2027");
  EXPECT_EQ(selection(), (Selection{0, 2}));
  EXPECT_TRUE(k.box().HasFocus());  // caret 0 asks for the focus
}

TEST_F(KalendoStepping, MonthEndIsCutToTheShorterMonthAndStaysCut) {
  k.Show(u"31/08/2026", 3);
  Step2(kTrue);
  EXPECT_EQ(text(), "30/09/2026");
  Step2(kTrue);
  EXPECT_EQ(text(), "30/10/2026");
  EXPECT_EQ(selection(), (Selection{3, 2}));
}

TEST_F(KalendoStepping, YearFieldIsSelectedUpToTheEnd) {
  k.Show(u"15/09/2026", 9);
  Step2(kTrue);
  EXPECT_EQ(text(), "15/09/2027");
  EXPECT_EQ(selection(), (Selection{6, 4}));
}

TEST_F(KalendoStepping, CaretOnEitherSideOfEachSeparator) {
  struct Case {
    Long caret;
    const char* forwards;
    Selection selected;
  };
  const Case cases[] = {{2, "16/09/2026", {0, 2}}, {3, "15/10/2026", {3, 2}}, {5, "15/10/2026", {3, 2}},
                        {6, "15/09/2027", {6, 4}}};
  for (const Case& c : cases) {
    for (bool byFormat : {false, true}) {
      k.Show(u"15/09/2026", c.caret);
      byFormat ? Step2(kTrue) : Step1(kTrue);
      EXPECT_EQ(text(), c.forwards) << "caret " << c.caret << (byFormat ? " CambiaFecha2" : " CambiaFecha");
      EXPECT_EQ(selection(), c.selected) << "caret " << c.caret;
    }
  }
}

TEST_F(KalendoStepping, WholeTextSelectedStepsTheDayAndSelectsIt) {
  k.Show(u"15/09/2026", 0);
  k.box().SetSelLength(10);
  Step2(kTrue);
  EXPECT_EQ(text(), "16/09/2026");
  EXPECT_EQ(selection(), (Selection{0, 2}));
}

TEST_F(KalendoStepping, TheLastSupportedDateCannotGoForwards) {
  for (Long caret : {0, 1, 4, 8, 10}) {
    k.Show(u"31/12/9999", caret);
    Step2(kTrue);
    Step1(kTrue);
    EXPECT_EQ(text(), "31/12/9999");
    EXPECT_EQ(selection(), (Selection{caret, 0}));
  }
  EXPECT_EQ(k.host.Count("Change"), 0u);
  Step2(kFalse);
  EXPECT_EQ(text(), "31/12/9998");
}

TEST_F(KalendoStepping, TheFirstSupportedDateCannotGoBackwards) {
  using namespace std::chrono;
  const std::u16string first = k.dates.Format(DateOf(100, 1, 1), u"dd/mm/yyyy");
  for (Long caret : {1, 4, 8}) {
    k.Show(first, caret);
    Step2(kFalse);
    EXPECT_EQ(k.control.Text(), first);
  }
  Step2(kTrue);
  EXPECT_NE(k.control.Text(), first);
}

TEST_F(KalendoStepping, TextsThatAreNoDateChangeNothingButTheKeyIsConsumed) {
  for (const char16_t* bad : {u"abc", u"", u"32/13/2026", u"15//2026"}) {
    const Long caret = bad[0] ? 1 : 0;
    k.Show(bad, caret);
    Boolean incremento = kTrue;
    k.control.CambiaFecha2(incremento);
    k.control.CambiaFecha(incremento);
    k.box().PressKey(vk::Up);  // Up on its own would move the caret to the left
    EXPECT_EQ(k.box().KeyCodeAfterKeyDown(), 0);
    k.surface.UpDown1().ClickDown();
    EXPECT_EQ(k.control.Text(), bad);
    EXPECT_EQ(selection(), (Selection{caret, 0}));
    EXPECT_EQ(k.host.Count("Change"), 0u) << Narrow(bad);
  }
}

TEST_F(KalendoStepping, HostChangeHandlerRewritingTheTextIsFollowed) {
  k.control.SetFormato(u"dd/mmmm/yyyy");
  k.Show(u"15/May/2026", 8);  // the year
  k.host.onChange = [&] {
    k.host.onChange = nullptr;
    k.box().SetText(u"15/September/2027");
    k.box().SetSelStart(1);
  };
  Step2(kTrue);
  // The new separators stand at 3 and 13, so caret 8 now lies in the month, which is selected.
  EXPECT_EQ(text(), "15/September/2027");
  EXPECT_EQ(selection(), (Selection{3, 9}));

  // A text so short that the caret lies in no field: the caret goes back where it was, as far as the text goes.
  k.Show(u"15/May/2026", 9);
  k.host.onChange = [&] {
    k.host.onChange = nullptr;
    k.box().SetText(u"1/1/2000");
    k.box().SetSelStart(1);
  };
  Step2(kTrue);
  EXPECT_EQ(selection(), (Selection{8, 0}));
}

TEST_F(KalendoStepping, HostChangeHandlerWritingNoDateEndsTheStepQuietly) {
  k.Show(u"15/05/2026", 4);
  k.host.onChange = [&] {
    k.host.onChange = nullptr;
    k.box().SetText(u"later");
  };
  Step2(kTrue);
  EXPECT_EQ(text(), "later");
  EXPECT_EQ(selection(), (Selection{0, 0}));
}

TEST_F(KalendoStepping, HostKeyDownHandlerDecidesWhatTheKeyDoes) {
  k.Show(u"15/05/2026", 4);
  k.host.onKeyDown = [](Integer& code, Integer&) { code = 0; };
  k.box().PressKey(vk::Up);
  EXPECT_EQ(text(), "15/05/2026");
  EXPECT_EQ(selection(), (Selection{4, 0}));

  k.host.onKeyDown = [](Integer& code, Integer&) { code = code == vk::Up ? vk::Down : code; };
  k.box().PressKey(vk::Up);
  EXPECT_EQ(text(), "15/04/2026");

  k.Show(u"15/05/2026", 4);
  k.host.onKeyDown = [](Integer& code, Integer&) { code = vk::Up; };
  k.box().PressKey(vk::Right);  // turned into Up: a forward step, and the Right key is consumed
  EXPECT_EQ(text(), "15/06/2026");
  EXPECT_EQ(selection(), (Selection{3, 2}));
}

TEST_F(KalendoStepping, HostKeyDownErrorPreventsTheStep) {
  k.Show(u"15/05/2026", 4);
  k.host.onKeyDown = [](Integer&, Integer&) { throw RuntimeError(ErrorNumber::InvalidProcedureCall); };
  k.box().PressKey(vk::Up);
  EXPECT_EQ(text(), "15/05/2026");
  EXPECT_EQ(k.box().KeyCodeAfterKeyDown(), vk::Up);  // not cleared
  ASSERT_TRUE(k.box().TakeEventError().has_value());
}

TEST_F(KalendoStepping, OneDigitDayFindsNoSecondSeparator) {
  // The separator is read as the third character, "1", so only one "separator" is found.
  for (Long caret : {0, 1, 2}) {
    k.Show(u"6/12/2026", caret);
    Step1(kTrue);
    EXPECT_EQ(text(), "07/12/2026") << caret;
    EXPECT_EQ(selection(), (Selection{0, 2}));
  }
  for (Long caret : {3, 5, 9}) {
    k.Show(u"6/12/2026", caret);
    Step1(kTrue);
    EXPECT_EQ(text(), "6/12/2026") << caret;
  }
  const Selection selected[] = {{0, 2}, {3, 2}, {6, 4}};
  for (Long caret : {1, 4, 8}) {
    k.Show(u"6/12/2026", caret);
    Step2(kTrue);  // every caret counts as the year's field, which the format does not name: the day
    EXPECT_EQ(text(), "07/12/2026") << caret;
    EXPECT_EQ(selection(), selected[caret / 3]) << caret;
  }
}

// Texts whose separators fall otherwise than in the formats' own texts, forwards.
TEST_F(KalendoStepping, SeparatorsWhereverTheTextPutsThem) {
  const struct {
    const char16_t *format, *text;
    Long caret;
    bool byFormat;
    const char* stepped;
    Selection selected;
  } cases[] = {
      {u"dd/mm/yyyy", u"1/1/2026", 2, false, "01/02/2026", {0, 2}},   // the separator "1" first at 1, then at 3
      {u"dd/mm/yyyy", u"6/11/2026", 3, false, "06/12/2026", {3, 2}},  // "1" at 3 and 4: a month between them
      {u"d/m/yyyy", u"15-9-2026", 0, true, "15/9/2027", {0, 2}},      // no "-" in the format: every field is 3
      {u"mm/yyyy", u"09/2026", 0, true, "10/2026", {0, 2}},           // no day: "m" stands behind no second "/"
  };
  for (const auto& c : cases) {
    k.control.SetFormato(c.format);
    k.Show(c.text, c.caret);
    c.byFormat ? Step2(kTrue) : Step1(kTrue);
    EXPECT_EQ(text(), c.stepped) << Narrow(c.text);
    EXPECT_EQ(selection(), c.selected) << Narrow(c.text);
  }
}

TEST_F(KalendoStepping, LongMonthNamesMoveTheSecondSeparator) {
  k.control.SetFormato(u"dd/mmmm/yyyy");
  k.Show(u"15/September/2026", 12);
  Step2(kTrue);
  EXPECT_EQ(text(), "15/October/2026");
  EXPECT_EQ(selection(), (Selection{11, 4}));  // caret 12 now lies behind the shorter month
  Step2(kTrue);
  EXPECT_EQ(text(), "15/October/2027");
}

TEST_F(KalendoStepping, SpinnerAndWheelStepWithoutEventsOfTheirOwn) {
  k.Show(u"15/05/2026", 1);
  k.box().TurnWheel(true);  // the box does not have the focus
  k.box().Focus();
  for (bool awayFromUser : {true, false, false}) k.box().TurnWheel(awayFromUser);
  EXPECT_EQ(text(), "14/05/2026");
  for (int i = 0; i < 40; ++i) k.surface.UpDown1().ClickUp();
  EXPECT_EQ(text(), "23/06/2026");
  k.surface.UpDown1().ClickDown();
  EXPECT_EQ(text(), "22/06/2026");
  EXPECT_EQ(k.host.Take(), Log(44, "Change"));
  k.surface.UpDown1().SetEnabled(false);
  k.surface.UpDown1().ClickUp();
  EXPECT_EQ(text(), "22/06/2026");
}

TEST_F(KalendoStepping, LockedTextStillSteps) {
  k.box().SetLocked(true);
  k.Show(u"15/05/2026", 4);
  k.box().PressKey(vk::Up);
  EXPECT_EQ(text(), "15/06/2026");
}

TEST_F(KalendoStepping, DisabledTextBoxStepsExceptAtCaretZero) {
  k.Show(u"15/05/2026", 4);
  k.box().SetEnabled(false);
  Step2(kTrue);
  EXPECT_EQ(text(), "15/06/2026");
  k.box().SetSelStart(0);
  Step2(kTrue);  // the box cannot take the focus
  EXPECT_EQ(text(), "15/06/2026");
}

TEST_F(KalendoStepping, IncrementoIsOnlyRead) {
  k.Show(u"15/05/2026", 1);
  Boolean incremento = 1;
  k.control.CambiaFecha2(incremento);
  EXPECT_EQ(incremento, 1);
  EXPECT_EQ(text(), "16/05/2026");
}

TEST_F(KalendoStepping, PositionsBeyondAByteEndTheStep) {
  k.control.SetFormato(u"dd/mm/yyyy");
  const std::u16string longText = u"15/05/2026" + std::u16string(300, u' ');
  ASSERT_TRUE(k.dates.IsDate(longText));
  k.Show(longText, 256);
  Step2(kTrue);
  EXPECT_EQ(k.control.Text(), longText);
  k.Show(longText, 255);  // still a byte: the year is stepped
  Step2(kTrue);
  EXPECT_EQ(text(), "15/05/2027");
}

}  // namespace
}  // namespace marelco::test
