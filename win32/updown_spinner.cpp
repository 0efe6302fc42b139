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

// The up-down window, hidden, at its place in the surface.
HWND CreateUpDown(HWND surface, const RECT& place, bool enabled) {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&classes);
  HWND hwnd = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | (enabled ? 0 : WS_DISABLED), place.left,
                              place.top, place.right - place.left, place.bottom - place.top, surface,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kUpDownId)), GetModuleHandleW(nullptr),
                              nullptr);
  // Minimum below maximum, so that the up arrow reports a positive change.
  SendMessageW(hwnd, UDM_SETRANGE32, 0, 100);
  SendMessageW(hwnd, UDM_SETPOS32, 0, 50);
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UpDownProc));
  return hwnd;
}

}  // namespace

// An up-down without a buddy may give itself a width of its own while it is made (Wine's does): it is made
// hidden and shown at its place, so that it is drawn once, where it belongs.
void UpDownSpinner::MakeWindow(HWND surface) {
  const RECT place = ChildPlace(dpi_, left_, top_, width_, height_);
  window_.reset(CreateUpDown(surface, place, enabledUnmade_));
  made_ = static_cast<bool>(window_);
  if (!made_) return;
  SetWindowPos(hwnd(), nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

LRESULT UpDownSpinner::OnDeltaPosition(const NMUPDOWN& change) {
  if (IsWindowEnabled(hwnd())) {
    if (change.iDelta > 0) RaiseEvent(events_, &SpinnerEvents::UpDown1_UpClick);
    if (change.iDelta < 0) RaiseEvent(events_, &SpinnerEvents::UpDown1_DownClick);
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

bool UpDownSpinner::Enabled() const { return made_ ? IsWindowEnabled(hwnd()) : enabledUnmade_; }

void UpDownSpinner::SetEnabled(bool enabled) {
  if (made_)
    EnableWindow(hwnd(), enabled);
  else
    enabledUnmade_ = enabled;
}

void UpDownSpinner::Place() {
  if (hwnd()) PlaceChild(hwnd(), dpi_, left_, top_, width_, height_);
}

}  // namespace marelco::win32
