// Stepping the date field under the caret: by the arrow keys, the spinner and the two methods.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/core/kalendo_fixture.h"

namespace marelco::test {
namespace {

using Log = RecordingHost::Log;

using Selection = std::pair<Long, Long>;  // start and length

class KalendoStepping : public ::testing::Test {
 protected:
  Selection selection() { return {k.box().SelStart(), k.box().SelLength()}; }
  std::string text() { return Narrow(k.control.Text()); }

  void Step2(Boolean incremento) { k.control.CambiaFecha2(incremento); }

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

// One step each, in the order of the rows: a row without a text steps again from the text and selection that
// the row before left, its caret being where that selection starts. A step that cannot be taken leaves the
// caret alone; caret 0 asks for the focus.
TEST_F(KalendoStepping, StepsTheFieldUnderTheCaret) {
  enum Call { ByPosition, ByFormat, Both };  // CambiaFecha, CambiaFecha2, each in turn on the shown text
  const struct {
    const char16_t* shown;
    Long caret;
    Call call;
    Boolean incremento;
    const char* stepped;
    Selection selected;
    const char16_t* format = u"dd/mm/yyyy";
  } rows[] = {
      {u"31/03/2028", 4, ByFormat, kFalse, "29/02/2028", {3, 2}},  // leap years both ways
      {u"29/02/2028", 10, ByFormat, kTrue, "28/02/2029", {6, 4}},
      {u"28/02/2028", 0, ByFormat, kTrue, "29/02/2028", {0, 2}},
      {u"01/03/2100", 1, ByFormat, kFalse, "28/02/2100", {0, 2}},  // 2100 is no leap year
      {u"01/01/2027", 1, ByFormat, kFalse, "31/12/2026", {0, 2}},  // days carry into months and years
      {u"31/12/2026", 0, ByFormat, kTrue, "01/01/2027", {0, 2}},
      {u"31/08/2026", 3, ByFormat, kTrue, "30/09/2026", {3, 2}},  // the month end is cut and stays cut
      {nullptr, 3, ByFormat, kTrue, "30/10/2026", {3, 2}},
      {u"15/09/2026", 9, ByFormat, kTrue, "15/09/2027", {6, 4}},  // the year is selected up to the end
      {u"15/09/2026", 2, Both, kTrue, "16/09/2026", {0, 2}},      // either side of each separator
      {u"15/09/2026", 3, Both, kTrue, "15/10/2026", {3, 2}},
      {u"15/09/2026", 5, Both, kTrue, "15/10/2026", {3, 2}},
      {u"15/09/2026", 6, Both, kTrue, "15/09/2027", {6, 4}},
      {u"15/05/2026", 1, ByFormat, 1, "16/05/2026", {0, 2}},  // any nonzero Incremento, which is only read
      {u"31/12/9999", 0, Both, kTrue, "31/12/9999", {0, 0}},  // the last supported date cannot go forwards
      {u"31/12/9999", 1, Both, kTrue, "31/12/9999", {1, 0}},
      {u"31/12/9999", 4, Both, kTrue, "31/12/9999", {4, 0}},
      {u"31/12/9999", 8, Both, kTrue, "31/12/9999", {8, 0}},
      {u"31/12/9999", 10, Both, kTrue, "31/12/9999", {10, 0}},
      {nullptr, 10, ByFormat, kFalse, "31/12/9998", {6, 4}},
      {u"01/01/100", 1, ByFormat, kFalse, "01/01/100", {1, 0}},  // nor the first backwards
      {u"01/01/100", 4, ByFormat, kFalse, "01/01/100", {4, 0}},
      {u"01/01/100", 8, ByFormat, kFalse, "01/01/100", {8, 0}},
      {nullptr, 8, ByFormat, kTrue, "01/01/101", {6, 3}},
      // Long month names move the second separator: caret 12 then lies behind the shorter month.
      {u"15/September/2026", 12, ByFormat, kTrue, "15/October/2026", {11, 4}, u"dd/mmmm/yyyy"},
      {nullptr, 11, ByFormat, kTrue, "15/October/2027", {11, 4}},
      // Separators wherever the text puts them.
      {u"1/1/2026", 2, ByPosition, kTrue, "01/02/2026", {0, 2}},             // the separator "1" first at 1, then at 3
      {u"6/11/2026", 3, ByPosition, kTrue, "06/12/2026", {3, 2}},            // "1" at 3 and 4: a month between them
      {u"15-9-2026", 0, ByFormat, kTrue, "15/9/2027", {0, 2}, u"d/m/yyyy"},  // no "-" in the format: all fields 3
      {u"09/2026", 0, ByFormat, kTrue, "10/2026", {0, 2}, u"mm/yyyy"},       // no day: "m" stands behind no second "/"
      {u"15/09/2026", 4, ByFormat, kTrue, "2027", {0, 0}, u"yyyy"},          // no "d" nor "m": the middle is the year
      // A one-digit day: the separator is read as the third character, "1", so only one "separator" is found.
      {u"6/12/2026", 0, ByPosition, kTrue, "07/12/2026", {0, 2}},
      {u"6/12/2026", 1, ByPosition, kTrue, "07/12/2026", {0, 2}},
      {u"6/12/2026", 2, ByPosition, kTrue, "07/12/2026", {0, 2}},
      {u"6/12/2026", 3, ByPosition, kTrue, "6/12/2026", {3, 0}},
      {u"6/12/2026", 5, ByPosition, kTrue, "6/12/2026", {5, 0}},
      {u"6/12/2026", 9, ByPosition, kTrue, "6/12/2026", {9, 0}},
      // By the format every caret counts as the year's field, which the format does not name: the day.
      {u"6/12/2026", 1, ByFormat, kTrue, "07/12/2026", {0, 2}},
      {u"6/12/2026", 4, ByFormat, kTrue, "07/12/2026", {3, 2}},
      {u"6/12/2026", 8, ByFormat, kTrue, "07/12/2026", {6, 4}},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const auto& row = rows[i];
    for (Call call : {ByPosition, ByFormat}) {
      if (row.call != Both && row.call != call) continue;
      const std::string before = row.shown ? Narrow(row.shown) : text();
      SCOPED_TRACE(::testing::Message() << "row " << i << " " << before << " caret " << row.caret
                                        << (call == ByFormat ? " CambiaFecha2" : " CambiaFecha"));
      if (row.shown) {
        k.box().Blur();
        k.control.SetFormato(row.format);
        k.Show(row.shown, row.caret);
      } else {
        ASSERT_EQ(selection().first, row.caret);
        k.host.Take();
      }
      Boolean incremento = row.incremento;
      call == ByFormat ? k.control.CambiaFecha2(incremento) : k.control.CambiaFecha(incremento);
      EXPECT_EQ(incremento, row.incremento);
      EXPECT_EQ(text(), row.stepped);
      EXPECT_EQ(selection(), row.selected);
      EXPECT_EQ(k.host.Count("Change"), before == row.stepped ? 0u : 1u);
      if (row.shown) {
        EXPECT_EQ(k.box().HasFocus(), row.caret == 0);
      }
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

// The host's Change handler rewrites the text and puts the caret at 1; the step goes on in the new text.
TEST_F(KalendoStepping, HostChangeHandlerRewritingTheTextIsFollowed) {
  const struct {
    const char16_t *format, *shown;
    Long caret;
    const char16_t* rewritten;
    Selection selected;
  } rows[] = {
      // The new separators stand at 3 and 13, so caret 8 now lies in the month, which is selected.
      {u"dd/mmmm/yyyy", u"15/May/2026", 8, u"15/September/2027", {3, 9}},
      // A text so short that the caret lies in no field: the caret goes back where it was, as far as the text goes.
      {u"dd/mmmm/yyyy", u"15/May/2026", 9, u"1/1/2000", {8, 0}},
      // No date: the step ends quietly, leaving the caret where the handler put it.
      {u"dd/mm/yyyy", u"15/05/2026", 4, u"later", {1, 0}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Narrow(row.rewritten));
    k.control.SetFormato(row.format);
    k.Show(row.shown, row.caret);
    k.host.onChange = [&] {
      k.host.onChange = nullptr;
      k.box().SetText(row.rewritten);
      k.box().SetSelStart(1);
    };
    Step2(kTrue);
    EXPECT_EQ(k.control.Text(), row.rewritten);
    EXPECT_EQ(selection(), row.selected);
  }
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

TEST_F(KalendoStepping, DisabledTextBoxStepsExceptAtCaretZero) {
  k.Show(u"15/05/2026", 4);
  k.box().SetEnabled(false);
  Step2(kTrue);
  EXPECT_EQ(text(), "15/06/2026");
  k.box().SetSelStart(0);
  Step2(kTrue);  // the box cannot take the focus
  EXPECT_EQ(text(), "15/06/2026");
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
