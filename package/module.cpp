// The module of the server: its instance handle and the count of live objects and server locks.
#include "package/module.h"

#include "pages/ppg_page.h"

namespace marelco {
namespace {

HINSTANCE module_instance = nullptr;
LONG module_locks = 0;

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

void LockModule() { InterlockedIncrement(&module_locks); }
void UnlockModule() { InterlockedDecrement(&module_locks); }
bool ModuleInUse() { return InterlockedCompareExchange(&module_locks, 0, 0) != 0 || PagesInUse() != 0; }

}  // namespace marelco
