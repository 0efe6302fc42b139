#include "win32/edit_text_box.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <cstdint>
#include <utility>

#include "win32/accessible_text_box.h"
#include "win32/surface_window.h"
#include "win32/thread_windows.h"

namespace marelco::win32 {
namespace {

constexpr int kEditId = 1;

// The EDIT window at its place in the surface, made with its text and states.
HWND CreateEdit(HWND surface, const RECT& place, const std::u16string& text, bool enabled, bool locked) {
  const DWORD states = (enabled ? 0 : WS_DISABLED) | (locked ? ES_READONLY : 0);
  return CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, ToWide(text).c_str(),
                         WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL | states, place.left, place.top,
                         place.right - place.left, place.bottom - place.top, surface,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), GetModuleHandleW(nullptr), nullptr);
}

// A text the EDIT holds as it is given: one line, without the NUL that would end it early.
bool IsOneLine(const std::u16string& text) {
  return text.find_first_of(std::u16string_view(u"\r\n\0", 3)) == std::u16string::npos;
}

// Adds, changes or (with an empty text) removes the edit window's tool in the thread's tooltip window.
void SetToolTip(HWND edit, const std::wstring& text, bool hadOne) {
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(edit);
  tool.uId = reinterpret_cast<UINT_PTR>(edit);
  tool.lpszText = const_cast<wchar_t*>(text.c_str());
  UINT message = text.empty() ? TTM_DELTOOLW : hadOne ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW;
  SendMessageW(ToolTipWindow(), message, 0, reinterpret_cast<LPARAM>(&tool));
}

// Messages after which an EDIT holds the text it held before.
bool KeepsText(UINT message) {
  switch (message) {
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case EM_GETSEL:
    case EM_SETSEL:
    case EM_SCROLLCARET:
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_ERASEBKGND:
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_MOUSEMOVE:
      return true;
    default:
      return false;
  }
}

void CheckNotNegative(Long value) {
  if (value < 0) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
}

// Holds Shift, Ctrl and Alt as a shift state says while the EDIT handles a key, so that a handler's change
// of the state reaches the EDIT, which reads the keyboard state itself.
class ScopedShiftState {
 public:
  explicit ScopedShiftState(Integer shift) {
    GetKeyboardState(saved_.data());
    std::array<BYTE, 256> held = saved_;
    Hold(held, shift & 1, {VK_SHIFT, VK_LSHIFT, VK_RSHIFT});
    Hold(held, shift & 2, {VK_CONTROL, VK_LCONTROL, VK_RCONTROL});
    Hold(held, shift & 4, {VK_MENU, VK_LMENU, VK_RMENU});
    SetKeyboardState(held.data());
  }
  ScopedShiftState(const ScopedShiftState&) = delete;
  ScopedShiftState& operator=(const ScopedShiftState&) = delete;
  ~ScopedShiftState() { SetKeyboardState(saved_.data()); }

 private:
  static void Hold(std::array<BYTE, 256>& state, bool down, std::initializer_list<int> keys) {
    for (int key : keys) state[key] = down ? (state[key] | 0x80) : (state[key] & ~0x80);
  }

  std::array<BYTE, 256> saved_{};
};

}  // namespace

EditTextBox::EditTextBox(SurfaceWindow& surface, const Font::Attributes& surfaceFont) : surface_(surface) {
  SetFont(MakeFont(surfaceFont));
}

// A window that cannot be made leaves the box holding what it held.
void EditTextBox::MakeWindow(HWND surface) {
  window_.reset(CreateEdit(surface, ChildPlace(surface_.dpi(), left_, top_, width_, height_), unmade_->text,
                           unmade_->enabled, unmade_->locked));
  if (!window_) return;
  SetWindowLongPtrW(hwnd(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  editProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditTextBox::WindowProc)));
  const auto unmade = std::move(unmade_);
  if (unmade->selectionStart || unmade->selectionEnd) {
    SendMessageW(hwnd(), EM_SETSEL, unmade->selectionStart, unmade->selectionEnd);
    SendMessageW(hwnd(), EM_SCROLLCARET, 0, 0);
  }
  ApplyFont(false);  // a window never painted yet
  if (const std::u16string toolTip = ToolTipText(); !toolTip.empty()) SetToolTip(hwnd(), ToWide(toolTip), false);
  knownTextIsCurrent_ = unmade->text == knownText_;  // what the EDIT was made with, read without asking it
}

HWND EditTextBox::Window() {
  if (unmade_) surface_.hwnd();
  return hwnd();
}

// The window, destroyed after this, no longer reaches this object.
EditTextBox::~EditTextBox() {
  events_ = nullptr;
  if (font_) font_->Unsubscribe(fontCookie_);
  RemoveToolTip();
  if (window_) SetWindowLongPtrW(hwnd(), GWLP_USERDATA, 0);
}

void EditTextBox::OnWindowDestroyed() {
  RemoveToolTip();
  window_.release();
  knownTextIsCurrent_ = false;
}

// Text and selection.

std::u16string EditTextBox::Text() const {
  if (unmade_) return unmade_->text;
  if (knownTextIsCurrent_) return knownText_;
  std::u16string text = ToU16(WindowText(hwnd()));
  knownTextIsCurrent_ = changingMessages_ == 0 && hwnd() != nullptr && text == knownText_;
  return text;
}

Long EditTextBox::TextLength() const { return static_cast<Long>(Text().size()); }

// Writing the text it holds already leaves the box as it is, selection included.
// A new text puts the caret at its start, as the EDIT does.
void EditTextBox::SetText(const std::u16string& text) {
  if (text == Text()) return;
  if (unmade_ && IsOneLine(text)) {
    WriteText([&] {
      unmade_->text = text;
      unmade_->selectionStart = unmade_->selectionEnd = 0;
    });
    return;
  }
  HWND window = Window();
  WriteText([&] { SetWindowTextW(window, ToWide(text).c_str()); });
}

template <class Write>
void EditTextBox::WriteText(const Write& write) {
  bool wasWriting = std::exchange(writing_, true);
  write();
  writing_ = wasWriting;
  Guarded([this] { RaiseChangeIfChanged(); });
}

// A box whose window is gone (destroyed by a host's handler, say) has no text to change and raises nothing.
void EditTextBox::RaiseChangeIfChanged() {
  if (!unmade_ && !hwnd()) return;
  std::u16string text = Text();
  if (text == knownText_) return;
  knownText_ = std::move(text);
  knownTextIsCurrent_ = !unmade_ && changingMessages_ == 0;  // read from the EDIT just now
  if (events_) events_->txtFecha_Change();
}

void EditTextBox::OnChangeNotification() {
  if (writing_) return;
  Guarded([this] { RaiseChangeIfChanged(); });
}

void EditTextBox::Selection(DWORD& start, DWORD& end) const {
  if (unmade_) {
    start = static_cast<DWORD>(unmade_->selectionStart);
    end = static_cast<DWORD>(unmade_->selectionEnd);
    return;
  }
  start = end = 0;
  SendMessageW(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
}

Long EditTextBox::SelStart() const {
  DWORD start, end;
  Selection(start, end);
  return static_cast<Long>(start);
}

void EditTextBox::SetSelStart(Long start) {
  CheckNotNegative(start);
  Long caret = std::min<Long>(start, TextLength());
  if (unmade_) {
    unmade_->selectionStart = unmade_->selectionEnd = caret;
    return;
  }
  SendMessageW(hwnd(), EM_SETSEL, caret, caret);
  SendMessageW(hwnd(), EM_SCROLLCARET, 0, 0);
}

Long EditTextBox::SelLength() const {
  DWORD start, end;
  Selection(start, end);
  return static_cast<Long>(end - start);
}

void EditTextBox::SetSelLength(Long length) {
  CheckNotNegative(length);
  std::int64_t start = SelStart();
  std::int64_t end = std::min<std::int64_t>(start + length, TextLength());
  if (unmade_) {
    unmade_->selectionEnd = static_cast<Long>(end);
    return;
  }
  SendMessageW(hwnd(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

std::u16string EditTextBox::SelText() const {
  DWORD start, end;
  Selection(start, end);
  std::u16string text = Text();
  if (start >= text.size()) return {};
  return text.substr(start, end - start);
}

void EditTextBox::SetSelText(const std::u16string& text) {
  if (unmade_ && text.empty() && unmade_->selectionStart == unmade_->selectionEnd) return;  // nothing for nothing
  HWND window = Window();
  WriteText([&] { SendMessageW(window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(ToWide(text).c_str())); });
}

// Appearance and state.

void EditTextBox::SetBackColor(OleColor color) {
  CheckedColorRef(color);
  backColor_ = color;
  if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

void EditTextBox::SetForeColor(OleColor color) {
  CheckedColorRef(color);
  foreColor_ = color;
  if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

HBRUSH EditTextBox::OnControlColor(HDC dc) {
  COLORREF back = ToColorRef(backColor_).value_or(GetSysColor(COLOR_WINDOW));
  COLORREF fore = IsWindowEnabled(hwnd()) ? ToColorRef(foreColor_).value_or(GetSysColor(COLOR_WINDOWTEXT))
                                          : GetSysColor(COLOR_GRAYTEXT);
  SetTextColor(dc, fore);
  SetBkColor(dc, back);
  return backBrush_.Get(back);
}

bool EditTextBox::Enabled() const { return unmade_ ? unmade_->enabled : IsWindowEnabled(hwnd()); }

void EditTextBox::SetEnabled(bool enabled) {
  if (unmade_)
    unmade_->enabled = enabled;
  else
    EnableWindow(hwnd(), enabled);
}

bool EditTextBox::Locked() const {
  return unmade_ ? unmade_->locked : (GetWindowLongW(hwnd(), GWL_STYLE) & ES_READONLY) != 0;
}

void EditTextBox::SetLocked(bool locked) {
  if (unmade_)
    unmade_->locked = locked;
  else
    SendMessageW(hwnd(), EM_SETREADONLY, locked, 0);
}

EditTextBox::Description& EditTextBox::MadeDescription() {
  if (!description_) description_ = std::make_unique<Description>();
  return *description_;
}

void EditTextBox::SetToolTipText(const std::u16string& text) {
  const std::u16string old = ToolTipText();
  if (text == old) return;
  if (hwnd()) SetToolTip(hwnd(), ToWide(text), !old.empty());
  Description& description = MadeDescription();
  description.toolTip = text;
  if (description.accessibleName) *description.accessibleName = AccessibleName();
}

std::wstring EditTextBox::AccessibleName() const {
  const std::u16string toolTip = ToolTipText();
  return toolTip.empty() ? L"Date" : ToWide(toolTip);
}

void EditTextBox::RemoveToolTip() {
  if (hwnd() && !ToolTipText().empty()) SetToolTip(hwnd(), L"", true);
}

void EditTextBox::SetFont(std::shared_ptr<Font> font) {
  if (!font) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
  const Font::Cookie cookie = font->Subscribe(*this);
  if (font_) font_->Unsubscribe(fontCookie_);
  font_ = std::move(font);
  fontCookie_ = cookie;
  ApplyFont();
}

void EditTextBox::FontChanged() {
  ApplyFont();
  surface_.TextBoxFontChanged();
}

void EditTextBox::ApplyFont(bool redraw) {
  if (!hwnd()) return;
  SharedFont handle = FontHandle(font_->attributes(), surface_.dpi().y);
  if (handle == fontHandle_) return;
  SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(handle.get()), redraw);
  fontHandle_ = std::move(handle);  // the previous font is let go once the window no longer uses it
}

// Place and size.

void EditTextBox::SetWidth(Single width) {
  width_ = width;
  Place();
}

void EditTextBox::SetHeight(Single height) {
  height_ = height;
  Place();
}

void EditTextBox::Place() {
  if (hwnd()) PlaceChild(hwnd(), surface_.dpi(), left_, top_, width_, height_);
}

// Focus.

bool EditTextBox::CanTakeFocus() const {
  if (!hwnd() || !IsWindowVisible(hwnd())) return false;
  for (HWND window = hwnd(); window; window = GetAncestor(window, GA_PARENT)) {
    if (window == GetDesktopWindow()) break;
    if (!IsWindowEnabled(window)) return false;
  }
  return true;
}

void EditTextBox::SetFocus() {
  if (!CanTakeFocus()) throw RuntimeError(ErrorNumber::InvalidProcedureCall);
  ::SetFocus(hwnd());
}

// Messages of the EDIT window.

// The EDIT's messages come here first and go on to its own procedure. The procedure is replaced rather than
// subclassed through SetWindowSubclass, which finds its data through a window property at every message: under
// Wine a round trip to the server, twice for each message, which made a step several times slower.
LRESULT CALLBACK EditTextBox::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<EditTextBox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) {
    auto editProc = reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC));
    return CallWindowProcW(editProc, hwnd, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    WNDPROC editProc = self->editProc_;
    self->OnWindowDestroyed();
    return CallWindowProcW(editProc, hwnd, message, wParam, lParam);
  }
  OwnerReference owner(self->surface_.owner());
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT EditTextBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      return OnKey(&TextBoxEvents::txtFecha_KeyDown, message, wParam, lParam);
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return OnKey(&TextBoxEvents::txtFecha_KeyUp, message, wParam, lParam);
    case WM_CHAR:
      return OnCharacter(message, wParam, lParam);
    case WM_GETOBJECT:
      if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        auto& name = MadeDescription().accessibleName;
        if (!name) name = std::make_shared<std::wstring>(AccessibleName());
        if (LRESULT answer = NamedAccessibleObject(hwnd(), wParam, name)) return answer;
      }
      return Default(message, wParam, lParam);
    case WM_KILLFOCUS: {
      LRESULT result = Default(message, wParam, lParam);
      RaiseEvent(events_, &TextBoxEvents::txtFecha_LostFocus);
      return result;
    }
    case WM_MOUSEWHEEL:  // the surface decides whether it is the control's; the EDIT would keep it
      return SendMessageW(GetParent(hwnd()), message, wParam, lParam);
    case WM_LBUTTONDOWN:
      leftButtonPressed_ = true;
      return Default(message, wParam, lParam);
    case WM_LBUTTONUP: {
      LRESULT result = Default(message, wParam, lParam);
      RECT client;
      GetClientRect(hwnd(), &client);
      POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (std::exchange(leftButtonPressed_, false) && PtInRect(&client, point)) RaiseEvent(events_, &TextBoxEvents::txtFecha_Click);
      return result;
    }
    case WM_LBUTTONDBLCLK: {
      LRESULT result = Default(message, wParam, lParam);
      leftButtonPressed_ = false;
      RaiseEvent(events_, &TextBoxEvents::txtFecha_DblClick);
      return result;
    }
    default:
      return Default(message, wParam, lParam);
  }
}

// A key event goes to its handler with the box's own variables; the key the handler leaves is the key the
// EDIT sees, and a key code of 0 is the end of it.
LRESULT EditTextBox::OnKey(void (TextBoxEvents::*event)(Integer&, Integer&), UINT message, WPARAM wParam,
                           LPARAM lParam) {
  Integer keyCode = static_cast<Integer>(wParam);
  Integer shift = ShiftState();
  Integer pressed = shift;
  RaiseEvent(events_, event, keyCode, shift);
  if (keyCode == 0 || !hwnd()) return 0;
  if (shift == pressed) return Default(message, static_cast<std::uint16_t>(keyCode), lParam);
  ScopedShiftState heldKeys(shift);
  return Default(message, static_cast<std::uint16_t>(keyCode), lParam);
}

LRESULT EditTextBox::OnCharacter(UINT message, WPARAM wParam, LPARAM lParam) {
  Integer keyAscii = static_cast<Integer>(wParam);
  RaiseEvent(events_, &TextBoxEvents::txtFecha_KeyPress, keyAscii);
  if (keyAscii == 0 || !hwnd()) return 0;
  return Default(message, static_cast<std::uint16_t>(keyAscii), lParam);
}

LRESULT EditTextBox::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  if (KeepsText(message)) return CallWindowProcW(editProc_, hwnd(), message, wParam, lParam);
  knownTextIsCurrent_ = false;
  ++changingMessages_;
  LRESULT result = CallWindowProcW(editProc_, hwnd(), message, wParam, lParam);
  --changingMessages_;
  knownTextIsCurrent_ = false;
  return result;
}

}  // namespace marelco::win32
