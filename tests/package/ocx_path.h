// The server under test: where the package tests find the built Marelco.ocx (beside the test program), a new
// Kalendo from it, and whether it may unload.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "com/com_ptr.h"
#include "package/marelco_typelib.h"

namespace marelco {

inline std::wstring OcxPath() {
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring path = program;
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"Marelco.ocx";
}

inline ComPtr<_Kalendo> NewKalendo() {
  ComPtr<_Kalendo> control;
  EXPECT_EQ(S_OK, CoCreateInstance(CLSID_Kalendo, nullptr, CLSCTX_INPROC_SERVER, IID__Kalendo, control.put_void()));
  return control;
}

// The loaded server's DllCanUnloadNow; S_OK when it is not loaded at all.
inline HRESULT ServerCanUnloadNow() {
  HMODULE server = GetModuleHandleW(L"Marelco.ocx");
  if (!server) return S_OK;
  auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(server, "DllCanUnloadNow")));
  return canUnload();
}

}  // namespace marelco
