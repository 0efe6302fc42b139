#include "package/connection_point.h"

#include <olectl.h>

#include <new>

#include "package/com_object.h"

namespace marelco {
namespace {

void AddRefItem(CONNECTDATA& item) { item.pUnk->AddRef(); }
void AddRefItem(IConnectionPoint* item) { item->AddRef(); }
void ReleaseItem(CONNECTDATA& item) { item.pUnk->Release(); }
void ReleaseItem(IConnectionPoint* item) { item->Release(); }

// A snapshot enumerator of connections or connection points; it holds a reference to each item.
template <typename EnumInterface, typename Item>
class Enumerator final : public EnumInterface {
 public:
  explicit Enumerator(std::vector<Item> items, size_t position = 0) : items_(std::move(items)), position_(position) {
    for (Item& item : items_) AddRefItem(item);
  }
  ~Enumerator() {
    for (Item& item : items_) ReleaseItem(item);
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    return QueryInterfaceFromTable(this, {Entry<Enumerator, EnumInterface>()}, iid, object);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return refs_.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG count = refs_.Release();
    if (count == 0) delete this;
    return count;
  }

  STDMETHODIMP Next(ULONG count, Item* result, ULONG* fetched) override {
    if (!result || (count > 1 && !fetched)) return E_POINTER;
    ULONG done = 0;
    for (; done < count && position_ < items_.size(); ++done, ++position_) {
      result[done] = items_[position_];
      AddRefItem(result[done]);
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
  RefCount refs_;
  std::vector<Item> items_;
  size_t position_;
};

}  // namespace

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID iid, void** object) {
  return QueryInterfaceFromTable(this, {Entry<ConnectionPoint, IConnectionPoint>()}, iid, object);
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = &container_;
  container_.AddRef();
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  ComPtr<IUnknown> connected;
  // A sink of a dispatch interface may answer only as IDispatch.
  if (FAILED(sink->QueryInterface(iid_, connected.put_void())) &&
      (IsEqualIID(iid_, IID_IPropertyNotifySink) || FAILED(sink->QueryInterface(IID_IDispatch, connected.put_void()))))
    return CONNECT_E_CANNOTCONNECT;
  connections_.push_back({nextCookie_, connected});
  *cookie = nextCookie_++;
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
  for (auto at = connections_.begin(); at != connections_.end(); ++at) {
    if (at->cookie == cookie) {
      connections_.erase(at);
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** result) {
  if (!result) return E_POINTER;
  std::vector<CONNECTDATA> items;
  for (const auto& connection : connections_) items.push_back({connection.sink.get(), connection.cookie});
  *result = new (std::nothrow) Enumerator<IEnumConnections, CONNECTDATA>(std::move(items));
  return *result ? S_OK : E_OUTOFMEMORY;
}

HRESULT EnumerateConnectionPoints(const std::vector<ComPtr<IConnectionPoint>>& points, IEnumConnectionPoints** result) {
  if (!result) return E_POINTER;
  std::vector<IConnectionPoint*> items;
  for (const auto& point : points) items.push_back(point.get());
  *result = new (std::nothrow) Enumerator<IEnumConnectionPoints, IConnectionPoint*>(std::move(items));
  return *result ? S_OK : E_OUTOFMEMORY;
}

}  // namespace marelco
