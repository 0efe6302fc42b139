#include "package/connection_point.h"

#include <olectl.h>

#include "com/com_object.h"
#include "package/enumerator.h"

namespace marelco {

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
  std::vector<CONNECTDATA> items;
  for (const auto& connection : connections_) items.push_back({connection.sink.get(), connection.cookie});
  return Enumerate(std::move(items), result);
}

HRESULT EnumerateConnectionPoints(const std::vector<ComPtr<IConnectionPoint>>& points, IEnumConnectionPoints** result) {
  std::vector<IConnectionPoint*> items;
  for (const auto& point : points) items.push_back(point.get());
  return Enumerate(std::move(items), result);
}

}  // namespace marelco
