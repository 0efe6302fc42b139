// Kalendo in its container: the client site, in-place activation of the surface window, ambient changes and
// drawing for a container that shows the control inactive.
#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

#include "com/error_boundary.h"
#include "package/enumerator.h"
#include "package/kalendo_control.h"
#include "package/kalendo_object.h"
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

constexpr double kHimetricPerInch = 2540.0;

Single HimetricToTwips(LONG himetric) {
  return static_cast<Single>(himetric * win32::kTwipsPerInch / kHimetricPerInch);
}

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
  clientSite_ = site;
  return S_OK;
}

STDMETHODIMP KalendoObject::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = ComPtr<IOleClientSite>(clientSite_).detach();
  return S_OK;
}

STDMETHODIMP KalendoObject::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP KalendoObject::Close(DWORD) {
  const auto alive = KeepAlive();
  ++closes_;
  InPlaceDeactivate();
  if (adviseHolder_) adviseHolder_->SendOnClose();
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
  if (site && !clientSite_) clientSite_ = site;
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
      return InPlaceActivate(verb);
    case OLEIVERB_HIDE:
      return InPlaceDeactivate();
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

// The control lays itself out at its new size (OLEMISC_RECOMPOSEONRESIZE) when its picture is next taken: a
// container that sets the extent just before activating the control in place (as ATL's host does) makes it lay
// itself out once, at the site's rectangle. In place, its window keeps the size of that rectangle, which the
// container sets through SetObjectRects.
STDMETHODIMP KalendoObject::SetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  if (size->cx == extent_.cx && size->cy == extent_.cy) return S_OK;
  extent_ = *size;
  recomposePending_ = true;
  return Call([&] { PictureChanged(); });
}

// The picture of the control as it looks now; an inactive control first lays itself out at its extent.
win32::WindowPicture KalendoObject::CurrentPicture() {
  if (std::exchange(recomposePending_, false) && !inPlaceSite_)
    surface_.Resize(HimetricToTwips(extent_.cx), HimetricToTwips(extent_.cy));
  return win32::WindowPicture(surface_);
}

STDMETHODIMP KalendoObject::GetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = extent_;
  return S_OK;
}

STDMETHODIMP KalendoObject::Advise(IAdviseSink* sink, DWORD* connection) {
  if (!adviseHolder_ && FAILED(CreateOleAdviseHolder(adviseHolder_.put()))) return E_OUTOFMEMORY;
  return adviseHolder_->Advise(sink, connection);
}

STDMETHODIMP KalendoObject::Unadvise(DWORD connection) {
  return adviseHolder_ ? adviseHolder_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

STDMETHODIMP KalendoObject::EnumAdvise(IEnumSTATDATA** advises) {
  if (!advises) return E_POINTER;
  *advises = nullptr;
  return adviseHolder_ ? adviseHolder_->EnumAdvise(advises) : S_OK;
}

STDMETHODIMP KalendoObject::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = kKalendoMiscStatus;
  return S_OK;
}

STDMETHODIMP KalendoObject::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

HRESULT KalendoObject::InPlaceActivate(LONG verb) {
  if (!clientSite_) return E_UNEXPECTED;
  if (!inPlaceSite_) {
    if (HRESULT result = EnterContainerWindow(); FAILED(result)) return result;
  }
  return verb == OLEIVERB_UIACTIVATE || verb == OLEIVERB_PRIMARY ? UIActivate() : S_OK;
}

// Moves the surface out of its parking window into the container's window, where the site wants it. When a
// step fails, the surface stays parked and hidden, and a site told of the activation hears of its end.
HRESULT KalendoObject::EnterContainerWindow() {
  auto site = clientSite_.query<IOleInPlaceSite>();
  if (!site) return E_NOINTERFACE;
  if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
  if (HRESULT refused = site->OnInPlaceActivate(); FAILED(refused)) return refused;
  inPlaceSite_ = site;
  HWND parent = nullptr;
  RECT position = {}, clip = {};
  OLEINPLACEFRAMEINFO frameInfo = {};
  frameInfo.cb = sizeof frameInfo;
  HRESULT result = site->GetWindow(&parent);
  if (SUCCEEDED(result)) result = site->GetWindowContext(frame_.put(), document_.put(), &position, &clip, &frameInfo);
  if (SUCCEEDED(result) && (!parent || !surface_.Reparent(parent)))
    result = HRESULT_FROM_WIN32(ERROR_INVALID_WINDOW_HANDLE);
  if (SUCCEEDED(result)) result = SetObjectRects(&position, &clip);
  if (FAILED(result)) {
    InPlaceDeactivate();
    return result;
  }
  ShowWindow(surface_.hwnd(), SW_SHOW);
  return S_OK;
}

// The control becomes the container's active object: the container passes it its keys, and the text box
// has the focus. The control has no menus or tools to merge.
HRESULT KalendoObject::UIActivate() {
  if (!inPlaceSite_) return E_UNEXPECTED;
  if (!uiActive_) {
    uiActive_ = true;
    if (HRESULT refused = inPlaceSite_->OnUIActivate(); FAILED(refused)) {
      uiActive_ = false;
      return refused;
    }
    if (!uiActive_ || !inPlaceSite_) return S_OK;  // the container deactivated the control meanwhile
    SetActiveObjectOfFrame(this);
    if (frame_) frame_->SetBorderSpace(nullptr);
    if (document_) document_->SetBorderSpace(nullptr);
  }
  SetFocus(::GetWindow(surface_.hwnd(), GW_CHILD));
  return S_OK;
}

// Opens the control's pages: in the container's own frame when its site offers one, else in the platform's
// property frame, modal over the owner window.
HRESULT KalendoObject::ShowPropertyPages(HWND owner) {
  const auto alive = KeepAlive();
  auto controlSite = clientSite_.query<IOleControlSite>();
  if (controlSite && SUCCEEDED(controlSite->ShowPropertyFrame())) return S_OK;
  CAUUID pages = {};
  if (HRESULT result = GetPages(&pages); FAILED(result)) return result;
  const std::unique_ptr<GUID, decltype(&CoTaskMemFree)> ownedPages(pages.pElems, CoTaskMemFree);
  LPOLESTR name = nullptr;
  GetUserType(USERCLASSTYPE_SHORT, &name);
  const std::unique_ptr<OLECHAR, decltype(&CoTaskMemFree)> caption(name, CoTaskMemFree);
  IUnknown* objects[] = {static_cast<IOleObject*>(this)};
  return OleCreatePropertyFrame(owner, 0, 0, caption.get(), 1, objects, pages.cElems, pages.pElems,
                                LOCALE_USER_DEFAULT, 0, nullptr);
}

// The user moved the focus into the text box (a click, Tab) or out of it: an in-place active control becomes the
// active one, and a container that tracks the focus of its controls is told.
void KalendoObject::TextBoxFocusChanged(bool entered) {
  if (entered && inPlaceSite_) UIActivate();
  if (auto controlSite = clientSite_.query<IOleControlSite>()) controlSite->OnFocus(entered);
}

void KalendoObject::SetActiveObjectOfFrame(IOleInPlaceActiveObject* active) {
  if (frame_) frame_->SetActiveObject(active, nullptr);
  if (document_) document_->SetActiveObject(active, nullptr);
}

// IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject

STDMETHODIMP KalendoObject::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = surface_.hwnd();
  return *window ? S_OK : E_FAIL;
}

STDMETHODIMP KalendoObject::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP KalendoObject::InPlaceDeactivate() {
  if (!inPlaceSite_) return S_OK;
  const auto alive = KeepAlive();
  UIDeactivate();
  surface_.Reparent(nullptr);
  frame_.reset();
  document_.reset();
  auto site = std::move(inPlaceSite_);
  site->OnInPlaceDeactivate();
  return S_OK;
}

STDMETHODIMP KalendoObject::UIDeactivate() {
  if (!uiActive_) return S_OK;
  const auto alive = KeepAlive();
  uiActive_ = false;
  SetActiveObjectOfFrame(nullptr);
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

// The window shows only the part of the position inside the clip rectangle: the rest of it is scrolled out of
// the container's view or hidden under its other panes. A new size is a new picture.
STDMETHODIMP KalendoObject::SetObjectRects(LPCRECT position, LPCRECT clip) {
  if (!position) return E_POINTER;
  recomposePending_ = false;  // the window takes the site's size
  RECT visible = *position;
  if (clip) IntersectRect(&visible, position, clip);
  const bool whole = EqualRect(&visible, position);
  OffsetRect(&visible, -position->left, -position->top);
  surface_.ShowOnly(whole ? nullptr : &visible);
  const SIZE size = {std::max(0L, position->right - position->left), std::max(0L, position->bottom - position->top)};
  RECT before = {};
  GetClientRect(surface_.hwnd(), &before);
  MoveWindow(surface_.hwnd(), position->left, position->top, size.cx, size.cy, TRUE);
  if (before.right != size.cx || before.bottom != size.cy) PictureChanged();
  return S_OK;
}

STDMETHODIMP KalendoObject::ReactivateAndUndo() { return E_NOTIMPL; }

// The container passes the active control each key before it dispatches the key. Keys of the text box go on
// to it (S_FALSE); the others the container's site may take as its own (S_OK), or leave to the text box.
STDMETHODIMP KalendoObject::TranslateAccelerator(LPMSG message) {
  if (!message) return E_INVALIDARG;
  HWND surface = surface_.hwnd();
  if (!surface || !IsChild(surface, message->hwnd) || !IsKeyForContainer(*message)) return S_FALSE;
  auto site = clientSite_.query<IOleControlSite>();
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
  const auto alive = KeepAlive();
  if (inPlaceSite_) UIActivate();
  return S_OK;
}

// The container names the ambient property that changed; DISPID_UNKNOWN means several did.
STDMETHODIMP KalendoObject::OnAmbientPropertyChange(DISPID id) {
  return Call([&] {
    if (id == DISPID_AMBIENT_BACKCOLOR || id == DISPID_UNKNOWN) kalendo_->AmbientChanged(AmbientProperty::BackColor);
    if (id == DISPID_AMBIENT_FONT || id == DISPID_UNKNOWN) kalendo_->AmbientChanged(AmbientProperty::Font);
  });
}

STDMETHODIMP KalendoObject::FreezeEvents(BOOL freeze) {
  frozenEvents_ += freeze ? 1 : (frozenEvents_ > 0 ? -1 : 0);
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
  if (!frozenView_) live = CurrentPicture();
  const win32::WindowPicture& picture = frozenView_ ? frozenView_ : live;
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
  if (frozenView_) {
    *freeze = freezeCookie_;
    return VIEW_S_ALREADY_FROZEN;
  }
  *freeze = 0;
  win32::WindowPicture picture = CurrentPicture();
  if (!picture) return E_FAIL;
  frozenView_ = std::move(picture);
  *freeze = ++freezeCookie_;
  return S_OK;
}

STDMETHODIMP KalendoObject::Unfreeze(DWORD freeze) {
  if (!frozenView_ || freeze != freezeCookie_) return OLE_E_NOCONNECTION;
  frozenView_ = {};
  return S_OK;
}

STDMETHODIMP KalendoObject::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  viewSink_ = sink;
  viewAdviseAspects_ = aspects;
  viewAdviseFlags_ = flags;
  if (sink && (flags & ADVF_PRIMEFIRST)) SendViewChange();
  return S_OK;
}

STDMETHODIMP KalendoObject::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = viewAdviseAspects_;
  if (flags) *flags = viewAdviseFlags_;
  if (sink) *sink = ComPtr<IAdviseSink>(viewSink_).detach();
  return S_OK;
}

STDMETHODIMP KalendoObject::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

// IQuickActivate: the container hands over its site and sinks in one call instead of many. Older containers
// pass shorter structures; only the members they pass are read or written.

STDMETHODIMP KalendoObject::QuickActivate(QACONTAINER* container, QACONTROL* control) {
  if (!container || !control) return E_POINTER;
  if (container->cbSize < offsetof(QACONTAINER, dwAmbientFlags) ||
      control->cbSize < offsetof(QACONTROL, dwPointerActivationPolicy)) {
    return E_INVALIDARG;
  }
  SetClientSite(container->pClientSite);
  if (container->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
  GetMiscStatus(DVASPECT_CONTENT, &control->dwMiscStatus);
  control->dwViewStatus = 0;
  control->dwEventCookie = 0;
  control->dwPropNotifyCookie = 0;
  if (container->pUnkEventSink) events_.Advise(container->pUnkEventSink, &control->dwEventCookie);
  if (container->pPropertyNotifySink) {
    propertyNotify_.Advise(container->pPropertyNotifySink, &control->dwPropNotifyCookie);
  }
  if (control->cbSize >= sizeof(QACONTROL)) control->dwPointerActivationPolicy = 0;
  return S_OK;
}

STDMETHODIMP KalendoObject::SetContentExtent(LPSIZEL size) { return SetExtent(DVASPECT_CONTENT, size); }
STDMETHODIMP KalendoObject::GetContentExtent(LPSIZEL size) { return GetExtent(DVASPECT_CONTENT, size); }

}  // namespace marelco
