// The property page class ppg as a COM object: IPropertyPage for the host's frame, _ppg as its default interface.
#pragma once

#include <windows.h>

#include <ole2.h>

namespace marelco {

// {D95E2DA9-75B3-11D3-8A84-0000B4BEA222}, the class ppg.
inline constexpr CLSID kClsidPpg = {0xD95E2DA9, 0x75B3, 0x11D3, {0x8A, 0x84, 0x00, 0x00, 0xB4, 0xBE, 0xA2, 0x22}};
// {D95E2DA8-75B3-11D3-8A84-0000B4BEA222}, _ppg: a dispatch interface with no members of its own.
inline constexpr IID kIidPpg = {0xD95E2DA8, 0x75B3, 0x11D3, {0x8A, 0x84, 0x00, 0x00, 0xB4, 0xBE, 0xA2, 0x22}};

// Creates a new page object and asks it for the interface iid: what a class factory's CreateInstance does.
HRESULT CreatePropertyPage(REFIID iid, void** object);

// Objects and windows of the pages still alive in this module (page objects, an open about box):
// the module must stay loaded while this is not 0.
LONG PagesInUse();

}  // namespace marelco
