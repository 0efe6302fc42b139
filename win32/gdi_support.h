// OLE colours and font objects turned into GDI colours and fonts.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <type_traits>

#include "control/platform/font.h"
#include "control/platform/types.h"
#include "win32/handles.h"

namespace marelco::win32 {

// The RGB value of an OLE colour (system colours resolved now); nothing for a value that names no colour.
std::optional<COLORREF> ToColorRef(OleColor color);

// The colour as ToColorRef gives it; an invalid property value (380) for a value that names no colour.
COLORREF CheckedColorRef(OleColor color);

// GDI fonts and brushes are shared by every window of the process that uses the same one, and deleted when
// the last of them lets it go: a form of many controls holds one font and one brush, not one per control.
using SharedFont = std::shared_ptr<std::remove_pointer_t<HFONT>>;
using SharedBrush = std::shared_ptr<std::remove_pointer_t<HBRUSH>>;

// The GDI font of the given attributes for a device of the given vertical resolution.
SharedFont FontHandle(const Font::Attributes& attributes, int dpiY);

// A brush of one colour, taken again only when the colour changes; the brush itself tells its colour.
class SolidBrush {
 public:
  HBRUSH Get(COLORREF color);

 private:
  SharedBrush brush_;
};

}  // namespace marelco::win32
