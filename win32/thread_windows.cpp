#include "win32/thread_windows.h"

#include <commctrl.h>

#include <utility>

#include "win32/window_support.h"

namespace marelco::win32 {
namespace {

// Plain handles: a thread that ends with surfaces still alive takes its windows with it.
struct ThreadWindows {
  int surfaces = 0;
  HWND parking = nullptr;
  HWND toolTip = nullptr;
};

thread_local ThreadWindows thread_windows;

void Destroy(HWND& window) {
  if (window) DestroyWindow(std::exchange(window, nullptr));
}

}  // namespace

ThreadWindowsUse::ThreadWindowsUse() { ++thread_windows.surfaces; }

ThreadWindowsUse::~ThreadWindowsUse() {
  if (--thread_windows.surfaces > 0) return;
  Destroy(thread_windows.toolTip);
  Destroy(thread_windows.parking);
}

HWND ParkingWindow() {
  HWND& parking = thread_windows.parking;
  if (!parking) parking = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, ThisModule(), nullptr);
  return parking;
}

HWND ToolTipWindow() {
  HWND& toolTip = thread_windows.toolTip;
  if (!toolTip) {
    toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, ThisModule(), nullptr);
  }
  return toolTip;
}

}  // namespace marelco::win32
