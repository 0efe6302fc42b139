#include "control/memory_property_bag.h"

#include <algorithm>

namespace marelco {

MemoryPropertyBag::MemoryPropertyBag(std::vector<Entry> entries) {
  for (auto& [key, value] : entries) Put(key, std::move(value));
}

Variant MemoryPropertyBag::ReadProperty(std::u16string_view key, const Variant& defaultValue) {
  reads_.emplace_back(key);
  const Variant* stored = Find(key);
  return stored ? *stored : defaultValue;
}

void MemoryPropertyBag::WriteProperty(std::u16string_view key, const Variant& value, const Variant& defaultValue) {
  if (EqualsDefault(value, defaultValue)) {
    Remove(key);
  } else {
    Put(key, value);
  }
}

void MemoryPropertyBag::Put(std::u16string_view key, Variant value) {
  const auto entry = std::ranges::find(entries_, key, &Entry::first);
  if (entry != entries_.end()) {
    entry->second = std::move(value);
  } else {
    entries_.emplace_back(key, std::move(value));
  }
}

void MemoryPropertyBag::Remove(std::u16string_view key) {
  std::erase_if(entries_, [key](const Entry& entry) { return entry.first == key; });
}

const Variant* MemoryPropertyBag::Find(std::u16string_view key) const {
  const auto entry = std::ranges::find(entries_, key, &Entry::first);
  return entry != entries_.end() ? &entry->second : nullptr;
}

}  // namespace marelco
