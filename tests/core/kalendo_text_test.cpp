// The date text and its format, focus loss, and the events the control passes on to its host.
#include <gtest/gtest.h>

#include <optional>
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

TEST_F(KalendoText, TypedTextIsLeftAsTypedThroughFocusLoss) {
  k.host.Take();
  k.box().SetSelStart(0);
  k.box().SetSelLength(10);
  k.box().TypeText(u"abc");
  EXPECT_EQ(k.control.Text(), u"abc");
  k.box().Blur();
  EXPECT_EQ(k.control.Text(), u"abc");
  EXPECT_EQ(k.host.Count("Change"), 3u);
  EXPECT_EQ(k.host.Count("PropertyChanged Text"), 0u);
}

TEST_F(KalendoText, EmptyTextStaysEmptyOnFocusLoss) {
  k.box().Focus();
  k.Show(u"", 0);
  k.box().Blur();
  EXPECT_EQ(k.control.Text(), u"");
  EXPECT_TRUE(k.host.log.empty());
}

TEST_F(KalendoText, DateInAnotherFormIsRewrittenOnFocusLossWithoutNotice) {
  k.box().Focus();
  k.Show(u"7/1/2027", 8);
  k.box().Blur();
  EXPECT_EQ(k.control.Text(), u"07/01/2027");
  EXPECT_EQ(k.host.Take(), (Log{"Change"}));
}

TEST_F(KalendoText, TextLetFormatsTheGivenStringThenNotifies) {
  std::u16string seenInChange;
  k.host.onChange = [&] { seenInChange = k.control.Text(); };
  k.host.Take();
  k.control.SetText(u"1/2/2027");
  EXPECT_EQ(k.control.Text(), u"01/02/2027");
  EXPECT_EQ(seenInChange, u"01/02/2027");
  EXPECT_EQ(k.host.Take(), (Log{"Change", "PropertyChanged Text"}));
}

TEST_F(KalendoText, TextLetTakesAnyStringWithoutError) {
  k.host.Take();
  k.control.SetText(u"not a date");
  EXPECT_EQ(k.control.Text(), k.dates.Format(std::u16string(u"not a date"), u"dd/mm/yyyy"));
  EXPECT_EQ(k.host.Count("PropertyChanged Text"), 1u);
}

TEST_F(KalendoText, FormatoLetStoresFirstThenRewritesThenNotifies) {
  std::u16string formatInChange;
  k.host.onChange = [&] { formatInChange = k.control.Formato(); };
  k.host.Take();
  k.control.SetFormato(u"dd/mmmm/yyyy");
  EXPECT_EQ(k.control.Text(), u"07/December/2026");
  EXPECT_EQ(formatInChange, u"dd/mmmm/yyyy");
  EXPECT_EQ(k.host.Take(), (Log{"Change", "PropertyChanged Formato"}));

  k.control.SetFormato(u"dd/mmmm/yyyy");  // the same text again: no change, but a notice
  EXPECT_EQ(k.control.Text(), u"07/December/2026");
  EXPECT_EQ(k.host.Take(), (Log{"PropertyChanged Formato"}));

  k.control.SetFormato(u"dd/mmm/yyyy");
  EXPECT_EQ(k.control.Text(), u"07/Dec/2026");
}

TEST_F(KalendoText, FormatoLetAcceptsAnyFormat) {
  k.control.SetFormato(u"yyyy-mm-dd");
  EXPECT_EQ(k.control.Formato(), u"yyyy-mm-dd");
  EXPECT_EQ(k.control.Text(), u"2026-12-07");
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

TEST_F(KalendoText, ClickAndDoubleClickOfTheTextBoxReachTheHost) {
  k.host.Take();
  k.box().Click();
  k.box().DblClick();
  EXPECT_EQ(k.host.Take(), (Log{"Click", "DblClick"}));
}

TEST_F(KalendoText, SurfaceMouseEventsReachTheHostWithTheirVariables) {
  k.host.onMouseMove = [](Integer& button, Integer&, Single& x, Single&) {
    button = 2;
    x = 0;
  };
  k.host.Take();
  Integer button = 1, shift = kShiftMask;
  Single x = 120, y = 45;
  k.surface.MoveMouse(button, shift, x, y);
  EXPECT_EQ(button, 2);
  EXPECT_EQ(x, 0);
  k.surface.ReleaseMouse(button, shift, x, y);
  EXPECT_EQ(k.host.Take(), (Log{"MouseMove 1 1 120 45", "MouseUp 2 1 0 45"}));
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
