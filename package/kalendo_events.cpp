#include "package/kalendo_events.h"

#include <olectl.h>

#include "package/marelco_typelib.h"

namespace marelco {

KalendoEvents::KalendoEvents(IConnectionPointContainer& control)
    : control_(control), events_(control, DIID___Kalendo), propertyNotify_(control, IID_IPropertyNotifySink) {}

HRESULT KalendoEvents::EnumConnectionPoints(IEnumConnectionPoints** points) {
  return EnumerateConnectionPoints({&events_, &propertyNotify_}, points);
}

HRESULT KalendoEvents::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  for (ConnectionPoint* candidate : {&events_, &propertyNotify_}) {
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
  if (container.pUnkEventSink) events_.Advise(container.pUnkEventSink, &control.dwEventCookie);
  if (container.pPropertyNotifySink) {
    propertyNotify_.Advise(container.pPropertyNotifySink, &control.dwPropNotifyCookie);
  }
}

void KalendoEvents::DisconnectAll() {
  events_.DisconnectAll();
  propertyNotify_.DisconnectAll();
}

void KalendoEvents::Fire(DISPID id, std::span<VARIANT> arguments) {
  if (frozen_ > 0) return;  // the container does not want events now
  DISPPARAMS params = {arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
  const ComPtr<IConnectionPointContainer> alive = &control_;
  for (const auto& sink : events_.Sinks<IDispatch>()) {
    OleVariant ignored;
    sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, ignored.get(), nullptr, nullptr);
  }
}

void KalendoEvents::PropertyChanged(DISPID id) {
  const ComPtr<IConnectionPointContainer> alive = &control_;
  for (const auto& sink : propertyNotify_.Sinks<IPropertyNotifySink>()) sink->OnChanged(id);
}

void KalendoEvents::Freeze(BOOL freeze) { frozen_ += freeze ? 1 : (frozen_ > 0 ? -1 : 0); }

}  // namespace marelco
