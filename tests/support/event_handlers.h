// Handlers of the constituents' events for tests: each event calls the function given for it, if there is one.
#pragma once

#include <functional>

#include "control/platform/constituents.h"

namespace marelco {

struct TextBoxHandlers final : TextBoxEvents {
  std::function<void()> Change, LostFocus, Click, DblClick;
  std::function<void(Integer& KeyCode, Integer& Shift)> KeyDown, KeyUp;
  std::function<void(Integer& KeyAscii)> KeyPress;
  std::function<void(bool awayFromUser)> MouseWheel;

  void txtFecha_Change() override { Call(Change); }
  void txtFecha_KeyDown(Integer& KeyCode, Integer& Shift) override { Call(KeyDown, KeyCode, Shift); }
  void txtFecha_KeyPress(Integer& KeyAscii) override { Call(KeyPress, KeyAscii); }
  void txtFecha_KeyUp(Integer& KeyCode, Integer& Shift) override { Call(KeyUp, KeyCode, Shift); }
  void txtFecha_LostFocus() override { Call(LostFocus); }
  void txtFecha_Click() override { Call(Click); }
  void txtFecha_DblClick() override { Call(DblClick); }
  void txtFecha_MouseWheel(bool awayFromUser) override { Call(MouseWheel, awayFromUser); }

  template <class Handler, class... Args>
  static void Call(const Handler& handler, Args&&... args) {
    if (handler) handler(args...);
  }
};

struct SpinnerHandlers final : SpinnerEvents {
  std::function<void()> UpClick, DownClick;

  void UpDown1_UpClick() override { TextBoxHandlers::Call(UpClick); }
  void UpDown1_DownClick() override { TextBoxHandlers::Call(DownClick); }
};

struct SurfaceHandlers final : SurfaceEvents {
  std::function<void(Integer& Button, Integer& Shift, Single& X, Single& Y)> MouseMove, MouseUp;
  std::function<void()> Resize;

  void UserControl_MouseMove(Integer& Button, Integer& Shift, Single& X, Single& Y) override {
    TextBoxHandlers::Call(MouseMove, Button, Shift, X, Y);
  }
  void UserControl_MouseUp(Integer& Button, Integer& Shift, Single& X, Single& Y) override {
    TextBoxHandlers::Call(MouseUp, Button, Shift, X, Y);
  }
  void UserControl_Resize() override { TextBoxHandlers::Call(Resize); }
};

}  // namespace marelco
