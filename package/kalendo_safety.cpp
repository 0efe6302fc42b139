#include "package/kalendo_safety.h"

#include "package/marelco_typelib.h"

namespace marelco {
namespace {

constexpr DWORD kSupportedSafety = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;

const std::array<const IID*, SafetyOptions::kInterfaces> kSafeInterfaceIds = {
    &IID_IDispatch, &IID__Kalendo, &IID_IPersistPropertyBag, &IID_IPersistStreamInit, &IID_IPersistStorage};

// The place of an interface in kSafeInterfaceIds, or kInterfaces when it is none of them.
size_t SafeInterfaceIndex(REFIID iid) {
  size_t index = 0;
  while (index < kSafeInterfaceIds.size() && !IsEqualIID(iid, *kSafeInterfaceIds[index])) ++index;
  return index;
}

}  // namespace

HRESULT SafetyOptions::Get(REFIID iid, DWORD* supported, DWORD* enabled) const {
  if (!supported || !enabled) return E_POINTER;
  *supported = *enabled = 0;
  const size_t index = SafeInterfaceIndex(iid);
  if (index == kInterfaces) return E_NOINTERFACE;
  *supported = kSupportedSafety;
  *enabled = enabled_[index];
  return S_OK;
}

// Options other than the two supported ones (a dispatch-ex caller, a security manager) are refused.
HRESULT SafetyOptions::Set(REFIID iid, DWORD mask, DWORD enabled) {
  const size_t index = SafeInterfaceIndex(iid);
  if (index == kInterfaces) return E_NOINTERFACE;
  if (mask & ~kSupportedSafety) return E_FAIL;
  enabled_[index] = static_cast<BYTE>((enabled_[index] & ~mask) | (enabled & mask));
  return S_OK;
}

}  // namespace marelco
