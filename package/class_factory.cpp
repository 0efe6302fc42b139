#include "package/class_factory.h"

#include <unknwn.h>

#include <new>

#include "package/com_object.h"

namespace marelco {
namespace {

class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(Creator create) : create_(create) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    return QueryInterfaceFromTable(this, {Entry<ClassFactory, IClassFactory>()}, iid, object);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return refs_.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG count = refs_.Release();
    if (count == 0) delete this;
    return count;
  }

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return create_(iid, object);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    lock ? LockModule() : UnlockModule();
    return S_OK;
  }

 private:
  RefCount refs_;
  Creator create_;
};

}  // namespace

HRESULT CreateClassFactory(Creator create, REFIID iid, void** object) {
  auto* factory = new (std::nothrow) ClassFactory(create);
  if (!factory) return E_OUTOFMEMORY;
  HRESULT result = factory->QueryInterface(iid, object);
  factory->Release();
  return result;
}

}  // namespace marelco
