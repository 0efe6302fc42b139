// A tagged value of the platform's Automation types, as property bags hold them, with the platform's
// coercions to each target type.
#pragma once

#include <memory>
#include <string>
#include <variant>

#include "control/platform/font.h"
#include "control/platform/types.h"

namespace marelco {

// In the order of the alternatives of Variant.
enum class VariantType { Empty, Boolean, Integer, Long, Single, Double, String, Font, Picture };

class Variant {
 public:
  Variant() = default;  // Empty

  static Variant FromBoolean(Boolean value) { return Make<VariantType::Boolean>(value); }
  static Variant FromInteger(Integer value) { return Make<VariantType::Integer>(value); }
  static Variant FromLong(Long value) { return Make<VariantType::Long>(value); }
  static Variant FromSingle(Single value) { return Make<VariantType::Single>(value); }
  static Variant FromDouble(double value) { return Make<VariantType::Double>(value); }
  static Variant FromString(std::u16string value) {
    return Make<VariantType::String>(std::move(value));
  }
  // A null font or picture is the platform's Nothing.
  static Variant FromFont(std::shared_ptr<Font> value) {
    return Make<VariantType::Font>(std::move(value));
  }
  static Variant FromPicture(std::shared_ptr<Picture> value) {
    return Make<VariantType::Picture>(std::move(value));
  }

  VariantType type() const { return static_cast<VariantType>(value_.index()); }

  // Coercions as Automation makes them: type mismatch (13) when the value has no such reading, overflow (6)
  // when it lies outside the target's range. Numeric strings convert; "True" and "False" are Booleans;
  // fractions round half to even into the integer types. Objects convert only into their own kind, and
  // Nothing into either kind.
  Boolean ToBoolean() const;
  Integer ToInteger() const;
  Long ToLong() const;
  Single ToSingle() const;
  double ToDouble() const;
  std::u16string ToString() const;
  std::shared_ptr<Font> ToFont() const;
  std::shared_ptr<Picture> ToPicture() const;

  // The same type and the same value; objects are the same when they are the same object.
  friend bool operator==(const Variant&, const Variant&) = default;

 private:
  template <VariantType type, typename Value>
  static Variant Make(Value&& value) {
    Variant variant;
    variant.value_.emplace<static_cast<std::size_t>(type)>(std::forward<Value>(value));
    return variant;
  }

  template <VariantType type>
  const auto& Get() const {
    return std::get<static_cast<std::size_t>(type)>(value_);
  }

  // The number this value reads as: numbers, Booleans, Empty (0) and numeric strings; 13 otherwise.
  double Number() const;
  bool IsNothing() const;

  std::variant<std::monostate, Boolean, Integer, Long, Single, double, std::u16string, std::shared_ptr<Font>,
               std::shared_ptr<Picture>>
      value_;
};

}  // namespace marelco
