#include "package/class_factory.h"

#include <unknwn.h>

#include "com/com_object.h"

namespace marelco {
namespace {

class ClassFactory final : public ComObject<ClassFactory, IClassFactory> {
 public:
  explicit ClassFactory(Creator create) : create_(create) {}

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
  Creator create_;
};

}  // namespace

HRESULT CreateClassFactory(Creator create, REFIID iid, void** object) {
  return CreateComObject<ClassFactory>(iid, object, create);
}

}  // namespace marelco
