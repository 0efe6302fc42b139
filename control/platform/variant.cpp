#include "control/platform/variant.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

#include "dates/date_services.h"
#include "dates/runtime_error.h"

namespace marelco {
namespace {

[[noreturn]] void Fail(ErrorNumber number) { throw RuntimeError(number); }

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && InStr(1, a, b, 1) == 1;
}

std::u16string_view Trimmed(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// A decimal number with an optional sign, fraction and exponent, between optional blanks: "12", " -1.5 ",
// "2.5E3". Nothing else reads as a number (no "inf", "nan" or hexadecimal).
std::optional<double> ParseNumber(std::u16string_view text) {
  text = Trimmed(text);
  bool negative = false;
  if (!text.empty() && (text.front() == u'+' || text.front() == u'-')) {
    negative = text.front() == u'-';
    text.remove_prefix(1);
  }
  std::string ascii;
  std::size_t digits = 0;
  std::size_t i = 0;
  auto take_digits = [&] {
    const std::size_t start = i;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) ascii += char(text[i]);
    return i - start;
  };
  digits += take_digits();
  if (i < text.size() && text[i] == u'.') {
    ascii += '.';
    ++i;
    digits += take_digits();
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    ascii += 'e';
    ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ascii += char(text[i++]);
    if (take_digits() == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;

  double value = 0;
  const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (error == std::errc::result_out_of_range) Fail(ErrorNumber::Overflow);  // beyond a Double's range
  return negative ? -value : value;
}

// Rounds half to even and checks the range of the integer type.
template <typename Integral>
Integral RoundInto(double number) {
  const double rounded = std::nearbyint(number);
  if (!(rounded >= std::numeric_limits<Integral>::min() && rounded <= std::numeric_limits<Integral>::max())) {
    Fail(ErrorNumber::Overflow);
  }
  return static_cast<Integral>(rounded);
}

template <typename Floating>
std::u16string FormatFloating(Floating value, int significant_digits) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general,
                                          significant_digits);
  std::u16string text;
  for (const char* c = buffer; c != end; ++c) text += char16_t(*c == 'e' ? 'E' : *c);
  return text;
}

std::u16string FormatIntegral(long value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

double Variant::Number() const {
  switch (type()) {
    case VariantType::Empty: return 0;
    case VariantType::Boolean: return Get<VariantType::Boolean>();
    case VariantType::Integer: return Get<VariantType::Integer>();
    case VariantType::Long: return Get<VariantType::Long>();
    case VariantType::Single: return Get<VariantType::Single>();
    case VariantType::Double: return Get<VariantType::Double>();
    case VariantType::String:
      if (const auto number = ParseNumber(Get<VariantType::String>())) return *number;
      break;
    case VariantType::Font:
    case VariantType::Picture: break;
  }
  Fail(ErrorNumber::TypeMismatch);
}

bool Variant::IsNothing() const {
  switch (type()) {
    case VariantType::Font: return Get<VariantType::Font>() == nullptr;
    case VariantType::Picture: return Get<VariantType::Picture>() == nullptr;
    default: return false;
  }
}

Boolean Variant::ToBoolean() const {
  if (type() == VariantType::Boolean) return Get<VariantType::Boolean>();
  if (type() == VariantType::String) {
    const std::u16string_view text = Trimmed(Get<VariantType::String>());
    if (EqualIgnoringCase(text, u"True")) return kTrue;
    if (EqualIgnoringCase(text, u"False")) return kFalse;
  }
  return Number() != 0 ? kTrue : kFalse;
}

Integer Variant::ToInteger() const { return RoundInto<Integer>(Number()); }

Long Variant::ToLong() const { return RoundInto<Long>(Number()); }

Single Variant::ToSingle() const {
  const double number = Number();
  if (std::isfinite(number) && std::abs(number) > std::numeric_limits<Single>::max()) Fail(ErrorNumber::Overflow);
  return static_cast<Single>(number);
}

double Variant::ToDouble() const { return Number(); }

std::u16string Variant::ToString() const {
  switch (type()) {
    case VariantType::Empty: return u"";
    case VariantType::Boolean: return Get<VariantType::Boolean>() ? u"True" : u"False";
    case VariantType::Integer: return FormatIntegral(Get<VariantType::Integer>());
    case VariantType::Long: return FormatIntegral(Get<VariantType::Long>());
    case VariantType::Single: return FormatFloating(Get<VariantType::Single>(), 7);
    case VariantType::Double: return FormatFloating(Get<VariantType::Double>(), 15);
    case VariantType::String: return Get<VariantType::String>();
    case VariantType::Font:
    case VariantType::Picture: break;
  }
  Fail(ErrorNumber::TypeMismatch);
}

std::shared_ptr<Font> Variant::ToFont() const {
  if (type() == VariantType::Font) return Get<VariantType::Font>();
  if (IsNothing()) return nullptr;
  Fail(ErrorNumber::TypeMismatch);
}

std::shared_ptr<Picture> Variant::ToPicture() const {
  if (type() == VariantType::Picture) return Get<VariantType::Picture>();
  if (IsNothing()) return nullptr;
  Fail(ErrorNumber::TypeMismatch);
}

}  // namespace marelco
