// A container of our own for the control's tests: a client site with in-place support and ambient
// properties, and the frame it gives the control. Both record what the control asks of them.
#pragma once

#include <windows.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "tests/package/sinks.h"

namespace marelco::testing_site {

// The container's frame window: it records which object the control makes its active one.
class Frame final : public testing_sinks::StackObject<IOleInPlaceFrame> {
 public:
  HWND window = nullptr;
  ComPtr<IOleInPlaceActiveObject> active;
  int activeObjectCalls = 0;

  STDMETHODIMP GetWindow(HWND* result) override {
    *result = window;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
    ++activeObjectCalls;
    active = object;
    return S_OK;
  }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

 protected:
  bool Answers(REFIID iid) override {
    return IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceUIWindow);
  }
};

// A container of our own: a window, a client site with in-place support (IOleInPlaceSiteEx too, when it offers it),
// ambients through IDispatch. It records the calls the control makes, in order.
class Site final : public IOleClientSite, public IOleInPlaceSiteEx, public IOleControlSite, public IDispatch {
 public:
  std::vector<std::string> calls;
  HWND window = nullptr;
  Frame frame;
  OLE_COLOR ambientBack = RGB(1, 2, 3);
  ComPtr<IFontDisp> ambientFont;  // none: the container has no font for its controls
  HRESULT acceleratorAnswer = S_FALSE;  // S_OK: the container takes the keys the control passes it
  HRESULT propertyFrameAnswer = E_NOTIMPL;  // S_OK: the container shows the control's pages itself
  RECT position = {10, 10, 150, 40};  // where the control stands in the window, and the part of it in view
  RECT clip = position;
  ULONG references = 0;
  bool offersEx = false;   // answers for IOleInPlaceSiteEx
  BOOL noRedraw = FALSE;   // its answer to OnInPlaceActivateEx: the control's picture is on the screen already

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) *object = static_cast<IOleClientSite*>(this);
    if (IsEqualIID(iid, IID_IOleInPlaceSite) || IsEqualIID(iid, IID_IOleWindow)) *object = static_cast<IOleInPlaceSite*>(this);
    if (IsEqualIID(iid, IID_IOleInPlaceSiteEx) && offersEx) *object = static_cast<IOleInPlaceSiteEx*>(this);
    if (IsEqualIID(iid, IID_IOleControlSite)) *object = static_cast<IOleControlSite*>(this);
    if (IsEqualIID(iid, IID_IDispatch)) *object = static_cast<IDispatch*>(this);
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
  STDMETHODIMP_(ULONG) Release() override { return --references; }

  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer** container) override {
    *container = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  STDMETHODIMP GetWindow(HWND* result) override {
    calls.push_back("GetWindow");
    *result = window;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override {
    calls.push_back("CanInPlaceActivate");
    return S_OK;
  }
  STDMETHODIMP OnInPlaceActivate() override {
    calls.push_back("OnInPlaceActivate");
    return S_OK;
  }
  STDMETHODIMP OnUIActivate() override {
    calls.push_back("OnUIActivate");
    return S_OK;
  }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                LPRECT clip, LPOLEINPLACEFRAMEINFO) override {
    calls.push_back("GetWindowContext");
    *frame = ComPtr<IOleInPlaceFrame>(&this->frame).detach();
    *document = nullptr;
    *position = this->position;
    *clip = this->clip;
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override {
    calls.push_back("OnUIDeactivate");
    return S_OK;
  }
  STDMETHODIMP OnInPlaceDeactivate() override {
    calls.push_back("OnInPlaceDeactivate");
    return S_OK;
  }
  STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }
  STDMETHODIMP OnInPlaceActivateEx(BOOL* answer, DWORD flags) override {
    calls.push_back("OnInPlaceActivateEx " + std::to_string(flags));
    *answer = noRedraw;
    return S_OK;
  }
  STDMETHODIMP OnInPlaceDeactivateEx(BOOL told) override {
    calls.push_back("OnInPlaceDeactivateEx " + std::to_string(told));
    return S_OK;
  }
  STDMETHODIMP RequestUIActivate() override { return S_OK; }

  STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
  STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
  STDMETHODIMP GetExtendedControl(IDispatch** control) override {
    *control = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(MSG* message, DWORD modifiers) override {
    if (message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN) {
      calls.push_back("TranslateAccelerator " + std::to_string(message->wParam) + " " + std::to_string(modifiers));
    }
    return acceleratorAnswer;
  }
  STDMETHODIMP OnFocus(BOOL entered) override {
    calls.push_back(entered ? "OnFocus in" : "OnFocus out");
    return S_OK;
  }
  STDMETHODIMP ShowPropertyFrame() override {
    calls.push_back("ShowPropertyFrame");
    return propertyFrameAnswer;
  }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
    calls.push_back("Ambient " + std::to_string(id));
    if (id == DISPID_AMBIENT_FONT && ambientFont && result) {
      V_VT(result) = VT_DISPATCH;
      V_DISPATCH(result) = ComPtr<IFontDisp>(ambientFont).detach();
      return S_OK;
    }
    if (id != DISPID_AMBIENT_BACKCOLOR || !result) return DISP_E_MEMBERNOTFOUND;
    V_VT(result) = VT_I4;
    V_I4(result) = static_cast<LONG>(ambientBack);
    return S_OK;
  }
};

}  // namespace marelco::testing_site
