#include "demo/control_site.h"

#include <utility>

namespace marelco::demo {
namespace {

// A member's name from type information; its number when the name is not known.
std::wstring MemberName(ITypeInfo* info, DISPID id) {
  BSTR name = nullptr;
  UINT count = 0;
  if (!info || FAILED(info->GetNames(id, &name, 1, &count)) || count == 0) return std::to_wstring(id);
  std::wstring text(name, SysStringLen(name));
  SysFreeString(name);
  return text;
}

}  // namespace

// A value as the log shows it: objects by kind, everything else as text.
std::wstring Shown(const VARIANT& value) {
  VARIANT text;
  VariantInit(&text);
  std::wstring shown = L"?";
  if (SUCCEEDED(VariantCopyInd(&text, const_cast<VARIANT*>(&value)))) {
    if (V_VT(&text) == VT_DISPATCH || V_VT(&text) == VT_UNKNOWN) {
      shown = L"(object)";
    } else if (SUCCEEDED(VariantChangeType(&text, &text, VARIANT_ALPHABOOL, VT_BSTR))) {
      shown.assign(V_BSTR(&text), SysStringLen(V_BSTR(&text)));
    }
  }
  VariantClear(&text);
  return shown;
}

// Frame

bool Frame::TranslateKey(MSG& message) { return active_ && active_->TranslateAccelerator(&message) == S_OK; }

STDMETHODIMP Frame::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IUnknown && iid != IID_IOleWindow && iid != IID_IOleInPlaceUIWindow && iid != IID_IOleInPlaceFrame)
    return E_NOINTERFACE;
  *object = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP Frame::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_;
  return S_OK;
}

STDMETHODIMP Frame::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
  active_ = object;
  return S_OK;
}

// ControlSite: the control's life

ControlSite::ControlSite(const Form& form, std::wstring name, RECT place)
    : form_(form), name_(std::move(name)), place_(place) {}

HRESULT ControlSite::Open(const wchar_t* progId, IPropertyBag* saved) {
  Close();
  CLSID type;
  HRESULT result = CLSIDFromProgID(progId, &type);
  if (SUCCEEDED(result)) result = CoCreateInstance(type, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object_));
  if (SUCCEEDED(result)) result = object_.As(&control_);
  // The site comes before the properties: a control may ask for ambient properties while it loads.
  if (SUCCEEDED(result)) result = object_->SetClientSite(this);
  ComPtr<IPersistPropertyBag> persist;
  if (SUCCEEDED(result)) result = object_.As(&persist);
  if (SUCCEEDED(result)) result = saved ? persist->Load(saved, nullptr) : persist->InitNew();
  if (SUCCEEDED(result)) result = FindEventInterface();
  if (SUCCEEDED(result)) result = Connect(eventsIid_, &events_, eventConnection_);
  if (SUCCEEDED(result)) {
    result = Connect(IID_IPropertyNotifySink, static_cast<IPropertyNotifySink*>(this), notifyConnection_);
  }
  if (SUCCEEDED(result)) result = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, form_.window, &place_);
  if (FAILED(result)) Close();
  return result;
}

void ControlSite::Close() {
  Disconnect(eventConnection_);
  Disconnect(notifyConnection_);
  if (object_) {
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
  }
  object_.Reset();
  control_.Reset();
  eventsInfo_.Reset();
  membersInfo_.Reset();
}

// The control's default source interface, and the names of its events and properties, from its type information.
HRESULT ControlSite::FindEventInterface() {
  ComPtr<IProvideClassInfo2> classInfo;
  HRESULT result = object_.As(&classInfo);
  if (SUCCEEDED(result)) result = classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &eventsIid_);
  ComPtr<ITypeInfo> type;
  ComPtr<ITypeLib> library;
  UINT index = 0;
  if (SUCCEEDED(result)) result = classInfo->GetClassInfo(&type);
  if (SUCCEEDED(result)) result = type->GetContainingTypeLib(&library, &index);
  if (SUCCEEDED(result)) result = library->GetTypeInfoOfGuid(eventsIid_, &eventsInfo_);
  if (SUCCEEDED(result)) result = control_->GetTypeInfo(0, LOCALE_USER_DEFAULT, &membersInfo_);
  return result;
}

HRESULT ControlSite::Connect(REFIID iid, IUnknown* sink, Connection& connection) {
  ComPtr<IConnectionPointContainer> points;
  HRESULT result = object_.As(&points);
  if (SUCCEEDED(result)) result = points->FindConnectionPoint(iid, &connection.point);
  if (SUCCEEDED(result)) result = connection.point->Advise(sink, &connection.cookie);
  return result;
}

void ControlSite::Disconnect(Connection& connection) {
  if (connection.point && connection.cookie) connection.point->Unadvise(connection.cookie);
  connection.point.Reset();
  connection.cookie = 0;
}

// ControlSite: the control's members, reached by name

HRESULT ControlSite::Put(const wchar_t* property, VARIANT& value) {
  if (!control_) return E_UNEXPECTED;
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(property)};
  HRESULT result = control_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&value, &named, 1, 1};
  if (FAILED(result)) return result;
  return control_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
}

HRESULT ControlSite::Put(const wchar_t* property, const wchar_t* text) {
  VARIANT value;
  V_VT(&value) = VT_BSTR;
  V_BSTR(&value) = SysAllocString(text);
  HRESULT result = Put(property, value);
  VariantClear(&value);
  return result;
}

HRESULT ControlSite::Put(const wchar_t* property, LONG number) {
  VARIANT value;
  V_VT(&value) = VT_I4;
  V_I4(&value) = number;
  return Put(property, value);
}

HRESULT ControlSite::Call(DISPID method) {
  if (!control_) return E_UNEXPECTED;
  DISPPARAMS none = {};
  return control_->Invoke(method, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
}

HRESULT ControlSite::Focus() {
  if (!object_) return E_UNEXPECTED;
  return object_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, this, 0, form_.window, &place_);
}

void ControlSite::Deactivate() {
  ComPtr<IOleInPlaceObject> inPlace;
  if (object_ && SUCCEEDED(object_.As(&inPlace))) inPlace->UIDeactivate();
}

// ControlSite: what the control asks of its container

STDMETHODIMP ControlSite::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite) *object = static_cast<IOleClientSite*>(this);
  if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) *object = static_cast<IOleInPlaceSite*>(this);
  if (iid == IID_IOleControlSite) *object = static_cast<IOleControlSite*>(this);
  if (iid == IID_IDispatch) *object = static_cast<IDispatch*>(this);
  if (iid == IID_IPropertyNotifySink) *object = static_cast<IPropertyNotifySink*>(this);
  if (!*object) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP ControlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ControlSite::GetContainer(IOleContainer** container) {
  if (container) *container = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP ControlSite::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = form_.window;
  return S_OK;
}

STDMETHODIMP ControlSite::OnUIActivate() {
  form_.activated(*this);
  return S_OK;
}

STDMETHODIMP ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  if (!frame || !document || !position || !clip || !info) return E_POINTER;
  form_.frame->AddRef();
  *frame = form_.frame;
  *document = nullptr;  // the form is its own document
  *position = *clip = place_;
  info->fMDIApp = FALSE;
  info->hwndFrame = form_.window;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

STDMETHODIMP ControlSite::GetExtendedControl(IDispatch** control) {
  if (control) *control = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ControlSite::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP ControlSite::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) {
  if (!result) return E_POINTER;
  VariantInit(result);
  switch (id) {
    case DISPID_AMBIENT_BACKCOLOR:
      V_VT(result) = VT_I4;
      V_I4(result) = static_cast<LONG>(0x80000000 | COLOR_BTNFACE);  // a system colour, as the form's
      return S_OK;
    case DISPID_AMBIENT_FORECOLOR:
      V_VT(result) = VT_I4;
      V_I4(result) = static_cast<LONG>(0x80000000 | COLOR_BTNTEXT);
      return S_OK;
    case DISPID_AMBIENT_FONT:
      if (!form_.font) return DISP_E_MEMBERNOTFOUND;
      V_VT(result) = VT_DISPATCH;
      V_DISPATCH(result) = form_.font;
      form_.font->AddRef();
      return S_OK;
    case DISPID_AMBIENT_USERMODE:  // the form runs; nobody is designing it
      V_VT(result) = VT_BOOL;
      V_BOOL(result) = VARIANT_TRUE;
      return S_OK;
    case DISPID_AMBIENT_DISPLAYNAME:
      V_VT(result) = VT_BSTR;
      V_BSTR(result) = SysAllocString(name_.c_str());
      return S_OK;
    case DISPID_AMBIENT_LOCALEID:
      V_VT(result) = VT_I4;
      V_I4(result) = static_cast<LONG>(GetUserDefaultLCID());
      return S_OK;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

// A property changed: its name and new value go into the log.
STDMETHODIMP ControlSite::OnChanged(DISPID id) {
  std::wstring line = name_ + L"  " + MemberName(membersInfo_.Get(), id);
  VARIANT value;
  VariantInit(&value);
  DISPPARAMS none = {};
  if (control_ && id != DISPID_UNKNOWN &&
      SUCCEEDED(control_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr,
                                 nullptr))) {
    line += L" = " + Shown(value);
  }
  VariantClear(&value);
  form_.log(line);
  return S_OK;
}

// An event: its name and arguments go into the log.
void ControlSite::LogEvent(DISPID id, const DISPPARAMS& params) {
  std::wstring event = MemberName(eventsInfo_.Get(), id);
  if (event == L"MouseMove") return;  // too many to be worth a line each
  std::wstring line = name_ + L"  " + event;
  for (UINT index = params.cArgs; index-- > 0;) line += L" " + Shown(params.rgvarg[index]);  // the first comes last
  form_.log(line);
}

// ControlSite::EventSink

STDMETHODIMP ControlSite::EventSink::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IUnknown && iid != IID_IDispatch && iid != site_.eventsIid_) return E_NOINTERFACE;
  *object = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP ControlSite::EventSink::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP ControlSite::EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                            UINT*) {
  if (!params) return E_POINTER;
  site_.LogEvent(id, *params);
  return S_OK;
}

}  // namespace marelco::demo
