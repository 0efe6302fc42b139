#include "pages/dispatch_object.h"

#include "pages/win_util.h"

namespace marelco::win {
namespace {

// Runs a call and turns a failure into a RuntimeError.
void Check(HRESULT result) {
  if (FAILED(result)) ThrowDispatchError(result, EXCEPINFO{});
}

}  // namespace

void ThrowDispatchError(HRESULT result, const EXCEPINFO& exception) {
  switch (result) {
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND: throw RuntimeError(kUnsupportedMember);
    case DISP_E_TYPEMISMATCH: throw RuntimeError(ErrorNumber::TypeMismatch);
    case DISP_E_OVERFLOW: throw RuntimeError(ErrorNumber::Overflow);
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
  std::wstring wide = Wide(name);
  LPOLESTR names[] = {wide.data()};
  DISPID id = DISPID_UNKNOWN;
  Check(object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
  return id;
}

void DispatchObject::Get(std::u16string_view member, VARTYPE type, VARIANT* result) {
  const DISPID id = Member(member);
  DISPPARAMS none = {};
  EXCEPINFO exception = {};
  ScopedVariant value;
  const HRESULT got = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET | DISPATCH_METHOD,
                                      &none, value.get(), &exception, nullptr);
  if (FAILED(got)) ThrowDispatchError(got, exception);
  Check(VariantChangeType(result, value.get(), 0, type));
}

void DispatchObject::Put(std::u16string_view member, VARIANT& value) {
  const DISPID id = Member(member);
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS arguments = {&value, &named, 1, 1};
  EXCEPINFO exception = {};
  const HRESULT put = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &arguments, nullptr,
                                      &exception, nullptr);
  if (FAILED(put)) ThrowDispatchError(put, exception);
}

std::u16string DispatchObject::GetText(std::u16string_view member) {
  ScopedVariant text;
  Get(member, VT_BSTR, text.get());
  const BSTR chars = (*text).bstrVal;
  return FromWide({chars, SysStringLen(chars)});
}

Long DispatchObject::GetLong(std::u16string_view member) {
  ScopedVariant number;
  Get(member, VT_I4, number.get());
  return (*number).lVal;
}

void DispatchObject::SetText(std::u16string_view member, const std::u16string& value) {
  ScopedVariant text;
  const std::wstring wide = Wide(value);
  text.get()->vt = VT_BSTR;
  text.get()->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (!text.get()->bstrVal) throw RuntimeError(static_cast<ErrorNumber>(7));  // "Out of memory"
  Put(member, *text.get());
}

void DispatchObject::SetBoolean(std::u16string_view member, Boolean value) {
  VARIANT flag;
  flag.vt = VT_BOOL;
  flag.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  Put(member, flag);
}

}  // namespace marelco::win
