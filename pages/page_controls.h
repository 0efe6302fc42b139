// What the property page reaches: its combo box, its check boxes and the objects the host selected.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "control/platform/types.h"
#include "control/platform/variant.h"
#include "dates/runtime_error.h"

namespace marelco::pages {

// A combo box with an editable text field over a list of entries.
class ComboBox {
 public:
  virtual ~ComboBox() = default;
  virtual void AddItem(const std::u16string& item) = 0;  // appends to the list
  virtual int ListCount() const = 0;
  virtual std::u16string List(int index) const = 0;
  virtual std::u16string Text() const = 0;
  virtual void SetText(const std::u16string& text) = 0;  // any text, inside or outside the list
};

// A check box in state 0 (clear) or 1 (ticked).
class CheckBox {
 public:
  virtual ~CheckBox() = default;
  virtual int Value() const = 0;
  virtual void SetValue(int value) = 0;
};

// The platform's error for a member an object lacks: "Object doesn't support this property or method".
inline constexpr ErrorNumber kUnsupportedMember = static_cast<ErrorNumber>(438);

// One object of the host's selection, read and written late-bound by member name.
// Both calls may throw RuntimeError: a member the object lacks, a value it refuses.
class SelectedObject {
 public:
  virtual ~SelectedObject() = default;
  virtual Variant Get(std::u16string_view member) = 0;
  virtual void Set(std::u16string_view member, const Variant& value) = 0;
};

// In-memory controls: the page's state while it has no window, and the controls of tests.
class MemoryComboBox : public ComboBox {
 public:
  explicit MemoryComboBox(std::u16string text = {}) : text_(std::move(text)) {}
  void AddItem(const std::u16string& item) override { list_.push_back(item); }
  int ListCount() const override { return static_cast<int>(list_.size()); }
  std::u16string List(int index) const override { return list_.at(static_cast<std::size_t>(index)); }
  std::u16string Text() const override { return text_; }
  void SetText(const std::u16string& text) override { text_ = text; }

 private:
  std::vector<std::u16string> list_;
  std::u16string text_;
};

class MemoryCheckBox : public CheckBox {
 public:
  int Value() const override { return value_; }
  void SetValue(int value) override { value_ = value; }

 private:
  int value_ = 0;
};

}  // namespace marelco::pages
