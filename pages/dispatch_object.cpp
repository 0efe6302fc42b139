#include "pages/dispatch_object.h"

#include "pages/win_util.h"

namespace marelco::win32 {
namespace {

// Runs a call and turns a failure into a RuntimeError.
void Check(HRESULT result) {
  if (FAILED(result)) ThrowDispatchError(result, EXCEPINFO{});
}

}  // namespace

void ThrowDispatchError(HRESULT result, const EXCEPINFO& exception) {
  switch (result) {
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND:
      throw RuntimeError(kUnsupportedMember);
    case DISP_E_TYPEMISMATCH:
      throw RuntimeError(ErrorNumber::TypeMismatch);
    case DISP_E_OVERFLOW:
      throw RuntimeError(ErrorNumber::Overflow);
    case DISP_E_EXCEPTION:
      if (exception.wCode) throw RuntimeError(static_cast<ErrorNumber>(exception.wCode));
      result = exception.scode;
      break;
  }
  if (HRESULT_FACILITY(result) == FACILITY_CONTROL) throw RuntimeError(static_cast<ErrorNumber>(HRESULT_CODE(result)));
  throw RuntimeError(static_cast<ErrorNumber>(result));  // any other failure keeps its HRESULT as its number
}

HRESULT ResultOf(const RuntimeError& error) {
  const int number = static_cast<int>(error.number());
  if (number > 0 && number <= 0xFFFF) return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number);
  return static_cast<HRESULT>(number);
}

DISPID DispatchObject::Member(std::u16string_view name) {
  std::wstring wide = ToWide(std::u16string(name));
  LPOLESTR names[] = {wide.data()};
  DISPID id = DISPID_UNKNOWN;
  Check(object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
  return id;
}

Variant DispatchObject::Get(std::u16string_view member) {
  const DISPID id = Member(member);
  DISPPARAMS none = {};
  EXCEPINFO exception = {};
  ScopedVariant value;
  const HRESULT got = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET | DISPATCH_METHOD, &none,
                                      value.get(), &exception, nullptr);
  if (FAILED(got)) ThrowDispatchError(got, exception);
  return FromAutomation(*value);
}

void DispatchObject::Set(std::u16string_view member, const Variant& value) {
  const DISPID id = Member(member);
  ScopedVariant argument;
  ToAutomation(value, argument.get());
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS arguments = {argument.get(), &named, 1, 1};
  EXCEPINFO exception = {};
  const HRESULT put = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &arguments, nullptr,
                                      &exception, nullptr);
  if (FAILED(put)) ThrowDispatchError(put, exception);
}

Variant FromAutomation(const VARIANT& value) {
  switch (V_VT(&value)) {
    case VT_EMPTY:
      return {};
    case VT_BOOL:
      return Variant::FromBoolean(V_BOOL(&value) ? kTrue : kFalse);
    case VT_I2:
      return Variant::FromInteger(V_I2(&value));
    case VT_I4:
      return Variant::FromLong(V_I4(&value));
    case VT_R4:
      return Variant::FromSingle(V_R4(&value));
    case VT_R8:
      return Variant::FromDouble(V_R8(&value));
    case VT_BSTR:
      return Variant::FromString(ToU16({V_BSTR(&value), SysStringLen(V_BSTR(&value))}));
  }
  ScopedVariant text;
  Check(VariantChangeType(text.get(), const_cast<VARIANT*>(&value), VARIANT_ALPHABOOL, VT_BSTR));
  return FromAutomation(*text);
}

void ToAutomation(const Variant& value, VARIANT* result) {
  switch (value.type()) {
    case VariantType::Empty:
      V_VT(result) = VT_EMPTY;
      return;
    case VariantType::Boolean:
      V_VT(result) = VT_BOOL;
      V_BOOL(result) = value.ToBoolean() ? VARIANT_TRUE : VARIANT_FALSE;
      return;
    case VariantType::Integer:
      V_VT(result) = VT_I2;
      V_I2(result) = value.ToInteger();
      return;
    case VariantType::Long:
      V_VT(result) = VT_I4;
      V_I4(result) = value.ToLong();
      return;
    case VariantType::Single:
      V_VT(result) = VT_R4;
      V_R4(result) = value.ToSingle();
      return;
    case VariantType::Double:
      V_VT(result) = VT_R8;
      V_R8(result) = value.ToDouble();
      return;
    case VariantType::String: {
      const std::wstring text = ToWide(value.ToString());
      V_BSTR(result) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
      if (!V_BSTR(result)) throw RuntimeError(static_cast<ErrorNumber>(7));  // "Out of memory"
      V_VT(result) = VT_BSTR;
      return;
    }
    case VariantType::Font:
    case VariantType::Picture:
      break;
  }
  throw RuntimeError(ErrorNumber::TypeMismatch);  // the page never hands over objects
}

}  // namespace marelco::win32
