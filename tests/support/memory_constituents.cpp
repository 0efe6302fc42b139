#include "tests/support/memory_constituents.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace marelco {
namespace {

// Raises one event on the handlers, if there are any. Returns false when the handler ended with an error, which
// is kept where the caller asks for it.
template <class Events, class... Params, class... Args>
bool RaiseEvent(std::optional<RuntimeError>* error, Events* events, void (Events::*handler)(Params...),
                Args&... args) {
  if (!events) return true;
  try {
    (events->*handler)(args...);
    return true;
  } catch (const RuntimeError& raised) {
    if (error) *error = raised;
    return false;
  }
}

}  // namespace

// ---- MemoryTextBox ----

void MemoryTextBox::SetText(const std::u16string& text) {
  if (text == text_) return;
  text_ = text;
  Select(0, 0);
  RaiseEvent(&eventError_, events_, &TextBoxEvents::txtFecha_Change);
}

void MemoryTextBox::SetSelStart(Long start) {
  if (start < 0) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
  const Long position = Clamp(start);
  Select(position, position);
}

void MemoryTextBox::SetSelLength(Long length) {
  if (length < 0) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
  const Long start = SelStart();
  Select(start, Clamp(std::int64_t{start} + length));
}

void MemoryTextBox::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (!enabled) Blur();  // a disabled window cannot keep the focus
}

void MemoryTextBox::SetVisible(bool visible) {
  visible_ = visible;
  if (!visible) Blur();
}

void MemoryTextBox::SetFont(std::shared_ptr<Font> font) {
  if (!font) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
  font_ = std::move(font);
}

void MemoryTextBox::SetFocus() {
  if (!TakesInput()) throw RuntimeError(ErrorNumber::InvalidProcedureCall);
  focused_ = true;
}

void MemoryTextBox::PressKey(Integer keyCode, Integer shift) {
  if (!TakesInput()) return;
  Focus();
  Integer downCode = keyCode;
  Integer downShift = shift;
  const bool handled = RaiseEvent(&eventError_, events_, &TextBoxEvents::txtFecha_KeyDown, downCode, downShift);
  keyCodeAfterKeyDown_ = downCode;
  if (handled && downCode != 0) HandleKey(downCode, downShift);
  // Backspace arrives as a character too, translated from the key press itself.
  if (keyCode == vk::Back) TypeChar(u'\b');
  Integer upCode = keyCode;
  Integer upShift = shift;
  RaiseEvent(&eventError_, events_, &TextBoxEvents::txtFecha_KeyUp, upCode, upShift);
}

void MemoryTextBox::TypeChar(char16_t character) {
  if (!TakesInput()) return;
  Focus();
  Integer keyAscii = static_cast<Integer>(character);
  if (RaiseEvent(&eventError_, events_, &TextBoxEvents::txtFecha_KeyPress, keyAscii) && keyAscii != 0) {
    HandleCharacter(static_cast<char16_t>(keyAscii));
  }
}

void MemoryTextBox::Click() {
  if (TakesInput()) RaiseEvent(&eventError_, events_, &TextBoxEvents::txtFecha_Click);
}

void MemoryTextBox::DblClick() {
  if (TakesInput()) RaiseEvent(&eventError_, events_, &TextBoxEvents::txtFecha_DblClick);
}

void MemoryTextBox::TurnWheel(bool awayFromUser) {
  if (focused_) RaiseEvent(&eventError_, events_, &TextBoxEvents::txtFecha_MouseWheel, awayFromUser);
}

void MemoryTextBox::Focus() {
  if (TakesInput()) focused_ = true;
}

void MemoryTextBox::Blur() {
  if (!focused_) return;
  focused_ = false;
  RaiseEvent(&eventError_, events_, &TextBoxEvents::txtFecha_LostFocus);
}

Long MemoryTextBox::Clamp(std::int64_t position) const {
  const auto length = static_cast<std::int64_t>(text_.size());
  return static_cast<Long>(std::clamp<std::int64_t>(position, 0, length));
}

void MemoryTextBox::Select(Long anchor, Long caret) {
  anchor_ = Clamp(anchor);
  caret_ = Clamp(caret);
}

void MemoryTextBox::ReplaceSelection(const std::u16string& replacement) {
  const Long start = SelStart();
  std::u16string text = text_.substr(0, start) + replacement + text_.substr(start + SelLength());
  const auto caret = static_cast<Long>(start + replacement.size());
  const bool changed = text != text_;
  text_ = std::move(text);
  Select(caret, caret);
  if (changed) RaiseEvent(&eventError_, events_, &TextBoxEvents::txtFecha_Change);
}

void MemoryTextBox::MoveCaret(Long position, bool extend) {
  const Long caret = Clamp(position);
  Select(extend ? anchor_ : caret, caret);
}

// The box's own handling of a key press: caret movement (Up and Down move as Left and Right do in a
// one-line box) and Delete. Backspace and characters come through HandleCharacter.
void MemoryTextBox::HandleKey(Integer keyCode, Integer shift) {
  const bool extend = (shift & kShiftMask) != 0;
  switch (keyCode) {
    case vk::Left:
    case vk::Up: MoveCaret(caret_ - 1, extend); break;
    case vk::Right:
    case vk::Down: MoveCaret(caret_ + 1, extend); break;
    case vk::Home: MoveCaret(0, extend); break;
    case vk::End: MoveCaret(static_cast<Long>(text_.size()), extend); break;
    case vk::Delete:
      if (locked_) break;
      if (SelLength() == 0) Select(caret_, caret_ + 1);
      ReplaceSelection(u"");
      break;
    default: break;
  }
}

void MemoryTextBox::HandleCharacter(char16_t character) {
  if (locked_) return;
  if (character == u'\b') {
    if (SelLength() == 0) Select(caret_ - 1, caret_);
    ReplaceSelection(u"");
  } else if (character >= u' ') {
    ReplaceSelection(std::u16string(1, character));
  }
  // Other control characters (Enter, Tab, Ctrl+letter) put nothing into a one-line box.
}

// ---- MemorySpinner ----

void MemorySpinner::ClickUp() {
  if (enabled_) RaiseEvent(nullptr, events_, &SpinnerEvents::UpDown1_UpClick);
}

void MemorySpinner::ClickDown() {
  if (enabled_) RaiseEvent(nullptr, events_, &SpinnerEvents::UpDown1_DownClick);
}

// ---- MemorySurface ----

void MemorySurface::SetMousePointer(Integer pointer) {
  const bool valid = (pointer >= 0 && pointer <= 15) || pointer == 99;
  if (!valid) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
  mousePointer_ = pointer;
}

void MemorySurface::Resize(Single scaleWidth, Single scaleHeight) {
  scaleWidth_ = scaleWidth;
  scaleHeight_ = scaleHeight;
  RaiseEvent(nullptr, events_, &SurfaceEvents::UserControl_Resize);
}

void MemorySurface::MoveMouse(Integer& button, Integer& shift, Single& x, Single& y) {
  RaiseEvent(nullptr, events_, &SurfaceEvents::UserControl_MouseMove, button, shift, x, y);
}

void MemorySurface::ReleaseMouse(Integer& button, Integer& shift, Single& x, Single& y) {
  RaiseEvent(nullptr, events_, &SurfaceEvents::UserControl_MouseUp, button, shift, x, y);
}

}  // namespace marelco
