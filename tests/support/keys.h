// Virtual-key codes and shift-state bits of the keys that tests press, besides the control's own arrows.
#pragma once

#include "control/platform/keys.h"

namespace marelco {

namespace vk {
inline constexpr Integer Back = 8;
inline constexpr Integer End = 35;
inline constexpr Integer Home = 36;
inline constexpr Integer Left = 37;
inline constexpr Integer Right = 39;
inline constexpr Integer Delete = 46;
}  // namespace vk

inline constexpr Integer kShiftMask = 1;
inline constexpr Integer kCtrlMask = 2;

}  // namespace marelco
