// IObjectSafety: Kalendo is safe for scripting and for initialisation. It writes no file, runs nothing that
// it is given and reaches nothing outside its own windows, so a host may hand it any caller and any saved data.
#include <array>

#include "package/kalendo_object.h"

namespace marelco {
namespace {

constexpr DWORD kSupportedSafety = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;

// The interfaces a host may ask about: those that scripts call and those that load saved data.
const std::array<const IID*, KalendoObject::kSafeInterfaces> kSafeInterfaceIds = {
    &IID_IDispatch, &IID__Kalendo, &IID_IPersistPropertyBag, &IID_IPersistStreamInit, &IID_IPersistStorage};

// The place of an interface in kSafeInterfaceIds, or kSafeInterfaces when it is none of them.
size_t SafeInterfaceIndex(REFIID iid) {
  size_t index = 0;
  while (index < kSafeInterfaceIds.size() && !IsEqualIID(iid, *kSafeInterfaceIds[index])) ++index;
  return index;
}

}  // namespace

STDMETHODIMP KalendoObject::GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) {
  if (!supported || !enabled) return E_POINTER;
  *supported = *enabled = 0;
  const size_t index = SafeInterfaceIndex(iid);
  if (index == kSafeInterfaces) return E_NOINTERFACE;
  *supported = kSupportedSafety;
  *enabled = safetyOptions_[index];
  return S_OK;
}

// Options other than the two supported ones (a dispatch-ex caller, a security manager) are refused.
STDMETHODIMP KalendoObject::SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) {
  const size_t index = SafeInterfaceIndex(iid);
  if (index == kSafeInterfaces) return E_NOINTERFACE;
  if (mask & ~kSupportedSafety) return E_FAIL;
  safetyOptions_[index] = (safetyOptions_[index] & ~mask) | (enabled & mask);
  return S_OK;
}

}  // namespace marelco
