// The date text and its format, focus loss, and the events the control passes on to its host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/kalendo_fixture.h"

namespace marelco::test {
namespace {

using Log = RecordingHost::Log;

class KalendoText : public ::testing::Test {
 protected:
  KalendoHarness k;
};

TEST_F(KalendoText, NewInstanceShowsTodayInTheDefaultFormat) {
  EXPECT_EQ(k.control.Text(), u"07/12/2026");
  EXPECT_EQ(k.control.Formato(), u"dd/mm/yyyy");
}

// Each typed character raises Change and no notice; focus loss then rewrites a date in the format, noticed by a
// Change only, and leaves any other text as typed.
TEST_F(KalendoText, FocusLossRewritesOnlyDates) {
  const struct {
    const char16_t *typed, *left;
    Log onFocusLoss;
  } rows[] = {{u"abc", u"abc", {}}, {u"", u"", {}}, {u"7/1/2027", u"07/01/2027", {"Change"}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(Narrow(row.typed));
    k.box().Focus();
    k.Show(u"", 0);
    k.box().TypeText(row.typed);
    EXPECT_EQ(k.control.Text(), row.typed);
    EXPECT_EQ(k.host.Count("Change"), std::u16string_view(row.typed).size());
    EXPECT_EQ(k.host.Count("PropertyChanged Text"), 0u);
    k.host.Take();
    k.box().Blur();
    EXPECT_EQ(k.control.Text(), row.left);
    EXPECT_EQ(k.host.Take(), row.onFocusLoss);
  }
}

// Text takes any string and writes it in the format, before Change and the notice.
TEST_F(KalendoText, TextLetFormatsTheGivenStringThenNotifies) {
  std::u16string seenInChange;
  k.host.onChange = [&] { seenInChange = k.control.Text(); };
  for (const auto& [given, shown] : {std::pair{u"1/2/2027", u"01/02/2027"}, {u"not a date", u"not a date"}}) {
    SCOPED_TRACE(Narrow(given));
    k.host.Take();
    k.control.SetText(given);
    EXPECT_EQ(k.control.Text(), shown);
    EXPECT_EQ(seenInChange, shown);
    EXPECT_EQ(k.host.Take(), (Log{"Change", "PropertyChanged Text"}));
  }
}

// In turn: Formato is stored first, the text rewritten in it, then noticed, even when it is the same again.
TEST_F(KalendoText, FormatoLetStoresFirstThenRewritesThenNotifies) {
  std::u16string formatInChange;
  k.host.onChange = [&] { formatInChange = k.control.Formato(); };
  k.host.Take();
  const struct {
    const char16_t *format, *text;
    Log log;
  } steps[] = {
      {u"dd/mmmm/yyyy", u"07/December/2026", {"Change", "PropertyChanged Formato"}},
      {u"dd/mmmm/yyyy", u"07/December/2026", {"PropertyChanged Formato"}},  // no change, but a notice
      {u"dd/mmm/yyyy", u"07/Dec/2026", {"Change", "PropertyChanged Formato"}},
      {u"yyyy-mm-dd", u"2026-12-07", {"Change", "PropertyChanged Formato"}},  // any format
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(Narrow(step.format));
    formatInChange.clear();
    k.control.SetFormato(step.format);
    EXPECT_EQ(k.control.Formato(), step.format);
    EXPECT_EQ(k.control.Text(), step.text);
    EXPECT_EQ(formatInChange, step.log.size() > 1 ? step.format : u"");
    EXPECT_EQ(k.host.Take(), step.log);
  }
}

// Weeks start on Sunday and the first holds 1 January, whoever formats: Sunday 3 January 2027 is day 1 of week 2.
TEST_F(KalendoText, FormatoLetTextLetAndFocusLossCountWeeksAlike) {
  k.box().Focus();
  k.Show(u"03/01/2027", 0);
  k.control.SetFormato(u"w ww dd/mm/yyyy");
  EXPECT_EQ(k.control.Text(), u"1 2 03/01/2027");
  k.control.SetText(u"03/01/2027");
  EXPECT_EQ(k.control.Text(), u"1 2 03/01/2027");
  k.Show(u"03/01/2027", 0);
  k.box().Blur();
  EXPECT_EQ(k.control.Text(), u"1 2 03/01/2027");
}

TEST_F(KalendoText, ClicksAndSurfaceMouseEventsReachTheHostWithTheirVariables) {
  k.host.onMouseMove = [](Integer& button, Integer&, Single& x, Single&) {
    button = 2;
    x = 0;
  };
  k.host.Take();
  k.box().Click();
  k.box().DblClick();
  Integer button = 1, shift = kShiftMask;
  Single x = 120, y = 45;
  k.surface.MoveMouse(button, shift, x, y);
  EXPECT_EQ(button, 2);
  EXPECT_EQ(x, 0);
  k.surface.ReleaseMouse(button, shift, x, y);
  EXPECT_EQ(k.host.Take(), (Log{"Click", "DblClick", "MouseMove 1 1 120 45", "MouseUp 2 1 0 45"}));
}

TEST_F(KalendoText, KeyPressAndKeyUpReachTheHostAndItsChangesReachTheBox) {
  k.Show(u"", 0);
  k.host.onKeyPress = [](Integer& ascii) {
    if (ascii == '-') ascii = '/';
    if (ascii == 'x') ascii = 0;
  };
  k.box().TypeText(u"7-x1");
  EXPECT_EQ(k.control.Text(), u"7/1");
  k.box().PressKey(vk::Right, kCtrlMask);
  EXPECT_EQ(k.box().KeyCodeAfterKeyDown(), vk::Right);  // other keys are left to the box
  EXPECT_EQ(k.host.log.back(), "KeyUp 39 2");
  EXPECT_EQ(k.host.Count("KeyDown 39 2"), 1u);
}

TEST(KalendoLifetime, ConstituentsOutlivingTheControlNoLongerCallIt) {
  auto locale = MakeLocale("en");
  DateServices dates(*locale);
  MemorySurface surface;
  RecordingHost host;
  FakeGdi gdi;
  {
    Kalendo control(surface, host, dates, gdi);
  }
  host.Take();
  surface.txtFecha().TypeChar(u'1');
  surface.txtFecha().Click();
  surface.UpDown1().ClickUp();
  Integer button = 1, shift = 0;
  Single x = 0, y = 0;
  surface.MoveMouse(button, shift, x, y);
  EXPECT_TRUE(host.log.empty());
}

}  // namespace
}  // namespace marelco::test
