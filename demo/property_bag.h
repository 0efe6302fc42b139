// Saved properties, as a form file holds them: values by name.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <map>
#include <string>

namespace marelco::demo {

class PropertyBag final : public IPropertyBag {
 public:
  PropertyBag() = default;
  PropertyBag(const PropertyBag&) = delete;
  PropertyBag& operator=(const PropertyBag&) = delete;
  ~PropertyBag() {
    for (auto& [name, value] : values_) VariantClear(&value);
  }

  const std::map<std::wstring, VARIANT>& values() const { return values_; }

  // IUnknown: the form owns the bag, and a control holds it only during Load and Save.
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IPropertyBag) return E_NOINTERFACE;
    *object = static_cast<IPropertyBag*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override { return --references_; }

  // IPropertyBag: a value missing from the bag leaves the control's default. The reader names the type it
  // wants in the value it hands in, or leaves it empty for any.
  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
    if (!name || !value) return E_POINTER;
    auto found = values_.find(name);
    if (found == values_.end()) return E_INVALIDARG;
    const VARTYPE wanted = V_VT(value);
    VariantInit(value);
    return wanted == VT_EMPTY ? VariantCopy(value, &found->second)
                              : VariantChangeType(value, &found->second, 0, wanted);
  }
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override {
    if (!name || !value) return E_POINTER;
    VARIANT copy;
    VariantInit(&copy);
    HRESULT result = VariantCopy(&copy, value);
    if (FAILED(result)) return result;
    auto [slot, added] = values_.try_emplace(name, copy);
    if (!added) {
      VariantClear(&slot->second);
      slot->second = copy;
    }
    return S_OK;
  }

 private:
  std::map<std::wstring, VARIANT> values_;
  ULONG references_ = 0;
};

}  // namespace marelco::demo
