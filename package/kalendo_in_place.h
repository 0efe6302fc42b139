// Kalendo in its container's window: the client site, in-place and UI activation of the surface window, the
// container's frame and document while active, and the extent at which an inactive control lays itself out.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "com/com_ptr.h"
#include "package/kalendo_view.h"
#include "win32/surface_window.h"
#include "win32/window_picture.h"

namespace marelco {

class InPlaceActivation {
 public:
  // The control's active object: what the frame and document are given, kept alive across every call to the
  // container. A change of the window's size is a change of the view's picture.
  InPlaceActivation(IOleInPlaceActiveObject& control, win32::SurfaceWindow& surface, KalendoView& view)
      : control_(control), surface_(surface), view_(view) {}
  InPlaceActivation(const InPlaceActivation&) = delete;
  InPlaceActivation& operator=(const InPlaceActivation&) = delete;

  const ComPtr<IOleClientSite>& clientSite() const { return clientSite_; }
  void SetClientSite(IOleClientSite* site) { clientSite_ = site; }
  // The client site as another of its interfaces, null without a site or without that interface.
  template <typename Interface>
  ComPtr<Interface> SiteAs() const {
    return clientSite_.query<Interface>();
  }
  bool active() const { return static_cast<bool>(inPlaceSite_); }

  // OLEIVERB_SHOW and OLEIVERB_INPLACEACTIVATE activate in place; OLEIVERB_UIACTIVATE and OLEIVERB_PRIMARY
  // make the control the container's active object too.
  HRESULT Activate(LONG verb);
  HRESULT Deactivate();
  HRESULT UIActivate();
  HRESULT UIDeactivate();
  HRESULT SetObjectRects(LPCRECT position, LPCRECT clip);
  void TextBoxFocusChanged(bool entered);

  const SIZEL& extent() const { return extent_; }
  void SetExtent(const SIZEL& size);
  // The picture of the control as it looks now; an inactive control first lays itself out at its extent.
  win32::WindowPicture CurrentPicture();

 private:
  HRESULT EnterContainerWindow();
  void SetActiveObjectOfFrame(IOleInPlaceActiveObject* active);

  IOleInPlaceActiveObject& control_;
  win32::SurfaceWindow& surface_;
  KalendoView& view_;
  ComPtr<IOleClientSite> clientSite_;
  ComPtr<IOleInPlaceSite> inPlaceSite_;  // while in-place active
  ComPtr<IOleInPlaceFrame> frame_;       // the container's frame and document window, while in-place active
  ComPtr<IOleInPlaceUIWindow> document_;
  bool uiActive_ = false;
  SIZEL extent_ = {3334, 1085};    // HIMETRIC: the surface's first size, 1890 x 615 twips
  bool recomposePending_ = false;  // a new extent that the inactive surface has not taken yet
};

}  // namespace marelco
