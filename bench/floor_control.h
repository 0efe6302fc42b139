// The floor of the side-by-side bench: a windowed ActiveX control of Kalendo's shape that does nothing else. At
// in-place activation it makes a container window in the site's window, an EDIT and an up-down in it, and shows a
// date (the "Text" of the property bag it was loaded from, if any) in the container's font, as every control whose
// font defaults to the container's must. What Kalendo costs above it is Kalendo's own.
#pragma once

#include <windows.h>

namespace marelco::bench {

// {6F1C2B3A-5D4E-4F60-8A7B-9C0D1E2F3A4B}: the bench's own, registered only for its process.
inline constexpr CLSID kFloorClsid = {0x6f1c2b3a, 0x5d4e, 0x4f60, {0x8a, 0x7b, 0x9c, 0x0d, 0x1e, 0x2f, 0x3a, 0x4b}};

// Registers the floor's class object for this process (CoRegisterClassObject); 0 when that failed.
DWORD RegisterFloorControl();

}  // namespace marelco::bench
