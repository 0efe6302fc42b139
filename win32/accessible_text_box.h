// The accessible object of txtFecha for screen readers. An ActiveX host gives the EDIT no label to be named
// from, so the box answers WM_GETOBJECT with the EDIT's standard accessible object (role editable text,
// value its text) under a name of its own.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace marelco::win32 {

// The answer to WM_GETOBJECT for the EDIT's client object: its standard accessible object, named by the text
// that `name` holds at the time a screen reader asks. 0 when the standard object cannot be made.
LRESULT NamedAccessibleObject(HWND edit, WPARAM wParam, std::shared_ptr<const std::wstring> name);

}  // namespace marelco::win32
