// Registration of the server: writes the values of the registry table under a Classes root (the machine's
// or the user's) and removes them again. Registering twice writes the same values again.
#include <windows.h>
#include <oleauto.h>
#include <olectl.h>

#include <iterator>
#include <string>
#include <utility>

#include "com/com_ptr.h"
#include "package/module.h"
#include "package/registry_table.h"

namespace marelco {
namespace {

// An open registry key, closed when it goes.
class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(RegistryKey&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  RegistryKey& operator=(RegistryKey&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  ~RegistryKey() {
    if (handle_) RegCloseKey(handle_);
  }
  HKEY get() const { return handle_; }
  HKEY* put() { return &handle_; }

 private:
  HKEY handle_ = nullptr;
};

RegistryKey OpenClassesRoot(RegistrationScope scope) {
  RegistryKey root;
  HKEY hive = scope == RegistrationScope::kUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  RegCreateKeyExW(hive, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, root.put(), nullptr);
  return root;
}

bool WriteValue(HKEY root, const RegistryValue& value) {
  RegistryKey key;
  if (RegCreateKeyExW(root, value.key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
      ERROR_SUCCESS)
    return false;
  return RegSetValueExW(key.get(), value.name.empty() ? nullptr : value.name.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(value.data.c_str()),
                        static_cast<DWORD>((value.data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// True when the key holds no subkeys besides those the removal names.
bool HoldsOnly(HKEY root, const RegistryRemoval& removal) {
  RegistryKey key;
  if (RegOpenKeyExW(root, removal.key.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return false;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256] = {};  // the longest name a key may have, and its end
    DWORD length = static_cast<DWORD>(std::size(name));
    LSTATUS status = RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) return true;
    if (status != ERROR_SUCCESS) return false;
    bool left = false;
    for (const std::wstring& leaving : removal.leaving) left = left || _wcsicmp(leaving.c_str(), name) == 0;
    if (!left) return false;
  }
}

bool Remove(HKEY root, const RegistryRemoval& removal) {
  if (removal.whenEmpty && !HoldsOnly(root, removal)) return true;
  LSTATUS status = RegDeleteTreeW(root, removal.key.c_str());
  if (status == ERROR_SUCCESS) status = RegDeleteKeyW(root, removal.key.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); }

bool TypeLibraryLoads(const std::wstring& path) {
  ComPtr<ITypeLib> library;
  return SUCCEEDED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put()));
}

}  // namespace

HRESULT RegisterServer(RegistrationScope scope) {
  const std::wstring path = ModulePath();
  if (!TypeLibraryLoads(path)) return SELFREG_E_TYPELIB;
  RegistryKey root = OpenClassesRoot(scope);
  if (!root.get()) return SELFREG_E_CLASS;
  for (const RegistryValue& value : RegistryValues(path, FolderOf(path))) {
    if (!WriteValue(root.get(), value)) return SELFREG_E_CLASS;
  }
  return S_OK;
}

HRESULT UnregisterServer(RegistrationScope scope) {
  RegistryKey root = OpenClassesRoot(scope);
  if (!root.get()) return SELFREG_E_CLASS;
  HRESULT outcome = S_OK;
  for (const RegistryRemoval& removal : RegistryRemovals()) {
    if (!Remove(root.get(), removal)) outcome = SELFREG_E_CLASS;
  }
  return outcome;
}

}  // namespace marelco
