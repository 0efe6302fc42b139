// The demo's form: three Kalendo controls, one for each format, beside a list of the events they raise.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "control/kalendo.h"
#include "win32/handles.h"
#include "win32/surface_window.h"
#include "win32/windows_gdi.h"

namespace marelco::demo {

class DemoForm {
 public:
  explicit DemoForm(const DateServices& dates);
  DemoForm(const DemoForm&) = delete;
  DemoForm& operator=(const DemoForm&) = delete;
  ~DemoForm();

  HWND hwnd() const { return window_.get(); }

  struct Field {
    std::u16string format;
    std::u16string text;
  };
  std::vector<Field> Fields() const;

  // Puts the caret into the month of one control (0, 1 or 2) and presses the Up arrow on the keyboard.
  void PressUpInMonth(size_t control);

 private:
  class EventLog;
  struct Row {
    std::unique_ptr<win32::SurfaceWindow> surface;
    std::unique_ptr<EventLog> log;
    std::unique_ptr<Kalendo> control;
  };

  void AddLabel(const wchar_t* text, int x, int y, int width);
  void AddRow(const DateServices& dates, const std::u16string& format, int y);

  win32::UniqueWindow window_;
  HWND eventList_ = nullptr;  // a child of the form, destroyed with it
  win32::WindowsGdi gdi_;
  std::vector<Row> rows_;
};

}  // namespace marelco::demo
