// A selected object reached through its IDispatch by member name, and the page's errors as HRESULTs.
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include "pages/page_controls.h"

namespace marelco::win32 {

class DispatchObject : public SelectedObject {
 public:
  explicit DispatchObject(Microsoft::WRL::ComPtr<IDispatch> object) : object_(std::move(object)) {}

  Variant Get(std::u16string_view member) override;
  void Set(std::u16string_view member, const Variant& value) override;

 private:
  DISPID Member(std::u16string_view name);

  Microsoft::WRL::ComPtr<IDispatch> object_;
};

// A failed dispatch call as the run-time error it stands for.
[[noreturn]] void ThrowDispatchError(HRESULT result, const EXCEPINFO& exception);

// Automation values in and out: a value of a type the page does not hold is read as its text.
Variant FromAutomation(const VARIANT& value);
void ToAutomation(const Variant& value, VARIANT* result);

// A run-time error as an HRESULT: the platform's error numbers in the control facility.
HRESULT ResultOf(const RuntimeError& error);

}  // namespace marelco::win32
