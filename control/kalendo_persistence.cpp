// The lifecycle notifications of the host: a new instance, loading from and saving into its property bag,
// and the end. Keys are read and written in the one fixed order of the saved properties; loading stops at the
// first value that does not convert or is refused, leaving the keys before it applied.
#include "control/kalendo.h"
#include "control/platform/property_bag.h"

namespace marelco {
namespace {

constexpr char16_t kDefaultFormat[] = u"dd/mm/yyyy";

Variant ColorValue(OleColor color) { return Variant::FromLong(static_cast<Long>(color)); }

OleColor ColorOf(const Variant& value) { return static_cast<OleColor>(value.ToLong()); }

}  // namespace

std::span<const SavedProperty> Kalendo::SavedProperties() {
  using K = const Kalendo&;
  static const SavedProperty properties[] = {
      {u"Formato", [](K) { return Variant::FromString(kDefaultFormat); },
       [](K k) { return Variant::FromString(*k.formato_); },
       [](Kalendo& k, const Variant& v) { k.formato_ = KeptFormat(v.ToString()); }},
      // A date text in the form the format gives is not stored: it loads as the day's date. Any other text
      // that is a date is stored. A text that is no date has no formatted form to compare with; it is always
      // stored, so that loading gives it back instead of the day's date.
      {u"Text", [](K k) { return Variant::FromString(k.dates_.Format(k.txtFecha().Text(), *k.formato_)); },
       [](K k) { return Variant::FromString(k.txtFecha().Text()); },
       [](Kalendo& k, const Variant& v) { k.txtFecha().SetText(v.ToString()); },
       [](K k) {
         const std::u16string text = k.txtFecha().Text();
         return k.dates_.IsDate(text) ? Variant::FromString(k.dates_.Format(text, *k.formato_)) : Variant();
       }},
      {u"BackColor", [](K) { return ColorValue(kButtonFaceColor); },
       [](K k) { return ColorValue(k.txtFecha().BackColor()); },
       [](Kalendo& k, const Variant& v) { k.txtFecha().SetBackColor(ColorOf(v)); }},
      {u"Enabled", [](K) { return Variant::FromBoolean(kTrue); },
       [](K k) { return Variant::FromBoolean(ToBoolean(k.txtFecha().Enabled())); },
       [](Kalendo& k, const Variant& v) { k.SetEnabled(v.ToBoolean()); }},
      {u"Font", [](K k) { return Variant::FromFont(k.host_.AmbientFont()); },
       [](K k) { return Variant::FromFont(k.GetFont()); },
       [](Kalendo& k, const Variant& v) { k.SetFont(v.ToFont()); }},
      {u"ForeColor", [](K) { return ColorValue(kWindowTextColor); },
       [](K k) { return ColorValue(k.txtFecha().ForeColor()); },
       [](Kalendo& k, const Variant& v) { k.txtFecha().SetForeColor(ColorOf(v)); }},
      {u"ToolTipText", [](K) { return Variant::FromString(u""); },
       [](K k) { return Variant::FromString(k.txtFecha().ToolTipText()); },
       [](Kalendo& k, const Variant& v) { k.txtFecha().SetToolTipText(v.ToString()); }},
      {u"Locked", [](K) { return Variant::FromBoolean(kFalse); },
       [](K k) { return Variant::FromBoolean(ToBoolean(k.txtFecha().Locked())); },
       [](Kalendo& k, const Variant& v) { k.txtFecha().SetLocked(v.ToBoolean() != kFalse); }},
      {u"MousePointer", [](K) { return Variant::FromInteger(0); },
       [](K k) { return Variant::FromInteger(k.surface_.MousePointer()); },
       [](Kalendo& k, const Variant& v) { k.surface_.SetMousePointer(v.ToInteger()); }},
      {u"MouseIcon", [](K) { return Variant::FromPicture(nullptr); },
       [](K k) { return Variant::FromPicture(k.mouseIcon_); },
       [](Kalendo& k, const Variant& v) { k.mouseIcon_ = v.ToPicture(); }},
      // The selection comes back without touching the text. The length, read first, selects from the start
      // of the text; the start, read next, moves the caret, which collapses the selection, and selects that
      // length again from there. Both are cut at the end of the text, as the text box cuts them.
      {u"SelLength", [](K) { return Variant::FromInteger(0); },
       [](K k) { return Variant::FromLong(k.txtFecha().SelLength()); },
       [](Kalendo& k, const Variant& v) {
         k.txtFecha().SetSelStart(0);
         k.txtFecha().SetSelLength(v.ToLong());
       }},
      {u"SelStart", [](K) { return Variant::FromInteger(0); },
       [](K k) { return Variant::FromLong(k.txtFecha().SelStart()); },
       [](Kalendo& k, const Variant& v) {
         const Long length = k.txtFecha().SelLength();
         k.txtFecha().SetSelStart(v.ToLong());
         k.txtFecha().SetSelLength(length);
       }},
      // The selected text is saved as every version saves it. Writing it back on loading would put it into
      // the date: it is read (a value that is no text is refused, as under every key) and goes nowhere.
      {u"SelText", [](K) { return Variant::FromString(u""); },
       [](K k) { return Variant::FromString(k.txtFecha().SelText()); },
       [](Kalendo&, const Variant& v) { static_cast<void>(v.ToString()); }},
  };
  return properties;
}

void Kalendo::InitProperties() {
  formato_ = KeptFormat(kDefaultFormat);
  mouseIcon_ = MakeEmptyPicture();
}

void Kalendo::ReadProperties(PropertyBag& bag) {
  for (const SavedProperty& property : SavedProperties()) {
    property.target(*this, bag.ReadProperty(property.key, property.defaultValue(*this)));
  }
}

void Kalendo::WriteProperties(PropertyBag& bag) {
  for (const SavedProperty& property : SavedProperties()) {
    const auto savedDefault = property.savedDefault ? property.savedDefault : property.defaultValue;
    bag.WriteProperty(property.key, property.source(*this), savedDefault(*this));
  }
}

// The end saves, changes and raises nothing; the mouse icon goes with the instance.
void Kalendo::Terminate() {}

}  // namespace marelco
