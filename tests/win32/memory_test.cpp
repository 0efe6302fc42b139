// Creating and destroying controls leaves no window, GDI object or heap block behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "control/kalendo.h"
#include "tests/core/recording_host.h"
#include "tests/win32/resource_count.h"
#include "tests/win32/window_test_support.h"
#include "win32/surface_window.h"
#include "win32/windows_gdi.h"

namespace marelco::win32::testing {
namespace {

class Memory : public ::testing::Test {
 protected:
  // One control in the shared form: its surface window and the Kalendo on it, as a host holds them.
  struct Control {
    explicit Control(Memory& test) : control(surface, test.host, test.dates, test.gdi) {}
    SurfaceWindow surface{TestForm::Shared().hwnd()};
    Kalendo control;
  };

  std::unique_ptr<Locale> locale = MakeLocale("en");
  DateServices dates{*locale};
  test::RecordingHost host;
  WindowsGdi gdi;
};

TEST_F(Memory, OneControlIsThreeWindows) {
  TestForm::Shared();
  int before = CountWindows();
  {
    Control one(*this);
    EXPECT_EQ(CountWindows() - before, 3);
  }
  EXPECT_EQ(CountWindows(), before);
}

TEST_F(Memory, TenThousandControlsLeaveNothingBehind) {
  constexpr int kControls = 10000;
  { Control warmUp(*this); }  // window classes, fonts and caches, made once
  Pump();
  host.log.reserve(16);
  int windows = CountWindows();
  std::optional<int> gdiObjects = CountGdiObjects();
  std::uint64_t heap = HeapBytesInUse();

  auto start = std::chrono::steady_clock::now();
  for (int count = 0; count < kControls; ++count) {
    Control control(*this);
    control.control.SetText(u"31/01/2027");
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
