// The constituents of a Kalendo surface: the text box txtFecha and the spinner UpDown1, and the
// surface that carries them. The control reaches them through the surface at every use.
#pragma once

#include <memory>
#include <string>

#include "control/platform/font.h"
#include "control/platform/types.h"

namespace marelco {

// The handlers of the text box's events. Arguments are the box's own variables, by reference: a handler's change
// reaches the box, and a key code of 0 after KeyDown stops the box from processing the key.
// A handler that throws RuntimeError ends there; the box treats the event as handled by its caller.
class TextBoxEvents {
 public:
  virtual void txtFecha_Change() = 0;  // raised before the write that changed the text returns
  virtual void txtFecha_KeyDown(Integer& KeyCode, Integer& Shift) = 0;
  virtual void txtFecha_KeyPress(Integer& KeyAscii) = 0;
  virtual void txtFecha_KeyUp(Integer& KeyCode, Integer& Shift) = 0;
  virtual void txtFecha_LostFocus() = 0;
  virtual void txtFecha_Click() = 0;
  virtual void txtFecha_DblClick() = 0;
  // One notch of the mouse wheel that the box takes (it has the focus, the pointer is over the control): away
  // from the user, or towards the user.
  virtual void txtFecha_MouseWheel(bool awayFromUser) = 0;

 protected:
  ~TextBoxEvents() = default;
};

// The platform's one-line text box. Positions are 0-based character counts; sizes are twips.
class TextBox {
 public:
  virtual ~TextBox() = default;

  virtual void SetEvents(TextBoxEvents* events) = 0;  // null: no handlers

  virtual std::u16string Text() const = 0;
  virtual void SetText(const std::u16string& text) = 0;  // replaces the whole text
  virtual Long SelStart() const = 0;
  virtual void SetSelStart(Long start) = 0;  // empty selection there; past the end: the end; < 0: 380
  virtual Long SelLength() const = 0;
  virtual void SetSelLength(Long length) = 0;  // extends from the caret, cut at the end; < 0: 380
  virtual std::u16string SelText() const = 0;
  virtual void SetSelText(const std::u16string& text) = 0;  // replaces the selection

  virtual OleColor BackColor() const = 0;
  virtual void SetBackColor(OleColor color) = 0;
  virtual OleColor ForeColor() const = 0;
  virtual void SetForeColor(OleColor color) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Locked() const = 0;
  virtual void SetLocked(bool locked) = 0;
  virtual std::u16string ToolTipText() const = 0;
  virtual void SetToolTipText(const std::u16string& text) = 0;
  virtual std::shared_ptr<Font> GetFont() const = 0;  // the box's own font object
  virtual void SetFont(std::shared_ptr<Font> font) = 0;  // uses the given object itself

  virtual Single Left() const = 0;
  virtual Single Top() const = 0;
  virtual Single Width() const = 0;
  virtual void SetWidth(Single width) = 0;
  virtual Single Height() const = 0;
  virtual void SetHeight(Single height) = 0;

  virtual void SetFocus() = 0;  // invalid procedure call (5) when the box cannot take the focus
};

class SpinnerEvents {
 public:
  virtual void UpDown1_UpClick() = 0;    // one per press of the up arrow, whatever the spinner's value
  virtual void UpDown1_DownClick() = 0;  // one per press of the down arrow

 protected:
  ~SpinnerEvents() = default;
};

// The vertical up/down spinner, reached through the host's extender; numbers are twips.
class Spinner {
 public:
  virtual ~Spinner() = default;

  virtual void SetEvents(SpinnerEvents* events) = 0;  // null: no handlers

  virtual Single Left() const = 0;
  virtual void SetLeft(Single left) = 0;
  virtual Single Top() const = 0;
  virtual Single Width() const = 0;
  virtual Single Height() const = 0;
  virtual void SetHeight(Single height) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;  // disabled: the arrows have no effect
};

// Mouse events of the surface itself, arguments by reference, positions in twips.
class SurfaceEvents {
 public:
  virtual void UserControl_MouseMove(Integer& Button, Integer& Shift, Single& X, Single& Y) = 0;
  virtual void UserControl_MouseUp(Integer& Button, Integer& Shift, Single& X, Single& Y) = 0;
  virtual void UserControl_Resize() = 0;

 protected:
  ~SurfaceEvents() = default;
};

// The user-control surface that carries the text box and the spinner. It measures in twips.
class Surface {
 public:
  virtual ~Surface() = default;

  virtual void SetEvents(SurfaceEvents* events) = 0;  // null: no handlers

  virtual TextBox& txtFecha() = 0;
  virtual Spinner& UpDown1() = 0;

  virtual Single ScaleWidth() const = 0;  // inner width
  virtual Single ScaleHeight() const = 0;  // inner height

  virtual OleColor BackColor() const = 0;
  virtual void SetBackColor(OleColor color) = 0;
  virtual std::u16string FontName() const = 0;
  virtual void SetFontName(const std::u16string& name) = 0;
  virtual Integer MousePointer() const = 0;
  virtual void SetMousePointer(Integer pointer) = 0;  // invalid property value (380) out of range
  virtual Integer BorderStyle() const = 0;
  virtual Long hdc() const = 0;  // the surface's device context
};

}  // namespace marelco
