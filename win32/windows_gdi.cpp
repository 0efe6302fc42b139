#include "win32/windows_gdi.h"

#include <windows.h>

namespace marelco::win32 {
namespace {

// Device context handles keep their value in 32 bits, also in 64-bit processes.
HDC ToDc(Long hdc) { return reinterpret_cast<HDC>(static_cast<INT_PTR>(hdc)); }

}  // namespace

Long WindowsGdi::GetTextMetricsA(Long hdc, TextMetrics& metrics) {
  TEXTMETRICA record{};
  BOOL result = ::GetTextMetricsA(ToDc(hdc), &record);
  if (result) {
    metrics.tmFirstChar = record.tmFirstChar;
    metrics.tmLastChar = record.tmLastChar;
  }
  return result;
}

Long WindowsGdi::GetCharWidth32A(Long hdc, std::uint32_t first, std::uint32_t last, std::int32_t* widths) {
  static_assert(sizeof(INT) == sizeof(std::int32_t));
  return ::GetCharWidth32A(ToDc(hdc), first, last, reinterpret_cast<INT*>(widths));
}

}  // namespace marelco::win32
