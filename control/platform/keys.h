// The virtual-key codes of the keys the control acts on.
#pragma once

#include "control/platform/types.h"

namespace marelco::vk {

inline constexpr Integer Up = 38;
inline constexpr Integer Down = 40;

}  // namespace marelco::vk
