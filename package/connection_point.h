// Connection points of the control: the outgoing interfaces its hosts connect their sinks to.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <vector>

#include "com/com_ptr.h"

namespace marelco {

// The sinks connected to one outgoing interface, by cookie. It lives inside its container and shares the
// container's reference count.
class ConnectionPoint final : public IConnectionPoint {
 public:
  ConnectionPoint(IConnectionPointContainer& container, const IID& iid) : container_(container), iid_(iid) {}
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  const IID& iid() const { return iid_; }
  // The connected sinks in the order of connection; a copy, so a sink may disconnect while it is called.
  template <typename Sink>
  std::vector<ComPtr<Sink>> Sinks() const {
    std::vector<ComPtr<Sink>> sinks;
    for (const auto& connection : connections_) sinks.push_back(static_cast<Sink*>(connection.sink.get()));
    return sinks;
  }
  void DisconnectAll() { connections_.clear(); }

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return container_.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return container_.Release(); }

  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

 private:
  struct Connection {
    DWORD cookie;
    ComPtr<IUnknown> sink;  // as the outgoing interface
  };

  IConnectionPointContainer& container_;
  IID iid_;
  std::vector<Connection> connections_;
  DWORD nextCookie_ = 1;
};

// Answers IConnectionPointContainer::EnumConnectionPoints for the given points.
HRESULT EnumerateConnectionPoints(const std::vector<ComPtr<IConnectionPoint>>& points, IEnumConnectionPoints** result);

}  // namespace marelco
