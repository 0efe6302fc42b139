// The control's saved properties as containers hand them over: an IPropertyBag of the container, or a
// stream of our own format that carries the same keys and values.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "control/memory_property_bag.h"
#include "control/platform/property_bag.h"

namespace marelco {

// The container's property bag as the control reads and writes it. A value equal to its default is not
// written; a key the bag does not hold reads as the default.
class ComPropertyBag final : public PropertyBag {
 public:
  ComPropertyBag(IPropertyBag* bag, IErrorLog* log) : bag_(bag), log_(log) {}

  Variant ReadProperty(std::u16string_view key, const Variant& defaultValue) override;
  void WriteProperty(std::u16string_view key, const Variant& value, const Variant& defaultValue) override;

 private:
  IPropertyBag* bag_;
  IErrorLog* log_;
};

// The stream form of a bag: a header, the number of entries and each key with its typed value. Fonts and
// pictures are stored as standard font and picture objects save themselves. Reading checks every length and
// type: a stream that is not one of ours, is cut short or carries a damaged picture, is refused with an error.
HRESULT SaveBagToStream(const MemoryPropertyBag& bag, IStream* stream);
HRESULT LoadBagFromStream(IStream* stream, MemoryPropertyBag& bag);

}  // namespace marelco
