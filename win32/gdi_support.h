// OLE colours and font objects turned into GDI colours and fonts.
#pragma once

#include <windows.h>

#include <optional>

#include "control/platform/font.h"
#include "control/platform/types.h"
#include "win32/handles.h"

namespace marelco::win32 {

// The RGB value of an OLE colour (system colours resolved now); nothing for a value that names no colour.
std::optional<COLORREF> ToColorRef(OleColor color);

// The colour as ToColorRef gives it; an invalid property value (380) for a value that names no colour.
COLORREF CheckedColorRef(OleColor color);

// A GDI font of the given attributes for a device of the given vertical resolution.
UniqueFont CreateFontHandle(const Font::Attributes& attributes, int dpiY);

// A brush of one colour, re-created only when the colour changes.
class SolidBrush {
 public:
  HBRUSH Get(COLORREF color);

 private:
  UniqueBrush brush_;
  COLORREF color_ = 0;
};

}  // namespace marelco::win32
