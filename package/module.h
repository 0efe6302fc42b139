// The in-process server Marelco.ocx: its module and the classes it serves.
#pragma once

#include <windows.h>

#include <span>
#include <string>

namespace marelco {

// Makes a new object of one class and asks it for the interface.
using Creator = HRESULT (*)(REFIID iid, void** object);

// A class the server makes, with what registration writes for it.
struct ServedClass {
  const CLSID& clsid;
  Creator create;
  const wchar_t* progId;           // version-independent, also the class's display name
  const wchar_t* versionedProgId;  // the ProgID's current version
  DWORD miscStatus;
  bool isControl;  // a control: the Control key, the toolbox picture, the control category
};

std::span<const ServedClass> ServedClasses();

HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);
std::wstring ModulePath();

// Writes (and removes) the registry entries of the type library and of every served class, for the
// whole machine or for the current user alone.
enum class RegistrationScope { kMachine, kUser };
HRESULT RegisterServer(RegistrationScope scope);
HRESULT UnregisterServer(RegistrationScope scope);

}  // namespace marelco
