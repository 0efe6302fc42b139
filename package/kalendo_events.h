// What Kalendo tells its containers through connection points: its events (__Kalendo) and the changes of its
// properties (IPropertyNotifySink); events wait while the container freezes them.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <memory>
#include <span>

#include "package/connection_point.h"

namespace marelco {

class KalendoEvents {
 public:
  // The control's container of connection points: the points share its reference count, and it is kept alive
  // across every call to a sink. The points are made when a container first asks for them or connects a sink.
  explicit KalendoEvents(IConnectionPointContainer& control) : control_(control) {}
  KalendoEvents(const KalendoEvents&) = delete;
  KalendoEvents& operator=(const KalendoEvents&) = delete;

  HRESULT EnumConnectionPoints(IEnumConnectionPoints** points);
  HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point);
  // Connects the sinks a container hands over with IQuickActivate.
  void Advise(const QACONTAINER& container, QACONTROL& control);
  void DisconnectAll();

  // Calls every connected __Kalendo sink, unless events are frozen; arguments in DISPPARAMS order (the last
  // argument first).
  void Fire(DISPID id, std::span<VARIANT> arguments = {});
  void PropertyChanged(DISPID id);
  void Freeze(BOOL freeze);

  // How often the container closed the control: a handler that closed it shows as a change across its event.
  unsigned closes() const { return closes_; }
  void Closed() { ++closes_; }

 private:
  struct Points {
    explicit Points(IConnectionPointContainer& control);
    ConnectionPoint events;
    ConnectionPoint propertyNotify;
  };
  // The points, made now if they were not yet; null when there is no memory for them.
  Points* MadePoints();

  IConnectionPointContainer& control_;
  std::unique_ptr<Points> points_;
  LONG frozen_ = 0;
  unsigned closes_ = 0;
};

}  // namespace marelco
