// Where the control's saved properties stand: whether InitNew or Load has run (each may run once, the first
// time), and whether the properties changed since they were last saved or loaded.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "com/tear_off.h"

namespace marelco {

class PersistenceState {
 public:
  bool initialised() const { return initialised_; }
  HRESULT IsDirty() const { return dirty_ ? S_OK : S_FALSE; }
  void Changed() { dirty_ = true; }

  // InitNew: `initialise` gives the properties their first values; a control that failed may try again. A second
  // initialisation changes nothing and answers `again`, the code the interface's documentation names.
  template <typename Initialise>
  HRESULT StartNew(HRESULT again, Initialise&& initialise) {
    if (initialised_) return again;
    const HRESULT result = initialise();
    initialised_ = SUCCEEDED(result);
    return result;
  }
  // Load: a failed `load` has applied the keys before the failure, so the control counts as loaded. The setters
  // that loading runs mark their properties, but what a successful load leaves is what was saved: not dirty. A
  // failed one leaves less than was saved.
  template <typename LoadKeys>
  HRESULT Load(HRESULT again, LoadKeys&& load) {
    if (initialised_) return again;
    initialised_ = true;
    const HRESULT result = load();
    dirty_ = FAILED(result);
    return result;
  }
  // Save: a successful `save` asked to clear the dirty state clears it.
  template <typename SaveKeys>
  HRESULT Save(BOOL clearDirty, SaveKeys&& save) {
    const HRESULT result = save();
    if (SUCCEEDED(result) && clearDirty) dirty_ = false;
    return result;
  }

 private:
  bool initialised_ = false;
  bool dirty_ = false;
};

class KalendoObject;

// IPersistStorage: the stream form, in the storage's stream "Contents". Only compound documents keep controls
// in storages, so the interface is a tear-off.
class StoragePersistence final : public TearOff<StoragePersistence, IPersistStorage> {
 public:
  explicit StoragePersistence(KalendoObject& control);

  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP IsDirty() override;
  STDMETHODIMP InitNew(IStorage* storage) override;
  STDMETHODIMP Load(IStorage* storage) override;
  STDMETHODIMP Save(IStorage* storage, BOOL sameAsLoad) override;
  STDMETHODIMP SaveCompleted(IStorage*) override { return S_OK; }
  STDMETHODIMP HandsOffStorage() override { return S_OK; }

 private:
  KalendoObject& control_;
};

}  // namespace marelco
