// Turning fuzzer bytes into the UTF-16 texts of the date services.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace marelco::fuzz {

// Bytes read as Latin-1, so that ASCII texts come easily; 0xFF takes the next two bytes as one UTF-16 unit.
inline std::u16string Text(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF && i + 2 < size) {
      text += static_cast<char16_t>(data[i + 1] << 8 | data[i + 2]);
      i += 2;
    } else {
      text += static_cast<char16_t>(data[i]);
    }
  }
  return text;
}

}  // namespace marelco::fuzz
