// Table-driven QueryInterface, reference counting and the IUnknown they make for our COM objects.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <initializer_list>
#include <new>
#include <span>
#include <utility>

#include "com/module_lock.h"

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
HRESULT QueryInterfaceFromTable(Object* object, std::span<const InterfaceEntry<Object>> table, REFIID iid,
                                void** result) {
  if (!result) return E_POINTER;
  *result = nullptr;
  for (const auto& entry : table) {
    if (IsEqualIID(iid, entry.iid) || (IsEqualIID(iid, IID_IUnknown) && &entry == table.data())) {
      IUnknown* found = entry.cast(object);
      found->AddRef();
      *result = found;
      return S_OK;
    }
  }
  return E_NOINTERFACE;
}

template <typename Object>
HRESULT QueryInterfaceFromTable(Object* object, std::initializer_list<InterfaceEntry<Object>> table, REFIID iid,
                                void** result) {
  return QueryInterfaceFromTable(object, std::span(table.begin(), table.size()), iid, result);
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

// The IUnknown of a COM object of class Self, which derives from ComObject<Self, its interfaces...>: a new
// object holds one reference, and the last Release deletes it. Its interface table is the interfaces in
// their order; a class that answers for more identities (IDispatch through a dual interface) gives its own
// table as a public static InterfaceTable().
template <typename Self, typename... Interfaces>
class ComObject : public Interfaces... {
 public:
  ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** result) override {
    return QueryInterfaceFromTable(static_cast<Self*>(this), Self::InterfaceTable(), iid, result);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return refs_.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG count = refs_.Release();
    if (count == 0) delete static_cast<Self*>(this);
    return count;
  }

  static std::span<const InterfaceEntry<Self>> InterfaceTable() {
    static const InterfaceEntry<Self> table[] = {Entry<Self, Interfaces>()...};
    return table;
  }

 private:
  RefCount refs_;
};

// A new object of class Self asked for the interface iid: what a class factory's CreateInstance does.
template <typename Self, typename... Arguments>
HRESULT CreateComObject(REFIID iid, void** result, Arguments&&... arguments) {
  if (!result) return E_POINTER;
  *result = nullptr;
  auto* object = new (std::nothrow) Self(std::forward<Arguments>(arguments)...);
  if (!object) return E_OUTOFMEMORY;
  const HRESULT answer = object->QueryInterface(iid, result);
  object->Release();
  return answer;
}

}  // namespace marelco
