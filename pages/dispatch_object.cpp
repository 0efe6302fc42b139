#include "pages/dispatch_object.h"

#include "pages/win_util.h"
#include "win32/variant_scalars.h"

namespace marelco::pages {
namespace {

using win32::ToWide;

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
  OleVariant value;
  const HRESULT got = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET | DISPATCH_METHOD, &none,
                                      value.get(), &exception, nullptr);
  if (FAILED(got)) ThrowDispatchError(got, exception);
  return FromAutomation(*value.get());
}

void DispatchObject::Set(std::u16string_view member, const Variant& value) {
  const DISPID id = Member(member);
  OleVariant argument;
  ToAutomation(value, argument.get());
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS arguments = {argument.get(), &named, 1, 1};
  EXCEPINFO exception = {};
  const HRESULT put = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &arguments, nullptr,
                                      &exception, nullptr);
  if (FAILED(put)) ThrowDispatchError(put, exception);
}

Variant FromAutomation(const VARIANT& value) {
  if (auto scalar = win32::FromVariantScalar(value)) return std::move(*scalar);
  OleVariant text;
  Check(VariantChangeType(text.get(), const_cast<VARIANT*>(&value), VARIANT_ALPHABOOL, VT_BSTR));
  return FromAutomation(*text.get());
}

void ToAutomation(const Variant& value, VARIANT* result) {
  if (!win32::ToVariantScalar(value, result)) throw RuntimeError(ErrorNumber::TypeMismatch);  // never objects
}

}  // namespace marelco::pages
