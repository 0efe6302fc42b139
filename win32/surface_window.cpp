#include "win32/surface_window.h"

#include <windowsx.h>

#include <algorithm>
#include <array>
#include <new>
#include <utility>

namespace marelco::win32 {
namespace {

constexpr wchar_t kClassName[] = L"MarelcoKalendoSurface";
constexpr Single kFirstWidth = 1890;
constexpr Single kFirstHeight = 615;

Dpi DpiOf(HDC dc) {
  if (!dc) return {};
  return {GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY)};
}

// Read once: the screen's DPI stays what it was when the process started.
Dpi ScreenDpi() {
  static const Dpi dpi = [] {
    WindowDc screen(nullptr);
    return DpiOf(screen.get());
  }();
  return dpi;
}

// The pointer shapes of MousePointer by number; 0 and 99 (a custom icon the surface is never given) leave
// the class's arrow.
LPCWSTR PointerShape(Integer pointer) {
  static const std::array<LPCWSTR, 16> shapes = {
      nullptr,   IDC_ARROW,  IDC_CROSS,  IDC_IBEAM,   IDC_ARROW, IDC_SIZEALL,     IDC_SIZENESW, IDC_SIZENS,
      IDC_SIZENWSE, IDC_SIZEWE, IDC_UPARROW, IDC_WAIT, IDC_NO,    IDC_APPSTARTING, IDC_HELP,     IDC_SIZEALL};
  if (pointer < 0 || pointer >= static_cast<Integer>(shapes.size())) return nullptr;
  return shapes[static_cast<size_t>(pointer)];
}

void RegisterSurfaceClass(WNDPROC windowProc) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(ThisModule(), kClassName, &existing)) return;
  WNDCLASSEXW surfaceClass{};
  surfaceClass.cbSize = sizeof(surfaceClass);
  surfaceClass.lpfnWndProc = windowProc;
  surfaceClass.hInstance = ThisModule();
  surfaceClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  surfaceClass.lpszClassName = kClassName;
  RegisterClassExW(&surfaceClass);
}

HWND CreateSurface(HWND parent, POINT place, SIZE size, bool shown, WNDPROC windowProc, void* self) {
  RegisterSurfaceClass(windowProc);
  return CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"",
                         WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (shown ? WS_VISIBLE : 0), place.x, place.y,
                         size.cx, size.cy, parent ? parent : ParkingWindow(), nullptr, ThisModule(), self);
}

// Prints a constituent at its place in the surface: a sunken frame (the text box's) is drawn here, and the
// client area is printed inside it.
void PrintChild(HWND surface, HWND child, HDC dc, RECT place) {
  if (GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) DrawEdge(dc, &place, EDGE_SUNKEN, BF_RECT);
  POINT client = {};
  MapWindowPoints(child, surface, &client, 1);
  POINT origin = {};
  OffsetViewportOrgEx(dc, client.x, client.y, &origin);
  SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
}

// The attributes of a surface's first font, shared by every surface: they live as long as the module.
std::shared_ptr<const Font::Attributes> DefaultFontAttributes() {
  static const Font::Attributes attributes;
  return {std::shared_ptr<const void>(), &attributes};
}

}  // namespace

// A surface that is given its parent and cannot make its window fails (out of memory at the COM boundary)
// instead of drawing on the screen's device context.
SurfaceWindow::SurfaceWindow(HWND parent)
    : fontAttributes_(DefaultFontAttributes()),
      dpi_(ScreenDpi()),
      unmadeSize_{ToPixels(kFirstWidth, dpi_.x), ToPixels(kFirstHeight, dpi_.y)},
      textBox_(*this, *fontAttributes_),
      spinner_(dpi_) {
  if (parent && !MakeWindows(parent, true)) throw std::bad_alloc();
}

// The windows, made with what the surface and its constituents hold; false when the system cannot make the
// surface's, which stays unmade.
bool SurfaceWindow::MakeWindows(HWND parent, bool shown, POINT place) {
  window_.reset(CreateSurface(parent, place, unmadeSize_, shown, WindowProc, this));
  if (!window_) return false;
  made_ = true;
  textBox_.MakeWindow(window_.get());
  spinner_.MakeWindow(window_.get());
  ApplyFont();
  ready_ = true;
  return true;
}

// Made when first asked for: many controls of a form are placed in their containers' windows before anything asks.
HWND SurfaceWindow::hwnd() const {
  if (!made_) const_cast<SurfaceWindow*>(this)->MakeWindows(nullptr, false);
  return window_.get();
}

// The window stops reaching this object first; the constituents then destroy their windows, and the
// surface window goes last.
SurfaceWindow::~SurfaceWindow() {
  if (!window_) return;
  SetWindowLongPtrW(hwnd(), GWLP_USERDATA, 0);
  if (!dc_) return;
  SelectObject(dc_, GetStockObject(SYSTEM_FONT));
  ReleaseDC(hwnd(), dc_);
}

// A made surface comes from the parking window, hidden, and shows at once in its new place and size: the system
// hides and shows again a window that moves while visible, repainting it and its constituents each time.
bool SurfaceWindow::Enter(HWND parent, const RECT& place, bool shown) {
  const SIZE size = SizeOf(place);
  if (!made_) {
    ResizeUnmade(size);
    return MakeWindows(parent, shown, {place.left, place.top});
  }
  if (!SetParent(hwnd(), parent)) return false;
  SetWindowPos(hwnd(), nullptr, place.left, place.top, size.cx, size.cy,
               SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : 0));
  return true;
}

// A surface not made yet is as good as parked: its windows are made there when something asks for them.
bool SurfaceWindow::Park() {
  if (!made_) return true;
  ShowWindow(hwnd(), SW_HIDE);
  return SetParent(hwnd(), ParkingWindow()) != nullptr;
}

// A surface not made yet takes its new size as its window would, with a Resize event when the size changes.
void SurfaceWindow::Resize(Single width, Single height) {
  const SIZE size = {std::max(0, ToPixels(width, dpi_.x)), std::max(0, ToPixels(height, dpi_.y))};
  if (made_)
    SetWindowPos(hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  else
    ResizeUnmade(size);
}

void SurfaceWindow::ResizeUnmade(SIZE size) {
  if (size.cx == unmadeSize_.cx && size.cy == unmadeSize_.cy) return;
  unmadeSize_ = size;
  RaiseEvent(events_, &SurfaceEvents::UserControl_Resize);
}

// The system owns a region once the window has it.
void SurfaceWindow::ShowOnly(const RECT* part) {
  if (!part) {
    if (std::exchange(clipped_, false)) SetWindowRgn(hwnd(), nullptr, TRUE);
    return;
  }
  UniqueRegion region(CreateRectRgnIndirect(part));
  if (!region || !SetWindowRgn(hwnd(), region.get(), TRUE)) return;
  region.release();
  clipped_ = true;
}


SIZE SurfaceWindow::Size() const {
  if (!made_) return unmadeSize_;
  RECT client{};
  GetClientRect(window_.get(), &client);
  return {client.right, client.bottom};
}

Single SurfaceWindow::ScaleWidth() const { return ToTwips(Size().cx, dpi_.x); }

Single SurfaceWindow::ScaleHeight() const { return ToTwips(Size().cy, dpi_.y); }

void SurfaceWindow::SetBackColor(OleColor color) {
  CheckedColorRef(color);
  backColor_ = color;
  if (window_) InvalidateRect(window_.get(), nullptr, TRUE);
}

void SurfaceWindow::SetFontName(const std::u16string& name) {
  if (name == fontAttributes_->name) return;
  auto attributes = std::make_shared<Font::Attributes>(*fontAttributes_);
  attributes->name = name;
  fontAttributes_ = std::move(attributes);
  ApplyFont();
}

void SurfaceWindow::ApplyFont() {
  if (!window_) return;
  SharedFont handle = FontHandle(*fontAttributes_, dpi_.y);
  if (dc_) SelectObject(dc_, handle.get());
  fontHandle_ = std::move(handle);  // the previous font was deselected just now
}

void SurfaceWindow::SetMousePointer(Integer pointer) {
  if (pointer != 99 && (pointer < 0 || pointer > 15)) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
  mousePointer_ = pointer;
}

// Taken when first asked for, so that the many controls of a form whose programs never draw hold none.
Long SurfaceWindow::hdc() const {
  HWND window = hwnd();
  if (!window) return 0;
  if (!dc_) {
    dc_ = GetDC(window);
    SelectObject(dc_, fontHandle_.get());
  }
  return static_cast<Long>(reinterpret_cast<INT_PTR>(dc_));
}

void SurfaceWindow::Print(HDC dc) const {
  HWND surface = hwnd();
  if (!surface) return;
  // The surface shows nothing but its background. Printing is not done alike everywhere (Wine leaves out a
  // window's background, its children and their frames), so the background is painted here and each
  // constituent is printed at its own place, the bottom one first.
  SendMessageW(surface, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  for (HWND child = ::GetWindow(::GetWindow(surface, GW_CHILD), GW_HWNDLAST); child;
       child = ::GetWindow(child, GW_HWNDPREV)) {
    if (!(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)) continue;  // its own flag: the parking window is hidden
    RECT place = {};
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, surface, reinterpret_cast<POINT*>(&place), 2);
    PrintChild(surface, child, dc, place);
  }
}

// Messages.

LRESULT CALLBACK SurfaceWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<SurfaceWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  OwnerReference owner(self->owner());
  return self->HandleMessage(hwnd, message, wParam, lParam);
}

LRESULT SurfaceWindow::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (ready_) RaiseEvent(events_, &SurfaceEvents::UserControl_Resize);
      return 0;
    case WM_ERASEBKGND:
      OnPaintBackground(hwnd, reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_SETFOCUS:
      if (ready_ && IsWindowEnabled(textBox_.hwnd())) ::SetFocus(textBox_.hwnd());
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (ready_ && reinterpret_cast<HWND>(lParam) == textBox_.hwnd()) {
        return reinterpret_cast<LRESULT>(textBox_.OnControlColor(reinterpret_cast<HDC>(wParam)));
      }
      break;
    case WM_COMMAND:
      if (!ready_ || reinterpret_cast<HWND>(lParam) != textBox_.hwnd()) break;
      if (HIWORD(wParam) == EN_CHANGE) textBox_.OnChangeNotification();
      if ((HIWORD(wParam) == EN_SETFOCUS || HIWORD(wParam) == EN_KILLFOCUS) && listener_) {
        listener_->TextBoxFocusChanged(HIWORD(wParam) == EN_SETFOCUS);
      }
      return 0;
    case WM_NOTIFY:
      return OnNotify(hwnd, *reinterpret_cast<const NMHDR*>(lParam), lParam);
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      OnMouse(message, wParam, lParam);
      return 0;
    case WM_SETCURSOR:
      if (OnSetCursor(hwnd, wParam, lParam)) return TRUE;
      break;
    case WM_MOUSEWHEEL:  // over the text box, the spinner or the surface
      if (ready_ && OnMouseWheel(wParam, lParam)) return 0;
      break;  // not the control's: DefWindowProc hands it to the window that holds the control
    case WM_NCDESTROY:
      OnDestroyed();
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT SurfaceWindow::OnNotify(HWND hwnd, const NMHDR& header, LPARAM lParam) {
  if (ready_ && header.hwndFrom == spinner_.hwnd() && header.code == UDN_DELTAPOS) {
    return spinner_.OnDeltaPosition(*reinterpret_cast<const NMUPDOWN*>(lParam));
  }
  return DefWindowProcW(hwnd, WM_NOTIFY, header.idFrom, lParam);
}

// Mouse events of the surface itself: Button is the buttons held (MouseMove) or the one released
// (MouseUp), 1 left, 2 right, 4 middle; X and Y are twips. A pressed button holds the mouse, so
// that its release reaches the surface.
void SurfaceWindow::OnMouse(UINT message, WPARAM wParam, LPARAM lParam) {
  Integer shift = ((wParam & MK_SHIFT) ? 1 : 0) | ((wParam & MK_CONTROL) ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0);
  Single x = ToTwips(GET_X_LPARAM(lParam), dpi_.x);
  Single y = ToTwips(GET_Y_LPARAM(lParam), dpi_.y);
  Integer button = 0;
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      SetCapture(hwnd());
      return;
    case WM_MOUSEMOVE:
      button = ((wParam & MK_LBUTTON) ? 1 : 0) | ((wParam & MK_RBUTTON) ? 2 : 0) | ((wParam & MK_MBUTTON) ? 4 : 0);
      RaiseEvent(events_, &SurfaceEvents::UserControl_MouseMove, button, shift, x, y);
      return;
    case WM_LBUTTONUP: button = 1; break;
    case WM_RBUTTONUP: button = 2; break;
    case WM_MBUTTONUP: button = 4; break;
  }
  if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && GetCapture() == hwnd()) ReleaseCapture();
  RaiseEvent(events_, &SurfaceEvents::UserControl_MouseUp, button, shift, x, y);
}

// The wheel is the control's while the text box has the focus and the pointer is over the text box or the
// spinner, with neither Ctrl nor Shift held. Each notch (WHEEL_DELTA; the smaller deltas of smooth wheels add up
// to one, and a turn the other way starts afresh) steps the date through the text box's event.
bool SurfaceWindow::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
  const HWND under = WindowFromPoint({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  const bool overControl = under == textBox_.hwnd() || under == spinner_.hwnd();
  if ((GET_KEYSTATE_WPARAM(wParam) & (MK_CONTROL | MK_SHIFT)) || GetFocus() != textBox_.hwnd() || !overControl) {
    wheelDelta_ = 0;
    return false;
  }
  const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
  if ((delta > 0) != (wheelDelta_ > 0)) wheelDelta_ = 0;
  wheelDelta_ += delta;
  for (; ready_ && wheelDelta_ >= WHEEL_DELTA; wheelDelta_ -= WHEEL_DELTA) textBox_.OnWheelNotch(true);
  for (; ready_ && wheelDelta_ <= -WHEEL_DELTA; wheelDelta_ += WHEEL_DELTA) textBox_.OnWheelNotch(false);
  return true;
}

bool SurfaceWindow::OnSetCursor(HWND hwnd, WPARAM wParam, LPARAM lParam) const {
  if (reinterpret_cast<HWND>(wParam) != hwnd || LOWORD(lParam) != HTCLIENT) return false;
  LPCWSTR shape = PointerShape(mousePointer_);
  if (!shape) return false;
  SetCursor(LoadCursorW(nullptr, shape));
  return true;
}

void SurfaceWindow::OnPaintBackground(HWND hwnd, HDC dc) {
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, backBrush_.Get(ToColorRef(backColor_).value_or(GetSysColor(COLOR_BTNFACE))));
}

// The system destroyed the window and its children (with the parent window, for instance): the handles are
// gone, and the device context with them.
void SurfaceWindow::OnDestroyed() {
  SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
  ready_ = false;
  window_.release();
  dc_ = nullptr;  // the system took it back with the window
  textBox_.OnWindowDestroyed();
  spinner_.OnWindowDestroyed();
}

void UnregisterSurfaceClass() { UnregisterClassW(kClassName, ThisModule()); }

}  // namespace marelco::win32
