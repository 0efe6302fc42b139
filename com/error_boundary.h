// The COM boundary: run-time errors of the core become HRESULTs with error information.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <olectl.h>

#include <new>

#include "com/tear_off.h"
#include "dates/runtime_error.h"

namespace marelco {

// The HRESULT of a run-time error: the platform's error numbers in the control facility. A number beyond them
// is an HRESULT already, that of a failure the error passes on.
constexpr HRESULT ErrorResult(ErrorNumber number) {
  const int code = static_cast<int>(number);
  if (code > 0 && code <= 0xFFFF) return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, code);
  return static_cast<HRESULT>(code);
}

// Makes the error the thread's error information (source, description, the interface that failed).
HRESULT ReportError(ErrorNumber number, REFIID iid);

// Runs body, which returns nothing; a RuntimeError it throws becomes its HRESULT with error information.
template <typename Body>
HRESULT Guarded(REFIID iid, Body&& body) {
  try {
    body();
    return S_OK;
  } catch (const RuntimeError& error) {
    return ReportError(error.number(), iid);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// ISupportErrorInfo of an object whose one interface reports errors through Guarded. Clients ask only after a
// failure, so it is a tear-off.
class ErrorInfoSupport final : public TearOff<ErrorInfoSupport, ISupportErrorInfo> {
 public:
  ErrorInfoSupport(IUnknown* owner, const IID& reporting) : TearOff(owner), reporting_(reporting) {}

  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
    return IsEqualIID(iid, reporting_) ? S_OK : S_FALSE;
  }

 private:
  const IID& reporting_;
};

}  // namespace marelco
