// A selected object reached through its IDispatch by member name.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "com/com_ptr.h"
#include "pages/page_controls.h"

namespace marelco::pages {

class DispatchObject : public SelectedObject {
 public:
  explicit DispatchObject(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  Variant Get(std::u16string_view member) override;
  void Set(std::u16string_view member, const Variant& value) override;

 private:
  DISPID Member(std::u16string_view name);

  ComPtr<IDispatch> object_;
};

// A failed dispatch call as the run-time error it stands for.
[[noreturn]] void ThrowDispatchError(HRESULT result, const EXCEPINFO& exception);

// Automation values in and out: a value of a type the page does not hold is read as its text.
Variant FromAutomation(const VARIANT& value);
void ToAutomation(const Variant& value, VARIANT* result);

}  // namespace marelco::pages
