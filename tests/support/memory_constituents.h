// In-memory constituents: a text box, a spinner and a surface that behave as the platform's windows do
// towards the control, with no window behind them. Tests and benchmarks drive them through the
// methods under "user input", which act as the user's keyboard and mouse would.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "control/platform/constituents.h"
#include "tests/support/keys.h"
#include "dates/runtime_error.h"

namespace marelco {

// A one-line text box. The selection runs from an anchor to the caret, as in an edit window; SelStart
// is the lower of the two. An event handler that throws RuntimeError ends its event; the box keeps the
// error (TakeEventError) and goes on as the platform's box would, with the event counted as handled.
class MemoryTextBox : public TextBox {
 public:
  MemoryTextBox() : font_(MakeFont()) {}

  void SetEvents(TextBoxEvents* events) override { events_ = events; }

  std::u16string Text() const override { return text_; }
  void SetText(const std::u16string& text) override;
  Long SelStart() const override { return std::min(anchor_, caret_); }
  void SetSelStart(Long start) override;
  Long SelLength() const override { return std::max(anchor_, caret_) - SelStart(); }
  void SetSelLength(Long length) override;
  std::u16string SelText() const override { return text_.substr(SelStart(), SelLength()); }
  void SetSelText(const std::u16string& text) override { ReplaceSelection(text); }

  OleColor BackColor() const override { return backColor_; }
  void SetBackColor(OleColor color) override { backColor_ = color; }
  OleColor ForeColor() const override { return foreColor_; }
  void SetForeColor(OleColor color) override { foreColor_ = color; }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override;
  bool Locked() const override { return locked_; }
  void SetLocked(bool locked) override { locked_ = locked; }
  std::u16string ToolTipText() const override { return toolTipText_; }
  void SetToolTipText(const std::u16string& text) override { toolTipText_ = text; }
  std::shared_ptr<Font> GetFont() const override { return font_; }
  void SetFont(std::shared_ptr<Font> font) override;

  Single Left() const override { return 0; }
  Single Top() const override { return 0; }
  Single Width() const override { return width_; }
  void SetWidth(Single width) override { width_ = width; }
  Single Height() const override { return height_; }
  void SetHeight(Single height) override { height_ = height; }

  void SetFocus() override;

  // Window state that the control does not reach, but the user and the container do.
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool HasFocus() const { return focused_; }

  // User input. A disabled or hidden box takes none of it; keys and characters first give the box
  // the focus, as the user's click into it would.
  void PressKey(Integer keyCode, Integer shift = 0);  // KeyDown, the box's own handling, KeyUp
  void TypeChar(char16_t character);                  // KeyPress, then the character goes in
  void TypeText(std::u16string_view text) { for (char16_t character : text) TypeChar(character); }
  void Click();
  void DblClick();
  void TurnWheel(bool awayFromUser);  // one notch, taken while the box has the focus
  void Focus();  // the user moves the focus into the box
  void Blur();   // the focus leaves the box: LostFocus

  // The key code as the KeyDown handlers left it, for the last key pressed.
  Integer KeyCodeAfterKeyDown() const { return keyCodeAfterKeyDown_; }

  // The error a handler ended its event with, if any since the last call; clears it.
  std::optional<RuntimeError> TakeEventError() { return std::exchange(eventError_, std::nullopt); }

 private:
  bool TakesInput() const { return enabled_ && visible_; }
  Long Clamp(std::int64_t position) const;
  void Select(Long anchor, Long caret);
  void ReplaceSelection(const std::u16string& replacement);
  void MoveCaret(Long position, bool extend);
  void HandleKey(Integer keyCode, Integer shift);
  void HandleCharacter(char16_t character);

  TextBoxEvents* events_ = nullptr;
  std::u16string text_;
  Long anchor_ = 0;
  Long caret_ = 0;
  OleColor backColor_ = kWindowColor;
  OleColor foreColor_ = kWindowTextColor;
  bool enabled_ = true;
  bool locked_ = false;
  bool visible_ = true;
  bool focused_ = false;
  std::u16string toolTipText_;
  std::shared_ptr<Font> font_;
  Single width_ = 1665;
  Single height_ = 300;
  Integer keyCodeAfterKeyDown_ = 0;
  std::optional<RuntimeError> eventError_;
};

// The vertical up/down spinner: one click event per press of an arrow, none while disabled.
class MemorySpinner : public Spinner {
 public:
  void SetEvents(SpinnerEvents* events) override { events_ = events; }

  Single Left() const override { return left_; }
  void SetLeft(Single left) override { left_ = left; }
  Single Top() const override { return 0; }
  Single Width() const override { return width_; }
  Single Height() const override { return height_; }
  void SetHeight(Single height) override { height_ = height; }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }

  // User input; an error that ends a click's handler is dropped.
  void ClickUp();
  void ClickDown();

 private:
  SpinnerEvents* events_ = nullptr;
  Single left_ = 1680;
  Single width_ = 195;
  Single height_ = 300;
  bool enabled_ = true;
};

// The user-control surface with its two constituents, measuring in twips.
class MemorySurface : public Surface {
 public:
  static constexpr Long kTestHdc = 0x0BADC0DE;  // the device context the surface reports

  MemorySurface() = default;
  MemorySurface(const MemorySurface&) = delete;
  MemorySurface& operator=(const MemorySurface&) = delete;

  void SetEvents(SurfaceEvents* events) override { events_ = events; }

  MemoryTextBox& txtFecha() override { return textBox_; }
  MemorySpinner& UpDown1() override { return spinner_; }

  Single ScaleWidth() const override { return scaleWidth_; }
  Single ScaleHeight() const override { return scaleHeight_; }

  OleColor BackColor() const override { return backColor_; }
  void SetBackColor(OleColor color) override { backColor_ = color; }
  std::u16string FontName() const override { return fontName_; }
  void SetFontName(const std::u16string& name) override { fontName_ = name; }
  Integer MousePointer() const override { return mousePointer_; }
  void SetMousePointer(Integer pointer) override;  // 0 to 15 and 99 (custom); anything else: 380
  Integer BorderStyle() const override { return 0; }
  Long hdc() const override { return kTestHdc; }

  // The container resizes the surface (inner size, twips): Resize.
  void Resize(Single scaleWidth, Single scaleHeight);
  // User input over the surface itself; the arguments come back as the handlers left them, and an error that ends
  // a handler is dropped.
  void MoveMouse(Integer& button, Integer& shift, Single& x, Single& y);
  void ReleaseMouse(Integer& button, Integer& shift, Single& x, Single& y);

 private:
  SurfaceEvents* events_ = nullptr;
  MemoryTextBox textBox_;
  MemorySpinner spinner_;
  Single scaleWidth_ = 1890;
  Single scaleHeight_ = 615;
  OleColor backColor_ = kButtonFaceColor;
  std::u16string fontName_ = u"MS Sans Serif";
  Integer mousePointer_ = 0;
};

}  // namespace marelco
