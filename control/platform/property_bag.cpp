#include "control/platform/property_bag.h"

namespace marelco {
namespace {

bool IsNumeric(VariantType type) {
  switch (type) {
    case VariantType::Boolean:
    case VariantType::Integer:
    case VariantType::Long:
    case VariantType::Single:
    case VariantType::Double: return true;
    default: return false;
  }
}

}  // namespace

bool EqualsDefault(const Variant& value, const Variant& defaultValue) {
  if (IsNumeric(value.type()) && IsNumeric(defaultValue.type())) return value.ToDouble() == defaultValue.ToDouble();
  return value == defaultValue;
}

}  // namespace marelco
