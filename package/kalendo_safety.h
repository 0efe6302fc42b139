// IObjectSafety: Kalendo is safe for scripting and for initialisation. It writes no file, runs nothing that
// it is given and reaches nothing outside its own windows, so a host may hand it any caller and any saved data.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <objsafe.h>

#include <array>

#include "com/tear_off.h"

namespace marelco {

// The options a host enabled for each interface it may ask about: those that scripts call and those that load
// saved data.
class SafetyOptions {
 public:
  HRESULT Get(REFIID iid, DWORD* supported, DWORD* enabled) const;
  HRESULT Set(REFIID iid, DWORD mask, DWORD enabled);

  static constexpr size_t kInterfaces = 5;

 private:
  std::array<BYTE, kInterfaces> enabled_ = {};  // the supported options fit in a byte
};

// IObjectSafety, which only script hosts and browsers ask for, is a tear-off; the options stay with the control.
class ObjectSafety final : public TearOff<ObjectSafety, IObjectSafety> {
 public:
  ObjectSafety(IUnknown* owner, SafetyOptions& options) : TearOff(owner), options_(options) {}

  STDMETHODIMP GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) override {
    return options_.Get(iid, supported, enabled);
  }
  STDMETHODIMP SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) override {
    return options_.Set(iid, mask, enabled);
  }

 private:
  SafetyOptions& options_;
};

}  // namespace marelco
