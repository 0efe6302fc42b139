// The demo's form, a small OLE container: three Kalendo controls from the registered Marelco.ocx, one for
// each format, beside the log of their events and property changes, and the buttons a form designer offers
// for the control the user worked in last.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "demo/control_site.h"
#include "demo/property_bag.h"

namespace marelco::demo {

class DemoForm {
 public:
  DemoForm();
  DemoForm(const DemoForm&) = delete;
  DemoForm& operator=(const DemoForm&) = delete;
  ~DemoForm();

  HWND hwnd() const { return window_; }
  // False when a control could not be created, most likely because Marelco.ocx is not registered.
  bool complete() const { return complete_; }

  // Gives the active control, then the form's Tab navigation, a look at a message; true when it was used.
  bool PreTranslateMessage(MSG& message);
  void Log(const std::wstring& line);

  // The buttons. Each works on the control the user worked in last.
  void ShowProperties();
  void ShowAbout();
  void Save();
  void Load();

  // Puts the caret into the month of one control (0, 1 or 2) and presses the Up arrow on the keyboard.
  void PressUpInMonth(size_t control);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void AddLabel(const wchar_t* text, int x, int y, int width);
  void AddButton(const wchar_t* text, int id, int x, int y, int width);
  void AddControl(const wchar_t* format, int y);
  void Activated(ControlSite& site);
  void LogFailure(const wchar_t* what, HRESULT result);
  void CloseControls();

  HWND window_ = nullptr;
  HWND eventList_ = nullptr;  // a child of the form, destroyed with it
  Frame frame_;
  ComPtr<IFontDisp> font_;
  std::vector<std::unique_ptr<ControlSite>> sites_;
  ControlSite* current_ = nullptr;
  std::unique_ptr<PropertyBag> saved_;
  bool complete_ = true;
};

}  // namespace marelco::demo
