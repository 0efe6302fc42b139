// The ActiveX control Kalendo: the COM object over the portable Kalendo and its window surface.
#pragma once

#include <windows.h>
#include <oleidl.h>

namespace marelco {

// What Kalendo tells containers of itself, as the registry and IOleObject::GetMiscStatus give it: it lays itself
// out again at a new size, is activated in place as soon as it is visible, and wants its site before its data.
constexpr DWORD kKalendoMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                                     OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;

// Creates a new Kalendo control and asks it for the interface; its constituents wait in a hidden
// parking window until a container activates it.
HRESULT CreateKalendoControl(REFIID iid, void** object);

}  // namespace marelco
