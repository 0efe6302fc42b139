// Kalendo in its container: the client site, in-place activation of the surface window, ambient changes and
// drawing for a container that shows the control inactive.
#include <cstddef>
#include <memory>
#include <vector>

#include "com/error_boundary.h"
#include "package/enumerator.h"
#include "package/kalendo_control.h"
#include "package/kalendo_object.h"
#include "package/property_browsing.h"
#include "win32/window_support.h"

namespace marelco {
namespace {

// The verbs DoVerb carries out, as EnumVerbs lists them; a container's menu offers editing and the pages.
constexpr DWORD kMenuVerb = OLEVERBATTRIB_ONCONTAINERMENU | OLEVERBATTRIB_NEVERDIRTIES;
const OLEVERB kVerbs[] = {
    {OLEIVERB_PRIMARY, const_cast<LPOLESTR>(L"&Edit"), MF_STRING, kMenuVerb},
    {OLEIVERB_SHOW, const_cast<LPOLESTR>(L"&Show"), MF_STRING, OLEVERBATTRIB_NEVERDIRTIES},
    {OLEIVERB_HIDE, const_cast<LPOLESTR>(L"&Hide"), MF_STRING, OLEVERBATTRIB_NEVERDIRTIES},
    {OLEIVERB_UIACTIVATE, const_cast<LPOLESTR>(L"&Activate"), MF_STRING, OLEVERBATTRIB_NEVERDIRTIES},
    {OLEIVERB_INPLACEACTIVATE, const_cast<LPOLESTR>(L"Activate in &place"), MF_STRING, OLEVERBATTRIB_NEVERDIRTIES},
    {OLEIVERB_PROPERTIES, const_cast<LPOLESTR>(L"&Properties..."), MF_STRING, kMenuVerb},
};

// Whether a key pressed in the control is one for the container rather than for the text box: Tab, Enter and
// Esc (dialog navigation, default and cancel buttons), and accelerators with Alt or Ctrl. The arrows, Home,
// End, Delete, typing and the text box's own Ctrl keys (clipboard, undo, select all, word moves) stay in it.
bool IsKeyForContainer(const MSG& message) {
  if (message.message == WM_SYSKEYDOWN || message.message == WM_SYSCHAR) return true;  // Alt held
  if (message.message != WM_KEYDOWN) return false;
  switch (message.wParam) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
      return true;
  }
  if (GetKeyState(VK_CONTROL) >= 0) return false;
  switch (message.wParam) {
    case VK_CONTROL: case VK_SHIFT:
    case 'A': case 'C': case 'V': case 'X': case 'Z':
    case VK_INSERT: case VK_DELETE: case VK_BACK:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_HOME: case VK_END:
      return false;
  }
  return true;
}

}  // namespace

// IOleObject

STDMETHODIMP KalendoObject::SetClientSite(IOleClientSite* site) {
  inPlace_.SetClientSite(site);
  return S_OK;
}

STDMETHODIMP KalendoObject::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = ComPtr<IOleClientSite>(inPlace_.clientSite()).detach();
  return S_OK;
}

STDMETHODIMP KalendoObject::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP KalendoObject::Close(DWORD) {
  const auto alive = KeepAlive();
  events_.Closed();
  inPlace_.Deactivate();
  view_.SendOnClose();
  return S_OK;
}

STDMETHODIMP KalendoObject::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }
STDMETHODIMP KalendoObject::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}
STDMETHODIMP KalendoObject::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }
STDMETHODIMP KalendoObject::GetClipboardData(DWORD, IDataObject** data) {
  if (data) *data = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP KalendoObject::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT) {
  const auto alive = KeepAlive();
  if (site && !inPlace_.clientSite()) inPlace_.SetClientSite(site);
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
      return inPlace_.Activate(verb);
    case OLEIVERB_HIDE:
      return inPlace_.Deactivate();
    case OLEIVERB_PROPERTIES:
      return ShowPropertyPages(parent);
    default:
      return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
  }
}

STDMETHODIMP KalendoObject::EnumVerbs(IEnumOLEVERB** verbs) {
  return Enumerate(std::vector<OLEVERB>(std::begin(kVerbs), std::end(kVerbs)), verbs);
}
STDMETHODIMP KalendoObject::Update() { return S_OK; }
STDMETHODIMP KalendoObject::IsUpToDate() { return S_OK; }

STDMETHODIMP KalendoObject::GetUserClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_Kalendo;
  return S_OK;
}

STDMETHODIMP KalendoObject::GetUserType(DWORD form, LPOLESTR* type) { return OleRegGetUserType(CLSID_Kalendo, form, type); }

STDMETHODIMP KalendoObject::SetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  inPlace_.SetExtent(*size);
  return S_OK;
}

STDMETHODIMP KalendoObject::GetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = inPlace_.extent();
  return S_OK;
}

STDMETHODIMP KalendoObject::Advise(IAdviseSink* sink, DWORD* connection) { return view_.Advise(sink, connection); }
STDMETHODIMP KalendoObject::Unadvise(DWORD connection) { return view_.Unadvise(connection); }
STDMETHODIMP KalendoObject::EnumAdvise(IEnumSTATDATA** advises) { return view_.EnumAdvise(advises); }

STDMETHODIMP KalendoObject::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = kKalendoMiscStatus;
  return S_OK;
}

STDMETHODIMP KalendoObject::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// Opens the control's pages: in the container's own frame when its site offers one, else in the platform's
// property frame, modal over the owner window.
HRESULT KalendoObject::ShowPropertyPages(HWND owner) {
  const auto alive = KeepAlive();
  auto controlSite = inPlace_.SiteAs<IOleControlSite>();
  if (controlSite && SUCCEEDED(controlSite->ShowPropertyFrame())) return S_OK;
  CAUUID pages = {};
  if (HRESULT result = PropertyBrowsing::Pages(&pages); FAILED(result)) return result;
  const std::unique_ptr<GUID, decltype(&CoTaskMemFree)> ownedPages(pages.pElems, CoTaskMemFree);
  LPOLESTR name = nullptr;
  GetUserType(USERCLASSTYPE_SHORT, &name);
  const std::unique_ptr<OLECHAR, decltype(&CoTaskMemFree)> caption(name, CoTaskMemFree);
  IUnknown* objects[] = {static_cast<IOleObject*>(this)};
  return OleCreatePropertyFrame(owner, 0, 0, caption.get(), 1, objects, pages.cElems, pages.pElems,
                                LOCALE_USER_DEFAULT, 0, nullptr);
}

// IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject

STDMETHODIMP KalendoObject::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = surface_.hwnd();
  return *window ? S_OK : E_FAIL;
}

STDMETHODIMP KalendoObject::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP KalendoObject::InPlaceDeactivate() { return inPlace_.Deactivate(); }
STDMETHODIMP KalendoObject::UIDeactivate() { return inPlace_.UIDeactivate(); }
STDMETHODIMP KalendoObject::SetObjectRects(LPCRECT position, LPCRECT clip) {
  return inPlace_.SetObjectRects(position, clip);
}

STDMETHODIMP KalendoObject::ReactivateAndUndo() { return E_NOTIMPL; }

// The container passes the active control each key before it dispatches the key. Keys of the text box go on
// to it (S_FALSE); the others the container's site may take as its own (S_OK), or leave to the text box.
STDMETHODIMP KalendoObject::TranslateAccelerator(LPMSG message) {
  if (!message) return E_INVALIDARG;
  HWND surface = surface_.hwnd();
  if (!surface || !IsChild(surface, message->hwnd) || !IsKeyForContainer(*message)) return S_FALSE;
  auto site = inPlace_.SiteAs<IOleControlSite>();
  if (!site) return S_FALSE;
  const auto alive = KeepAlive();
  // The shift state's 1, 2 and 4 are KEYMOD_SHIFT, KEYMOD_CONTROL and KEYMOD_ALT.
  return site->TranslateAccelerator(message, static_cast<DWORD>(win32::ShiftState())) == S_OK ? S_OK : S_FALSE;
}
STDMETHODIMP KalendoObject::OnFrameWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP KalendoObject::OnDocWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP KalendoObject::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
STDMETHODIMP KalendoObject::EnableModeless(BOOL) { return S_OK; }

// IOleControl

STDMETHODIMP KalendoObject::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

// The control lists no mnemonics of its own; one that a container routes to it anyway (a label's, say)
// moves the focus into the text box, as for any text control.
STDMETHODIMP KalendoObject::OnMnemonic(MSG*) {
  if (inPlace_.active()) inPlace_.UIActivate();
  return S_OK;
}

// The container names the ambient property that changed; DISPID_UNKNOWN means several did.
STDMETHODIMP KalendoObject::OnAmbientPropertyChange(DISPID id) {
  return Call([&] {
    if (id == DISPID_AMBIENT_BACKCOLOR || id == DISPID_UNKNOWN) kalendo_.AmbientChanged(AmbientProperty::BackColor);
    if (id == DISPID_AMBIENT_FONT || id == DISPID_UNKNOWN) kalendo_.AmbientChanged(AmbientProperty::Font);
  });
}

STDMETHODIMP KalendoObject::FreezeEvents(BOOL freeze) {
  events_.Freeze(freeze);
  return S_OK;
}

// IViewObject2: an active control draws itself in its window; an inactive one is drawn into the device
// context the container gives (screen, printer or metafile, in any mapping mode), stretched over the bounds.
// A frozen view draws the picture taken when it was frozen.

STDMETHODIMP KalendoObject::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                                 LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!dc || !bounds) return E_INVALIDARG;
  win32::WindowPicture live;
  if (!view_.frozen()) live = inPlace_.CurrentPicture();
  const win32::WindowPicture& picture = view_.frozen() ? *view_.frozen() : live;
  if (!picture) return E_FAIL;
  picture.Draw(dc, {bounds->left, bounds->top, bounds->right, bounds->bottom});
  return S_OK;
}

STDMETHODIMP KalendoObject::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
  if (colors) *colors = nullptr;
  return S_FALSE;
}

STDMETHODIMP KalendoObject::Freeze(DWORD aspect, LONG, void*, DWORD* freeze) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!freeze) return E_POINTER;
  return view_.Freeze(freeze, [&] { return inPlace_.CurrentPicture(); });
}

STDMETHODIMP KalendoObject::Unfreeze(DWORD freeze) { return view_.Unfreeze(freeze); }

STDMETHODIMP KalendoObject::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  view_.SetAdvise(aspects, flags, sink);
  return S_OK;
}

STDMETHODIMP KalendoObject::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  view_.GetAdvise(aspects, flags, sink);
  return S_OK;
}

STDMETHODIMP KalendoObject::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

// IViewObjectEx

STDMETHODIMP KalendoObject::GetRect(DWORD aspect, LPRECTL rect) {
  return KalendoView::GetRect(aspect, inPlace_.extent(), rect);
}

STDMETHODIMP KalendoObject::GetViewStatus(DWORD* status) {
  if (!status) return E_POINTER;
  *status = KalendoView::kViewStatus;
  return S_OK;
}

STDMETHODIMP KalendoObject::QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT location, LONG, DWORD* hit) {
  return KalendoView::QueryHit(aspect, bounds, {location.x, location.y, location.x + 1, location.y + 1}, hit);
}

STDMETHODIMP KalendoObject::QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT location, LONG, DWORD* hit) {
  if (!location) return E_POINTER;
  return KalendoView::QueryHit(aspect, bounds, *location, hit);
}

STDMETHODIMP KalendoObject::GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) {
  return E_NOTIMPL;
}

// IQuickActivate: the container hands over its site and sinks in one call instead of many. Older containers
// pass shorter structures; only the members they pass are read or written.

HRESULT KalendoObject::QuickActivate(QACONTAINER* container, QACONTROL* control) {
  if (!container || !control) return E_POINTER;
  if (container->cbSize < offsetof(QACONTAINER, dwAmbientFlags) ||
      control->cbSize < offsetof(QACONTROL, dwPointerActivationPolicy)) {
    return E_INVALIDARG;
  }
  SetClientSite(container->pClientSite);
  if (container->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
  GetMiscStatus(DVASPECT_CONTENT, &control->dwMiscStatus);
  control->dwViewStatus = KalendoView::kViewStatus;
  events_.Advise(*container, *control);
  if (control->cbSize >= sizeof(QACONTROL)) control->dwPointerActivationPolicy = 0;
  return S_OK;
}

QuickActivation::QuickActivation(KalendoObject& control)
    : TearOff(static_cast<_Kalendo*>(&control)), control_(control) {}

STDMETHODIMP QuickActivation::QuickActivate(QACONTAINER* container, QACONTROL* control) {
  return control_.QuickActivate(container, control);
}
STDMETHODIMP QuickActivation::SetContentExtent(LPSIZEL size) { return control_.SetExtent(DVASPECT_CONTENT, size); }
STDMETHODIMP QuickActivation::GetContentExtent(LPSIZEL size) { return control_.GetExtent(DVASPECT_CONTENT, size); }

}  // namespace marelco
