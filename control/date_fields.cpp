#include "control/date_fields.h"

namespace marelco {
namespace {

const Byte kOne(1);

}  // namespace

std::u16string Separador(const DateServices& dates, std::u16string_view text) {
  const int day = dates.Day(std::u16string(text));
  const std::u16string twoDigitDay = dates.Format(static_cast<double>(day), String(2, u'0'));
  return Mid(text, Len(twoDigitDay) + 1, 1);
}

SeparatorPositions FindSeparators(std::u16string_view text, std::u16string_view Sep) {
  const Byte S1(InStr(1, text, Sep));
  return {S1, Byte(InStr(S1.value() + 1, text, Sep))};
}

Byte CampoCursor(Byte P, const SeparatorPositions& separators) {
  if (P >= separators.S2) return Byte(3);
  if (P >= separators.S1) return Byte(2);
  return Byte(1);
}

Byte CampoFormato(std::u16string_view F, std::u16string_view Sep, std::u16string_view letter) {
  const SeparatorPositions Q = FindSeparators(F, Sep);
  const int J = InStr(1, F, letter);
  if (J > Q.S2.value()) return Byte(3);
  if (J > Q.S1.value()) return Byte(2);
  return Byte(1);
}

std::optional<DateUnit> FieldByPosition(Byte P, const SeparatorPositions& separators, int L) {
  const auto& [S1, S2] = separators;
  if (P <= S1 - kOne) return DateUnit::Day;
  if (const Byte monthEnd = S2 - kOne; S1 <= P && P <= monthEnd) return DateUnit::Month;
  if (const Byte length(L); P <= length && P >= S2) return DateUnit::Year;
  return std::nullopt;
}

DateUnit FieldByFormat(Byte P, const SeparatorPositions& separators, std::u16string_view F, std::u16string_view Sep) {
  const Byte K = CampoCursor(P, separators);
  if (K == CampoFormato(F, Sep, u"d")) return DateUnit::Day;
  if (K == CampoFormato(F, Sep, u"m")) return DateUnit::Month;
  return DateUnit::Year;
}

FieldSelection SelectionOf(DateUnit field, const SeparatorPositions& separators, int L) {
  const auto& [S1, S2] = separators;
  switch (field) {
    case DateUnit::Day: return {Byte(0), S1 - kOne};
    case DateUnit::Month: return {S1, S2 - S1 - kOne};
    case DateUnit::Year: break;
  }
  return {S2, Byte(L)};
}

}  // namespace marelco
