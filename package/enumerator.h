// A snapshot enumerator of the standard kind (IEnumConnections, IEnumConnectionPoints, IEnumOLEVERB): it
// keeps its items and hands each caller its own share of one.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

#include "com/com_object.h"

namespace marelco {

// Taking and letting go of a share of an item: a reference for an interface, a copy of the name for a verb,
// which its caller frees with CoTaskMemFree.
inline void HoldItem(CONNECTDATA& item) { item.pUnk->AddRef(); }
inline void HoldItem(IConnectionPoint* item) { item->AddRef(); }
inline void HoldItem(OLEVERB& item) {
  if (!item.lpszVerbName) return;
  const size_t bytes = (std::wcslen(item.lpszVerbName) + 1) * sizeof(wchar_t);
  auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
  if (copy) std::memcpy(copy, item.lpszVerbName, bytes);
  item.lpszVerbName = copy;
}
inline void LetGoItem(CONNECTDATA& item) { item.pUnk->Release(); }
inline void LetGoItem(IConnectionPoint* item) { item->Release(); }
inline void LetGoItem(OLEVERB& item) { CoTaskMemFree(item.lpszVerbName); }

template <typename EnumInterface, typename Item>
class Enumerator final : public ComObject<Enumerator<EnumInterface, Item>, EnumInterface> {
 public:
  explicit Enumerator(std::vector<Item> items, size_t position = 0) : items_(std::move(items)), position_(position) {
    for (Item& item : items_) HoldItem(item);
  }
  ~Enumerator() {
    for (Item& item : items_) LetGoItem(item);
  }

  STDMETHODIMP Next(ULONG count, Item* result, ULONG* fetched) override {
    if (!result || (count > 1 && !fetched)) return E_POINTER;
    ULONG done = 0;
    for (; done < count && position_ < items_.size(); ++done, ++position_) {
      result[done] = items_[position_];
      HoldItem(result[done]);
    }
    if (fetched) *fetched = done;
    return done == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    const size_t left = items_.size() - position_;
    position_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(EnumInterface** clone) override {
    if (!clone) return E_POINTER;
    *clone = new (std::nothrow) Enumerator(items_, position_);
    return *clone ? S_OK : E_OUTOFMEMORY;
  }

 private:
  std::vector<Item> items_;
  size_t position_;
};

// Hands the caller a new enumerator of these items.
template <typename EnumInterface, typename Item>
HRESULT Enumerate(std::vector<Item> items, EnumInterface** result) {
  if (!result) return E_POINTER;
  *result = new (std::nothrow) Enumerator<EnumInterface, Item>(std::move(items));
  return *result ? S_OK : E_OUTOFMEMORY;
}

}  // namespace marelco
