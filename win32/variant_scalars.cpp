#include "win32/variant_scalars.h"

#include <new>

#include "com/com_ptr.h"

namespace marelco::win32 {

bool ToVariantScalar(const Variant& value, VARIANT* out) {
  switch (value.type()) {
    case VariantType::Empty: V_VT(out) = VT_EMPTY; return true;
    case VariantType::Boolean: V_VT(out) = VT_BOOL; V_BOOL(out) = value.ToBoolean(); return true;
    case VariantType::Integer: V_VT(out) = VT_I2; V_I2(out) = value.ToInteger(); return true;
    case VariantType::Long: V_VT(out) = VT_I4; V_I4(out) = value.ToLong(); return true;
    case VariantType::Single: V_VT(out) = VT_R4; V_R4(out) = value.ToSingle(); return true;
    case VariantType::Double: V_VT(out) = VT_R8; V_R8(out) = value.ToDouble(); return true;
    case VariantType::String:
      V_BSTR(out) = Bstr(value.ToString()).detach();
      if (!V_BSTR(out)) throw std::bad_alloc();
      V_VT(out) = VT_BSTR;
      return true;
    case VariantType::Font:
    case VariantType::Picture:
      break;
  }
  return false;
}

std::optional<Variant> FromVariantScalar(const VARIANT& value) {
  switch (V_VT(&value)) {
    case VT_EMPTY: return Variant();
    case VT_BOOL: return Variant::FromBoolean(V_BOOL(&value));
    case VT_I2: return Variant::FromInteger(V_I2(&value));
    case VT_I4: return Variant::FromLong(V_I4(&value));
    case VT_R4: return Variant::FromSingle(V_R4(&value));
    case VT_R8: return Variant::FromDouble(V_R8(&value));
    case VT_BSTR: return Variant::FromString(Bstr::ToUtf16(V_BSTR(&value)));
  }
  return std::nullopt;
}

}  // namespace marelco::win32
