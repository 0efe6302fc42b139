// A host for tests: it records every event and property-change notice in order, and runs the scripted
// handler of an event, if any, after recording it. Handlers receive the control's own variables.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "control/platform/font.h"
#include "control/platform/host.h"

namespace marelco::test {

// ASCII view of a UTF-16 text for logs and messages; anything else shows as '?'.
inline std::string Narrow(std::u16string_view text) {
  std::string narrow;
  for (char16_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
  return narrow;
}

class RecordingHost : public Host {
 public:
  using Log = std::vector<std::string>;

  // Entries: "PropertyChanged Text", "Change", "Click", "DblClick", "KeyDown 38 0", "KeyPress 97",
  // "KeyUp 38 0", "MouseMove 1 0 120 45", "MouseUp 1 0 120 45" (arguments as the control passed them).
  Log log;

  std::function<void(std::u16string_view name)> onPropertyChanged;
  std::function<void()> onChange;
  std::function<void()> onClick;
  std::function<void()> onDblClick;
  std::function<void(Integer& KeyCode, Integer& Shift)> onKeyDown;
  std::function<void(Integer& KeyAscii)> onKeyPress;
  std::function<void(Integer& KeyCode, Integer& Shift)> onKeyUp;
  std::function<void(Integer& Button, Integer& Shift, Single& X, Single& Y)> onMouseMove;
  std::function<void(Integer& Button, Integer& Shift, Single& X, Single& Y)> onMouseUp;

  OleColor ambientBackColor = kButtonFaceColor;
  std::shared_ptr<Font> ambientFont = MakeFont();

  // The log so far, which is then emptied.
  Log Take() { return std::exchange(log, {}); }
  // How many entries equal entry.
  std::size_t Count(std::string_view entry) const { return std::count(log.begin(), log.end(), entry); }

  void PropertyChanged(std::u16string_view name) override {
    Record("PropertyChanged", Narrow(name));
    if (auto copy = onPropertyChanged) copy(name);
  }
  OleColor AmbientBackColor() override { return ambientBackColor; }
  std::shared_ptr<Font> AmbientFont() override { return ambientFont; }

  void Change() override { Raise(onChange, "Change"); }
  void Click() override { Raise(onClick, "Click"); }
  void DblClick() override { Raise(onDblClick, "DblClick"); }
  void KeyDown(Integer& KeyCode, Integer& Shift) override { Raise(onKeyDown, "KeyDown", KeyCode, Shift); }
  void KeyPress(Integer& KeyAscii) override { Raise(onKeyPress, "KeyPress", KeyAscii); }
  void KeyUp(Integer& KeyCode, Integer& Shift) override { Raise(onKeyUp, "KeyUp", KeyCode, Shift); }
  void MouseMove(Integer& Button, Integer& Shift, Single& X, Single& Y) override {
    Raise(onMouseMove, "MouseMove", Button, Shift, X, Y);
  }
  void MouseUp(Integer& Button, Integer& Shift, Single& X, Single& Y) override {
    Raise(onMouseUp, "MouseUp", Button, Shift, X, Y);
  }

 private:
  // Records the event, then runs a copy of its handler, so that a handler may replace itself.
  template <class Handler, class... Args>
  void Raise(const Handler& handler, std::string_view name, Args&... args) {
    Record(name, args...);
    if (Handler copy = handler) copy(args...);
  }

  template <class... Args>
  void Record(std::string_view name, const Args&... args) {
    std::ostringstream entry;
    entry << name;
    ((entry << ' ' << args), ...);
    log.push_back(entry.str());
  }
};

}  // namespace marelco::test
