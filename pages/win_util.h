// Small Windows helpers of the pages: twips at the screen's resolution, dialog windows.
#pragma once

#include <windows.h>

#include "win32/window_support.h"

namespace marelco::pages {

// A position and size in twips, 1/1440 inch, as the pages' layouts are given.
struct TwipsRect {
  int left, top, width, height;
};
int TwipsToPixels(int twips);  // at the screen's resolution
RECT PixelsOf(const TwipsRect& twips);

// The module that holds the pages' code: the control's file, or a program linked with the pages.
HMODULE PagesModule();

// Creates an empty dialog window with the shell's dialog font; its controls are added as child windows.
HWND CreateEmptyDialog(HWND parent, DWORD style, DLGPROC procedure, LPARAM parameter);

// Adds a child control at a place given in twips, in the dialog's font; the order of creation is the tab order.
HWND AddControl(HWND dialog, const wchar_t* window_class, const wchar_t* text, DWORD style, const TwipsRect& place,
                int id);

}  // namespace marelco::pages
