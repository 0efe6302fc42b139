#include "tests/pages/fake_control.h"

namespace marelco::pages::testing {

FakeControl::FakeControl(const wchar_t* format, bool locked, bool enabled) {
  VARIANT value;
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocString(format);
  members_.emplace_back(L"Formato", value);
  value.vt = VT_BOOL;
  value.boolVal = locked ? VARIANT_TRUE : VARIANT_FALSE;
  members_.emplace_back(L"Locked", value);
  value.boolVal = enabled ? VARIANT_TRUE : VARIANT_FALSE;
  members_.emplace_back(L"Enabled", value);
}

FakeControl::~FakeControl() {
  for (auto& member : members_) VariantClear(&member.second);
}

STDMETHODIMP FakeControl::QueryInterface(REFIID iid, void** object) {
  if (iid != IID_IUnknown && iid != IID_IDispatch) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  *object = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) FakeControl::Release() {
  const ULONG left = --references_;
  if (!left) delete this;
  return left;
}

STDMETHODIMP FakeControl::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

STDMETHODIMP FakeControl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (count != 1) return E_INVALIDARG;
  for (std::size_t i = 0; i < members_.size(); ++i) {
    if (!members_[i].first.empty() && _wcsicmp(members_[i].first.c_str(), names[0]) == 0) {
      ids[0] = static_cast<DISPID>(i);
      return S_OK;
    }
  }
  ids[0] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP FakeControl::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* arguments, VARIANT* result,
                                 EXCEPINFO* exception, UINT*) {
  if (id < 0 || static_cast<std::size_t>(id) >= members_.size() || members_[id].first.empty()) {
    return DISP_E_MEMBERNOTFOUND;
  }
  VARIANT& member = members_[id].second;
  if (flags & DISPATCH_PROPERTYPUT) {
    if (arguments->cArgs != 1 || arguments->cNamedArgs != 1) return DISP_E_BADPARAMCOUNT;
    if (FAILED(refusal) && exception && HRESULT_FACILITY(refusal) != FACILITY_DISPATCH) exception->scode = refusal;
    if (FAILED(refusal)) return exception && exception->scode ? DISP_E_EXCEPTION : refusal;  // as a type library's
    const HRESULT changed = VariantChangeType(&member, &arguments->rgvarg[0], 0, member.vt);
    if (SUCCEEDED(changed)) writes.push_back(members_[id].first);
    return changed;
  }
  if (!result) return E_POINTER;
  return VariantCopy(result, &member);
}

void FakeControl::Remove(const std::wstring& member) {
  for (auto& [name, value] : members_) {
    if (name == member) name.clear();
  }
}

std::wstring FakeControl::Format() const {
  const BSTR text = members_[0].second.bstrVal;
  return {text, SysStringLen(text)};
}

}  // namespace marelco::pages::testing
