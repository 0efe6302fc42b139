// Registration of the server: the type library and, for each served class, its CLSID key
// and its ProgIDs under HKEY_CLASSES_ROOT. Registering twice writes the same values again.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <olectl.h>

#include <string>

#include "package/com.h"
#include "package/module.h"
#include "package/marelco_typelib.h"

namespace marelco {
namespace {

constexpr const wchar_t* kControlCategory = L"{40FC6ED4-2438-11CF-A3DB-080036F12502}";
constexpr const wchar_t* kSafeForScriptingCategory = L"{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
constexpr const wchar_t* kSafeForInitializingCategory = L"{7DD95802-9882-11CF-9FA9-00AA006C42C4}";
constexpr int kToolboxBitmap = 30000;

constexpr LCID kLibraryLocale = 1033;
#ifdef _WIN64
constexpr SYSKIND kSysKind = SYS_WIN64;
constexpr const wchar_t* kSysKindKey = L"win64";
#else
constexpr SYSKIND kSysKind = SYS_WIN32;
constexpr const wchar_t* kSysKindKey = L"win32";
#endif

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

// Writes a string value (the default value when name is null) of HKEY_CLASSES_ROOT\key, creating the key.
HRESULT WriteString(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY handle = nullptr;
  LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                                   nullptr);
  if (status == ERROR_SUCCESS) {
    status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
  }
  return status == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

HRESULT DeleteTree(const std::wstring& key) {
  LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
    RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
    return S_OK;
  }
  return SELFREG_E_CLASS;
}

HRESULT RegisterServedClass(const ServedClass& served, const std::wstring& path) {
  const std::wstring clsid = GuidText(served.clsid);
  const std::wstring key = L"CLSID\\" + clsid;
  const std::wstring miscStatus = std::to_wstring(served.miscStatus);
  const std::wstring writes[][3] = {
      {key, L"", served.progId},
      {key + L"\\InprocServer32", L"", path},
      {key + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {key + L"\\ProgID", L"", served.versionedProgId},
      {key + L"\\VersionIndependentProgID", L"", served.progId},
      {key + L"\\TypeLib", L"", GuidText(LIBID_Marelco)},
      {key + L"\\Version", L"", L"1.0"},
      {key + L"\\MiscStatus", L"", miscStatus},
      {key + L"\\MiscStatus\\1", L"", miscStatus},
      {served.progId, L"", served.progId},
      {std::wstring(served.progId) + L"\\CLSID", L"", clsid},
      {std::wstring(served.progId) + L"\\CurVer", L"", served.versionedProgId},
      {served.versionedProgId, L"", served.progId},
      {std::wstring(served.versionedProgId) + L"\\CLSID", L"", clsid},
  };
  for (const auto& [subkey, name, value] : writes) {
    if (HRESULT result = WriteString(subkey, name.empty() ? nullptr : name.c_str(), value); FAILED(result))
      return result;
  }
  if (!served.isControl) return S_OK;
  const std::wstring controlWrites[][2] = {
      {key + L"\\Control", L""},
      {key + L"\\ToolboxBitmap32", path + L", " + std::to_wstring(kToolboxBitmap)},
      {key + L"\\Implemented Categories\\" + kControlCategory, L""},
      {key + L"\\Implemented Categories\\" + kSafeForScriptingCategory, L""},
      {key + L"\\Implemented Categories\\" + kSafeForInitializingCategory, L""},
  };
  for (const auto& [subkey, value] : controlWrites) {
    if (HRESULT result = WriteString(subkey, nullptr, value); FAILED(result)) return result;
  }
  return S_OK;
}

HRESULT UnregisterServedClass(const ServedClass& served) {
  for (const std::wstring& key : {L"CLSID\\" + GuidText(served.clsid), std::wstring(served.progId),
                                  std::wstring(served.versionedProgId)}) {
    if (HRESULT result = DeleteTree(key); FAILED(result)) return result;
  }
  return S_OK;
}

HRESULT RegisterTypeLibrary(std::wstring path) {
  ComPtr<ITypeLib> library;
  HRESULT result = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put());
  if (FAILED(result)) return SELFREG_E_TYPELIB;
  return FAILED(RegisterTypeLib(library.get(), path.data(), nullptr)) ? SELFREG_E_TYPELIB : S_OK;
}

// Removes the type library's registration for this platform, when there is one.
HRESULT UnregisterTypeLibrary() {
  const std::wstring key = L"TypeLib\\" + GuidText(LIBID_Marelco) + L"\\1.0\\409\\" + kSysKindKey;
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return S_OK;
  RegCloseKey(handle);
  return FAILED(UnRegisterTypeLib(LIBID_Marelco, 1, 0, kLibraryLocale, kSysKind)) ? SELFREG_E_TYPELIB : S_OK;
}

}  // namespace

HRESULT RegisterServer() {
  const std::wstring path = ModulePath();
  if (HRESULT result = RegisterTypeLibrary(path); FAILED(result)) return result;
  for (const auto& served : ServedClasses()) {
    if (HRESULT result = RegisterServedClass(served, path); FAILED(result)) return result;
  }
  return S_OK;
}

HRESULT UnregisterServer() {
  HRESULT outcome = S_OK;
  for (const auto& served : ServedClasses()) {
    if (HRESULT result = UnregisterServedClass(served); FAILED(result)) outcome = result;
  }
  if (HRESULT result = UnregisterTypeLibrary(); FAILED(result)) outcome = result;
  return outcome;
}

}  // namespace marelco
