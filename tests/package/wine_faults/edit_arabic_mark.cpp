// A fault of Wine's own, shown without any code of ours: Wine's EDIT lays out its text with Wine's uniscribe,
// whose mark-to-ligature positioning reads the glyph before an Arabic run that begins with a combining mark,
// at index -1. A 64-bit process reads 8 GB before the glyphs and dies with a page fault; a 32-bit one reads
// two bytes before them and goes on. The dispatch fuzzer met it through Formato (a format's literal U+064F
// before an Arabic letter) and now leaves those marks out of its random texts; this program tells whether
// the Wine in use still has the fault (it ends with a page fault if so, with 0 if not).
#include <windows.h>

#include <cstdio>

int main() {
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 200, 20, nullptr, nullptr, nullptr, nullptr);
  LOGFONTW face = {};
  face.lfHeight = -11;
  lstrcpyW(face.lfFaceName, L"MS Sans Serif");
  HFONT font = CreateFontIndirectW(&face);
  SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetWindowTextW(edit, L"\u064F\u0647");  // damma, then heh
  std::printf("Wine's EDIT laid out an Arabic run that begins with a combining mark\n");
  DestroyWindow(edit);
  DeleteObject(font);
  return 0;
}
