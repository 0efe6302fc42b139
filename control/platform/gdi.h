// The two gdi32 queries behind AnchoMin, on a device context handle.
#pragma once

#include <cstdint>

#include "control/platform/types.h"

namespace marelco {

// The fields of the platform's TEXTMETRICA record that the control reads.
struct TextMetrics {
  std::uint8_t tmFirstChar = 0;
  std::uint8_t tmLastChar = 0;
};

class Gdi {
 public:
  virtual ~Gdi() = default;
  virtual Long GetTextMetricsA(Long hdc, TextMetrics& metrics) = 0;
  // Writes last - first + 1 widths into widths; nonzero on success, 0 on failure.
  virtual Long GetCharWidth32A(Long hdc, std::uint32_t first, std::uint32_t last, std::int32_t* widths) = 0;
};

}  // namespace marelco
