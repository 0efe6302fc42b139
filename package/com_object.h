// Table-driven QueryInterface and reference counting for our COM objects.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <initializer_list>

#include "package/module.h"

namespace marelco {

// One row of an object's interface table: an identity and how to reach that interface of the object.
template <typename Object>
struct InterfaceEntry {
  const IID& iid;
  IUnknown* (*cast)(Object*);
};

template <typename Object, typename Interface, typename Via = Interface>
constexpr InterfaceEntry<Object> Entry() {
  return {__uuidof(Interface), [](Object* object) -> IUnknown* { return static_cast<Via*>(object); }};
}

// Answers QueryInterface from the table; IUnknown is the table's first interface.
template <typename Object>
HRESULT QueryInterfaceFromTable(Object* object, std::initializer_list<InterfaceEntry<Object>> table, REFIID iid,
                                void** result) {
  if (!result) return E_POINTER;
  *result = nullptr;
  for (const auto& entry : table) {
    if (IsEqualIID(iid, entry.iid) || (IsEqualIID(iid, IID_IUnknown) && &entry == table.begin())) {
      IUnknown* found = entry.cast(object);
      found->AddRef();
      *result = found;
      return S_OK;
    }
  }
  return E_NOINTERFACE;
}

// The reference count of a COM object; the object holds the module while it lives.
class RefCount {
 public:
  ULONG AddRef() { return InterlockedIncrement(&count_); }
  ULONG Release() { return InterlockedDecrement(&count_); }

 private:
  LONG count_ = 1;
  ModuleLock moduleLock_;
};

}  // namespace marelco
