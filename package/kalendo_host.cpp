// The host side of the portable Kalendo: its property changes, ambient properties and events, as calls on the
// container.
#include <algorithm>

#include "package/kalendo_object.h"
#include "package/ole_objects.h"

namespace marelco {
namespace {

// The persisted properties whose changes show in the control's picture; a new text comes with Change.
constexpr std::u16string_view kShownProperties[] = {u"BackColor", u"ForeColor", u"Font", u"Enabled", u"Locked",
                                                     u"Formato"};

void ByReference(VARIANT& argument, Integer* value) {
  V_VT(&argument) = VT_BYREF | VT_I2;
  V_I2REF(&argument) = value;
}

void ByReference(VARIANT& argument, Single* value) {
  V_VT(&argument) = VT_BYREF | VT_R4;
  V_R4REF(&argument) = value;
}

}  // namespace

void KalendoObject::CoreHost::PropertyChanged(std::u16string_view name) {
  control_.persistence_.Changed();
  if (std::ranges::find(kShownProperties, name) != std::end(kShownProperties)) control_.view_.PictureChanged();
  std::wstring member(WideView(name));
  LPOLESTR names[] = {member.data()};
  DISPID id = DISPID_UNKNOWN;
  control_.shared_->dispatch->GetIDsOfNames(names, 1, &id);
  control_.events_.PropertyChanged(id);
}

void KalendoObject::CoreHost::Ambient(DISPID id, VARIANT* value) {
  VariantInit(value);
  auto ambients = control_.inPlace_.SiteAs<IDispatch>();
  if (!ambients) return;
  DISPPARAMS none = {};
  if (FAILED(ambients->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr,
                              nullptr)))
    VariantClear(value);
}

OleColor KalendoObject::CoreHost::AmbientBackColor() {
  OleVariant color;
  Ambient(DISPID_AMBIENT_BACKCOLOR, color.get());
  if (FAILED(VariantChangeType(color.get(), color.get(), 0, VT_UI4))) return kButtonFaceColor;
  return V_UI4(color.get());
}

std::shared_ptr<Font> KalendoObject::CoreHost::AmbientFont() {
  OleVariant font;
  Ambient(DISPID_AMBIENT_FONT, font.get());
  if ((V_VT(font.get()) == VT_DISPATCH || V_VT(font.get()) == VT_UNKNOWN) && V_UNKNOWN(font.get())) {
    if (auto ambient = FromFontDisp(V_UNKNOWN(font.get()))) return ambient;
  }
  return MakeOleFont(Font::Attributes{});
}

void KalendoObject::CoreHost::Change() {
  control_.view_.PictureChanged();
  control_.events_.Fire(DISPID_KALENDO_CHANGE);
}
void KalendoObject::CoreHost::Click() { control_.events_.Fire(DISPID_CLICK); }
void KalendoObject::CoreHost::DblClick() { control_.events_.Fire(DISPID_DBLCLICK); }

void KalendoObject::CoreHost::FireKeyEvent(DISPID id, std::span<VARIANT> arguments, Integer& key) {
  const auto alive = control_.KeepAlive();
  const unsigned closes = control_.events_.closes();
  control_.events_.Fire(id, arguments);
  if (control_.events_.closes() != closes || !control_.surface_.hwnd()) key = 0;
}

void KalendoObject::CoreHost::KeyDown(Integer& KeyCode, Integer& Shift) {
  VARIANT arguments[2];
  ByReference(arguments[0], &Shift);
  ByReference(arguments[1], &KeyCode);
  FireKeyEvent(DISPID_KEYDOWN, arguments, KeyCode);
}

void KalendoObject::CoreHost::KeyPress(Integer& KeyAscii) {
  VARIANT arguments[1];
  ByReference(arguments[0], &KeyAscii);
  FireKeyEvent(DISPID_KEYPRESS, arguments, KeyAscii);
}

void KalendoObject::CoreHost::KeyUp(Integer& KeyCode, Integer& Shift) {
  VARIANT arguments[2];
  ByReference(arguments[0], &Shift);
  ByReference(arguments[1], &KeyCode);
  FireKeyEvent(DISPID_KEYUP, arguments, KeyCode);
}

void KalendoObject::CoreHost::FireMouseEvent(DISPID id, Integer& Button, Integer& Shift, Single& X, Single& Y) {
  VARIANT arguments[4];
  ByReference(arguments[0], &Y);
  ByReference(arguments[1], &X);
  ByReference(arguments[2], &Shift);
  ByReference(arguments[3], &Button);
  control_.events_.Fire(id, arguments);
}

void KalendoObject::CoreHost::MouseMove(Integer& Button, Integer& Shift, Single& X, Single& Y) {
  FireMouseEvent(DISPID_KALENDO_MOUSEMOVE, Button, Shift, X, Y);
}

void KalendoObject::CoreHost::MouseUp(Integer& Button, Integer& Shift, Single& X, Single& Y) {
  FireMouseEvent(DISPID_KALENDO_MOUSEUP, Button, Shift, X, Y);
}

}  // namespace marelco
