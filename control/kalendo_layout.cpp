// Layout on resize, in twips: the text box fills the surface from its left edge, the spinner stands flush
// with the right edge, both as high as the surface. And AnchoMin, the character-width query of the font on
// the surface's device context.
#include <array>

#include "control/kalendo.h"

namespace marelco {

void Kalendo::UserControl_Resize() {
  txtFecha().SetHeight(surface_.ScaleHeight());
  UpDown1().SetHeight(surface_.ScaleHeight());
  txtFecha().SetWidth(surface_.ScaleWidth() - UpDown1().Width());
  UpDown1().SetLeft(surface_.ScaleWidth() - UpDown1().Width());
}

// Nonzero when the widths of the font's character range could be fetched, 0 when not. The widths themselves
// are not used. Metrics whose last character lies below the first name no range and fetch nothing.
Long Kalendo::AnchoMin() {
  TextMetrics metrics{};
  gdi_.GetTextMetricsA(hdc(), metrics);
  const Long dc = hdc();
  const std::uint32_t first = metrics.tmFirstChar;
  const std::uint32_t last = metrics.tmLastChar;
  if (last < first) return 0;
  std::array<std::int32_t, 256> widths;  // one for each code a byte can hold
  return gdi_.GetCharWidth32A(dc, first, last, widths.data());
}

}  // namespace marelco
