// Stepping the day, month or year under the caret by one unit, forwards or backwards. A step reads the
// text, the caret and the format afresh at every use, writes the new date back in the current format
// (the text box raises Change at that moment, so the host's handler runs inside the step) and selects
// the field the caret was in. Any run-time error ends a step silently, keeping what was done by then.
#include <compare>
#include <cstdint>

#include "control/kalendo.h"
#include "dates/runtime_error.h"

namespace marelco {
namespace {

// Positions, lengths and field numbers of a step are 8-bit unsigned numbers: a value outside 0 to 255,
// stored or computed, is an overflow.
class Byte {
 public:
  explicit Byte(std::int64_t value) : value_(Checked(value)) {}

  std::uint8_t value() const { return value_; }

  friend Byte operator-(Byte a, Byte b) { return Byte(std::int64_t{a.value_} - b.value_); }
  friend auto operator<=>(Byte, Byte) = default;

 private:
  static std::uint8_t Checked(std::int64_t value) {
    if (value < 0 || value > 255) throw RuntimeError(ErrorNumber::Overflow);
    return static_cast<std::uint8_t>(value);
  }

  std::uint8_t value_;
};

const Byte kOne(1);

// The field (1, 2 or 3) of caret position P against separator positions S1 and S2.
Byte CampoCursor(Byte P, Byte S1, Byte S2) {
  if (P >= S2) return Byte(3);
  if (P >= S1) return Byte(2);
  return Byte(1);
}

}  // namespace

struct Kalendo::Separators {
  Byte S1;
  Byte S2;
};

void Kalendo::CambiaFecha(Boolean& Incremento) { StepDate(Incremento, UnitRule::ByPosition); }

void Kalendo::CambiaFecha2(Boolean& Incremento) { StepDate(Incremento, UnitRule::ByFormat); }

// The first separator searched from the start, the second from just behind the first; each search
// reads the text and asks Separador afresh.
Kalendo::Separators Kalendo::FindSeparators() const {
  const std::u16string firstText = txtFecha().Text();
  const std::u16string firstSep = Separador();
  const Byte S1(InStr(1, firstText, firstSep));
  const std::u16string secondText = txtFecha().Text();
  const std::u16string secondSep = Separador();
  const Byte S2(InStr(S1.value() + 1, secondText, secondSep));
  return {S1, S2};
}

// The field (1, 2 or 3) of the first occurrence of letter in the format F, the fields of F being
// divided by the separator of the text.
std::uint8_t Kalendo::CampoFormato(const std::u16string& F, const std::u16string& letter) const {
  const std::u16string Sep = Separador();
  const Byte Q1(InStr(1, F, Sep));
  const Byte Q2(InStr(Q1.value() + 1, F, Sep));
  const Long J = InStr(1, F, letter);
  if (J > Q2.value()) return 3;
  if (J > Q1.value()) return 2;
  return 1;
}

void Kalendo::StepDate(const Boolean& Incremento, UnitRule rule) {
  try {
    const Separators before = FindSeparators();

    if (txtFecha().SelStart() == 0) txtFecha().SetFocus();
    const Byte P(txtFecha().SelStart());

    Date D = dates_.ToDate(txtFecha().Text());
    const Integer N = Incremento != kFalse ? 1 : -1;

    if (rule == UnitRule::ByPosition) {
      if (P <= before.S1 - kOne) {
        D = dates_.DateAdd(DateUnit::Day, N, D);
      } else if (const Byte monthEnd = before.S2 - kOne; before.S1 <= P && P <= monthEnd) {
        D = dates_.DateAdd(DateUnit::Month, N, D);
      } else if (const Byte L(Len(txtFecha().Text())); P <= L && P >= before.S2) {
        D = dates_.DateAdd(DateUnit::Year, N, D);
      }
    } else {
      const Byte K = CampoCursor(P, before.S1, before.S2);
      if (K.value() == CampoFormato(Formato(), u"d")) {
        D = dates_.DateAdd(DateUnit::Day, N, D);
      } else if (K.value() == CampoFormato(Formato(), u"m")) {
        D = dates_.DateAdd(DateUnit::Month, N, D);
      } else {
        D = dates_.DateAdd(DateUnit::Year, N, D);
      }
    }

    const std::u16string F = Formato();
    txtFecha().SetText(dates_.Format(D, F, 1, 1));

    // The host's Change handler has run: the new text is read afresh.
    const Separators after = FindSeparators();
    txtFecha().SetSelStart(P.value());
    if (P <= after.S1 - kOne) {
      txtFecha().SetSelStart(0);
      txtFecha().SetSelLength((after.S1 - kOne).value());
    } else if (const Byte monthEnd = after.S2 - kOne; after.S1 <= P && P <= monthEnd) {
      txtFecha().SetSelStart(after.S1.value());
      txtFecha().SetSelLength((after.S2 - after.S1 - kOne).value());
    } else if (const Byte L(Len(txtFecha().Text())); P <= L && P >= after.S2) {
      txtFecha().SetSelStart(after.S2.value());
      txtFecha().SetSelLength(Byte(Len(txtFecha().Text())).value());
    }
  } catch (const RuntimeError&) {
    // The step ends here and reports success; whatever it did before the error stays done.
  }
}

}  // namespace marelco
