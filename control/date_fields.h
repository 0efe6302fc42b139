// The three fields of a date text: day, month and year, divided by the separator that follows the two-digit
// day. Pure functions from a text, a caret and a format to the fields, the field under the caret and its
// selection; the step methods read the text box and hand its values here. Positions are 1-based, as InStr
// gives them, and every position, length and field number is an 8-bit unsigned number: a value outside
// 0 to 255, stored or computed, is an overflow.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "dates/date_services.h"
#include "dates/runtime_error.h"

namespace marelco {

class Byte {
 public:
  explicit Byte(std::int64_t value) : value_(static_cast<std::uint8_t>(value)) {
    if (value < 0 || value > 255) throw RuntimeError(ErrorNumber::Overflow);
  }

  std::uint8_t value() const { return value_; }

  friend Byte operator-(Byte a, Byte b) { return Byte(std::int64_t{a.value_} - b.value_); }
  friend auto operator<=>(Byte, Byte) = default;

 private:
  std::uint8_t value_;
};

// The separator of a date text: the character that follows its day written with two digits, the date
// separator for the texts Format writes. A text whose day has one digit yields its third character all the
// same. A text that is no date fails with the date services' conversion error.
std::u16string Separador(const DateServices& dates, std::u16string_view text);

// The separator's positions: S1 searched from the start, S2 from just behind S1; 0 where there is none.
struct SeparatorPositions {
  Byte S1;
  Byte S2;
};
SeparatorPositions FindSeparators(std::u16string_view text, std::u16string_view Sep);

// The field (1, 2 or 3) in which caret position P lies, by the separators alone.
Byte CampoCursor(Byte P, const SeparatorPositions& separators);

// The field (1, 2 or 3) of the first occurrence of letter in the format F, its fields divided by Sep.
Byte CampoFormato(std::u16string_view F, std::u16string_view Sep, std::u16string_view letter);

// The field of caret position P in a text of length L, the fields in the fixed order day, month, year; none
// when P lies in no field. The ends S1 - 1 and S2 - 1 and the length are 8-bit numbers, taken only when the
// order reaches them. CambiaFecha steps this field, and both step methods select it afterwards.
std::optional<DateUnit> FieldByPosition(Byte P, const SeparatorPositions& separators, int L);

// The field CambiaFecha2 steps: the field of "d" in F is the day, the field of "m" the month, any other the year.
DateUnit FieldByFormat(Byte P, const SeparatorPositions& separators, std::u16string_view F, std::u16string_view Sep);

// The selection of a field of a text of length L.
struct FieldSelection {
  Byte start;
  Byte length;
};
FieldSelection SelectionOf(DateUnit field, const SeparatorPositions& separators, int L);

}  // namespace marelco
