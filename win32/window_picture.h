// Pictures of a Kalendo surface for containers that show the control without its window: drawn into a device
// context of any kind (screen, memory, printer, metafile, any mapping mode) and rendered as metafiles.
#pragma once

#include <windows.h>

#include "win32/handles.h"
#include "win32/surface_window.h"

namespace marelco::win32 {

// The surface with its constituents as they looked when the picture was taken: a 24-bit bitmap of its pixels,
// the deepest that every kind of metafile carries.
class WindowPicture {
 public:
  WindowPicture() = default;
  // The surface as it looks now; an empty picture when its window is gone or GDI is out of memory.
  explicit WindowPicture(const SurfaceWindow& surface);

  explicit operator bool() const { return static_cast<bool>(bitmap_); }
  SIZE size() const { return size_; }

  // Draws the picture stretched over a rectangle in the device context's own logical units; in a context whose
  // y axis points up (MM_HIMETRIC, say) the rectangle's top is its larger y.
  void Draw(HDC dc, const RECT& bounds) const;

  // The picture as an enhanced metafile of the given size in HIMETRIC units; the caller owns it. Null on failure.
  HENHMETAFILE EnhancedMetafile(SIZE himetric) const;
  // The picture as a metafile picture (METAFILEPICT in global memory, mapping mode MM_ANISOTROPIC) of the given
  // size in HIMETRIC units; the caller owns it, as an STGMEDIUM of TYMED_MFPICT does. Null on failure.
  HGLOBAL MetafilePicture(SIZE himetric) const;

 private:
  BITMAPINFO Header() const;

  UniqueBitmap bitmap_;
  void* bits_ = nullptr;  // the bitmap's pixels, bottom row first
  SIZE size_ = {};
};

}  // namespace marelco::win32
