// The registry content of Marelco.ocx: each served class, the type library and its interfaces.
#include "package/registry_table.h"

#include <objbase.h>

#include "package/marelco_typelib.h"
#include "package/module.h"

namespace marelco {
namespace {

// The categories the control implements: one line per category.
constexpr const wchar_t* kControlCategories[] = {
    L"{40FC6ED4-2438-11CF-A3DB-080036F12502}",  // Controls
    L"{7DD95801-9882-11CF-9FA9-00AA006C42C4}",  // Safe for Scripting: a date box runs nothing it is given
    L"{7DD95802-9882-11CF-9FA9-00AA006C42C4}",  // Safe for Initializing: it reads only its own saved properties
};
constexpr const wchar_t* kToolboxBitmap = L"30000";
constexpr const wchar_t* kThreadingModel = L"Apartment";

constexpr const wchar_t* kLibraryName = L"Marelco date entry control";
constexpr const wchar_t* kLibraryVersion = L"1.0";
constexpr const wchar_t* kLibraryLocale = L"409";  // 1033
#ifdef _WIN64
constexpr const wchar_t* kSysKind = L"win64";
#else
constexpr const wchar_t* kSysKind = L"win32";
#endif

// The type library's interfaces, with the class that marshals each: OLE Automation's, from the type library.
struct Interface {
  const IID& iid;
  const wchar_t* name;
  const wchar_t* proxyStub;
};
constexpr const wchar_t* kDualProxyStub = L"{00020424-0000-0000-C000-000000000046}";
constexpr const wchar_t* kDispatchProxyStub = L"{00020420-0000-0000-C000-000000000046}";
const Interface kInterfaces[] = {
    {IID__Kalendo, L"_Kalendo", kDualProxyStub},
    {DIID___Kalendo, L"__Kalendo", kDispatchProxyStub},
    {IID__ppg, L"_ppg", kDualProxyStub},
};

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

std::wstring ClassKey(const ServedClass& served) { return L"CLSID\\" + GuidText(served.clsid); }
std::wstring TypeLibKey() { return L"TypeLib\\" + GuidText(LIBID_Marelco); }
std::wstring VersionKey() { return TypeLibKey() + L"\\" + kLibraryVersion; }
std::wstring InterfaceKey(const Interface& entry) { return L"Interface\\" + GuidText(entry.iid); }

void AddClass(std::vector<RegistryValue>& values, const ServedClass& served, const std::wstring& path) {
  const std::wstring key = ClassKey(served);
  const std::wstring clsid = GuidText(served.clsid);
  const std::wstring progId = served.progId;
  const std::wstring versioned = served.versionedProgId;
  const std::wstring miscStatus = std::to_wstring(served.miscStatus);
  values.insert(values.end(), {
      {key, L"", progId},
      {key + L"\\InprocServer32", L"", path},
      {key + L"\\InprocServer32", L"ThreadingModel", kThreadingModel},
      {key + L"\\ProgID", L"", versioned},
      {key + L"\\VersionIndependentProgID", L"", progId},
      {key + L"\\TypeLib", L"", GuidText(LIBID_Marelco)},
      {key + L"\\Version", L"", kLibraryVersion},
      {key + L"\\MiscStatus", L"", miscStatus},
      {key + L"\\MiscStatus\\1", L"", miscStatus},
      {progId, L"", progId},
      {progId + L"\\CLSID", L"", clsid},
      {progId + L"\\CurVer", L"", versioned},
      {versioned, L"", progId},
      {versioned + L"\\CLSID", L"", clsid},
  });
  if (!served.isControl) return;
  values.push_back({key + L"\\Control", L"", L""});
  values.push_back({key + L"\\ToolboxBitmap32", L"", path + L", " + kToolboxBitmap});
  for (const wchar_t* category : kControlCategories)
    values.push_back({key + L"\\Implemented Categories\\" + category, L"", L""});
}

void AddTypeLibrary(std::vector<RegistryValue>& values, const std::wstring& path, const std::wstring& folder) {
  values.insert(values.end(), {
      {VersionKey(), L"", kLibraryName},
      {VersionKey() + L"\\FLAGS", L"", L"0"},
      {VersionKey() + L"\\HELPDIR", L"", folder},
      {VersionKey() + L"\\" + kLibraryLocale + L"\\" + kSysKind, L"", path},
  });
  for (const Interface& entry : kInterfaces) {
    const std::wstring key = InterfaceKey(entry);
    values.insert(values.end(), {
        {key, L"", entry.name},
        {key + L"\\ProxyStubClsid", L"", entry.proxyStub},
        {key + L"\\ProxyStubClsid32", L"", entry.proxyStub},
        {key + L"\\TypeLib", L"", GuidText(LIBID_Marelco)},
        {key + L"\\TypeLib", L"Version", kLibraryVersion},
    });
  }
}

}  // namespace

std::vector<RegistryValue> RegistryValues(const std::wstring& path, const std::wstring& folder) {
  std::vector<RegistryValue> values;
  for (const ServedClass& served : ServedClasses()) AddClass(values, served, path);
  AddTypeLibrary(values, path, folder);
  return values;
}

// The class and interface keys are this bitness's own. The ProgIDs, which both registry views share, go with
// either bitness's removal, as with any self-registering server; the type library's keys go when no other
// bitness's subkey is left in them.
std::vector<RegistryRemoval> RegistryRemovals() {
  std::vector<RegistryRemoval> removals;
  for (const ServedClass& served : ServedClasses()) {
    removals.push_back({ClassKey(served)});
    removals.push_back({served.progId});
    removals.push_back({served.versionedProgId});
  }
  for (const Interface& entry : kInterfaces) removals.push_back({InterfaceKey(entry)});
  const std::wstring localeKey = VersionKey() + L"\\" + kLibraryLocale;
  removals.push_back({localeKey + L"\\" + kSysKind});
  removals.push_back({localeKey, true});
  removals.push_back({VersionKey(), true, {L"FLAGS", L"HELPDIR"}});
  removals.push_back({TypeLibKey(), true});
  return removals;
}

}  // namespace marelco
