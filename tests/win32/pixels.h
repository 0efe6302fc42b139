// Pictures drawn into memory: the pixels of a 32-bit top-down bitmap, white before drawing.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace marelco::win32::testing {

struct Pixels {
  LONG width = 0, height = 0;
  std::vector<std::uint32_t> data;

  static Pixels Drawn(LONG width, LONG height, const std::function<void(HDC)>& draw) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, width, height, WHITENESS);
    draw(dc);
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    Pixels pixels{width, height, std::vector<std::uint32_t>(first, first + width * height)};
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
  }

  // The smallest rectangle within an area that holds every dark pixel (text, in a box of light colour).
  RECT DarkBox(const RECT& area) const {
    RECT box = {area.right, area.bottom, area.left, area.top};
    for (LONG y = std::max(0L, area.top); y < std::min(height, area.bottom); ++y) {
      for (LONG x = std::max(0L, area.left); x < std::min(width, area.right); ++x) {
        const std::uint32_t pixel = data[y * width + x];
        if ((pixel & 0xFF) >= 0x80 || ((pixel >> 8) & 0xFF) >= 0x80 || ((pixel >> 16) & 0xFF) >= 0x80) continue;
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
      }
    }
    return box;
  }
};

}  // namespace marelco::win32::testing
