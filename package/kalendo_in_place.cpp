#include "package/kalendo_in_place.h"

#include <utility>

#include "win32/window_support.h"

namespace marelco {
namespace {

constexpr double kHimetricPerInch = 2540.0;

Single HimetricToTwips(LONG himetric) {
  return static_cast<Single>(himetric * win32::kTwipsPerInch / kHimetricPerInch);
}

}  // namespace

HRESULT InPlaceActivation::Activate(LONG verb) {
  if (!clientSite_) return E_UNEXPECTED;
  const ComPtr<IOleInPlaceActiveObject> alive = &control_;
  if (!inPlaceSite_) {
    if (HRESULT result = EnterContainerWindow(); FAILED(result)) return result;
  }
  return verb == OLEIVERB_UIACTIVATE || verb == OLEIVERB_PRIMARY ? UIActivate() : S_OK;
}

// Moves the surface into the container's window, where and as large as the site wants it, or makes its windows
// there the first time; a new size is a new picture. When a step fails, the surface stays parked and hidden, and
// a site told of the activation hears of its end. A site that offers IOleInPlaceSiteEx hears of the activation
// through it, and may answer that the control's picture is on the screen already: the surface then shows without
// erasing or painting over it.
HRESULT InPlaceActivation::EnterContainerWindow() {
  auto site = clientSite_.query<IOleInPlaceSite>();
  if (!site) return E_NOINTERFACE;
  if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
  BOOL noRedraw = FALSE;
  auto siteEx = site.query<IOleInPlaceSiteEx>();
  if (HRESULT refused = siteEx ? siteEx->OnInPlaceActivateEx(&noRedraw, 0) : site->OnInPlaceActivate();
      FAILED(refused))
    return refused;
  inPlaceSite_ = site;
  HWND parent = nullptr;
  RECT position = {}, clip = {};
  OLEINPLACEFRAMEINFO frameInfo = {};
  frameInfo.cb = sizeof frameInfo;
  const SIZE pictured = surface_.Size();
  HRESULT result = site->GetWindow(&parent);
  if (SUCCEEDED(result)) result = site->GetWindowContext(frame_.put(), document_.put(), &position, &clip, &frameInfo);
  if (SUCCEEDED(result) && (!parent || !surface_.Enter(parent, position, !noRedraw)))
    result = HRESULT_FROM_WIN32(ERROR_INVALID_WINDOW_HANDLE);
  if (FAILED(result)) {
    Deactivate();
    return result;
  }
  SetObjectRects(&position, &clip);
  if (const SIZE size = surface_.Size(); size.cx != pictured.cx || size.cy != pictured.cy) view_.PictureChanged();
  if (noRedraw)
    SetWindowPos(surface_.hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  return S_OK;
}

// The control becomes the container's active object: the container passes it its keys, and the text box
// has the focus. The control has no menus or tools to merge.
HRESULT InPlaceActivation::UIActivate() {
  if (!inPlaceSite_) return E_UNEXPECTED;
  const ComPtr<IOleInPlaceActiveObject> alive = &control_;
  if (!uiActive_) {
    uiActive_ = true;
    if (HRESULT refused = inPlaceSite_->OnUIActivate(); FAILED(refused)) {
      uiActive_ = false;
      return refused;
    }
    if (!uiActive_ || !inPlaceSite_) return S_OK;  // the container deactivated the control meanwhile
    SetActiveObjectOfFrame(&control_);
    if (frame_) frame_->SetBorderSpace(nullptr);
    if (document_) document_->SetBorderSpace(nullptr);
  }
  SetFocus(::GetWindow(surface_.hwnd(), GW_CHILD));
  return S_OK;
}

// The user moved the focus into the text box (a click, Tab) or out of it: an in-place active control becomes the
// active one, and a container that tracks the focus of its controls is told.
void InPlaceActivation::TextBoxFocusChanged(bool entered) {
  const ComPtr<IOleInPlaceActiveObject> alive = &control_;
  if (entered && inPlaceSite_) UIActivate();
  if (auto controlSite = SiteAs<IOleControlSite>()) controlSite->OnFocus(entered);
}

void InPlaceActivation::SetActiveObjectOfFrame(IOleInPlaceActiveObject* active) {
  if (frame_) frame_->SetActiveObject(active, nullptr);
  if (document_) document_->SetActiveObject(active, nullptr);
}

HRESULT InPlaceActivation::Deactivate() {
  if (!inPlaceSite_) return S_OK;
  const ComPtr<IOleInPlaceActiveObject> alive = &control_;
  UIDeactivate();
  surface_.Park();
  frame_.reset();
  document_.reset();
  // The control looks the same inactive, and the container has heard of every change of its picture: a site that
  // offers IOleInPlaceSiteEx is told that it need not redraw the control.
  auto site = std::move(inPlaceSite_);
  if (auto siteEx = site.query<IOleInPlaceSiteEx>())
    siteEx->OnInPlaceDeactivateEx(TRUE);
  else
    site->OnInPlaceDeactivate();
  return S_OK;
}

HRESULT InPlaceActivation::UIDeactivate() {
  if (!uiActive_) return S_OK;
  const ComPtr<IOleInPlaceActiveObject> alive = &control_;
  uiActive_ = false;
  SetActiveObjectOfFrame(nullptr);
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

// The window shows only the part of the position inside the clip rectangle: the rest of it is scrolled out of
// the container's view or hidden under its other panes. A new size is a new picture.
HRESULT InPlaceActivation::SetObjectRects(LPCRECT position, LPCRECT clip) {
  if (!position) return E_POINTER;
  recomposePending_ = false;  // the window takes the site's size
  RECT visible = *position;
  if (clip) IntersectRect(&visible, position, clip);
  const bool whole = EqualRect(&visible, position);
  OffsetRect(&visible, -position->left, -position->top);
  surface_.ShowOnly(whole ? nullptr : &visible);
  const SIZE size = win32::SizeOf(*position);
  // A window made there, or moved there already, stays: under Wine even a move that changes nothing goes through
  // the server.
  const RECT before = win32::PlaceInParent(surface_.hwnd());
  if (EqualRect(&before, position)) return S_OK;
  MoveWindow(surface_.hwnd(), position->left, position->top, size.cx, size.cy, TRUE);
  if (before.right - before.left != size.cx || before.bottom - before.top != size.cy) view_.PictureChanged();
  return S_OK;
}

// The control lays itself out at its new size (OLEMISC_RECOMPOSEONRESIZE) when its picture is next taken: a
// container that sets the extent just before activating the control in place (as ATL's host does) makes it lay
// itself out once, at the site's rectangle. In place, its window keeps the size of that rectangle, which the
// container sets through SetObjectRects.
void InPlaceActivation::SetExtent(const SIZEL& size) {
  if (size.cx == extent_.cx && size.cy == extent_.cy) return;
  extent_ = size;
  recomposePending_ = true;
  view_.PictureChanged();
}

win32::WindowPicture InPlaceActivation::CurrentPicture() {
  if (std::exchange(recomposePending_, false) && !inPlaceSite_)
    surface_.Resize(HimetricToTwips(extent_.cx), HimetricToTwips(extent_.cy));
  return win32::WindowPicture(surface_);
}

}  // namespace marelco
