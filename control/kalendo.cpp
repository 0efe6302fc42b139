// The date text and its format, and the handlers that pass the constituents' events on to the host.
// The date lives only in the text box: every operation reads it afresh and writes its result back.
#include "control/kalendo.h"

#include "control/platform/keys.h"

namespace marelco {
namespace {

constexpr char16_t kInitialFormat[] = u"dd/mm/yyyy";

}  // namespace

Kalendo::Kalendo(Surface& surface, Host& host, const DateServices& dates, Gdi& gdi)
    : surface_(surface), host_(host), dates_(dates), gdi_(gdi) {
  txtFecha().SetEvents(this);
  UpDown1().SetEvents(this);
  surface_.SetEvents(this);

  // The control's initialisation: the format, and today's date in it.
  formato_ = KeptFormat(kInitialFormat);
  txtFecha().SetText(dates_.Format(dates_.Now(), *formato_));
}

// The constituents may outlive the control: they must not call into it afterwards.
Kalendo::~Kalendo() {
  txtFecha().SetEvents(nullptr);
  UpDown1().SetEvents(nullptr);
  surface_.SetEvents(nullptr);
}

// ---- Text and Formato ----

std::shared_ptr<const std::u16string> Kalendo::KeptFormat(const std::u16string& format) {
  static const std::u16string standard[] = {u"dd/mm/yyyy", u"dd/mmm/yyyy", u"dd/mmmm/yyyy"};
  for (const std::u16string& each : standard) {
    if (each == format) return {std::shared_ptr<const void>(), &each};  // lives as long as the program
  }
  return std::make_shared<const std::u16string>(format);
}

std::u16string Kalendo::Text() const { return txtFecha().Text(); }

// Whatever the text holds, it goes through the format; nothing is checked here.
void Kalendo::SetText(const std::u16string& text) {
  const std::u16string given = text;
  const std::u16string format = Formato();
  txtFecha().SetText(dates_.Format(given, format));
  host_.PropertyChanged(u"Text");
}

std::u16string Kalendo::Formato() const { return *formato_; }

// The format is stored first, then the text is rewritten in it, even when it is the same format.
void Kalendo::SetFormato(const std::u16string& format) {
  formato_ = KeptFormat(format);
  txtFecha().SetText(dates_.Format(txtFecha().Text(), *formato_));
  host_.PropertyChanged(u"Formato");
}

// A text that is a date is rewritten in the current format; any other text stays as the user left it.
void Kalendo::txtFecha_LostFocus() {
  if (!dates_.IsDate(txtFecha().Text())) return;
  txtFecha().SetText(dates_.Format(txtFecha().Text(), *formato_));
}

// ---- Events passed on to the host ----

void Kalendo::txtFecha_Change() { host_.Change(); }

void Kalendo::txtFecha_Click() { host_.Click(); }

void Kalendo::txtFecha_DblClick() { host_.DblClick(); }

// The host sees the key first; an Up or Down arrow it leaves in place steps the date and is consumed.
void Kalendo::txtFecha_KeyDown(Integer& KeyCode, Integer& Shift) {
  host_.KeyDown(KeyCode, Shift);
  if (KeyCode != vk::Up && KeyCode != vk::Down) return;
  Step(KeyCode == vk::Up);
  KeyCode = 0;
}

void Kalendo::txtFecha_KeyPress(Integer& KeyAscii) { host_.KeyPress(KeyAscii); }

void Kalendo::txtFecha_KeyUp(Integer& KeyCode, Integer& Shift) { host_.KeyUp(KeyCode, Shift); }

// A notch of the wheel steps as a click of the spinner does, forwards for a notch away from the user; the host
// hears only the Change of the new date.
void Kalendo::txtFecha_MouseWheel(bool awayFromUser) { Step(awayFromUser); }

void Kalendo::UpDown1_UpClick() { Step(true); }

void Kalendo::UpDown1_DownClick() { Step(false); }

// The step that the arrow keys, the spinner and the wheel ask for.
void Kalendo::Step(bool forwards) {
  Boolean Incremento = ToBoolean(forwards);
  CambiaFecha2(Incremento);
}

void Kalendo::UserControl_MouseMove(Integer& Button, Integer& Shift, Single& X, Single& Y) {
  host_.MouseMove(Button, Shift, X, Y);
}

void Kalendo::UserControl_MouseUp(Integer& Button, Integer& Shift, Single& X, Single& Y) {
  host_.MouseUp(Button, Shift, X, Y);
}

}  // namespace marelco
