// The entry points of Marelco.ocx and its DLL entry point.
#include <windows.h>
#include <objbase.h>
#include <olectl.h>

#include "com/module_lock.h"
#include "package/class_factory.h"
#include "package/kalendo_object.h"
#include "package/module.h"
#include "win32/surface_window.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) {
    marelco::SetModuleInstance(instance);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  for (const auto& served : marelco::ServedClasses()) {
    if (IsEqualCLSID(clsid, served.clsid)) return marelco::CreateClassFactory(served.create, iid, object);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
  if (marelco::ModuleInUse()) return S_FALSE;
  marelco::win32::UnregisterSurfaceClass();  // its window procedure goes with the module
  marelco::KalendoObject::ReleaseShared();
  return S_OK;
}

STDAPI DllRegisterServer() { return marelco::RegisterServer(marelco::RegistrationScope::kMachine); }

STDAPI DllUnregisterServer() { return marelco::UnregisterServer(marelco::RegistrationScope::kMachine); }

// regsvr32 /n /i:user registers for the current user alone, under HKCU\Software\Classes, and
// regsvr32 /u /n /i:user removes that registration; without a command line, for the whole machine.
STDAPI DllInstall(BOOL install, LPCWSTR commandLine) {
  marelco::RegistrationScope scope = marelco::RegistrationScope::kMachine;
  if (commandLine && *commandLine) {
    if (_wcsicmp(commandLine, L"user") != 0) return E_INVALIDARG;
    scope = marelco::RegistrationScope::kUser;
  }
  return install ? marelco::RegisterServer(scope) : marelco::UnregisterServer(scope);
}
