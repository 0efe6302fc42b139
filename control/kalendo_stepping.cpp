// Stepping the day, month or year under the caret by one unit, forwards or backwards. A step reads the
// text, the caret and the format afresh after every call that can run the host's code (giving the text box
// the focus, writing the text), writes the new date back in the current format (the text box raises Change
// at that moment, so the host's handler runs inside the step) and selects the field the caret was in. Any
// run-time error ends a step silently, keeping what was done by then.
#include "control/date_fields.h"
#include "control/kalendo.h"

namespace marelco {

void Kalendo::CambiaFecha(Boolean& Incremento) { StepDate(Incremento, UnitRule::ByPosition); }

void Kalendo::CambiaFecha2(Boolean& Incremento) { StepDate(Incremento, UnitRule::ByFormat); }

SeparatorPositions Kalendo::SeparatorsOf(const std::u16string& text) const {
  return FindSeparators(text, Separador(dates_, text));
}

void Kalendo::StepDate(const Boolean& Incremento, UnitRule rule) {
  try {
    const SeparatorPositions before = SeparatorsOf(txtFecha().Text());

    if (txtFecha().SelStart() == 0) txtFecha().SetFocus();
    const Byte P(txtFecha().SelStart());

    const std::u16string text = txtFecha().Text();
    Date D = dates_.ToDate(text);
    const Integer N = Incremento != kFalse ? 1 : -1;

    const std::optional<DateUnit> unit = rule == UnitRule::ByPosition
                                             ? FieldByPosition(P, before, Len(text))
                                             : FieldByFormat(P, before, Formato(), Separador(dates_, text));
    if (unit) D = dates_.DateAdd(*unit, N, D);
    txtFecha().SetText(dates_.Format(D, Formato()));

    // The host's Change handler has run: the new text is read afresh.
    const std::u16string written = txtFecha().Text();
    const SeparatorPositions after = SeparatorsOf(written);
    txtFecha().SetSelStart(P.value());
    if (const auto field = FieldByPosition(P, after, Len(written))) {
      const FieldSelection selection = SelectionOf(*field, after, Len(written));
      txtFecha().SetSelStart(selection.start.value());
      txtFecha().SetSelLength(selection.length.value());
    }
  } catch (const RuntimeError&) {
    // The step ends here and reports success; whatever it did before the error stays done.
  }
}

}  // namespace marelco
