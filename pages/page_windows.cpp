#include "pages/page_windows.h"

#include "pages/win_util.h"

namespace marelco::pages {

using win32::ToU16;
using win32::ToWide;
using win32::WindowText;

void ComboBoxWindow::Attach(HWND window) {
  window_ = window;
  for (int i = 0; i < state_.ListCount(); ++i) {
    SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(state_.List(i)).c_str()));
  }
  SetText(state_.Text());
}

void ComboBoxWindow::Detach() {
  state_.SetText(Text());
  window_ = nullptr;
}

void ComboBoxWindow::AddItem(const std::u16string& item) {
  state_.AddItem(item);
  if (window_) SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(item).c_str()));
}

std::u16string ComboBoxWindow::Text() const { return window_ ? ToU16(WindowText(window_)) : state_.Text(); }

// A text that is an entry of the list selects that entry, so that the arrow keys go on from there.
void ComboBoxWindow::SetText(const std::u16string& text) {
  state_.SetText(text);
  if (!window_) return;
  const std::wstring wide = ToWide(text);
  LRESULT entry = SendMessageW(window_, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(wide.c_str()));
  if (entry != CB_ERR && List(static_cast<int>(entry)) != text) entry = CB_ERR;  // the search ignores case
  SendMessageW(window_, CB_SETCURSEL, entry == CB_ERR ? -1 : entry, 0);
  if (entry == CB_ERR) SetWindowTextW(window_, wide.c_str());
}

void CheckBoxWindow::Attach(HWND window) {
  window_ = window;
  SetValue(state_.Value());
}

void CheckBoxWindow::Detach() {
  state_.SetValue(Value());
  window_ = nullptr;
}

int CheckBoxWindow::Value() const {
  if (!window_) return state_.Value();
  return SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void CheckBoxWindow::SetValue(int value) {
  state_.SetValue(value);
  if (window_) SendMessageW(window_, BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace marelco::pages
