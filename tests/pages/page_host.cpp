#include "tests/pages/page_host.h"

#include <commctrl.h>
#include <olectl.h>

#include <fstream>
#include <vector>

namespace marelco::pages::testing {

HostWindow::HostWindow(int width, int height) {
  RECT frame = {0, 0, width, height};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT);
  window_ = CreateWindowExW(WS_EX_CONTROLPARENT, L"#32770", L"Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  PumpMessages();
}

void PumpMessages() {
  MSG message;
  for (int round = 0; round < 3; ++round) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(20);
  }
}

namespace {

struct Search {
  const wchar_t* window_class;
  const wchar_t* text;
  HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (_wcsicmp(name, search->window_class) != 0) return TRUE;
  if (search->text && TextOf(window) != search->text) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindDescendant(HWND parent, const wchar_t* window_class, const wchar_t* text) {
  Search search = {window_class, text, nullptr};
  EnumChildWindows(parent, CheckWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

bool SaveWindowImage(HWND window, const std::wstring& path) {
  RECT bounds;
  GetWindowRect(window, &bounds);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  HDC screen = GetWindowDC(window);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const bool copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER header = {sizeof header, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const int stride = (width * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<std::size_t>(stride) * height);
  const bool read = GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
                              DIB_RGB_COLORS) == height;
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  if (!copied || !read) return false;

  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(std::string(path.begin(), path.end()), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return out.good();
}

}  // namespace marelco::pages::testing

namespace marelco::pages::testing {
namespace {

struct FrameVisit {
  std::wstring picture;
  FrameSeen seen;
};
FrameVisit* frame_visit = nullptr;

BOOL CALLBACK FindPropertySheet(HWND window, LPARAM found) {
  if (!IsWindowVisible(window) || !FindDescendant(window, L"SysTabControl32")) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// Runs inside the frame's modal loop until the frame is there.
void CALLBACK LookAtTheFrame(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND sheet = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindPropertySheet, reinterpret_cast<LPARAM>(&sheet));
  if (!sheet) return;
  KillTimer(nullptr, timer);
  wchar_t tab[64] = {};
  TCITEMW item = {};
  item.mask = TCIF_TEXT;
  item.pszText = tab;
  item.cchTextMax = 64;
  SendMessageW(FindDescendant(sheet, L"SysTabControl32"), TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  frame_visit->seen.tab = tab;
  frame_visit->seen.format = TextOf(FindDescendant(sheet, L"ComboBox"));
  frame_visit->seen.saved = SaveWindowImage(sheet, frame_visit->picture);
  PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

FrameSeen OpenPropertyFrame(HWND owner, std::vector<IUnknown*> objects, std::vector<CLSID> pages,
                            const std::wstring& picture) {
  FrameVisit visit = {picture, {}};
  frame_visit = &visit;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, LookAtTheFrame);
  visit.seen.result = OleCreatePropertyFrame(owner, 40, 40, L"Kalendo", static_cast<ULONG>(objects.size()),
                                             objects.data(), static_cast<ULONG>(pages.size()), pages.data(),
                                             LOCALE_USER_DEFAULT, 0, nullptr);
  KillTimer(nullptr, timer);
  frame_visit = nullptr;
  return visit.seen;
}

}  // namespace marelco::pages::testing
