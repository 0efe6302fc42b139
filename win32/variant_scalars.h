// The core's values of the automation types (Empty, Boolean, Integer, Long, Single, Double, String) as
// VARIANTs and back; objects are left to their users, who make them differently.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <optional>

#include "control/platform/variant.h"

namespace marelco::win32 {

// Writes the value into `out`, a VARIANT that holds nothing; false, writing nothing, for an object. Throws
// std::bad_alloc when a string cannot be made.
bool ToVariantScalar(const Variant& value, VARIANT* out);

// The value of a VARIANT of one of those types; nullopt for any other.
std::optional<Variant> FromVariantScalar(const VARIANT& value);

}  // namespace marelco::win32
