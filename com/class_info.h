// IProvideClassInfo2 of a COM object: its coclass's type description and its default events. Containers ask
// once, when they connect to the events, so it is a tear-off.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <array>
#include <span>

#include "com/com_ptr.h"
#include "com/tear_off.h"

namespace marelco {

class ClassInfo final : public TearOff<ClassInfo, IProvideClassInfo2> {
 public:
  ClassInfo(IUnknown* owner, ITypeInfo* coclass, const IID& events)
      : TearOff(owner), coclass_(coclass), events_(events) {}

  static std::span<const InterfaceEntry<ClassInfo>> InterfaceTable() {
    static const std::array table = {Entry<ClassInfo, IProvideClassInfo2>(),
                                     Entry<ClassInfo, IProvideClassInfo, IProvideClassInfo2>()};
    return table;
  }

  STDMETHODIMP GetClassInfo(ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = ComPtr<ITypeInfo>(coclass_).detach();
    return S_OK;
  }
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *guid = events_;
    return S_OK;
  }

 private:
  ComPtr<ITypeInfo> coclass_;
  const IID& events_;
};

}  // namespace marelco
