// The container's side of one ActiveX control on the demo's form: its client site, with in-place activation
// and ambient properties, and the sinks of its events and property notifications, which write what they hear
// into the form's log. Any control would do; the demo places Kalendo by its ProgID.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <functional>
#include <string>

namespace marelco::demo {

using Microsoft::WRL::ComPtr;

// The form's frame window as its controls see it. The control that the user works in makes itself the frame's
// active object, and the form's message loop gives that control the first look at each key.
class Frame final : public IOleInPlaceFrame {
 public:
  explicit Frame(HWND window) : window_(window) {}
  bool TranslateKey(MSG& message);

  // IUnknown: the form owns its frame, so the count only keeps COM's rules.
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override { return --references_; }

  // IOleWindow, IOleInPlaceUIWindow, IOleInPlaceFrame: no menus, tool space or status bar to share.
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override;
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

 private:
  HWND window_;
  ComPtr<IOleInPlaceActiveObject> active_;
  ULONG references_ = 0;
};

// A value as the log shows it: objects by kind, everything else as text.
std::wstring Shown(const VARIANT& value);

// What the form gives each of its sites.
struct Form {
  HWND window;
  Frame* frame;
  IFontDisp* font;                                    // the ambient font
  std::function<void(const std::wstring&)> log;       // one line of the event log
  std::function<void(class ControlSite&)> activated;  // the user moved into this site's control
};

class ControlSite final : public IOleClientSite,
                          public IOleInPlaceSite,
                          public IOleControlSite,
                          public IDispatch,  // the ambient properties
                          public IPropertyNotifySink {
 public:
  ControlSite(const Form& form, std::wstring name, RECT place);
  ControlSite(const ControlSite&) = delete;
  ControlSite& operator=(const ControlSite&) = delete;
  ~ControlSite() { Close(); }

  // Creates a control of the class progId, new or loaded from saved properties, and activates it in place.
  HRESULT Open(const wchar_t* progId, IPropertyBag* saved = nullptr);
  // Disconnects the sinks and lets the control go.
  void Close();

  const std::wstring& name() const { return name_; }
  IDispatch* control() const { return control_.Get(); }

  // The control's members by name, as a script or a form designer reaches them.
  HRESULT Put(const wchar_t* property, const wchar_t* text);
  HRESULT Put(const wchar_t* property, LONG number);
  HRESULT Call(DISPID method);
  // The user's focus: UI activation gives the control the keyboard; deactivation takes it back.
  HRESULT Focus();
  void Deactivate();

  // IUnknown: the form owns its sites and closes each control before its site goes.
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override { return --references_; }

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
  STDMETHODIMP GetContainer(IOleContainer** container) override;
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow, IOleInPlaceSite
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override;
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleControlSite
  STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
  STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
  STDMETHODIMP GetExtendedControl(IDispatch** control) override;
  STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
  STDMETHODIMP OnFocus(BOOL) override { return S_OK; }
  STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }

  // IDispatch: the ambient properties the control asks its container for.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override;

  // IPropertyNotifySink
  STDMETHODIMP OnChanged(DISPID id) override;
  STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }

 private:
  // The sink of the control's events: a dispatch interface of its own, beside the site's ambient one.
  class EventSink final : public IDispatch {
   public:
    explicit EventSink(ControlSite& site) : site_(site) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return site_.AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return site_.Release(); }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override;

   private:
    ControlSite& site_;
  };

  // A connection of one of our sinks to one of the control's connection points.
  struct Connection {
    ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
  };

  HRESULT Put(const wchar_t* property, VARIANT& value);
  HRESULT Connect(REFIID iid, IUnknown* sink, Connection& connection);
  static void Disconnect(Connection& connection);
  HRESULT FindEventInterface();
  void LogEvent(DISPID id, const DISPPARAMS& params);

  Form form_;
  std::wstring name_;
  RECT place_;
  EventSink events_{*this};
  ComPtr<IDispatch> control_;
  ComPtr<IOleObject> object_;
  IID eventsIid_ = IID_NULL;
  ComPtr<ITypeInfo> eventsInfo_;  // the names of the events
  ComPtr<ITypeInfo> membersInfo_;  // the names of the properties
  Connection eventConnection_, notifyConnection_;
  ULONG references_ = 0;
};

}  // namespace marelco::demo
