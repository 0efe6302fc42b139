#include "bench/floor_control.h"

#include <commctrl.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "com/com_object.h"
#include "com/com_ptr.h"
#include "package/class_factory.h"

namespace marelco::bench {
namespace {

constexpr wchar_t kClassName[] = L"MarelcoBenchFloor";

HWND CreateContainerWindow(HWND parent, const RECT& position) {
  static const ATOM registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass);
  }();
  if (!registered) return nullptr;
  return CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"", WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE,
                         position.left, position.top, position.right - position.left,
                         position.bottom - position.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

class FloorControl final : public ComObject<FloorControl, IOleObject, IOleInPlaceObject, IPersistStreamInit,
                                            IPersistPropertyBag> {
 public:
  ~FloorControl() { InPlaceDeactivate(); }

  // IOleObject: a site, in-place activation and closing; the rest is refused.
  STDMETHODIMP SetClientSite(IOleClientSite* site) override {
    site_ = site;
    return S_OK;
  }
  STDMETHODIMP GetClientSite(IOleClientSite** site) override {
    if (!site) return E_POINTER;
    *site = ComPtr<IOleClientSite>(site_).detach();
    return S_OK;
  }
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD) override { return InPlaceDeactivate(); }
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) override {
    if (verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_SHOW && verb != OLEIVERB_UIACTIVATE) return E_NOTIMPL;
    if (site && !site_) site_ = site;
    return window_ ? S_OK : Activate();
  }
  STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* clsid) override { return GetClassID(clsid); }
  STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return OLE_S_USEREG; }
  STDMETHODIMP SetExtent(DWORD, SIZEL* size) override {
    if (!size) return E_POINTER;
    extent_ = *size;
    return S_OK;
  }
  STDMETHODIMP GetExtent(DWORD, SIZEL* size) override {
    if (!size) return E_POINTER;
    *size = extent_;
    return S_OK;
  }
  STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override {
    if (!status) return E_POINTER;
    *status = OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT;
    return S_OK;
  }
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleWindow, IOleInPlaceObject
  STDMETHODIMP GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = window_;
    return window_ ? S_OK : E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InPlaceDeactivate() override {
    if (!window_) return S_OK;
    DestroyWindow(window_);
    window_ = nullptr;
    if (auto site = std::move(inPlaceSite_)) site->OnInPlaceDeactivate();
    return S_OK;
  }
  STDMETHODIMP UIDeactivate() override { return S_OK; }
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT) override {
    if (!position) return E_POINTER;
    MoveWindow(window_, position->left, position->top, position->right - position->left,
               position->bottom - position->top, TRUE);
    return S_OK;
  }
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

  // IPersistStreamInit, IPersistPropertyBag: nothing to keep but the text a saved form gives, if it gives one.
  STDMETHODIMP GetClassID(CLSID* clsid) override {
    if (!clsid) return E_POINTER;
    *clsid = kFloorClsid;
    return S_OK;
  }
  STDMETHODIMP IsDirty() override { return S_FALSE; }
  STDMETHODIMP Load(IStream*) override { return S_OK; }
  STDMETHODIMP Save(IStream*, BOOL) override { return S_OK; }
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
  STDMETHODIMP InitNew() override { return S_OK; }
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override {
    if (!bag) return E_POINTER;
    OleVariant value;
    V_VT(value.get()) = VT_BSTR;
    if (SUCCEEDED(bag->Read(L"Text", value.get(), log)) && V_VT(value.get()) == VT_BSTR && V_BSTR(value.get()))
      text_ = V_BSTR(value.get());
    return S_OK;
  }
  STDMETHODIMP Save(IPropertyBag*, BOOL, BOOL) override { return S_OK; }

 private:
  HRESULT Activate() {
    auto site = site_.query<IOleInPlaceSite>();
    if (!site) return E_NOINTERFACE;
    if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
    site->OnInPlaceActivate();
    HWND parent = nullptr;
    RECT position = {}, clip = {};
    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> document;
    OLEINPLACEFRAMEINFO frameInfo = {};
    frameInfo.cb = sizeof frameInfo;
    site->GetWindow(&parent);
    site->GetWindowContext(frame.put(), document.put(), &position, &clip, &frameInfo);
    inPlaceSite_ = site;
    window_ = CreateContainerWindow(parent, position);
    if (!window_) {
      InPlaceDeactivate();
      return E_OUTOFMEMORY;
    }
    const int width = position.right - position.left, height = position.bottom - position.top;
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, text_.c_str(),
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, width - 16, height, window_,
                                nullptr, nullptr, nullptr);
    if (!font_) font_ = AmbientFont();
    HFONT font = nullptr;
    if (font_) font_->get_hFont(&font);
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    HWND upDown = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE, width - 16, 0, 16, height, window_,
                                  nullptr, nullptr, nullptr);
    // Wine's up-down sets its own style, visible already, while it is created, so that nothing marks it for
    // painting and its arrows would never be drawn: it is painted with the rest, as on Windows.
    InvalidateRect(upDown, nullptr, TRUE);
    return S_OK;
  }

  // The container's font, which the text box of a control whose font defaults to it shows; the standard font when
  // the container gives none.
  ComPtr<IFont> AmbientFont() const {
    OleVariant ambient;
    if (auto ambients = site_.query<IDispatch>()) {
      DISPPARAMS none = {};
      ambients->Invoke(DISPID_AMBIENT_FONT, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, ambient.get(),
                       nullptr, nullptr);
    }
    ComPtr<IFont> font;
    const VARIANT& value = *ambient.get();
    if ((V_VT(&value) == VT_DISPATCH || V_VT(&value) == VT_UNKNOWN) && V_UNKNOWN(&value))
      V_UNKNOWN(&value)->QueryInterface(IID_IFont, font.put_void());
    if (font) return font;
    wchar_t name[] = L"MS Sans Serif";
    FONTDESC standard = {};
    standard.cbSizeofstruct = sizeof standard;
    standard.lpstrName = name;
    standard.cySize.int64 = 82500;  // 8.25 points
    standard.sWeight = FW_NORMAL;
    OleCreateFontIndirect(&standard, IID_IFont, font.put_void());
    return font;
  }

  ComPtr<IOleClientSite> site_;
  ComPtr<IOleInPlaceSite> inPlaceSite_;
  ComPtr<IFont> font_;
  HWND window_ = nullptr;
  SIZEL extent_ = {};
  std::wstring text_ = L"15/06/2026";  // a date, so that its EDIT lays out and paints text as Kalendo's does
};

}  // namespace

DWORD RegisterFloorControl() {
  ComPtr<IClassFactory> factory;
  if (FAILED(CreateClassFactory(
          [](REFIID iid, void** object) { return CreateComObject<FloorControl>(iid, object); }, IID_IClassFactory,
          factory.put_void())))
    return 0;
  DWORD cookie = 0;
  if (FAILED(CoRegisterClassObject(kFloorClsid, factory.get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie)))
    return 0;
  return cookie;
}

}  // namespace marelco::bench
