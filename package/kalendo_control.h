// The ActiveX control Kalendo: the COM object over the portable Kalendo and its window surface.
#pragma once

#include <windows.h>

namespace marelco {

HRESULT CreateKalendoControl(REFIID iid, void** object);

}  // namespace marelco
