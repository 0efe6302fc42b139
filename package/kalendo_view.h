// The control as containers see it without its window: the sinks advised of its picture (through IOleObject,
// IDataObject and IViewObject), the picture a frozen view keeps, and the changes of the picture gathered into
// one notification per call of the control.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <atomic>
#include <memory>
#include <new>
#include <utility>

#include "com/com_ptr.h"
#include "win32/window_picture.h"

namespace marelco {

class KalendoView {
 public:
  // The control's data object: what the data sinks hear from, kept alive across every call to a sink.
  explicit KalendoView(IDataObject& control) : control_(control) {}
  KalendoView(const KalendoView&) = delete;
  KalendoView& operator=(const KalendoView&) = delete;

  // IOleObject's sinks.
  HRESULT Advise(IAdviseSink* sink, DWORD* connection);
  HRESULT Unadvise(DWORD connection);
  HRESULT EnumAdvise(IEnumSTATDATA** advises);
  void SendOnClose();

  // IDataObject's sinks, for a format the control renders.
  HRESULT DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection);
  HRESULT DUnadvise(DWORD connection);
  HRESULT EnumDAdvise(IEnumSTATDATA** advises);

  // IViewObjectEx: the control paints the whole of its rectangle, opaque, so the container paints nothing under
  // it, and every point of the rectangle is the control's.
  static constexpr DWORD kViewStatus = VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND;
  static HRESULT QueryHit(DWORD aspect, const RECT* bounds, const RECT& location, DWORD* hit);
  // The content's rectangle in HIMETRIC, from the object's origin, as large as its extent.
  static HRESULT GetRect(DWORD aspect, const SIZEL& extent, RECTL* rect);

  // IViewObject's one sink.
  void SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink);
  void GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) const;

  // The picture a frozen view draws, null while the view is live.
  const win32::WindowPicture* frozen() const { return frozen_ ? &frozen_->picture : nullptr; }
  // Freezes the view at the picture `take` gives, or tells the freeze under way.
  template <typename TakePicture>
  HRESULT Freeze(DWORD* freeze, TakePicture&& take) {
    if (frozen_) {
      *freeze = frozen_->cookie;
      return VIEW_S_ALREADY_FROZEN;
    }
    *freeze = 0;
    win32::WindowPicture picture = take();
    if (!picture) return E_FAIL;
    frozen_.reset(new (std::nothrow) Frozen{std::move(picture), ++lastFreezeCookie_});
    if (!frozen_) return E_OUTOFMEMORY;
    *freeze = frozen_->cookie;
    return S_OK;
  }
  HRESULT Unfreeze(DWORD freeze);

  // A call of the control begins or ends; calls nest through the host's handlers. The sinks hear of the
  // picture's changes once, at the end of the outermost call.
  void BeginCall() { ++callDepth_; }
  void EndCall() {
    if (--callDepth_ == 0) SendPictureChange();
  }
  // The picture changed: the sinks hear of it now, or at the end of the call under way.
  void PictureChanged();

 private:
  void SendPictureChange();
  void SendViewChange();

  IDataObject& control_;
  ComPtr<IOleAdviseHolder> adviseHolder_;
  ComPtr<IDataAdviseHolder> dataAdviseHolder_;
  ComPtr<IAdviseSink> viewSink_;
  DWORD viewAdviseAspects_ = 0;
  DWORD viewAdviseFlags_ = 0;
  // The picture of a freeze and the cookie that ends it; few views are ever frozen.
  struct Frozen {
    win32::WindowPicture picture;
    DWORD cookie;
  };
  std::unique_ptr<Frozen> frozen_;
  inline static std::atomic<DWORD> lastFreezeCookie_ = 0;  // of every view of the process
  int callDepth_ = 0;            // calls under way
  bool pictureChanged_ = false;  // a change the sinks have not heard of yet
};

}  // namespace marelco
