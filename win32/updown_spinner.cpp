#include "win32/updown_spinner.h"

#include <algorithm>

namespace marelco::win32 {
namespace {

constexpr int kUpDownId = 2;

// The up-down steps its value on a wheel over it, focused or not: the wheel goes to the surface instead, which
// decides whether it is the control's. Every other message goes to the up-down's own procedure.
LRESULT CALLBACK UpDownProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MOUSEWHEEL) return SendMessageW(GetParent(hwnd), message, wParam, lParam);
  auto upDownProc = reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC));
  return CallWindowProcW(upDownProc, hwnd, message, wParam, lParam);
}

// The up-down window at its first place in the surface.
HWND CreateUpDown(HWND surface, Dpi dpi) {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&classes);
  constexpr Single left = UpDownSpinner::kFirstLeft, width = UpDownSpinner::kFirstWidth;
  HWND hwnd = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE, ToPixels(left, dpi.x), 0,
                              SpanPixels(left, width, dpi.x), ToPixels(UpDownSpinner::kFirstHeight, dpi.y), surface,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kUpDownId)), GetModuleHandleW(nullptr),
                              nullptr);
  // Minimum below maximum, so that the up arrow reports a positive change.
  SendMessageW(hwnd, UDM_SETRANGE32, 0, 100);
  SendMessageW(hwnd, UDM_SETPOS32, 0, 50);
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UpDownProc));
  return hwnd;
}

}  // namespace

// An up-down without a buddy may give itself a width of its own: it is placed again where that happened.
UpDownSpinner::UpDownSpinner(HWND surface, Dpi dpi) : window_(CreateUpDown(surface, dpi)), dpi_(dpi) { Place(); }

LRESULT UpDownSpinner::OnDeltaPosition(const NMUPDOWN& change) {
  if (IsWindowEnabled(hwnd())) {
    if (change.iDelta > 0) RaiseEvent(events_.UpClick);
    if (change.iDelta < 0) RaiseEvent(events_.DownClick);
  }
  return TRUE;
}

void UpDownSpinner::SetLeft(Single left) {
  left_ = left;
  Place();
}

void UpDownSpinner::SetHeight(Single height) {
  height_ = height;
  Place();
}

bool UpDownSpinner::Enabled() const { return IsWindowEnabled(hwnd()); }

void UpDownSpinner::SetEnabled(bool enabled) { EnableWindow(hwnd(), enabled); }

void UpDownSpinner::Place() { PlaceChild(hwnd(), dpi_, left_, top_, width_, height_); }

}  // namespace marelco::win32
