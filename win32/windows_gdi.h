// The gdi32 queries behind AnchoMin, on a device context given by its handle value.
#pragma once

#include "control/platform/gdi.h"

namespace marelco::win32 {

class WindowsGdi final : public Gdi {
 public:
  Long GetTextMetricsA(Long hdc, TextMetrics& metrics) override;
  Long GetCharWidth32A(Long hdc, std::uint32_t first, std::uint32_t last, std::int32_t* widths) override;
};

}  // namespace marelco::win32
