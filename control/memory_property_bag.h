// A property bag in memory: keys compared exactly, values kept with their types, in the order in which they
// were first stored. Stream persistence saves and loads one.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "control/platform/property_bag.h"

namespace marelco {

class MemoryPropertyBag : public PropertyBag {
 public:
  using Entry = std::pair<std::u16string, Variant>;

  MemoryPropertyBag() = default;
  explicit MemoryPropertyBag(std::vector<Entry> entries);

  Variant ReadProperty(std::u16string_view key, const Variant& defaultValue) override;
  void WriteProperty(std::u16string_view key, const Variant& value, const Variant& defaultValue) override;

  // Stores any value under any key, as a saved form may hold it.
  void Put(std::u16string_view key, Variant value);
  void Remove(std::u16string_view key);
  const Variant* Find(std::u16string_view key) const;
  const std::vector<Entry>& entries() const { return entries_; }

  // The keys asked for by ReadProperty, in order.
  const std::vector<std::u16string>& reads() const { return reads_; }

 private:
  std::vector<Entry> entries_;
  std::vector<std::u16string> reads_;
};

}  // namespace marelco
