// The platform's ATL host (atl.dll): the functions that host a control in a window, with the host's window class
// registered once for the whole test program (a second registration fails).
#pragma once

#include <windows.h>
#include <ole2.h>

namespace marelco::testing_atl {

struct AtlHost {
  HRESULT(WINAPI* create)(LPCOLESTR name, HWND window, IStream* saved, IUnknown** host) = nullptr;
  HRESULT(WINAPI* getControl)(HWND window, IUnknown** control) = nullptr;

  explicit operator bool() const { return create && getControl; }

  // The host's functions; null ones when atl.dll lacks them or its window class could not be registered.
  static const AtlHost& Get() {
    static const AtlHost host = Load();
    return host;
  }

 private:
  template <typename Function>
  static void Find(HMODULE atl, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(atl, name)));
  }
  static AtlHost Load() {
    HMODULE atl = LoadLibraryW(L"atl.dll");
    BOOL(WINAPI * init)() = nullptr;
    AtlHost host;
    if (!atl) return host;
    Find(atl, "AtlAxWinInit", init);
    if (!init || !init()) return host;
    OleUninitialize();  // Wine's AtlAxWinInit initialises OLE on the calling thread once more and leaves it so
    Find(atl, "AtlAxCreateControl", host.create);
    Find(atl, "AtlAxGetControl", host.getControl);
    return host;
  }
};

}  // namespace marelco::testing_atl
