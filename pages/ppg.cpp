#include "pages/ppg.h"

#include <limits>

#include "dates/runtime_error.h"

namespace marelco::pages {

ppg::ppg(ComboBox& cboFormato, CheckBox& chkLocked, CheckBox& chkEnabled)
    : cboFormato_(cboFormato), chkLocked_(chkLocked), chkEnabled_(chkEnabled) {
  for (const char16_t* format : kFormatChoices) cboFormato_.AddItem(format);
}

void ppg::SetSelection(Selection objects) {
  selected_ = std::move(objects);
  PropertyPage_SelectionChanged();
}

// Each object overwrites what the one before it showed, so the page shows the last one's values.
void ppg::PropertyPage_SelectionChanged() {
  // The selection is walked with a 16-bit signed index: its last index must be an Integer.
  constexpr std::size_t kMostObjects = std::size_t{std::numeric_limits<Integer>::max()} + 1;
  if (selected_.size() > kMostObjects) throw RuntimeError(ErrorNumber::Overflow);
  for (const auto& object : selected_) ShowValuesOf(*object);
}

void ppg::ShowValuesOf(SelectedObject& object) {
  SetComboText(object.Get(u"Formato").ToString());
  SetCheck(chkLocked_, object.Get(u"Locked").ToLong() & 1);
  SetCheck(chkEnabled_, object.Get(u"Enabled").ToLong() & 1);
}

// Every selected object receives the same three values; the first error ends the apply.
void ppg::ApplyChanges() {
  const Variant format = Variant::FromString(cboFormato_.Text());
  const Variant locked = Variant::FromBoolean(ToBoolean(chkLocked_.Value() == 1));
  const Variant enabled = Variant::FromBoolean(ToBoolean(chkEnabled_.Value() == 1));
  for (const auto& object : selected_) {
    object->Set(u"Formato", format);
    object->Set(u"Locked", locked);
    object->Set(u"Enabled", enabled);
  }
}

// The page's own updates mark it changed like the user's edits, when they change what a control shows.
void ppg::SetComboText(const std::u16string& text) {
  if (cboFormato_.Text() == text) return;
  cboFormato_.SetText(text);
  MarkChanged();  // as the combo box's Change would
}

void ppg::SetCheck(CheckBox& box, int value) {
  if (box.Value() == value) return;
  box.SetValue(value);
  MarkChanged();  // as the check box's Click would
}

void ppg::MarkChanged() {
  changed_ = true;
  if (changed_listener_) changed_listener_();
}

}  // namespace marelco::pages
