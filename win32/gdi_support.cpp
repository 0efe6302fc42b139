#include "win32/gdi_support.h"

#include <olectl.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "control/platform/runtime_error.h"

namespace marelco::win32 {

std::optional<COLORREF> ToColorRef(OleColor color) {
  COLORREF rgb = 0;
  if (FAILED(OleTranslateColor(color, nullptr, &rgb))) return std::nullopt;
  return rgb;
}

COLORREF CheckedColorRef(OleColor color) {
  std::optional<COLORREF> rgb = ToColorRef(color);
  if (!rgb) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
  return *rgb;
}

UniqueFont CreateFontHandle(const Font::Attributes& attributes, int dpiY) {
  LOGFONTW font{};
  font.lfHeight = -static_cast<LONG>(std::lround(attributes.size * dpiY / 72.0));
  font.lfWeight = attributes.bold ? std::max<LONG>(attributes.weight, FW_BOLD) : attributes.weight;
  font.lfItalic = attributes.italic;
  font.lfUnderline = attributes.underline;
  font.lfStrikeOut = attributes.strikethrough;
  font.lfCharSet = static_cast<BYTE>(attributes.charset);
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  std::wstring name(attributes.name.begin(), attributes.name.end());
  name.copy(font.lfFaceName, LF_FACESIZE - 1);
  return UniqueFont(CreateFontIndirectW(&font));
}

HBRUSH SolidBrush::Get(COLORREF color) {
  if (!brush_ || color != color_) {
    brush_.reset(CreateSolidBrush(color));
    color_ = color;
  }
  return brush_.get();
}

}  // namespace marelco::win32
