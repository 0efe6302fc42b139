// What a property browser asks of the control: the pages it offers, which page edits which property, and the
// properties' categories.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "com/tear_off.h"
#include "package/categorize_properties.h"

namespace marelco {

// Browsers ask only while a form is designed, so these interfaces are a tear-off of the control.
class PropertyBrowsing final
    : public TearOff<PropertyBrowsing, ISpecifyPropertyPages, IPerPropertyBrowsing, ICategorizeProperties> {
 public:
  using TearOff::TearOff;

  // The control's own page first, then the stock font and colour pages; the list is the caller's to free.
  static HRESULT Pages(CAUUID* pages);

  // ISpecifyPropertyPages
  STDMETHODIMP GetPages(CAUUID* pages) override { return Pages(pages); }

  // IPerPropertyBrowsing
  STDMETHODIMP GetDisplayString(DISPID id, BSTR* text) override;
  STDMETHODIMP MapPropertyToPage(DISPID id, CLSID* page) override;
  STDMETHODIMP GetPredefinedStrings(DISPID id, CALPOLESTR* strings, CADWORD* cookies) override;
  STDMETHODIMP GetPredefinedValue(DISPID id, DWORD cookie, VARIANT* value) override;

  // ICategorizeProperties
  STDMETHODIMP MapPropertyToCategory(DISPID id, PROPCAT* category) override;
  STDMETHODIMP GetCategoryName(PROPCAT category, LCID locale, BSTR* name) override;
};

}  // namespace marelco
