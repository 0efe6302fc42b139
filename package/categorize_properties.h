// The interface through which a property browser sorts a control's properties into categories. The SDK's
// headers here do not declare it; this is its documented form.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace marelco {

using PROPCAT = int;

// The browser's predefined categories, which it names itself; a control's own would be positive.
constexpr PROPCAT PROPCAT_Font = -3;
constexpr PROPCAT PROPCAT_Appearance = -5;

MIDL_INTERFACE("4D07FC10-F931-11CE-B001-00AA006884E5")
ICategorizeProperties : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE MapPropertyToCategory(DISPID id, PROPCAT* category) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCategoryName(PROPCAT category, LCID locale, BSTR* name) = 0;
};

}  // namespace marelco

__CRT_UUID_DECL(marelco::ICategorizeProperties, 0x4D07FC10, 0xF931, 0x11CE, 0xB0, 0x01, 0x00, 0xAA, 0x00, 0x68, 0x84,
                0xE5)
