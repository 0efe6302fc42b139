// A selected object reached through its IDispatch by member name, and the page's errors as HRESULTs.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include "pages/page_controls.h"

namespace marelco::win {

class DispatchObject : public SelectedObject {
 public:
  explicit DispatchObject(Microsoft::WRL::ComPtr<IDispatch> object) : object_(std::move(object)) {}

  std::u16string GetText(std::u16string_view member) override;
  Long GetLong(std::u16string_view member) override;
  void SetText(std::u16string_view member, const std::u16string& value) override;
  void SetBoolean(std::u16string_view member, Boolean value) override;

 private:
  DISPID Member(std::u16string_view name);
  void Get(std::u16string_view member, VARTYPE type, VARIANT* result);
  void Put(std::u16string_view member, VARIANT& value);

  Microsoft::WRL::ComPtr<IDispatch> object_;
};

// A failed dispatch call as the run-time error it stands for.
[[noreturn]] void ThrowDispatchError(HRESULT result, const EXCEPINFO& exception);

// A run-time error as an HRESULT: the platform's error numbers in the control facility.
HRESULT ResultOf(const RuntimeError& error);

}  // namespace marelco::win
