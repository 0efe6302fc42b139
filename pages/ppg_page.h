// The property page class ppg as a COM object: IPropertyPage for the host's frame, _ppg as its default interface.
#pragma once

#include <windows.h>

#include <ole2.h>

namespace marelco::pages {

// Creates a new page object and asks it for the interface iid: what a class factory's CreateInstance does.
HRESULT CreatePropertyPage(REFIID iid, void** object);

}  // namespace marelco::pages
