// The COM boundary of the control: run-time errors of the core become HRESULTs with error information.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <olectl.h>

#include <new>

#include "dates/runtime_error.h"

namespace marelco {

// The HRESULT of a run-time error: the platform's error number in the control facility.
constexpr HRESULT ErrorResult(ErrorNumber number) {
  return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, static_cast<int>(number));
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

}  // namespace marelco
