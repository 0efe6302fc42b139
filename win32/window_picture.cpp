#include "win32/window_picture.h"

#include <memory>
#include <type_traits>

namespace marelco::win32 {
namespace {

template <auto Delete>
struct Deleter {
  template <class Handle>
  void operator()(Handle handle) const {
    Delete(handle);
  }
};
using UniqueMetafile = std::unique_ptr<std::remove_pointer_t<HMETAFILE>, Deleter<DeleteMetaFile>>;

}  // namespace

WindowPicture::WindowPicture(const SurfaceWindow& surface) {
  HWND window = surface.hwnd();
  if (!window) return;
  RECT client = {};
  GetClientRect(window, &client);
  size_ = {client.right, client.bottom};
  const BITMAPINFO header = Header();
  WindowDc screen(nullptr);
  UniqueMemoryDc memory(screen.get());
  bitmap_.reset(CreateDIBSection(memory.get(), &header, DIB_RGB_COLORS, &bits_, nullptr, 0));
  if (!bitmap_) return;
  ScopedSelection selection(memory.get(), bitmap_.get());
  surface.Print(memory.get());
  GdiFlush();
}

BITMAPINFO WindowPicture::Header() const {
  BITMAPINFO info = {};
  const DWORD rowBytes = ((static_cast<DWORD>(size_.cx) * 3 + 3) / 4) * 4;
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), size_.cx, size_.cy, 1, 24, BI_RGB, rowBytes * size_.cy, 0, 0, 0, 0};
  return info;
}

void WindowPicture::Draw(HDC dc, const RECT& bounds) const {
  if (!bitmap_) return;
  const BITMAPINFO header = Header();
  const int previousMode = SetStretchBltMode(dc, COLORONCOLOR);
  StretchDIBits(dc, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, 0, 0,
                size_.cx, size_.cy, bits_, &header, DIB_RGB_COLORS, SRCCOPY);
  if (previousMode) SetStretchBltMode(dc, previousMode);
}

// The metafile measures in HIMETRIC, whose y axis points up, over the frame given in HIMETRIC too.
HENHMETAFILE WindowPicture::EnhancedMetafile(SIZE himetric) const {
  if (!bitmap_) return nullptr;
  const RECT frame = {0, 0, himetric.cx, himetric.cy};
  HDC dc = CreateEnhMetaFileW(nullptr, nullptr, &frame, L"Marelco\0Kalendo\0");
  if (!dc) return nullptr;
  SetMapMode(dc, MM_HIMETRIC);
  Draw(dc, {0, 0, himetric.cx, -himetric.cy});
  return CloseEnhMetaFile(dc);
}

// A metafile picture sets its window to its size; whoever plays it sets the viewport.
HGLOBAL WindowPicture::MetafilePicture(SIZE himetric) const {
  if (!bitmap_) return nullptr;
  HDC dc = CreateMetaFileW(nullptr);
  if (!dc) return nullptr;
  SetWindowOrgEx(dc, 0, 0, nullptr);
  SetWindowExtEx(dc, himetric.cx, himetric.cy, nullptr);
  Draw(dc, {0, 0, himetric.cx, himetric.cy});
  UniqueMetafile metafile(CloseMetaFile(dc));
  HGLOBAL memory = metafile ? GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT)) : nullptr;
  if (!memory) return nullptr;
  auto* picture = static_cast<METAFILEPICT*>(GlobalLock(memory));
  if (!picture) return GlobalFree(memory);  // null
  *picture = {MM_ANISOTROPIC, himetric.cx, himetric.cy, metafile.release()};
  GlobalUnlock(memory);
  return memory;
}

}  // namespace marelco::win32
