// The hidden windows that the surfaces of one thread share: the parking window, which holds the surfaces that
// have no parent, and the tool-tip window of their text boxes. Each is made when first asked for; both are
// destroyed when the last surface of the thread goes, so that no window of the library outlives its controls
// or the module that made them.
#pragma once

#include <windows.h>

namespace marelco::win32 {

// Held by every surface for as long as it lives.
class ThreadWindowsUse {
 public:
  ThreadWindowsUse();
  ThreadWindowsUse(const ThreadWindowsUse&) = delete;
  ThreadWindowsUse& operator=(const ThreadWindowsUse&) = delete;
  ~ThreadWindowsUse();
};

HWND ParkingWindow();
HWND ToolTipWindow();

}  // namespace marelco::win32
