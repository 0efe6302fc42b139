// A container's property bag for the tests: values by name, objects kept by reference.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <map>
#include <string>

#include "tests/package/sinks.h"

namespace marelco::testing_bag {

class PropertyBag final : public testing_sinks::StackObject<IPropertyBag> {
 public:
  std::map<std::wstring, VARIANT> values;
  std::map<std::wstring, VARTYPE> asked;  // the type each value was last asked for

  PropertyBag() = default;
  PropertyBag(const PropertyBag& other) {
    for (const auto& [name, value] : other.values) Put(name, value);
  }
  PropertyBag& operator=(const PropertyBag&) = delete;
  ~PropertyBag() {
    for (auto& [name, value] : values) VariantClear(&value);
  }

  void Put(const std::wstring& name, const VARIANT& value) {
    VARIANT& slot = values[name];
    VariantClear(&slot);
    VariantCopy(&slot, const_cast<VARIANT*>(&value));
  }
  void Remove(const std::wstring& name) {
    auto found = values.find(name);
    if (found == values.end()) return;
    VariantClear(&found->second);
    values.erase(found);
  }

  // As a container's bag: the value as stored when the caller asks for no type, else changed to the type it asks
  // for, or refused.
  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
    const VARTYPE type = asked[name] = V_VT(value);
    auto found = values.find(name);
    if (found == values.end()) return E_INVALIDARG;
    VariantInit(value);
    return type == VT_EMPTY ? VariantCopy(value, &found->second) : VariantChangeType(value, &found->second, 0, type);
  }
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override {
    Put(name, *value);
    return S_OK;
  }
};

}  // namespace marelco::testing_bag
