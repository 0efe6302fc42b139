// Pictures of windows, saved as PNG files. They show the client area: a window's frame is the window manager's,
// and a private X display has none.
#pragma once

#include <windows.h>

#include <string>

namespace marelco::demo {

// Copies what the window's client area shows on the screen into a PNG file; false when that failed.
bool SaveWindowAsPng(HWND window, const std::wstring& path);

}  // namespace marelco::demo
