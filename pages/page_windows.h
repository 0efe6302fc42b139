// The page's controls as windows: their state lives in memory while the page has no window.
#pragma once

#include <windows.h>

#include "pages/page_controls.h"

namespace marelco::pages {

class ComboBoxWindow : public ComboBox {
 public:
  explicit ComboBoxWindow(std::u16string text) : state_(std::move(text)) {}
  void Attach(HWND window);  // the window takes over the list and the text
  void Detach();             // the text the window held stays

  void AddItem(const std::u16string& item) override;
  int ListCount() const override { return state_.ListCount(); }
  std::u16string List(int index) const override { return state_.List(index); }
  std::u16string Text() const override;
  void SetText(const std::u16string& text) override;

 private:
  MemoryComboBox state_;
  HWND window_ = nullptr;
};

class CheckBoxWindow : public CheckBox {
 public:
  void Attach(HWND window);
  void Detach();

  int Value() const override;
  void SetValue(int value) override;

 private:
  MemoryCheckBox state_;
  HWND window_ = nullptr;
};

}  // namespace marelco::pages
