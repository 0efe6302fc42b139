// The ActiveX control Kalendo: the COM object over the portable Kalendo and its window surface.
#pragma once

#include <windows.h>

namespace marelco {

// Creates a new Kalendo control and asks it for the interface; its constituents wait in a hidden
// parking window until a container activates it.
HRESULT CreateKalendoControl(REFIID iid, void** object);

}  // namespace marelco
