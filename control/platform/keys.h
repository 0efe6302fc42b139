// Key codes and shift-state bits of the platform's key and mouse events.
#pragma once

#include "control/platform/types.h"

namespace marelco {

// Virtual-key codes of the keys the control and its text box act on.
namespace vk {
inline constexpr Integer Back = 8;
inline constexpr Integer End = 35;
inline constexpr Integer Home = 36;
inline constexpr Integer Left = 37;
inline constexpr Integer Up = 38;
inline constexpr Integer Right = 39;
inline constexpr Integer Down = 40;
inline constexpr Integer Delete = 46;
}  // namespace vk

// Shift-state bits.
inline constexpr Integer kShiftMask = 1;
inline constexpr Integer kCtrlMask = 2;
inline constexpr Integer kAltMask = 4;

}  // namespace marelco
