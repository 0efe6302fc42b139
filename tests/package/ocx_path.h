// Where the package tests find the built Marelco.ocx (beside the test program), and whether it may unload.
#pragma once

#include <windows.h>

#include <string>

namespace marelco {

inline std::wstring OcxPath() {
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring path = program;
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"Marelco.ocx";
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
