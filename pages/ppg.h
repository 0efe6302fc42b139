// ppg, the control's property page: the format and the Locked and Enabled flags of the selected controls.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pages/page_controls.h"

namespace marelco::pages {

using Selection = std::vector<std::shared_ptr<SelectedObject>>;

// The formats offered by the list of cboFormato, in their order.
inline constexpr const char16_t* kFormatChoices[] = {u"dd/mm/yyyy", u"dd/mmm/yyyy", u"dd/mmmm/yyyy"};

class ppg {
 public:
  // Fills the list of cboFormato. The controls must outlive the page.
  ppg(ComboBox& cboFormato, CheckBox& chkLocked, CheckBox& chkEnabled);

  // The host's side: a new selection (shown at once), applying, and the changed mark.
  void SetSelection(Selection objects);
  const Selection& SelectedControls() const { return selected_; }
  void ApplyChanges();
  bool Changed() const { return changed_; }
  void ClearChanged() { changed_ = false; }  // the host's frame does this after an apply
  void OnChanged(std::function<void()> listener) { changed_listener_ = std::move(listener); }

  // The user's edits, raised by the page's window.
  void cboFormato_Change() { MarkChanged(); }
  void cboFormato_Click() { MarkChanged(); }
  void chkLocked_Click() { MarkChanged(); }
  void chkEnabled_Click() { MarkChanged(); }

 private:
  void PropertyPage_SelectionChanged();
  void ShowValuesOf(SelectedObject& object);
  void SetComboText(const std::u16string& text);
  void SetCheck(CheckBox& box, int value);
  void MarkChanged();

  ComboBox& cboFormato_;
  CheckBox& chkLocked_;
  CheckBox& chkEnabled_;
  Selection selected_;
  bool changed_ = false;
  std::function<void()> changed_listener_;
};

}  // namespace marelco::pages
