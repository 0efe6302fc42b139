// Pictures of windows, saved as PNG files.
#pragma once

#include <windows.h>

#include <string>

namespace marelco::demo {

// Copies what the window, frame included, shows on the screen into a PNG file; false when that failed.
bool SaveWindowAsPng(HWND window, const std::wstring& path);

}  // namespace marelco::demo
