// Appearance and behaviour properties, passed through to the text box, the spinner or the surface. A setter
// assigns its target first and then tells the host; a value the target refuses leaves nothing marked.
#include "control/kalendo.h"
#include "dates/runtime_error.h"

namespace marelco {

OleColor Kalendo::BackColor() const { return txtFecha().BackColor(); }

void Kalendo::SetBackColor(OleColor color) {
  txtFecha().SetBackColor(color);
  host_.PropertyChanged(u"BackColor");
}

OleColor Kalendo::ForeColor() const { return txtFecha().ForeColor(); }

void Kalendo::SetForeColor(OleColor color) {
  txtFecha().SetForeColor(color);
  host_.PropertyChanged(u"ForeColor");
}

// The text box's own font object: changes made through it reach the text box at once.
std::shared_ptr<Font> Kalendo::GetFont() const { return txtFecha().GetFont(); }

void Kalendo::SetFont(std::shared_ptr<Font> font) {
  txtFecha().SetFont(std::move(font));
  host_.PropertyChanged(u"Font");
}

std::u16string Kalendo::ToolTipText() const { return txtFecha().ToolTipText(); }

void Kalendo::SetToolTipText(const std::u16string& text) {
  txtFecha().SetToolTipText(text);
  host_.PropertyChanged(u"ToolTipText");
}

// The text box alone answers; the spinner follows it on every assignment.
Boolean Kalendo::Enabled() const { return ToBoolean(txtFecha().Enabled()); }

void Kalendo::SetEnabled(Boolean enabled) {
  txtFecha().SetEnabled(enabled != kFalse);
  UpDown1().SetEnabled(enabled != kFalse);
  host_.PropertyChanged(u"Enabled");
}

Boolean Kalendo::Locked() const { return ToBoolean(txtFecha().Locked()); }

void Kalendo::SetLocked(Boolean locked) {
  txtFecha().SetLocked(locked != kFalse);
  host_.PropertyChanged(u"Locked");
}

Long Kalendo::SelStart() const { return txtFecha().SelStart(); }

void Kalendo::SetSelStart(Long start) {
  txtFecha().SetSelStart(start);
  host_.PropertyChanged(u"SelStart");
}

Long Kalendo::SelLength() const { return txtFecha().SelLength(); }

void Kalendo::SetSelLength(Long length) {
  txtFecha().SetSelLength(length);
  host_.PropertyChanged(u"SelLength");
}

std::u16string Kalendo::SelText() const { return txtFecha().SelText(); }

void Kalendo::SetSelText(const std::u16string& text) {
  txtFecha().SetSelText(text);
  host_.PropertyChanged(u"SelText");
}

Integer Kalendo::MousePointer() const { return surface_.MousePointer(); }

void Kalendo::SetMousePointer(Integer pointer) {
  surface_.SetMousePointer(pointer);
  host_.PropertyChanged(u"MousePointer");
}

// Kept, returned and saved only: no pointer shape ever shows it.
std::shared_ptr<Picture> Kalendo::MouseIcon() const { return mouseIcon_; }

void Kalendo::SetMouseIcon(std::shared_ptr<Picture> icon) {
  mouseIcon_ = std::move(icon);
  host_.PropertyChanged(u"MouseIcon");
}

Integer Kalendo::BorderStyle() const { return surface_.BorderStyle(); }

Long Kalendo::hdc() const { return surface_.hdc(); }

// The container's background colour and font name reach the surface only, never the constituents.
void Kalendo::AmbientChanged(AmbientProperty property) {
  switch (property) {
    case AmbientProperty::BackColor: surface_.SetBackColor(host_.AmbientBackColor()); break;
    case AmbientProperty::Font: {
      const std::shared_ptr<Font> ambient = host_.AmbientFont();
      if (!ambient) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
      surface_.SetFontName(ambient->attributes().name);
      break;
    }
  }
}

}  // namespace marelco
