#include "win32/updown_spinner.h"

#include <algorithm>

namespace marelco::win32 {
namespace {

constexpr int kUpDownId = 2;

HWND CreateUpDown(HWND surface) {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&classes);
  HWND hwnd = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, surface,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kUpDownId)), GetModuleHandleW(nullptr),
                              nullptr);
  // Minimum below maximum, so that the up arrow reports a positive change.
  SendMessageW(hwnd, UDM_SETRANGE32, 0, 100);
  SendMessageW(hwnd, UDM_SETPOS32, 0, 50);
  return hwnd;
}

}  // namespace

// The up-down gives itself a width of its own when created without a buddy: it is placed again.
UpDownSpinner::UpDownSpinner(HWND surface, Dpi dpi) : window_(CreateUpDown(surface)), dpi_(dpi) { Place(); }

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

void UpDownSpinner::Place() {
  MoveWindow(hwnd(), ToPixels(left_, dpi_.x), ToPixels(top_, dpi_.y), SpanPixels(left_, width_, dpi_.x),
             SpanPixels(top_, height_, dpi_.y), TRUE);
}

}  // namespace marelco::win32
