// Interfaces of an object that live in an object of their own, made when one of them is asked for.
#pragma once

#include "com/com_object.h"
#include "com/com_ptr.h"

namespace marelco {

// The IUnknown of a tear-off: an object that answers for some interfaces of another, its owner, so that the owner
// does not carry them while nobody asks. It is made when one of them is asked for, holds its owner, and is deleted
// with its last reference; every other interface, IUnknown first, is the owner's, so the two are one identity.
template <typename Self, typename... Interfaces>
class TearOff : public ComObject<Self, Interfaces...> {
 public:
  explicit TearOff(IUnknown* owner) : owner_(owner) {}

  static bool AnswersFor(REFIID iid) {
    for (const auto& entry : Self::InterfaceTable()) {
      if (IsEqualIID(iid, entry.iid)) return true;
    }
    return false;
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** result) override {
    if (AnswersFor(iid)) return ComObject<Self, Interfaces...>::QueryInterface(iid, result);
    return owner_->QueryInterface(iid, result);
  }

 private:
  ComPtr<IUnknown> owner_;
};

}  // namespace marelco
