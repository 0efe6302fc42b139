// The lifecycle notifications of the host: a new instance, loading from and saving into its property bag,
// and the end. Keys are read and written in one fixed order; loading stops at the first value that does not
// convert or is refused, leaving the keys before it applied.
#include "control/kalendo.h"
#include "control/platform/property_bag.h"

namespace marelco {
namespace {

constexpr char16_t kDefaultFormat[] = u"dd/mm/yyyy";

Variant ColorValue(OleColor color) { return Variant::FromLong(static_cast<Long>(color)); }

OleColor ColorOf(const Variant& value) { return static_cast<OleColor>(value.ToLong()); }

}  // namespace

void Kalendo::InitProperties() {
  formato_ = kDefaultFormat;
  mouseIcon_ = MakeEmptyPicture();
}

void Kalendo::ReadProperties(PropertyBag& bag) {
  formato_ = bag.ReadProperty(u"Formato", Variant::FromString(kDefaultFormat)).ToString();
  const std::u16string textDefault = dates_.Format(txtFecha().Text(), formato_);
  txtFecha().SetText(bag.ReadProperty(u"Text", Variant::FromString(textDefault)).ToString());
  txtFecha().SetBackColor(ColorOf(bag.ReadProperty(u"BackColor", ColorValue(kButtonFaceColor))));
  SetEnabled(bag.ReadProperty(u"Enabled", Variant::FromBoolean(kTrue)).ToBoolean());
  SetFont(bag.ReadProperty(u"Font", Variant::FromFont(host_.AmbientFont())).ToFont());
  txtFecha().SetForeColor(ColorOf(bag.ReadProperty(u"ForeColor", ColorValue(kWindowTextColor))));
  txtFecha().SetToolTipText(bag.ReadProperty(u"ToolTipText", Variant::FromString(u"")).ToString());
  txtFecha().SetLocked(bag.ReadProperty(u"Locked", Variant::FromBoolean(kFalse)).ToBoolean() != kFalse);
  surface_.SetMousePointer(bag.ReadProperty(u"MousePointer", Variant::FromInteger(0)).ToInteger());
  mouseIcon_ = bag.ReadProperty(u"MouseIcon", Variant::FromPicture(nullptr)).ToPicture();
  txtFecha().SetSelLength(bag.ReadProperty(u"SelLength", Variant::FromInteger(0)).ToLong());
  txtFecha().SetSelStart(bag.ReadProperty(u"SelStart", Variant::FromInteger(0)).ToLong());
  txtFecha().SetSelText(bag.ReadProperty(u"SelText", Variant::FromString(u"")).ToString());
}

void Kalendo::WriteProperties(PropertyBag& bag) {
  bag.WriteProperty(u"Formato", Variant::FromString(formato_), Variant::FromString(kDefaultFormat));
  // A date text in the form the format gives is not stored: it loads as the day's date. Any other text that
  // is a date is stored. A text that is no date has no formatted form to compare with; it is always stored,
  // so that loading gives it back instead of the day's date.
  const std::u16string text = txtFecha().Text();
  const Variant textDefault = dates_.IsDate(text) ? Variant::FromString(dates_.Format(text, formato_)) : Variant();
  bag.WriteProperty(u"Text", Variant::FromString(text), textDefault);
  bag.WriteProperty(u"BackColor", ColorValue(txtFecha().BackColor()), ColorValue(kButtonFaceColor));
  bag.WriteProperty(u"Enabled", Variant::FromBoolean(ToBoolean(txtFecha().Enabled())), Variant::FromBoolean(kTrue));
  bag.WriteProperty(u"Font", Variant::FromFont(GetFont()), Variant::FromFont(host_.AmbientFont()));
  bag.WriteProperty(u"ForeColor", ColorValue(txtFecha().ForeColor()), ColorValue(kWindowTextColor));
  bag.WriteProperty(u"ToolTipText", Variant::FromString(txtFecha().ToolTipText()), Variant::FromString(u""));
  bag.WriteProperty(u"Locked", Variant::FromBoolean(ToBoolean(txtFecha().Locked())), Variant::FromBoolean(kFalse));
  bag.WriteProperty(u"MousePointer", Variant::FromInteger(surface_.MousePointer()), Variant::FromInteger(0));
  bag.WriteProperty(u"MouseIcon", Variant::FromPicture(mouseIcon_), Variant::FromPicture(nullptr));
  bag.WriteProperty(u"SelLength", Variant::FromLong(txtFecha().SelLength()), Variant::FromInteger(0));
  bag.WriteProperty(u"SelStart", Variant::FromLong(txtFecha().SelStart()), Variant::FromInteger(0));
  bag.WriteProperty(u"SelText", Variant::FromString(txtFecha().SelText()), Variant::FromString(u""));
}

// The end saves, changes and raises nothing; the mouse icon goes with the instance.
void Kalendo::Terminate() {}

}  // namespace marelco
