// Where the package tests find the built Marelco.ocx: beside the test program.
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

}  // namespace marelco
