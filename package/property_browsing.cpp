#include "package/property_browsing.h"

#include <olectl.h>

#include <algorithm>
#include <iterator>

#include "package/marelco_typelib.h"

namespace marelco {
namespace {

// The stock pages of the platform.
constexpr CLSID kStandardFontPage = {0x7EBDAAE0, 0x8120, 0x11CF, {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};
constexpr CLSID kStandardColorPage = {0x7EBDAAE1, 0x8120, 0x11CF, {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};

// What a property browser is told of the properties it offers a stock page for: the page and the category.
struct BrowsedProperty {
  DISPID id;
  const CLSID& page;
  PROPCAT category;
};

constexpr BrowsedProperty kBrowsedProperties[] = {
    {DISPID_BACKCOLOR, kStandardColorPage, PROPCAT_Appearance},
    {DISPID_FORECOLOR, kStandardColorPage, PROPCAT_Appearance},
    {DISPID_FONT, kStandardFontPage, PROPCAT_Font},
};

const BrowsedProperty* FindBrowsedProperty(DISPID id) {
  for (const auto& property : kBrowsedProperties) {
    if (property.id == id) return &property;
  }
  return nullptr;
}

}  // namespace

// ISpecifyPropertyPages: the control's own page first, then the stock font and colour pages.

HRESULT PropertyBrowsing::Pages(CAUUID* pages) {
  if (!pages) return E_POINTER;
  const GUID list[] = {CLSID_ppg, kStandardFontPage, kStandardColorPage};
  pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof list));
  if (!pages->pElems) {
    pages->cElems = 0;
    return E_OUTOFMEMORY;
  }
  pages->cElems = 3;
  std::copy(std::begin(list), std::end(list), pages->pElems);
  return S_OK;
}

// IPerPropertyBrowsing: the colours are edited on the colour page, the font on the font page (the table above).

STDMETHODIMP PropertyBrowsing::GetDisplayString(DISPID, BSTR* text) {
  if (text) *text = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP PropertyBrowsing::MapPropertyToPage(DISPID id, CLSID* page) {
  if (!page) return E_POINTER;
  const BrowsedProperty* property = FindBrowsedProperty(id);
  *page = property ? property->page : CLSID_NULL;
  return property ? S_OK : PERPROP_E_NOPAGEAVAILABLE;
}

STDMETHODIMP PropertyBrowsing::GetPredefinedStrings(DISPID, CALPOLESTR* strings, CADWORD* cookies) {
  if (strings) *strings = {};
  if (cookies) *cookies = {};
  return E_NOTIMPL;
}

STDMETHODIMP PropertyBrowsing::GetPredefinedValue(DISPID, DWORD, VARIANT* value) {
  if (value) VariantInit(value);
  return E_NOTIMPL;
}

// ICategorizeProperties: the colours are appearance, the font is a category of its own (the table above). The
// browser names these categories and places every other property where it sees fit.

STDMETHODIMP PropertyBrowsing::MapPropertyToCategory(DISPID id, PROPCAT* category) {
  if (!category) return E_POINTER;
  const BrowsedProperty* property = FindBrowsedProperty(id);
  if (!property) return E_FAIL;
  *category = property->category;
  return S_OK;
}

STDMETHODIMP PropertyBrowsing::GetCategoryName(PROPCAT, LCID, BSTR* name) {
  if (!name) return E_POINTER;
  *name = nullptr;
  return E_FAIL;  // the control has no categories of its own
}

}  // namespace marelco
