// The host of a Kalendo instance: it hears of property changes, supplies ambient values and receives
// the control's events (the source interface __Kalendo), with every argument by reference.
#pragma once

#include <memory>
#include <string_view>

#include "control/platform/font.h"
#include "control/platform/types.h"

namespace marelco {

// The ambient properties of the container that the control follows.
enum class AmbientProperty { BackColor, Font };

class Host {
 public:
  virtual ~Host() = default;

  // The persisted property of that name has a new value.
  virtual void PropertyChanged(std::u16string_view name) = 0;

  virtual OleColor AmbientBackColor() = 0;
  virtual std::shared_ptr<Font> AmbientFont() = 0;

  // Events; a handler may throw RuntimeError, which ends the raising handler of the control.
  virtual void Change() = 0;
  virtual void Click() = 0;
  virtual void DblClick() = 0;
  virtual void KeyDown(Integer& KeyCode, Integer& Shift) = 0;
  virtual void KeyPress(Integer& KeyAscii) = 0;
  virtual void KeyUp(Integer& KeyCode, Integer& Shift) = 0;
  virtual void MouseMove(Integer& Button, Integer& Shift, Single& X, Single& Y) = 0;
  virtual void MouseUp(Integer& Button, Integer& Shift, Single& X, Single& Y) = 0;
};

}  // namespace marelco
