// Kalendo's saved properties: property bags, streams and storages, all carrying the same keys.
#include "com/error_boundary.h"
#include "package/kalendo_object.h"
#include "package/persistence.h"

namespace marelco {
namespace {

constexpr wchar_t kContentsStream[] = L"Contents";

}  // namespace

HRESULT KalendoObject::StartNew(HRESULT again) {
  const auto alive = KeepAlive();
  return persistence_.StartNew(again, [&] { return Call([&] { kalendo_.InitProperties(); }); });
}

HRESULT KalendoObject::LoadProperties(PropertyBag& bag, HRESULT again) {
  const auto alive = KeepAlive();
  return persistence_.Load(again, [&] { return Call([&] { kalendo_.ReadProperties(bag); }); });
}

HRESULT KalendoObject::SaveProperties(PropertyBag& bag, BOOL clearDirty) {
  const auto alive = KeepAlive();
  return persistence_.Save(clearDirty, [&] { return Call([&] { kalendo_.WriteProperties(bag); }); });
}

// IPersist, IPersistStreamInit

STDMETHODIMP KalendoObject::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_Kalendo;
  return S_OK;
}

STDMETHODIMP KalendoObject::IsDirty() { return persistence_.IsDirty(); }

STDMETHODIMP KalendoObject::InitNew() { return StartNew(E_UNEXPECTED); }

STDMETHODIMP KalendoObject::Load(IStream* stream) { return LoadStream(stream, E_UNEXPECTED); }

// A control initialised already reads nothing from the stream.
HRESULT KalendoObject::LoadStream(IStream* stream, HRESULT again) {
  if (!stream) return E_POINTER;
  if (persistence_.initialised()) return again;
  MemoryPropertyBag bag;
  HRESULT result = S_OK;
  HRESULT guarded = Call([&] { result = LoadBagFromStream(stream, bag); });
  if (FAILED(guarded)) return guarded;
  return FAILED(result) ? result : LoadProperties(bag, again);
}

STDMETHODIMP KalendoObject::Save(IStream* stream, BOOL clearDirty) {
  if (!stream) return E_POINTER;
  const auto alive = KeepAlive();
  return persistence_.Save(clearDirty, [&] {
    MemoryPropertyBag bag;
    if (HRESULT result = SaveProperties(bag, FALSE); FAILED(result)) return result;
    HRESULT result = S_OK;
    HRESULT guarded = Call([&] { result = SaveBagToStream(bag, stream); });
    return FAILED(guarded) ? guarded : result;
  });
}

// The size of the stream that Save would write now, measured by saving into memory.
STDMETHODIMP KalendoObject::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = 0;
  ComPtr<IStream> measure;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, measure.put()))) return E_OUTOFMEMORY;
  if (HRESULT result = Save(measure.get(), FALSE); FAILED(result)) return result;
  STATSTG status = {};
  if (FAILED(measure->Stat(&status, STATFLAG_NONAME))) return E_FAIL;
  *size = status.cbSize;
  return S_OK;
}

// IPersistPropertyBag

STDMETHODIMP KalendoObject::Load(IPropertyBag* bag, IErrorLog* log) {
  if (!bag) return E_POINTER;
  ComPropertyBag properties(bag, log);
  return LoadProperties(properties, E_UNEXPECTED);
}

STDMETHODIMP KalendoObject::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
  if (!bag) return E_POINTER;
  ComPropertyBag properties(bag, nullptr);
  return SaveProperties(properties, clearDirty);
}

// IPersistStorage

StoragePersistence::StoragePersistence(KalendoObject& control)
    : TearOff(static_cast<_Kalendo*>(&control)), control_(control) {}

STDMETHODIMP StoragePersistence::GetClassID(CLSID* clsid) { return control_.GetClassID(clsid); }
STDMETHODIMP StoragePersistence::IsDirty() { return control_.IsDirty(); }

STDMETHODIMP StoragePersistence::InitNew(IStorage* storage) {
  if (!storage) return E_POINTER;
  return control_.StartNew(CO_E_ALREADYINITIALIZED);
}

STDMETHODIMP StoragePersistence::Load(IStorage* storage) {
  if (!storage) return E_POINTER;
  if (control_.persistence_.initialised()) return CO_E_ALREADYINITIALIZED;
  ComPtr<IStream> stream;
  HRESULT result = storage->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put());
  return FAILED(result) ? result : control_.LoadStream(stream.get(), CO_E_ALREADYINITIALIZED);
}

STDMETHODIMP StoragePersistence::Save(IStorage* storage, BOOL) {
  if (!storage) return E_POINTER;
  ComPtr<IStream> stream;
  HRESULT result = storage->CreateStream(kContentsStream, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                         stream.put());
  return FAILED(result) ? result : control_.Save(stream.get(), TRUE);
}

}  // namespace marelco
