// What registration writes for Marelco.ocx: one table that DllRegisterServer, DllInstall and the
// installers all read. Keys are relative to a Classes root: HKLM\Software\Classes for the machine,
// HKCU\Software\Classes for one user.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace marelco {

struct RegistryValue {
  std::wstring key;
  std::wstring name;  // empty: the key's default value
  std::wstring data;  // every value is a string
};

// Every value registered for the server at `path`, whose type library's help folder is `folder`.
std::vector<RegistryValue> RegistryValues(const std::wstring& path, const std::wstring& folder);

// What unregistration removes, in this order: a key with all beneath it, or (`whenEmpty`) a key with no
// subkeys besides those in `leaving`: the type library's keys hold the other bitness's registration too.
struct RegistryRemoval {
  std::wstring key;
  bool whenEmpty = false;
  std::vector<std::wstring> leaving = {};
};
std::vector<RegistryRemoval> RegistryRemovals();

}  // namespace marelco
