// A scriptable object for the page's tests: Formato, Locked and Enabled as dispatch properties, writes recorded.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <map>
#include <string>
#include <vector>

namespace marelco::pages::testing {

class FakeControl final : public IDispatch {
 public:
  FakeControl(const wchar_t* format, bool locked, bool enabled);
  ~FakeControl();

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* arguments, VARIANT* result, EXCEPINFO*,
                      UINT*) override;

  void Remove(const std::wstring& member);  // the object no longer has this member
  std::wstring Format() const;
  bool Locked() const { return members_[1].second.boolVal != VARIANT_FALSE; }
  bool Enabled() const { return members_[2].second.boolVal != VARIANT_FALSE; }
  std::vector<std::wstring> writes;  // names of the members written, in order
  HRESULT refusal = S_OK;             // a failure: every write is refused with it, as a control refuses a value

 private:
  ULONG references_ = 1;
  std::vector<std::pair<std::wstring, VARIANT>> members_;  // the dispatch identifier is the index
};

}  // namespace marelco::pages::testing
