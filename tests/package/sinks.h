// Sinks a test connects to the control: one for the events of __Kalendo, one for property notifications.
// Both record what they are told, in order.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <vector>

#include "com/com_ptr.h"
#include "package/marelco_typelib.h"

namespace marelco::testing_sinks {

// A COM object of one interface with a plain reference count, for objects a test keeps on its stack.
template <typename Interface>
class StackObject : public Interface {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, __uuidof(Interface)) && !Answers(iid))
      return E_NOINTERFACE;
    *object = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
  STDMETHODIMP_(ULONG) Release() override { return --references; }

  ULONG references = 0;

 protected:
  virtual bool Answers(REFIID) { return false; }
};

// Records every event the control raises; a handler may change the by-reference arguments.
class EventSink final : public StackObject<IDispatch> {
 public:
  struct Raised {
    DISPID id;
    std::vector<VARTYPE> types;  // of the arguments, in DISPPARAMS order
  };

  std::vector<Raised> raised;
  std::function<void(DISPID, DISPPARAMS&)> handler;

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    Raised event{id, {}};
    for (UINT index = 0; index < params->cArgs; ++index) event.types.push_back(V_VT(&params->rgvarg[index]));
    raised.push_back(event);
    if (handler) handler(id, *params);
    return S_OK;
  }

  int Count(DISPID id) const {
    int count = 0;
    for (const auto& event : raised) count += event.id == id;
    return count;
  }

 protected:
  bool Answers(REFIID iid) override { return IsEqualIID(iid, DIID___Kalendo); }
};

// A container's advise sink that counts the data changes it is told of, with the medium's kind, and the view's.
class DataSink final : public StackObject<IAdviseSink> {
 public:
  std::vector<DWORD> changes;  // the medium's tymed for each change
  int views = 0;
  STDMETHODIMP_(void) OnDataChange(FORMATETC*, STGMEDIUM* medium) override { changes.push_back(medium->tymed); }
  STDMETHODIMP_(void) OnViewChange(DWORD, LONG) override { ++views; }
  STDMETHODIMP_(void) OnRename(IMoniker*) override {}
  STDMETHODIMP_(void) OnSave() override {}
  STDMETHODIMP_(void) OnClose() override {}
};

class PropertyNotifySink final : public StackObject<IPropertyNotifySink> {
 public:
  std::vector<DISPID> changed;

  STDMETHODIMP OnChanged(DISPID id) override {
    changed.push_back(id);
    return S_OK;
  }
  STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }
};

// Connects a sink to a connection point of the control for as long as it lives.
class Connection {
 public:
  Connection(IUnknown* control, REFIID iid, IUnknown* sink) {
    auto container = ComPtr<IUnknown>(control).query<IConnectionPointContainer>();
    if (container && SUCCEEDED(container->FindConnectionPoint(iid, point_.put()))) result_ = point_->Advise(sink, &cookie_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection() {
    if (point_ && cookie_) point_->Unadvise(cookie_);
  }
  HRESULT result() const { return result_; }

 private:
  ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
  HRESULT result_ = E_FAIL;
};

}  // namespace marelco::testing_sinks
