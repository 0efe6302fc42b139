// A stand-in for the two gdi32 queries: it knows one valid device context, answers it with the metrics
// the test sets, and records every call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "control/platform/gdi.h"

namespace marelco::test {

class FakeGdi : public Gdi {
 public:
  Long validHdc = 0;
  TextMetrics metrics{.tmFirstChar = 32, .tmLastChar = 255};
  // Entries: "GetTextMetricsA <hdc>", "GetCharWidth32A <hdc> <first> <last>".
  std::vector<std::string> calls;

  Long GetTextMetricsA(Long hdc, TextMetrics& out) override {
    calls.push_back("GetTextMetricsA " + std::to_string(hdc));
    if (hdc != validHdc) return 0;
    out = metrics;
    return 1;
  }

  // Like gdi32, fills one width for every code of the range, so a buffer too short is overrun (and the
  // address sanitizer reports it).
  Long GetCharWidth32A(Long hdc, std::uint32_t first, std::uint32_t last, std::int32_t* widths) override {
    calls.push_back("GetCharWidth32A " + std::to_string(hdc) + " " + std::to_string(first) + " " +
                    std::to_string(last));
    if (hdc != validHdc || last < first) return 0;
    for (std::uint32_t code = first; code <= last; ++code) widths[code - first] = 7;
    return 1;
  }
};

}  // namespace marelco::test
