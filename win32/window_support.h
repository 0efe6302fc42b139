// Small helpers shared by the windows of a Kalendo surface: units, texts, key states and event raising.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>

#include "control/platform/types.h"
#include "dates/runtime_error.h"

namespace marelco::win32 {

// Dots per inch of a window's device context, horizontally and vertically.
struct Dpi {
  int x = 96;
  int y = 96;
};

// The module that holds this code: Marelco.ocx, or a program that links it.
inline HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

inline constexpr double kTwipsPerInch = 1440.0;

inline int ToPixels(Single twips, int dpi) { return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch)); }
inline Single ToTwips(int pixels, int dpi) { return static_cast<Single>(pixels * kTwipsPerInch / dpi); }

// The pixels of a span given in twips, measured between its rounded edges, so that spans that touch in twips
// touch in pixels at every DPI; a negative span is empty.
inline int SpanPixels(Single start, Single length, int dpi) {
  return std::max(0, ToPixels(start + length, dpi) - ToPixels(start, dpi));
}

// The pixels of a child window's place in its parent, given in twips.
inline RECT ChildPlace(Dpi dpi, Single left, Single top, Single width, Single height) {
  return {ToPixels(left, dpi.x), ToPixels(top, dpi.y), ToPixels(left, dpi.x) + SpanPixels(left, width, dpi.x),
          ToPixels(top, dpi.y) + SpanPixels(top, height, dpi.y)};
}

// Where a child window is now, in pixels of its parent's client area.
inline RECT PlaceInParent(HWND child) {
  RECT now = {};
  GetWindowRect(child, &now);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&now), 2);
  return now;
}

// The size of a rectangle; one turned inside out has none.
inline SIZE SizeOf(const RECT& rect) {
  return {std::max(0L, rect.right - rect.left), std::max(0L, rect.bottom - rect.top)};
}

// Moves a child window to a place of its parent given in twips, and repaints it. A window already there is
// left alone: under Wine even a move that changes nothing goes through the server.
inline void PlaceChild(HWND child, Dpi dpi, Single left, Single top, Single width, Single height) {
  const RECT place = ChildPlace(dpi, left, top, width, height);
  const RECT now = PlaceInParent(child);
  if (EqualRect(&now, &place)) return;
  MoveWindow(child, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
}

inline std::wstring ToWide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
inline std::u16string ToU16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

inline std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The shift state of the platform's key and mouse events: 1 Shift, 2 Ctrl, 4 Alt.
// The keyboard state is read in one call: under Wine each call asks the server.
inline Integer ShiftState() {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  Integer shift = 0;
  if (keys[VK_SHIFT] & 0x80) shift |= 1;
  if (keys[VK_CONTROL] & 0x80) shift |= 2;
  if (keys[VK_MENU] & 0x80) shift |= 4;
  return shift;
}

// A reference to the COM object that owns a surface, held while one of the surface's windows handles a message.
// The events a message raises run the host's handlers, which may let go of that object, close it or destroy its
// windows: the object, and with it the windows' own objects, outlives the message and goes after it.
class OwnerReference {
 public:
  explicit OwnerReference(IUnknown* owner) : owner_(owner) {
    if (owner_) owner_->AddRef();
  }
  OwnerReference(const OwnerReference&) = delete;
  OwnerReference& operator=(const OwnerReference&) = delete;
  ~OwnerReference() {
    if (owner_) owner_->Release();
  }

 private:
  IUnknown* owner_;
};

// Runs an event handler from a window procedure. A handler's error ends the handler and stays on this
// side of the window procedure, since no exception may unwind through the system's frames.
template <class Action>
void Guarded(const Action& action) {
  try {
    action();
  } catch (const std::exception&) {
  }
}

// Raises an event on its handlers, if there are any.
template <class Events, class... Params, class... Args>
void RaiseEvent(Events* events, void (Events::*handler)(Params...), Args&... args) {
  if (events) Guarded([&] { (events->*handler)(args...); });
}

}  // namespace marelco::win32
