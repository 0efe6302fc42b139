#include "package/kalendo_view.h"

namespace marelco {

HRESULT KalendoView::Advise(IAdviseSink* sink, DWORD* connection) {
  if (!sink || !connection) return E_INVALIDARG;  // the platform's holder would keep a null sink
  if (!adviseHolder_ && FAILED(CreateOleAdviseHolder(adviseHolder_.put()))) return E_OUTOFMEMORY;
  return adviseHolder_->Advise(sink, connection);
}

HRESULT KalendoView::Unadvise(DWORD connection) {
  return adviseHolder_ ? adviseHolder_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT KalendoView::EnumAdvise(IEnumSTATDATA** advises) {
  if (!advises) return E_POINTER;
  *advises = nullptr;
  return adviseHolder_ ? adviseHolder_->EnumAdvise(advises) : S_OK;
}

void KalendoView::SendOnClose() {
  ComPtr<IOleAdviseHolder> holder = adviseHolder_;
  if (!holder) return;
  const ComPtr<IDataObject> alive = &control_;
  holder->SendOnClose();
}

HRESULT KalendoView::DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) {
  if (!dataAdviseHolder_ && FAILED(CreateDataAdviseHolder(dataAdviseHolder_.put()))) return E_OUTOFMEMORY;
  return dataAdviseHolder_->Advise(&control_, format, flags, sink, connection);
}

HRESULT KalendoView::DUnadvise(DWORD connection) {
  return dataAdviseHolder_ ? dataAdviseHolder_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT KalendoView::EnumDAdvise(IEnumSTATDATA** advises) {
  if (!advises) return E_POINTER;
  *advises = nullptr;
  return dataAdviseHolder_ ? dataAdviseHolder_->EnumAdvise(advises) : S_OK;
}

HRESULT KalendoView::QueryHit(DWORD aspect, const RECT* bounds, const RECT& location, DWORD* hit) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!bounds || !hit) return E_POINTER;
  RECT common = {};
  *hit = IntersectRect(&common, bounds, &location) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
  return S_OK;
}

HRESULT KalendoView::GetRect(DWORD aspect, const SIZEL& extent, RECTL* rect) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!rect) return E_POINTER;
  *rect = {0, 0, extent.cx, extent.cy};
  return S_OK;
}

void KalendoView::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  viewSink_ = sink;
  viewAdviseAspects_ = aspects;
  viewAdviseFlags_ = flags;
  if (sink && (flags & ADVF_PRIMEFIRST)) SendViewChange();
}

void KalendoView::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) const {
  if (aspects) *aspects = viewAdviseAspects_;
  if (flags) *flags = viewAdviseFlags_;
  if (sink) *sink = ComPtr<IAdviseSink>(viewSink_).detach();
}

HRESULT KalendoView::Unfreeze(DWORD freeze) {
  if (!frozen_ || freeze != frozen_->cookie) return OLE_E_NOCONNECTION;
  frozen_.reset();
  return S_OK;
}

void KalendoView::PictureChanged() {
  pictureChanged_ = true;
  if (callDepth_ == 0) SendPictureChange();
}

void KalendoView::SendPictureChange() {
  if (!std::exchange(pictureChanged_, false)) return;
  const ComPtr<IDataObject> alive = &control_;
  if (ComPtr<IDataAdviseHolder> holder = dataAdviseHolder_) holder->SendOnDataChange(&control_, 0, 0);
  SendViewChange();
}

// A sink advised for one change only is let go before it hears of it.
void KalendoView::SendViewChange() {
  ComPtr<IAdviseSink> sink = viewSink_;
  if (!sink) return;
  const ComPtr<IDataObject> alive = &control_;
  if (viewAdviseFlags_ & ADVF_ONLYONCE) SetAdvise(0, 0, nullptr);
  sink->OnViewChange(DVASPECT_CONTENT, -1);
}

}  // namespace marelco
