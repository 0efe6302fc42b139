// The surface window and its two constituent windows, driven through real window messages and input.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "dates/runtime_error.h"
#include "tests/support/error_of.h"
#include "tests/support/event_handlers.h"
#include "tests/win32/resource_count.h"
#include "tests/win32/window_test_support.h"
#include "win32/surface_window.h"
#include "win32/windows_gdi.h"

namespace marelco::win32::testing {
namespace {

using test::ErrorOf;

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

// The face name of the font selected into a device context.
std::wstring FontOf(Long hdc) {
  LOGFONTW selected{};
  GetObjectW(GetCurrentObject(HdcOf(hdc), OBJ_FONT), sizeof(selected), &selected);
  return selected.lfFaceName;
}

class SurfaceWindowTest : public ::testing::Test {
 protected:
  HWND edit() const { return EditOf(surface.hwnd()); }
  HWND upDown() const { return UpDownOf(surface.hwnd()); }
  int Pixels(Single twips) const { return MulDiv(static_cast<int>(twips), dpi, 1440); }

  void CountSpinnerClicks() {
    spinnerClicks.UpClick = [this] { ++upClicks; };
    spinnerClicks.DownClick = [this] { ++downClicks; };
    surface.UpDown1().SetEvents(&spinnerClicks);
  }

  SpinnerHandlers spinnerClicks;
  SurfaceWindow surface{TestForm::Shared().hwnd()};
  int dpi = GetDeviceCaps(HdcOf(surface.hdc()), LOGPIXELSX);
  int upClicks = 0;
  int downClicks = 0;
};

TEST_F(SurfaceWindowTest, CarriesAnEditAndAnUpDownAtTheirFirstPlaces) {
  std::vector<std::wstring> children;
  for (HWND child = GetWindow(surface.hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(ClassOf(child));
  }
  EXPECT_EQ(children, (std::vector<std::wstring>{L"Edit", L"msctls_updown32"}));  // also the tab order
  EXPECT_EQ(GetParent(surface.hwnd()), TestForm::Shared().hwnd());

  EXPECT_FLOAT_EQ(surface.ScaleWidth(), 1890);
  EXPECT_FLOAT_EQ(surface.ScaleHeight(), 615);
  EXPECT_EQ(EdgesOf(PlaceIn(edit())), (Edges{0, 0, Pixels(1665), Pixels(300)}));
  EXPECT_EQ(EdgesOf(PlaceIn(upDown())), (Edges{Pixels(1680), 0, Pixels(1680 + 195), Pixels(300)}));
  EXPECT_EQ(surface.UpDown1().Width(), 195);
  EXPECT_EQ(surface.BorderStyle(), 0);
  EXPECT_EQ(GetWindowLongW(upDown(), GWL_STYLE) & (UDS_HORZ | UDS_SETBUDDYINT | UDS_AUTOBUDDY), 0);
  EXPECT_EQ(SendMessageW(upDown(), UDM_GETBUDDY, 0, 0), 0);
}

TEST_F(SurfaceWindowTest, SizesInTwipsPlaceTheWindowsInPixels) {
  SetWindowPos(surface.hwnd(), nullptr, 0, 0, Pixels(3000), Pixels(450), SWP_NOZORDER | SWP_NOMOVE);
  EXPECT_FLOAT_EQ(surface.ScaleWidth(), 3000);
  EXPECT_FLOAT_EQ(surface.ScaleHeight(), 450);
  surface.txtFecha().SetWidth(2805);
  surface.txtFecha().SetHeight(450);
  surface.UpDown1().SetLeft(2805);
  surface.UpDown1().SetHeight(450);
  EXPECT_EQ(EdgesOf(PlaceIn(edit())), (Edges{0, 0, Pixels(2805), Pixels(450)}));
  EXPECT_EQ(EdgesOf(PlaceIn(upDown())), (Edges{Pixels(2805), 0, Pixels(3000), Pixels(450)}));
  EXPECT_EQ(surface.txtFecha().Width(), 2805);  // the twips given, not pixels turned back
  surface.txtFecha().SetWidth(-60);
  EXPECT_EQ(PlaceIn(edit()).right, 0);
}

TEST_F(SurfaceWindowTest, EveryPressOfAnArrowIsOneClickWhateverTheUpDownsRange) {
  CountSpinnerClicks();
  for (int press = 0; press < 200; ++press) ClickArrow(upDown(), true);
  EXPECT_EQ(upClicks, 200);
  for (int press = 0; press < 150; ++press) ClickArrow(upDown(), false);
  EXPECT_EQ(downClicks, 150);
  EXPECT_EQ(upClicks, 200);
}

TEST_F(SurfaceWindowTest, AHeldArrowRepeats) {
  CountSpinnerClicks();
  POINT point = ArrowOf(upDown(), false);
  ClientToScreen(upDown(), &point);
  SetCursorPos(point.x, point.y);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  SendInput(1, &input, sizeof(input));
  PumpFor(1000);
  input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(1, &input, sizeof(input));
  Pump();
  EXPECT_GT(downClicks, 2);
  EXPECT_EQ(upClicks, 0);
}

TEST_F(SurfaceWindowTest, DisabledSpinnerIgnoresItsArrows) {
  CountSpinnerClicks();
  surface.UpDown1().SetEnabled(false);
  EXPECT_FALSE(surface.UpDown1().Enabled());
  EXPECT_TRUE(surface.txtFecha().Enabled());
  ClickArrow(upDown(), true);
  ClickArrow(upDown(), false);
  EXPECT_EQ(upClicks + downClicks, 0);
}

// Clicks over the text box are its Click and DblClick; the surface's mouse events come from the surface alone.
TEST_F(SurfaceWindowTest, MouseEventsComeFromTheSurfaceAloneInTwips) {
  std::vector<std::string> log;
  auto record = [&log](const char* name) {
    return [&log, name](Integer& button, Integer& shift, Single& x, Single& y) {
      log.push_back(std::string(name) + " " + std::to_string(button) + " " + std::to_string(shift) + " " +
                    std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y)));
    };
  };
  SurfaceHandlers mouse;
  mouse.MouseMove = record("MouseMove");
  mouse.MouseUp = record("MouseUp");
  surface.SetEvents(&mouse);
  TextBoxHandlers clicks;
  clicks.Click = [&log] { log.push_back("Click"); };
  clicks.DblClick = [&log] { log.push_back("DblClick"); };
  surface.txtFecha().SetEvents(&clicks);

  SendClick(edit(), {5, 5});
  SendClick(edit(), {5, 5});
  EXPECT_EQ(log, (std::vector<std::string>{"Click", "DblClick"}));
  log.clear();
  SendClick(surface.hwnd(), {10, Pixels(450)});
  const std::string at = std::to_string(static_cast<int>(10 * 1440 / dpi)) + " 450";
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "MouseMove 0 0 " + at);
  EXPECT_EQ(log.back(), "MouseUp 1 0 " + at);
  EXPECT_EQ(std::count(log.begin(), log.end(), "Click"), 0);
}

TEST_F(SurfaceWindowTest, WritingTheSameTextKeepsTheSelection) {
  TextBox& box = surface.txtFecha();
  box.SetText(u"31/01/2027");
  box.SetSelStart(3);
  box.SetSelLength(2);
  box.SetText(u"31/01/2027");
  EXPECT_EQ(box.SelStart(), 3);
  EXPECT_EQ(box.SelLength(), 2);
  box.SetText(u"01/02/2027");
  EXPECT_EQ(box.SelStart(), 0);
}

TEST_F(SurfaceWindowTest, ColoursAreGivenToTheEditWhenItPaints) {
  TextBox& box = surface.txtFecha();
  box.SetBackColor(0x00336699);
  box.SetForeColor(kButtonFaceColor);
  HDC dc = GetDC(edit());
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(surface.hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit())));
  LOGBRUSH fill{};
  GetObjectW(brush, sizeof(fill), &fill);
  EXPECT_EQ(fill.lbColor, 0x00336699u);
  EXPECT_EQ(GetBkColor(dc), 0x00336699u);
  EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_BTNFACE));
  ReleaseDC(edit(), dc);

  EXPECT_EQ(ErrorOf([&] { box.SetBackColor(0x80000050); }), ErrorNumber::InvalidPropertyValue);
  EXPECT_EQ(ErrorOf([&] { surface.SetBackColor(0x7F000000); }), ErrorNumber::InvalidPropertyValue);
  EXPECT_EQ(box.BackColor(), 0x00336699u);
}

TEST_F(SurfaceWindowTest, TheEditUsesItsFontObjectAndFollowsItsChanges) {
  auto logFontOfEdit = [this] {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(edit(), WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font;
  };
  std::shared_ptr<Font> font = surface.txtFecha().GetFont();
  EXPECT_EQ(font->attributes().name, u"MS Sans Serif");
  Font::Attributes bold = font->attributes();
  bold.bold = true;
  bold.size = 12;
  font->SetAttributes(bold);
  EXPECT_EQ(logFontOfEdit().lfWeight, FW_BOLD);
  EXPECT_EQ(logFontOfEdit().lfHeight, -MulDiv(12, dpi, 72));

  auto other = MakeFont({.name = u"Tahoma", .italic = true});
  surface.txtFecha().SetFont(other);
  EXPECT_EQ(std::wstring(logFontOfEdit().lfFaceName), L"Tahoma");
  EXPECT_TRUE(logFontOfEdit().lfItalic);
  font->SetAttributes({});  // the box no longer listens to its former font
  EXPECT_EQ(std::wstring(logFontOfEdit().lfFaceName), L"Tahoma");
}

BOOL CALLBACK FindToolTipWindow(HWND hwnd, LPARAM found) {
  if (ClassOf(hwnd) == TOOLTIPS_CLASSW) *reinterpret_cast<HWND*>(found) = hwnd;
  return TRUE;
}

// The tooltip window of this thread.
HWND ToolTipWindow() {
  HWND toolTip = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindToolTipWindow, reinterpret_cast<LPARAM>(&toolTip));
  return toolTip;
}

// The text of the tool that the thread's tooltip window has for a window.
std::wstring ToolTipOf(HWND window) {
  HWND toolTip = ToolTipWindow();
  if (!toolTip) return L"(no tooltip window)";
  wchar_t text[80] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = GetParent(window);
  tool.uId = reinterpret_cast<UINT_PTR>(window);
  tool.lpszText = text;
  if (!SendMessageW(toolTip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) return L"(no tool)";
  SendMessageW(toolTip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
  return text;
}

TEST_F(SurfaceWindowTest, ToolTipTextIsShownByTheThreadsTooltipWindow) {
  TextBox& box = surface.txtFecha();
  box.SetToolTipText(u"Fecha de alta");
  EXPECT_EQ(ToolTipOf(edit()), L"Fecha de alta");
  box.SetToolTipText(u"Fecha");
  EXPECT_EQ(ToolTipOf(edit()), L"Fecha");
  EXPECT_EQ(box.ToolTipText(), u"Fecha");
  box.SetToolTipText(u"");
  EXPECT_EQ(ToolTipOf(edit()), L"(no tool)");
  box.SetToolTipText(u"Otra");
  HWND window = edit();
  {
    SurfaceWindow other(TestForm::Shared().hwnd());
    other.txtFecha().SetToolTipText(u"Segunda");
    EXPECT_EQ(SendMessageW(ToolTipWindow(), TTM_GETTOOLCOUNT, 0, 0), 2);
  }
  EXPECT_EQ(SendMessageW(ToolTipWindow(), TTM_GETTOOLCOUNT, 0, 0), 1);  // a destroyed box takes its tool along
  EXPECT_EQ(ToolTipOf(window), L"Otra");
}

TEST_F(SurfaceWindowTest, LockedAndEnabledAreTheEditsOwnStates) {
  surface.txtFecha().SetLocked(true);
  EXPECT_TRUE(GetWindowLongW(edit(), GWL_STYLE) & ES_READONLY);
  EXPECT_TRUE(surface.txtFecha().Locked());
  surface.txtFecha().SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(edit()));
  EXPECT_TRUE(IsWindowEnabled(upDown()));
}

TEST_F(SurfaceWindowTest, MousePointerTakesThePlatformsShapes) {
  for (Integer pointer : {0, 1, 7, 15, 99}) {
    surface.SetMousePointer(pointer);
    EXPECT_EQ(surface.MousePointer(), pointer);
  }
  for (Integer pointer : {-1, 16, 98, 100}) {
    EXPECT_EQ(ErrorOf([&] { surface.SetMousePointer(pointer); }), ErrorNumber::InvalidPropertyValue) << pointer;
  }
  EXPECT_EQ(surface.MousePointer(), 99);
  surface.SetMousePointer(2);
  SendMessageW(surface.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(surface.hwnd()), MAKELPARAM(HTCLIENT, 0));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_CROSS));
}

TEST_F(SurfaceWindowTest, TheDeviceContextCarriesTheSurfaceFont) {
  HDC dc = HdcOf(surface.hdc());
  EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
  EXPECT_EQ(surface.hdc(), surface.hdc());
  surface.SetFontName(u"Tahoma");
  EXPECT_EQ(surface.FontName(), u"Tahoma");
  EXPECT_EQ(FontOf(surface.hdc()), L"Tahoma");

  WindowsGdi gdi;
  TextMetrics metrics;
  EXPECT_NE(gdi.GetTextMetricsA(surface.hdc(), metrics), 0);
  EXPECT_LT(metrics.tmFirstChar, metrics.tmLastChar);
  std::vector<std::int32_t> widths(metrics.tmLastChar - metrics.tmFirstChar + 1);
  EXPECT_NE(gdi.GetCharWidth32A(surface.hdc(), metrics.tmFirstChar, metrics.tmLastChar, widths.data()), 0);
  EXPECT_GT(widths['W' - metrics.tmFirstChar], widths['i' - metrics.tmFirstChar]);
  EXPECT_EQ(gdi.GetCharWidth32A(0, 0, 0, widths.data()), 0);
}

TEST(SurfaceWindow, TakesItsDeviceContextWhenFirstAskedAndGivesItBackWithTheWindow) {
  {
    SurfaceWindow surface;
    surface.SetFontName(u"Tahoma");
    EXPECT_EQ(FontOf(surface.hdc()), L"Tahoma") << "the font chosen before the first request";
  }
  if (!CountGdiObjects()) GTEST_SKIP() << "the process's GDI objects cannot be counted here";
  constexpr int kSurfaces = 20;
  // A leak grows the count in each round; the system's cache of device contexts grows in the first at most.
  std::vector<int> growth;
  for (int round = 0; round < 2; ++round) {
    const int before = *CountGdiObjects();
    std::vector<std::unique_ptr<SurfaceWindow>> surfaces;
    for (int i = 0; i < kSurfaces; ++i) surfaces.push_back(std::make_unique<SurfaceWindow>());
    EXPECT_LT(*CountGdiObjects() - before, kSurfaces / 2) << "surfaces that were never asked hold no device context";
    for (auto& surface : surfaces) EXPECT_NE(surface->hdc(), 0);
    surfaces.clear();
    growth.push_back(*CountGdiObjects() - before);
  }
  EXPECT_LT(std::min(growth[0], growth[1]), kSurfaces / 2) << "device contexts kept after their windows went";
}

TEST(SurfaceWindow, ParkedSurfaceIsHiddenAndMovesIntoAParentAtItsPlaceAndSize) {
  SurfaceWindow surface;
  EXPECT_FALSE(IsWindowVisible(surface.hwnd()));
  EXPECT_EQ(ErrorOf([&] { surface.txtFecha().SetFocus(); }), ErrorNumber::InvalidProcedureCall);
  const RECT place = {7, 5, 157, 27};
  ASSERT_TRUE(surface.Enter(TestForm::Shared().hwnd(), place, false));
  EXPECT_EQ(GetParent(surface.hwnd()), TestForm::Shared().hwnd());
  EXPECT_EQ(EdgesOf(PlaceIn(surface.hwnd())), EdgesOf(place));
  EXPECT_FALSE(IsWindowVisible(surface.hwnd())) << "shown by the caller";
  ShowWindow(surface.hwnd(), SW_SHOW);
  surface.txtFecha().SetFocus();
  EXPECT_EQ(GetParent(GetFocus()), surface.hwnd());
  surface.Park();
  EXPECT_FALSE(IsWindowVisible(surface.hwnd()));
  ASSERT_TRUE(surface.Enter(TestForm::Shared().hwnd(), place, true));
  EXPECT_TRUE(IsWindowVisible(surface.hwnd()));
}

// A surface without a parent makes its windows when it is given one (or asked for them), with what it was given
// before: the text and selection, the states, the tool tip, its size and the places of its constituents.
TEST(SurfaceWindow, WindowsMadeLaterHoldWhatTheSurfaceWasGivenBefore) {
  SurfaceWindow surface;
  TextBox& box = surface.txtFecha();
  box.SetText(u"31/01/2027");
  box.SetSelText(u"");  // nothing for nothing
  box.SetSelStart(3);
  box.SetSelLength(20);
  box.SetLocked(true);
  box.SetEnabled(false);
  box.SetToolTipText(u"Fecha");
  surface.UpDown1().SetEnabled(false);
  surface.Resize(3000, 450);
  box.SetWidth(2805);
  surface.UpDown1().SetLeft(2805);
  EXPECT_EQ(box.SelText(), u"01/2027");
  EXPECT_FLOAT_EQ(surface.ScaleWidth(), 3000);
  const int dpi = surface.dpi().x;
  ASSERT_TRUE(surface.Enter(TestForm::Shared().hwnd(), {0, 0, ToPixels(3000, dpi), ToPixels(450, dpi)}, true));

  HWND edit = EditOf(surface.hwnd());
  HWND upDown = UpDownOf(surface.hwnd());
  ASSERT_TRUE(edit && upDown);
  EXPECT_EQ(WindowText(edit), L"31/01/2027");
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(std::make_pair(start, end), std::make_pair(3ul, 10ul));
  EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
  EXPECT_FALSE(IsWindowEnabled(edit));
  EXPECT_FALSE(IsWindowEnabled(upDown));
  EXPECT_EQ(ToolTipOf(edit), L"Fecha");
  EXPECT_EQ(PlaceIn(surface.hwnd()).right, ToPixels(3000, dpi));
  EXPECT_EQ(PlaceIn(edit).right, ToPixels(2805, dpi));
  EXPECT_EQ(PlaceIn(upDown).left, ToPixels(2805, dpi));
  EXPECT_TRUE(IsWindowVisible(upDown));
}

TEST(SurfaceWindow, OutlivingItsWindowIsSafe) {
  UniqueWindow parent(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
  SurfaceWindow surface(parent.get());
  surface.txtFecha().SetText(u"31/01/2027");
  parent.reset();
  EXPECT_EQ(surface.hwnd(), nullptr);
  EXPECT_EQ(surface.hdc(), 0);
  EXPECT_EQ(surface.txtFecha().Text(), u"");
  WindowsGdi gdi;
  std::int32_t width = 0;
  EXPECT_EQ(gdi.GetCharWidth32A(surface.hdc(), 0, 0, &width), 0);
}

}  // namespace
}  // namespace marelco::win32::testing
