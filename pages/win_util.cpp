#include "pages/win_util.h"

#include <vector>

namespace marelco::pages {

int TwipsToPixels(int twips) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return win32::ToPixels(static_cast<Single>(twips), dpi);
}

RECT PixelsOf(const TwipsRect& twips) {
  const int left = TwipsToPixels(twips.left);
  const int top = TwipsToPixels(twips.top);
  return {left, top, left + TwipsToPixels(twips.width), top + TwipsToPixels(twips.height)};
}

HMODULE PagesModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&PagesModule), &module);
  return module;
}

HWND CreateEmptyDialog(HWND parent, DWORD style, DLGPROC procedure, LPARAM parameter) {
  // DLGTEMPLATE, then no menu, the default class, no title, and the font: 8 points "MS Shell Dlg".
  std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
  header->style = style | DS_SETFONT;
  header->dwExtendedStyle = WS_EX_CONTROLPARENT;
  words.insert(words.end(), {0, 0, 0, 8});
  for (const wchar_t* c = L"MS Shell Dlg"; *c; ++c) words.push_back(static_cast<WORD>(*c));
  words.push_back(0);
  words.resize(words.size() + 2);  // room for the alignment that follows a template
  return CreateDialogIndirectParamW(PagesModule(), reinterpret_cast<DLGTEMPLATE*>(words.data()), parent, procedure,
                                    parameter);
}

HWND AddControl(HWND dialog, const wchar_t* window_class, const wchar_t* text, DWORD style, const TwipsRect& place,
                int id) {
  const RECT pixels = PixelsOf(place);
  HWND control = CreateWindowExW(0, window_class, text, WS_CHILD | WS_VISIBLE | style, pixels.left, pixels.top,
                                 pixels.right - pixels.left, pixels.bottom - pixels.top, dialog,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), PagesModule(), nullptr);
  if (control) SendMessageW(control, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
  return control;
}

}  // namespace marelco::pages
