// IDataObject: the control's picture for containers that show it without its window (sheets, documents,
// print previews, a host that runs no ActiveX), as an enhanced metafile and as a metafile picture of its
// extent. The containers that advise (for the data here, for the view through IViewObject) are told of every
// change of the picture.
#include <shlobj.h>

#include <array>
#include <utility>

#include "package/kalendo_object.h"

namespace marelco {
namespace {

const std::array<FORMATETC, 2> kFormats = {{
    {CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF},
    {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT},
}};

// The format the control renders for a request, or null with the reason in `refusal`.
const FORMATETC* RenderedFormat(const FORMATETC& request, HRESULT& refusal) {
  for (const FORMATETC& format : kFormats) {
    if (request.cfFormat != format.cfFormat) continue;
    refusal = request.dwAspect != DVASPECT_CONTENT ? DV_E_DVASPECT
              : request.lindex != -1               ? DV_E_LINDEX
              : !(request.tymed & format.tymed)    ? DV_E_TYMED
                                                   : S_OK;
    return refusal == S_OK ? &format : nullptr;
  }
  refusal = DV_E_FORMATETC;
  return nullptr;
}

}  // namespace

STDMETHODIMP KalendoObject::GetData(FORMATETC* request, STGMEDIUM* medium) {
  if (!request || !medium) return E_INVALIDARG;
  *medium = {};
  HRESULT refusal = S_OK;
  const FORMATETC* format = RenderedFormat(*request, refusal);
  if (!format) return refusal;
  const win32::WindowPicture picture = inPlace_.CurrentPicture();
  if (format->tymed == TYMED_ENHMF) {
    medium->hEnhMetaFile = picture.EnhancedMetafile(inPlace_.extent());
    if (!medium->hEnhMetaFile) return E_OUTOFMEMORY;
  } else {
    medium->hMetaFilePict = picture.MetafilePicture(inPlace_.extent());
    if (!medium->hMetaFilePict) return E_OUTOFMEMORY;
  }
  medium->tymed = format->tymed;
  return S_OK;
}

// A metafile cannot be drawn into a medium that the caller made.
STDMETHODIMP KalendoObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return DATA_E_FORMATETC; }

STDMETHODIMP KalendoObject::QueryGetData(FORMATETC* request) {
  if (!request) return E_INVALIDARG;
  HRESULT refusal = S_OK;
  RenderedFormat(*request, refusal);
  return refusal;
}

// The picture is the same for every target device.
STDMETHODIMP KalendoObject::GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* canonical) {
  if (!format || !canonical) return E_INVALIDARG;
  *canonical = *format;
  canonical->ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}

STDMETHODIMP KalendoObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

STDMETHODIMP KalendoObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
  if (!formats) return E_INVALIDARG;
  *formats = nullptr;
  if (direction != DATADIR_GET) return E_NOTIMPL;
  return SHCreateStdEnumFmtEtc(static_cast<UINT>(kFormats.size()), kFormats.data(), formats);
}

STDMETHODIMP KalendoObject::DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) {
  if (!format || !sink || !connection) return E_INVALIDARG;
  *connection = 0;
  HRESULT refusal = S_OK;
  if (!RenderedFormat(*format, refusal)) return refusal;
  return view_.DAdvise(format, flags, sink, connection);
}

STDMETHODIMP KalendoObject::DUnadvise(DWORD connection) { return view_.DUnadvise(connection); }
STDMETHODIMP KalendoObject::EnumDAdvise(IEnumSTATDATA** advises) { return view_.EnumDAdvise(advises); }

}  // namespace marelco
