// The module of the server: its instance handle and its file.
#include "package/module.h"

namespace marelco {
namespace {

HINSTANCE module_instance = nullptr;

}  // namespace

HINSTANCE ModuleInstance() { return module_instance; }
void SetModuleInstance(HINSTANCE instance) { module_instance = instance; }

std::wstring ModulePath() {
  std::wstring path(UNICODE_STRING_MAX_CHARS, L'\0');  // the longest path the system takes
  path.resize(GetModuleFileNameW(module_instance, path.data(), static_cast<DWORD>(path.size())));
  return path;
}

}  // namespace marelco
