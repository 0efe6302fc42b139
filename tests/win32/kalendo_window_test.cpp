// Kalendo in real windows: keystrokes and mouse clicks through the system's input, as a user gives them; and
// creating and destroying controls leaves no window, GDI object or heap block behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <oleacc.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "com/com_ptr.h"
#include "control/kalendo.h"
#include "dates/date_services.h"
#include "dates/runtime_error.h"
#include "tests/core/recording_host.h"
#include "tests/win32/resource_count.h"
#include "tests/win32/window_test_support.h"
#include "win32/surface_window.h"
#include "win32/windows_gdi.h"

namespace marelco::win32::testing {
namespace {

class KalendoWindowTest : public ::testing::Test {
 protected:
  KalendoWindowTest() {
    control.InitProperties();
    SetWindowPos(surface.hwnd(), nullptr, 0, 0, 160, 23, SWP_NOZORDER);
  }

  HWND edit() const { return EditOf(surface.hwnd()); }
  HWND upDown() const { return UpDownOf(surface.hwnd()); }

  // The date in the box with the caret at a place, the box holding the focus, and the log emptied.
  void Start(const std::u16string& text, Long caret) {
    control.SetText(text);
    SetFocus(edit());
    control.SetSelStart(caret);
    Pump();
    host.Take();
  }

  // One more control in the shared form: its surface window and the Kalendo on it, as a host holds them.
  struct Control {
    explicit Control(KalendoWindowTest& test) : control(surface, test.host, test.dates, test.gdi) {}
    SurfaceWindow surface{TestForm::Shared().hwnd()};
    Kalendo control;
  };

  std::unique_ptr<Locale> locale = MakeLocale("en");
  DateServices dates{*locale};
  test::RecordingHost host;
  WindowsGdi gdi;
  SurfaceWindow surface{TestForm::Shared().hwnd()};
  Kalendo control{surface, host, dates, gdi};
};

TEST_F(KalendoWindowTest, UpArrowInTheMonthStepsItAndSelectsIt) {
  Start(u"31/01/2027", 4);
  SendKeyPress(VK_UP);
  EXPECT_EQ(control.Text(), u"28/02/2027");
  EXPECT_EQ(control.SelStart(), 3);  // the month is selected: the arrow did not move the caret on
  EXPECT_EQ(control.SelLength(), 2);
  EXPECT_EQ(host.Take(), (test::RecordingHost::Log{"KeyDown 38 0", "Change", "KeyUp 38 0"}));
}

// A screen reader asks the text box for its accessible object: editable text, with the date as its value and
// the tool tip as its name, or "Date" without one. An object it holds follows later changes.
TEST_F(KalendoWindowTest, ScreenReadersFindTheTextBoxAsNamedEditableTextHoldingTheDate) {
  control.SetText(u"05/03/2027");
  ComPtr<IAccessible> accessible;
  ASSERT_EQ(S_OK, AccessibleObjectFromWindow(edit(), OBJID_CLIENT, __uuidof(IAccessible), accessible.put_void()));
  VARIANT self;
  V_VT(&self) = VT_I4;
  V_I4(&self) = CHILDID_SELF;
  OleVariant role;
  ASSERT_EQ(S_OK, accessible->get_accRole(self, role.put()));
  EXPECT_EQ(VT_I4, V_VT(role.get()));
  EXPECT_EQ(ROLE_SYSTEM_TEXT, V_I4(role.get()));
  auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
    Bstr value;
    EXPECT_EQ(S_OK, (accessible.get()->*get)(self, value.put()));
    return value.str();
  };
  EXPECT_EQ(u"05/03/2027", text(&IAccessible::get_accValue));
  EXPECT_EQ(u"Date", text(&IAccessible::get_accName));
  control.SetToolTipText(u"Fecha de entrega");
  control.SetText(u"06/03/2027");
  EXPECT_EQ(u"Fecha de entrega", text(&IAccessible::get_accName));
  EXPECT_EQ(u"06/03/2027", text(&IAccessible::get_accValue));
  control.SetToolTipText(u"");
  EXPECT_EQ(u"Date", text(&IAccessible::get_accName));

  HWND window = nullptr;
  ASSERT_EQ(S_OK, WindowFromAccessibleObject(accessible.get(), &window));
  EXPECT_EQ(edit(), window);
}

// The text box keeps the text it last read, and must forget it whenever the EDIT's text may have changed:
// written by another hand, typed, or rewritten by the host's Change handler in the middle of a step.
TEST_F(KalendoWindowTest, TheTextIsReadAfreshWhoeverChangedIt) {
  Start(u"31/01/2027", 4);
  EXPECT_EQ(control.Text(), u"31/01/2027");
  SetWindowTextW(edit(), L"15/06/2026");
  EXPECT_EQ(control.Text(), u"15/06/2026");
  SendMessageW(edit(), EM_SETSEL, 0, -1);
  SendMessageW(edit(), WM_CHAR, L'7', 1);
  EXPECT_EQ(control.Text(), u"7");
  EXPECT_EQ(host.Count("Change"), 2u);

  Start(u"31/01/2027", 4);
  host.onChange = [&] {
    host.onChange = nullptr;
    SetWindowTextW(edit(), L"5/3/2001");
  };
  SendKeyPress(VK_UP);
  EXPECT_EQ(control.Text(), u"5/3/2001");
  // The separators are sought in the new text, which has no second "3": the step ends with the caret put back.
  EXPECT_EQ(control.SelStart(), 4);
  EXPECT_EQ(control.SelLength(), 0);
}

TEST_F(KalendoWindowTest, ShiftAndCtrlArrowsStepLikePlainOnes) {
  Start(u"15/06/2027", 8);
  SendKeyPress(VK_UP, {VK_SHIFT});
  EXPECT_EQ(control.Text(), u"15/06/2028");
  SendKeyPress(VK_DOWN, {VK_CONTROL});
  SendKeyPress(VK_DOWN, {VK_CONTROL});
  EXPECT_EQ(control.Text(), u"15/06/2026");
  EXPECT_EQ(host.Count("KeyDown 38 1"), 1u);
  EXPECT_EQ(host.Count("KeyDown 40 2"), 2u);
}

TEST_F(KalendoWindowTest, AHeldArrowStepsOnEveryRepeat) {
  Start(u"01/01/2027", 0);
  for (int repeat = 0; repeat < 5; ++repeat) SendKey(VK_UP, true);
  SendKey(VK_UP, false);
  EXPECT_EQ(control.Text(), u"06/01/2027");
  EXPECT_EQ(host.Count("Change"), 5u);
}

TEST_F(KalendoWindowTest, ATypedDateIsRewrittenWhenTabTakesTheFocusAway) {
  Start(u"", 0);
  SendText(L"7/3/2001");
  EXPECT_EQ(control.Text(), u"7/3/2001");
  SendKeyPress(VK_TAB);
  EXPECT_NE(GetFocus(), edit());
  EXPECT_EQ(control.Text(), u"07/03/2001");
}

TEST_F(KalendoWindowTest, TabbingIntoTheControlFocusesTheTextBox) {
  SetFocus(TestForm::Shared().other());
  SendKeyPress(VK_TAB);
  EXPECT_EQ(GetFocus(), edit());
}

TEST_F(KalendoWindowTest, LockedBoxTakesNoTypingButStillSteps) {
  Start(u"31/01/2027", 1);
  control.SetLocked(kTrue);
  SendText(L"5");
  EXPECT_EQ(control.Text(), u"31/01/2027");
  SendKeyPress(VK_UP);
  EXPECT_EQ(control.Text(), u"01/02/2027");
  control.SetSelStart(1);
  ClickArrow(upDown(), true);
  EXPECT_EQ(control.Text(), u"02/02/2027");
}

TEST_F(KalendoWindowTest, TwoHundredSpinnerClicksAreTwoHundredSteps) {
  Start(u"01/01/2027", 0);
  for (int click = 0; click < 200; ++click) ClickArrow(upDown(), true);
  EXPECT_EQ(control.Text(), u"20/07/2027");
  for (int click = 0; click < 200; ++click) ClickArrow(upDown(), false);
  EXPECT_EQ(control.Text(), u"01/01/2027");
  EXPECT_EQ(host.Count("Change"), 400u);
  EXPECT_EQ(host.Count("Click"), 0u);  // the spinner raises no event of its own
}

TEST_F(KalendoWindowTest, ADisabledControlRefusesArrowsAndTheFocus) {
  Start(u"31/01/2027", 4);
  control.SetEnabled(kFalse);
  EXPECT_FALSE(IsWindowEnabled(edit()));
  EXPECT_FALSE(IsWindowEnabled(upDown()));
  EXPECT_NE(GetFocus(), edit());
  EXPECT_THROW(surface.txtFecha().SetFocus(), RuntimeError);
  SendKeyPress(VK_UP);
  ClickArrow(upDown(), true);
  ClickArrow(upDown(), false);
  EXPECT_EQ(control.Text(), u"31/01/2027");
  control.SetEnabled(kTrue);
  ClickArrow(upDown(), true);
  EXPECT_EQ(control.Text(), u"28/02/2027");
}

TEST_F(KalendoWindowTest, ResizingLaysTheBoxAndTheSpinnerSideBySide) {
  for (SIZE size : {SIZE{200, 30}, SIZE{90, 20}, SIZE{13, 40}, SIZE{300, 25}}) {
    SetWindowPos(surface.hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
    const RECT spinner = PlaceIn(upDown());
    EXPECT_EQ(EdgesOf(PlaceIn(edit())), (Edges{0, 0, spinner.left, size.cy})) << size.cx;
    EXPECT_EQ(spinner.right, size.cx);
    EXPECT_EQ(spinner.bottom, size.cy);
    EXPECT_EQ(surface.UpDown1().Width(), 195);
    EXPECT_EQ(spinner.right - spinner.left, MulDiv(195, GetDeviceCaps(GetDC(surface.hwnd()), LOGPIXELSX), 1440));
  }
}

TEST_F(KalendoWindowTest, AnchoMinMeasuresTheLiveSurfaceOnly) {
  EXPECT_NE(control.AnchoMin(), 0);
  UniqueWindow parent(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
  SurfaceWindow doomed(parent.get());
  Kalendo orphan(doomed, host, dates, gdi);
  EXPECT_NE(orphan.AnchoMin(), 0);
  parent.reset();
  EXPECT_EQ(orphan.AnchoMin(), 0);
  EXPECT_EQ(orphan.hdc(), 0);
}

TEST_F(KalendoWindowTest, OneControlIsThreeWindowsAndSharesTheFontOfOthers) {
  int before = CountWindows();
  {
    Control one(*this);
    EXPECT_EQ(CountWindows() - before, 3);
    EXPECT_EQ(SendMessageW(edit(), WM_GETFONT, 0, 0), SendMessageW(EditOf(one.surface.hwnd()), WM_GETFONT, 0, 0));
  }
  EXPECT_EQ(CountWindows(), before);
}

TEST_F(KalendoWindowTest, TenThousandControlsLeaveNothingBehind) {
  constexpr int kControls = 10000;
  { Control warmUp(*this); }  // window classes, fonts and caches, made once
  Pump();
  host.log.reserve(16);
  int windows = CountWindows();
  std::optional<int> gdiObjects = CountGdiObjects();
  std::uint64_t heap = HeapBytesInUse();

  auto start = std::chrono::steady_clock::now();
  for (int count = 0; count < kControls; ++count) {
    Control each(*this);
    each.control.SetText(u"31/01/2027");
    host.log.clear();  // the host's own record is no part of the control
  }
  Pump();
  auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  std::optional<int> gdiObjectsAfter = CountGdiObjects();
  std::uint64_t heapAfter = HeapBytesInUse();
  std::printf("%d controls in %.1f s; windows %d -> %d; GDI objects %d -> %d; heap bytes %llu -> %llu\n", kControls,
              seconds, windows, CountWindows(), gdiObjects.value_or(-1), gdiObjectsAfter.value_or(-1),
              static_cast<unsigned long long>(heap), static_cast<unsigned long long>(heapAfter));
  EXPECT_EQ(CountWindows(), windows);
  EXPECT_LT(heapAfter, heap + kControls);  // less than one byte for each control
  if (!gdiObjects || !gdiObjectsAfter) GTEST_SKIP() << "GDI objects cannot be counted here; windows and heap were";
  EXPECT_EQ(*gdiObjectsAfter, *gdiObjects);
}

}  // namespace
}  // namespace marelco::win32::testing
