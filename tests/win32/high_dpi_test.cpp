// Kalendo at the system DPIs of scaled displays: 96, 120, 144 and 192 dots per inch (100 to 200 %). Wine
// reads the DPI from LogPixels in its prefix when a program starts, so each DPI is measured by a child run of
// this program, started after LogPixels is set; the prefix's own value is put back afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "control/kalendo.h"
#include "tests/core/recording_host.h"
#include "tests/win32/window_test_support.h"
#include "win32/surface_window.h"
#include "win32/windows_gdi.h"

namespace marelco::win32::testing {
namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kLogPixels[] = L"LogPixels";
constexpr char kExpectedDpi[] = "MARELCO_EXPECTED_DPI";

// Sets the system DPI of programs started from now on; the value found before comes back at the end.
class ScopedLogPixels {
 public:
  explicit ScopedLogPixels(DWORD dpi) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
        ERROR_SUCCESS) {
      saved_ = value;
    }
    Write(dpi);
  }
  ScopedLogPixels(const ScopedLogPixels&) = delete;
  ScopedLogPixels& operator=(const ScopedLogPixels&) = delete;
  ~ScopedLogPixels() {
    if (saved_) {
      Write(*saved_);
    } else {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels);
    }
  }

 private:
  static void Write(DWORD dpi) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, REG_DWORD, &dpi, sizeof dpi);
  }
  std::optional<DWORD> saved_;
};

// Runs the measuring test of this program in a child process that expects the given DPI; its exit code.
DWORD RunChildAt(int dpi) {
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(program) + L"\" --gtest_filter=HighDpiChild.*";
  SetEnvironmentVariableA(kExpectedDpi, std::to_string(dpi).c_str());
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  const BOOL started =
      CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
  SetEnvironmentVariableA(kExpectedDpi, nullptr);
  if (!started) return GetLastError();
  WaitForSingleObject(process.hProcess, 120000);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return exitCode;
}

TEST(HighDpi, LayoutFontAndSpinnerFollowTheSystemDpi) {
  for (int dpi : {96, 120, 144, 192}) {
    ScopedLogPixels logPixels(dpi);
    EXPECT_EQ(0u, RunChildAt(dpi)) << "at " << dpi << " DPI";
  }
}

LONG FontHeight(HFONT font) {
  LOGFONTW attributes = {};
  GetObjectW(font, sizeof attributes, &attributes);
  return attributes.lfHeight;
}

// The width of the character '0' in a font, as a device context of the screen measures it.
INT ZeroWidth(HFONT font) {
  WindowDc screen(nullptr);
  ScopedSelection selection(screen.get(), font);
  INT width = 0;
  GetCharWidth32W(screen.get(), L'0', L'0', &width);
  return width;
}

// The measuring run, in the child: the control laid out over 1890 x 300 twips at the system DPI.
TEST(HighDpiChild, MeasuresTheControlAtTheExpectedDpi) {
  const char* expected = std::getenv(kExpectedDpi);
  if (!expected) GTEST_SKIP() << "runs in the child processes of HighDpi at a set DPI";
  const int dpi = std::atoi(expected);
  {
    WindowDc screen(nullptr);
    ASSERT_EQ(dpi, GetDeviceCaps(screen.get(), LOGPIXELSY)) << "the system DPI the parent set";
  }
  std::unique_ptr<Locale> locale = MakeLocale("en");
  DateServices dates{*locale};
  test::RecordingHost host;
  WindowsGdi gdi;
  SurfaceWindow surface{TestForm::Shared().hwnd()};
  Kalendo control{surface, host, dates, gdi};
  control.InitProperties();
  SetWindowPos(surface.hwnd(), nullptr, 0, 0, ToPixels(1890, dpi), ToPixels(300, dpi), SWP_NOZORDER);
  Pump();

  const HWND edit = EditOf(surface.hwnd());
  const RECT box = PlaceIn(edit);
  const RECT arrows = PlaceIn(UpDownOf(surface.hwnd()));
  const auto font = reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0));
  TEXTMETRICW metrics = {};
  {
    WindowDc screen(nullptr);
    ScopedSelection selection(screen.get(), font);
    GetTextMetricsW(screen.get(), &metrics);
  }
  std::cout << "at " << dpi << " DPI: text box " << box.right - box.left << " x " << box.bottom - box.top
            << ", spinner " << arrows.right - arrows.left << " x " << arrows.bottom - arrows.top << " at "
            << arrows.left << ", font height " << -FontHeight(font) << " (text " << metrics.tmHeight
            << "), '0' " << ZeroWidth(font) << " pixels wide" << std::endl;

  EXPECT_NEAR(1890.0f, surface.ScaleWidth(), 1440.0f / dpi);
  EXPECT_NEAR(300.0f, surface.ScaleHeight(), 1440.0f / dpi);
  EXPECT_NEAR(195.0 * dpi / 1440, arrows.right - arrows.left, 1.0) << "the spinner's 195 twips";
  EXPECT_EQ(ToPixels(1890, dpi), arrows.right) << "flush with the right edge";
  EXPECT_EQ(box.right, arrows.left) << "the text box ends where the spinner begins";
  EXPECT_EQ(ToPixels(300, dpi), box.bottom - box.top);
  EXPECT_EQ(ToPixels(300, dpi), arrows.bottom - arrows.top);
  EXPECT_NEAR(8.25 * dpi / 72, -FontHeight(font), 0.5) << "8.25 points at this DPI";
  RECT inside = {};
  GetClientRect(edit, &inside);
  EXPECT_LE(metrics.tmHeight, inside.bottom) << "a line of text fits in the box";

  // AnchoMin measures the font on the surface's device context: the same font, at the same DPI.
  EXPECT_NE(0, control.AnchoMin());
  const HDC hdc = HdcOf(control.hdc());
  const auto surfaceFont = static_cast<HFONT>(GetCurrentObject(hdc, OBJ_FONT));
  EXPECT_EQ(FontHeight(font), FontHeight(surfaceFont));
  INT width = 0;
  GetCharWidth32W(hdc, L'0', L'0', &width);
  EXPECT_EQ(ZeroWidth(font), width);
}

}  // namespace
}  // namespace marelco::win32::testing
