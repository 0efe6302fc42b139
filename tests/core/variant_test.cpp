#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "control/memory_property_bag.h"
#include "control/platform/variant.h"
#include "dates/runtime_error.h"
#include "tests/support/error_of.h"

namespace marelco {
namespace {

using test::ErrorOf;

Variant Text(std::u16string text) { return Variant::FromString(std::move(text)); }

TEST(VariantTest, NumericStringsConvertAndOthersMismatch) {
  EXPECT_EQ(Text(u"123").ToLong(), 123);
  EXPECT_EQ(Text(u"  -42 ").ToInteger(), -42);
  EXPECT_EQ(Text(u"+2.5E3").ToLong(), 2500);
  EXPECT_EQ(Text(u".5").ToDouble(), 0.5);
  for (const char16_t* text : {u"abc", u"", u"  ", u"12abc", u"1e", u"inf", u"nan", u"0x10", u"1 2", u"-", u"."}) {
    EXPECT_EQ(ErrorOf([&] { Text(text).ToLong(); }), ErrorNumber::TypeMismatch);
  }
  EXPECT_EQ(ErrorOf([] { Text(u"1e400").ToDouble(); }), ErrorNumber::Overflow);
  EXPECT_EQ(ErrorOf([] { Text(u"-1e-400").ToDouble(); }), ErrorNumber::Overflow);
}

TEST(VariantTest, IntegerTargetsRoundHalfToEvenAndCheckTheirRange) {
  EXPECT_EQ(Variant::FromDouble(2.5).ToInteger(), 2);
  EXPECT_EQ(Variant::FromDouble(3.5).ToInteger(), 4);
  EXPECT_EQ(Variant::FromDouble(-2.5).ToLong(), -2);
  EXPECT_EQ(Variant::FromSingle(0.5f).ToLong(), 0);
  EXPECT_EQ(Text(u"1.5").ToInteger(), 2);
  EXPECT_EQ(Variant::FromLong(-32768).ToInteger(), -32768);
  EXPECT_EQ(Variant::FromDouble(2147483647.4).ToLong(), 2147483647);

  EXPECT_EQ(ErrorOf([] { Variant::FromLong(70000).ToInteger(); }), ErrorNumber::Overflow);
  EXPECT_EQ(ErrorOf([] { Variant::FromDouble(32767.5).ToInteger(); }), ErrorNumber::Overflow);
  EXPECT_EQ(ErrorOf([] { Variant::FromDouble(1e12).ToLong(); }), ErrorNumber::Overflow);
  EXPECT_EQ(ErrorOf([] { Text(u"-2147483649").ToLong(); }), ErrorNumber::Overflow);
  EXPECT_EQ(ErrorOf([] { Variant::FromDouble(std::nan("")).ToLong(); }), ErrorNumber::Overflow);
  EXPECT_EQ(ErrorOf([] { Variant::FromDouble(INFINITY).ToInteger(); }), ErrorNumber::Overflow);
  EXPECT_EQ(ErrorOf([] { Variant::FromDouble(1e300).ToSingle(); }), ErrorNumber::Overflow);
  EXPECT_EQ(Variant::FromDouble(std::numeric_limits<float>::max()).ToSingle(), std::numeric_limits<float>::max());
}

TEST(VariantTest, BooleansReadTrueAndFalseAndAnyNumber) {
  EXPECT_EQ(Text(u"True").ToBoolean(), kTrue);
  EXPECT_EQ(Text(u"false").ToBoolean(), kFalse);
  EXPECT_EQ(Text(u" FALSE ").ToBoolean(), kFalse);
  EXPECT_EQ(Text(u"7").ToBoolean(), kTrue);
  EXPECT_EQ(Variant::FromDouble(0.25).ToBoolean(), kTrue);
  EXPECT_EQ(Variant::FromInteger(0).ToBoolean(), kFalse);
  EXPECT_EQ(Variant().ToBoolean(), kFalse);
  EXPECT_EQ(Variant::FromBoolean(kTrue).ToInteger(), -1);
  EXPECT_EQ(ErrorOf([] { Text(u"yes").ToBoolean(); }), ErrorNumber::TypeMismatch);
}

TEST(VariantTest, ValuesReadAsText) {
  EXPECT_EQ(Variant().ToString(), u"");
  EXPECT_EQ(Variant::FromBoolean(kTrue).ToString(), u"True");
  EXPECT_EQ(Variant::FromBoolean(kFalse).ToString(), u"False");
  EXPECT_EQ(Variant::FromInteger(-5).ToString(), u"-5");
  EXPECT_EQ(Variant::FromLong(-2147483647 - 1).ToString(), u"-2147483648");
  EXPECT_EQ(Variant::FromSingle(1.1f).ToString(), u"1.1");
  EXPECT_EQ(Variant::FromSingle(1.2345678f).ToString(), u"1.234568");  // seven digits
  EXPECT_EQ(Variant::FromDouble(0.1).ToString(), u"0.1");
  EXPECT_EQ(Variant::FromDouble(0.12345678901234567).ToString(), u"0.123456789012346");  // fifteen
  EXPECT_EQ(Variant::FromDouble(1e20).ToString(), u"1E+20");
}

TEST(VariantTest, ObjectsConvertOnlyIntoTheirOwnKind) {
  const auto font = MakeFont();
  const auto picture = MakeEmptyPicture();
  EXPECT_EQ(Variant::FromFont(font).ToFont(), font);
  EXPECT_EQ(Variant::FromPicture(picture).ToPicture(), picture);
  EXPECT_EQ(Variant::FromFont(nullptr).ToPicture(), nullptr);
  EXPECT_EQ(Variant::FromPicture(nullptr).ToFont(), nullptr);

  EXPECT_EQ(ErrorOf([&] { Variant::FromFont(font).ToLong(); }), ErrorNumber::TypeMismatch);
  EXPECT_EQ(ErrorOf([&] { Variant::FromFont(font).ToString(); }), ErrorNumber::TypeMismatch);
  EXPECT_EQ(ErrorOf([&] { Variant::FromPicture(picture).ToBoolean(); }), ErrorNumber::TypeMismatch);
  EXPECT_EQ(ErrorOf([&] { Variant::FromPicture(picture).ToFont(); }), ErrorNumber::TypeMismatch);
  EXPECT_EQ(ErrorOf([] { Text(u"Arial").ToFont(); }), ErrorNumber::TypeMismatch);
  EXPECT_EQ(ErrorOf([] { Variant().ToPicture(); }), ErrorNumber::TypeMismatch);
}

TEST(VariantTest, EqualityKeepsTypesApart) {
  EXPECT_EQ(Variant::FromLong(0), Variant::FromLong(0));
  EXPECT_NE(Variant::FromLong(0), Variant::FromInteger(0));
  EXPECT_NE(Variant::FromBoolean(kTrue), Variant::FromInteger(-1));
  EXPECT_NE(Variant::FromFont(MakeFont()), Variant::FromFont(MakeFont()));
}

TEST(MemoryPropertyBagTest, ReadsTheStoredValueOrTheDefault) {
  MemoryPropertyBag bag({{u"Text", Text(u"x")}});
  EXPECT_EQ(bag.ReadProperty(u"Text", Text(u"d")), Text(u"x"));
  EXPECT_EQ(bag.ReadProperty(u"text", Text(u"d")), Text(u"d"));
  EXPECT_EQ(bag.ReadProperty(u"Other", Variant::FromLong(3)), Variant::FromLong(3));
  EXPECT_EQ(bag.reads(), (std::vector<std::u16string>{u"Text", u"text", u"Other"}));
}

TEST(MemoryPropertyBagTest, ValuesEqualToTheirDefaultsAreNotStored) {
  MemoryPropertyBag bag;
  bag.WriteProperty(u"SelStart", Variant::FromLong(0), Variant::FromInteger(0));
  bag.WriteProperty(u"Enabled", Variant::FromBoolean(kTrue), Variant::FromBoolean(kTrue));
  bag.WriteProperty(u"Text", Text(u"a"), Text(u"a"));
  bag.WriteProperty(u"MouseIcon", Variant::FromPicture(nullptr), Variant::FromPicture(nullptr));
  EXPECT_TRUE(bag.entries().empty());
  bag.WriteProperty(u"Text", Text(u"0"), Variant::FromInteger(0));  // a text is no number
  EXPECT_EQ(bag.Find(u"Text")->type(), VariantType::String);
  bag.Remove(u"Text");

  const auto picture = MakeEmptyPicture();
  bag.WriteProperty(u"MouseIcon", Variant::FromPicture(picture), Variant::FromPicture(nullptr));
  bag.WriteProperty(u"Text", Text(u"b"), Text(u"a"));
  bag.WriteProperty(u"Font", Variant::FromFont(MakeFont()), Variant::FromFont(MakeFont()));
  ASSERT_EQ(bag.entries().size(), 3u);
  EXPECT_EQ(bag.entries()[0].first, u"MouseIcon");
  EXPECT_EQ(*bag.Find(u"MouseIcon"), Variant::FromPicture(picture));
  EXPECT_EQ(bag.entries()[1].first, u"Text");

  bag.WriteProperty(u"Text", Text(u"a"), Text(u"a"));
  EXPECT_EQ(bag.Find(u"Text"), nullptr);
}

}  // namespace
}  // namespace marelco
