// The host's keyed store of a control's saved settings.
#pragma once

#include <string_view>

#include "control/platform/variant.h"

namespace marelco {

class PropertyBag {
 public:
  virtual ~PropertyBag() = default;

  // The value stored under the key, or the default when nothing is stored there.
  virtual Variant ReadProperty(std::u16string_view key, const Variant& defaultValue) = 0;
  // Stores the value under the key; a value equal to the default leaves the key absent.
  virtual void WriteProperty(std::u16string_view key, const Variant& value, const Variant& defaultValue) = 0;
};

// Whether WriteProperty leaves the key absent. Numbers (Booleans among them) equal the default when their values
// are equal, whatever their types; strings when they hold the same characters; objects when they are the same
// object.
bool EqualsDefault(const Variant& value, const Variant& defaultValue);

}  // namespace marelco
