// The module of the server: its instance handle and its file.
#include "package/module.h"

namespace marelco {
namespace {

HINSTANCE module_instance = nullptr;

}  // namespace

HINSTANCE ModuleInstance() { return module_instance; }
void SetModuleInstance(HINSTANCE instance) { module_instance = instance; }

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(module_instance, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace marelco
