// The platform's value types, as the control's interface and its constituents use them.
#pragma once

#include <cstdint>

namespace marelco {

using Boolean = std::int16_t;  // a 16-bit truth value: true is -1, false is 0
using Integer = std::int16_t;
using Long = std::int32_t;
using Single = float;
using OleColor = std::uint32_t;  // high bit set: the low bits name a system colour; otherwise RGB

inline constexpr Boolean kTrue = -1;
inline constexpr Boolean kFalse = 0;

constexpr Boolean ToBoolean(bool value) { return value ? kTrue : kFalse; }

inline constexpr OleColor kButtonFaceColor = 0x8000000F;  // system colour 15
inline constexpr OleColor kWindowColor = 0x80000005;      // system colour 5
inline constexpr OleColor kWindowTextColor = 0x80000008;  // system colour 8

}  // namespace marelco
