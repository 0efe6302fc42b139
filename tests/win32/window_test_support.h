// A visible form for window tests, message pumping, and the user's keyboard and mouse: keys posted to
// the focused window with the keyboard state they need, or real input through SendInput.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "control/platform/types.h"
#include "win32/handles.h"

namespace marelco::win32::testing {

// Handles every message waiting for this thread, as a form's message loop would: Tab and Shift+Tab move
// between the form's controls.
inline void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    HWND form = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (form && IsDialogMessageW(form, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Pumps messages for the given time, so that timers (the up-down's repeat, for one) can run.
inline void PumpFor(DWORD milliseconds) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    Pump();
  }
}

// A visible top-level window with a second focusable window (an EDIT) to move the focus to. Showing a
// top-level window costs Wine a while, so the tests of one program share one form.
class TestForm {
 public:
  static TestForm& Shared() {
    static TestForm form;
    return form;
  }

  TestForm() {
    window_.reset(CreateWindowExW(WS_EX_CONTROLPARENT, L"STATIC", L"form", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 50, 50, 400, 200,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    other_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 100, 100, 20, window_.get(),
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window_.get(), SW_SHOW);
    SetForegroundWindow(window_.get());
    Pump();
  }
  HWND hwnd() const { return window_.get(); }
  HWND other() const { return other_; }

 private:
  UniqueWindow window_;
  HWND other_;  // a child, destroyed with the form
};

// A surface window's constituents: its EDIT and its up-down.
inline HWND EditOf(HWND surface) { return FindWindowExW(surface, nullptr, L"Edit", nullptr); }
inline HWND UpDownOf(HWND surface) { return FindWindowExW(surface, nullptr, L"msctls_updown32", nullptr); }

// The device context behind the number that Surface::hdc gives.
inline HDC HdcOf(Long hdc) { return reinterpret_cast<HDC>(static_cast<INT_PTR>(hdc)); }

// Where a window lies in its parent's client area.
inline RECT PlaceIn(HWND hwnd) {
  RECT rect;
  GetWindowRect(hwnd, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// A rectangle as left, top, right and bottom, to compare and print.
using Edges = std::array<LONG, 4>;
inline Edges EdgesOf(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// Presses and releases a key in the focused window by posted messages, with Shift, Ctrl and Alt held as
// the platform's shift state (1, 2, 4) says; the message loop turns the key into its character.
inline void PostKey(Integer keyCode, Integer shift = 0) {
  std::array<BYTE, 256> state{};
  if (shift & 1) state[VK_SHIFT] = 0x80;
  if (shift & 2) state[VK_CONTROL] = 0x80;
  if (shift & 4) state[VK_MENU] = 0x80;
  SetKeyboardState(state.data());
  HWND focus = GetFocus();
  PostMessageW(focus, WM_KEYDOWN, static_cast<WPARAM>(keyCode), 1);
  Pump();
  PostMessageW(focus, WM_KEYUP, static_cast<WPARAM>(keyCode), 1 | (1u << 30) | (1u << 31));
  Pump();
  state.fill(0);
  SetKeyboardState(state.data());
}

// Types one character into the focused window.
inline void PostChar(char16_t character) {
  PostMessageW(GetFocus(), WM_CHAR, character, 1);
  Pump();
}

// Real keyboard input: the key goes down (or up) as if pressed on the keyboard.
inline void SendKey(WORD keyCode, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = keyCode;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof(input));
  Pump();
}

// Presses and releases a key with the given modifier keys held, by real keyboard input.
inline void SendKeyPress(WORD keyCode, std::initializer_list<WORD> modifiers = {}) {
  for (WORD modifier : modifiers) SendKey(modifier, true);
  SendKey(keyCode, true);
  SendKey(keyCode, false);
  for (WORD modifier : modifiers) SendKey(modifier, false);
}

// Types a text by real keyboard input, each character by its key on the current keyboard layout.
inline void SendText(const std::wstring& text) {
  for (wchar_t character : text) {
    SHORT key = VkKeyScanW(character);
    bool shifted = (key >> 8) & 1;
    SendKeyPress(LOBYTE(key), shifted ? std::initializer_list<WORD>{VK_SHIFT} : std::initializer_list<WORD>{});
  }
}

// Real mouse input at a point of a window's client area: one press and release of the left button.
inline void SendClick(HWND hwnd, POINT point) {
  ClientToScreen(hwnd, &point);
  SetCursorPos(point.x, point.y);
  INPUT inputs[2]{};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof(INPUT));
  Pump();
}

// The centre of an up-down's upper (or lower) arrow, in its client area.
inline POINT ArrowOf(HWND upDown, bool up) {
  RECT client;
  GetClientRect(upDown, &client);
  return {client.right / 2, up ? client.bottom / 4 : client.bottom * 3 / 4};
}

// Real mouse input: one click on an up-down's upper (or lower) arrow.
inline void ClickArrow(HWND upDown, bool up) { SendClick(upDown, ArrowOf(upDown, up)); }

}  // namespace marelco::win32::testing
