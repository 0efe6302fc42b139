#include "package/kalendo_events.h"

#include <olectl.h>

#include <new>

#include "package/marelco_typelib.h"

namespace marelco {

KalendoEvents::Points::Points(IConnectionPointContainer& control)
    : events(control, DIID___Kalendo), propertyNotify(control, IID_IPropertyNotifySink) {}

KalendoEvents::Points* KalendoEvents::MadePoints() {
  if (!points_) points_.reset(new (std::nothrow) Points(control_));
  return points_.get();
}

HRESULT KalendoEvents::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (!points) return E_POINTER;
  *points = nullptr;
  Points* made = MadePoints();
  if (!made) return E_OUTOFMEMORY;
  return EnumerateConnectionPoints({&made->events, &made->propertyNotify}, points);
}

HRESULT KalendoEvents::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  Points* made = MadePoints();
  if (!made) return E_OUTOFMEMORY;
  for (ConnectionPoint* candidate : {&made->events, &made->propertyNotify}) {
    if (IsEqualIID(iid, candidate->iid())) {
      *point = candidate;
      candidate->AddRef();
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

void KalendoEvents::Advise(const QACONTAINER& container, QACONTROL& control) {
  control.dwEventCookie = 0;
  control.dwPropNotifyCookie = 0;
  if (!container.pUnkEventSink && !container.pPropertyNotifySink) return;
  Points* made = MadePoints();
  if (!made) return;
  if (container.pUnkEventSink) made->events.Advise(container.pUnkEventSink, &control.dwEventCookie);
  if (container.pPropertyNotifySink) {
    made->propertyNotify.Advise(container.pPropertyNotifySink, &control.dwPropNotifyCookie);
  }
}

void KalendoEvents::DisconnectAll() {
  if (!points_) return;
  points_->events.DisconnectAll();
  points_->propertyNotify.DisconnectAll();
}

void KalendoEvents::Fire(DISPID id, std::span<VARIANT> arguments) {
  if (frozen_ > 0 || !points_) return;  // the container does not want events now, or has connected no sink
  DISPPARAMS params = {arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
  const ComPtr<IConnectionPointContainer> alive = &control_;
  for (const auto& sink : points_->events.Sinks<IDispatch>()) {
    OleVariant ignored;
    sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, ignored.get(), nullptr, nullptr);
  }
}

void KalendoEvents::PropertyChanged(DISPID id) {
  if (!points_) return;
  const ComPtr<IConnectionPointContainer> alive = &control_;
  for (const auto& sink : points_->propertyNotify.Sinks<IPropertyNotifySink>()) sink->OnChanged(id);
}

void KalendoEvents::Freeze(BOOL freeze) { frozen_ += freeze ? 1 : (frozen_ > 0 ? -1 : 0); }

}  // namespace marelco
