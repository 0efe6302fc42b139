#include <functional>

#include "control/memory_property_bag.h"
#include "tests/core/kalendo_fixture.h"

namespace marelco::test {
namespace {

using Log = RecordingHost::Log;

const std::vector<std::u16string> kKeys = {u"Formato", u"Text",   u"BackColor",    u"Enabled",   u"Font",
                                           u"ForeColor", u"ToolTipText", u"Locked", u"MousePointer",
                                           u"MouseIcon", u"SelLength", u"SelStart", u"SelText"};

class PersistenceTest : public ShellTest {
 protected:
  MemoryPropertyBag Saved() {
    MemoryPropertyBag bag;
    control.WriteProperties(bag);
    return bag;
  }

  const std::shared_ptr<Font> font = MakeFont({.name = u"Arial", .size = 10});
  const std::shared_ptr<Picture> icon = MakeEmptyPicture();

  // Whether each key's value of FullBag has reached its target (nullptr: not to be seen once later keys ran).
  std::vector<std::function<bool()>> Applied() {
    return {
        [&] { return control.Formato() == u"dd/mmm/yyyy"; },
        [&] { return box().Text() == u"7/3/2001"; },
        [&] { return box().BackColor() == 0x0000FF00u; },
        [&] { return !box().Enabled() && !spinner().Enabled(); },
        [&] { return box().GetFont() == font; },
        [&] { return box().ForeColor() == 0x000000FFu; },
        [&] { return box().ToolTipText() == u"tip"; },
        [&] { return box().Locked(); },
        [&] { return surface.MousePointer() == 11; },
        [&] { return control.MouseIcon() == icon; },
        nullptr,
        [&] { return control.SelStart() == 3; },
        nullptr,
    };
  }
};

// Every key holding a value unlike a fresh instance's, of the type the control writes.
MemoryPropertyBag FullBag(const std::shared_ptr<Font>& font, const std::shared_ptr<Picture>& icon) {
  return MemoryPropertyBag({
      {u"Formato", Variant::FromString(u"dd/mmm/yyyy")},
      {u"Text", Variant::FromString(u"7/3/2001")},
      {u"BackColor", Variant::FromLong(0x0000FF00)},
      {u"Enabled", Variant::FromBoolean(kFalse)},
      {u"Font", Variant::FromFont(font)},
      {u"ForeColor", Variant::FromLong(0x000000FF)},
      {u"ToolTipText", Variant::FromString(u"tip")},
      {u"Locked", Variant::FromBoolean(kTrue)},
      {u"MousePointer", Variant::FromInteger(11)},
      {u"MouseIcon", Variant::FromPicture(icon)},
      {u"SelLength", Variant::FromLong(2)},
      {u"SelStart", Variant::FromLong(3)},
      {u"SelText", Variant::FromString(u"x")},
  });
}

TEST_F(PersistenceTest, SavesEveryKeyInOrderWithItsType) {
  MemoryPropertyBag loaded = FullBag(font, icon);
  control.ReadProperties(loaded);
  box().SetText(u"7/3/2001");
  control.SetSelStart(1);
  control.SetSelLength(2);
  control.SetMousePointer(13);

  MemoryPropertyBag expected = FullBag(font, icon);  // what was loaded, but for what changed since
  expected.Put(u"MousePointer", Variant::FromInteger(13));
  expected.Put(u"SelStart", Variant::FromLong(1));
  expected.Put(u"SelText", Variant::FromString(u"/3"));
  EXPECT_EQ(Saved().entries(), expected.entries());
}

TEST_F(PersistenceTest, LoadsEveryKeyInOrderIntoItsTarget) {
  MemoryPropertyBag bag = FullBag(font, icon);
  host.Take();
  control.ReadProperties(bag);
  EXPECT_EQ(bag.reads(), kKeys);
  const auto applied = Applied();
  for (std::size_t i = 0; i < kKeys.size(); ++i) EXPECT_TRUE(!applied[i] || applied[i]()) << Narrow(kKeys[i]);
  // The stored selection comes back; its stored text is not written into the date.
  EXPECT_EQ(control.SelLength(), 2);
  // Only the two keys loaded through their setters are marked; the text box reports the change of its text.
  EXPECT_EQ(host.Take(), (Log{"Change", "PropertyChanged Enabled", "PropertyChanged Font"}));
}

TEST_F(PersistenceTest, AnEmptyBagLoadsTheDefaults) {
  box().SetBackColor(0x00123456);
  box().SetForeColor(0x00654321);
  MemoryPropertyBag bag;
  control.ReadProperties(bag);
  EXPECT_EQ(control.Formato(), u"dd/mm/yyyy");
  EXPECT_EQ(control.Text(), u"05/09/2026");
  EXPECT_EQ(control.BackColor(), 0x8000000Fu);
  EXPECT_EQ(control.ForeColor(), 0x80000008u);
  EXPECT_EQ(control.Enabled(), kTrue);
  EXPECT_EQ(control.GetFont(), host.ambientFont);
  EXPECT_EQ(control.ToolTipText(), u"");
  EXPECT_EQ(control.Locked(), kFalse);
  EXPECT_EQ(control.MousePointer(), 0);
  EXPECT_EQ(control.MouseIcon(), nullptr);
  EXPECT_EQ(control.SelStart(), 0);
  EXPECT_EQ(control.SelLength(), 0);
}

TEST_F(PersistenceTest, AStoredFormatIsTakenUnchangedAndShowsTodaysDate) {
  MemoryPropertyBag bag({{u"Formato", Variant::FromString(u"dd/mmmm/yyyy")}});
  control.ReadProperties(bag);
  EXPECT_EQ(control.Text(), u"05/September/2026");

  MemoryPropertyBag odd({{u"Formato", Variant::FromString(u"yyyy-mm-dd")}});
  control.ReadProperties(odd);
  EXPECT_EQ(control.Formato(), u"yyyy-mm-dd");
}

// The text is stored only when it is no date written in the format, and then loads verbatim without a notice; a
// date in the format loads as the loading day's date. Format gives a text that is no date back unchanged, so
// comparing it with its formatted form would never store it, and the user's text would come back as that date.
TEST_F(PersistenceTest, OnlyATextOtherThanAFormattedDateIsStored) {
  const struct {
    const char16_t *format, *text;
    bool stored;
    const char16_t* loaded;
  } rows[] = {
      {u"dd/mm/yyyy", u"07/03/2001", false, u"31/01/2027"},
      {u"dd/mmm/yyyy", u"7/3/2001", true, u"7/3/2001"},
      {u"dd/mm/yyyy", u"abc", true, u"abc"},
      {u"dd/mm/yyyy", u"", true, u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Narrow(row.text));
    control.SetFormato(row.format);
    box().SetText(row.text);
    MemoryPropertyBag bag = Saved();
    const Variant* stored = bag.Find(u"Text");
    EXPECT_EQ(stored ? *stored : Variant(), row.stored ? Variant::FromString(row.text) : Variant());

    KalendoHarness other("en", DateOf(2027, 1, 31));
    other.host.Take();
    other.control.ReadProperties(bag);
    EXPECT_EQ(other.control.Text(), row.loaded);
    EXPECT_EQ(other.control.Formato(), row.format);
    EXPECT_EQ(other.host.Count("PropertyChanged Text"), 0u);
  }
}

TEST_F(PersistenceTest, ANewInstanceSavedAtOnceStoresItsEmptyIconAndTheTextBoxsColour) {
  host.Take();
  control.InitProperties();
  EXPECT_TRUE(host.log.empty());
  ASSERT_NE(control.MouseIcon(), nullptr);
  EXPECT_TRUE(control.MouseIcon()->IsEmpty());

  const MemoryPropertyBag bag = Saved();
  EXPECT_EQ(*bag.Find(u"MouseIcon"), Variant::FromPicture(control.MouseIcon()));
  EXPECT_EQ(*bag.Find(u"BackColor"), Variant::FromLong(static_cast<Long>(0x80000005)));
  for (const char16_t* key : {u"Formato", u"Text", u"Enabled", u"ForeColor", u"ToolTipText", u"Locked",
                              u"MousePointer", u"SelLength", u"SelStart", u"SelText"}) {
    EXPECT_EQ(bag.Find(key), nullptr) << Narrow(key);
  }
  control.SetFormato(u"dd/mmmm/yyyy");  // by a host that sets it before it initialises the control
  control.InitProperties();
  EXPECT_EQ(control.Formato(), u"dd/mm/yyyy");
}

TEST_F(PersistenceTest, SavingTheAmbientFontStoresNoFont) {
  control.SetFont(host.ambientFont);
  EXPECT_EQ(Saved().Find(u"Font"), nullptr);
}

TEST_F(PersistenceTest, ADisabledControlLoadsDisabled) {
  control.SetEnabled(kFalse);
  MemoryPropertyBag bag = Saved();
  EXPECT_EQ(*bag.Find(u"Enabled"), Variant::FromBoolean(kFalse));

  KalendoHarness other;
  other.control.ReadProperties(bag);
  EXPECT_EQ(other.control.Enabled(), kFalse);
  EXPECT_FALSE(other.box().Enabled());
  EXPECT_FALSE(other.spinner().Enabled());
}

TEST_F(PersistenceTest, StoredNumbersOfOtherTypesConvert) {
  MemoryPropertyBag bag({{u"BackColor", Variant::FromString(u"255")},
                         {u"Enabled", Variant::FromString(u"False")},
                         {u"MousePointer", Variant::FromDouble(2.5)},
                         {u"SelLength", Variant::FromString(u"40")},
                         {u"SelStart", Variant::FromInteger(2)}});
  control.ReadProperties(bag);
  EXPECT_EQ(control.BackColor(), 255u);
  EXPECT_EQ(control.Enabled(), kFalse);
  EXPECT_EQ(control.MousePointer(), 2);
  EXPECT_EQ(control.SelStart(), 2);
  EXPECT_EQ(control.SelLength(), 8) << "cut at the end of 05/09/2026";
  control.SetSelStart(7);  // a length is loaded from the start of the text, wherever the caret stood
  MemoryPropertyBag whole({{u"SelLength", Variant::FromString(u"40")}});
  control.ReadProperties(whole);
  EXPECT_EQ(control.SelLength(), 10) << "the whole of 05/09/2026";
}

// A bag that refuses to store one key.
class RefusingBag : public MemoryPropertyBag {
 public:
  explicit RefusingBag(std::u16string refused) : refused_(std::move(refused)) {}
  void WriteProperty(std::u16string_view key, const Variant& value, const Variant& defaultValue) override {
    written.emplace_back(key);
    if (key == refused_) throw RuntimeError(ErrorNumber::InvalidProcedureCall);
    MemoryPropertyBag::WriteProperty(key, value, defaultValue);
  }
  std::vector<std::u16string> written;

 private:
  std::u16string refused_;
};

TEST_F(PersistenceTest, SavingStopsAtAKeyTheBagRefuses) {
  RefusingBag bag(u"ForeColor");
  EXPECT_EQ(ErrorOf([&] { control.WriteProperties(bag); }), ErrorNumber::InvalidProcedureCall);
  EXPECT_EQ(bag.written, std::vector<std::u16string>(kKeys.begin(), kKeys.begin() + 6));
}

TEST_F(PersistenceTest, TerminateSavesChangesAndRaisesNothing) {
  box().SetText(u"not a date");
  control.SetMouseIcon(icon);
  host.Take();
  control.Terminate();
  EXPECT_TRUE(host.log.empty());
  EXPECT_EQ(control.Text(), u"not a date");
  EXPECT_EQ(control.MouseIcon(), icon);
}

// A value of the wrong type or range under one key: the load stops there with the platform's error, having
// applied the keys before it and read none after it.
struct BadValue {
  std::u16string key;
  Variant value;
  ErrorNumber error;
};

class BadBagTest : public PersistenceTest, public ::testing::WithParamInterface<BadValue> {};

TEST_P(BadBagTest, StopsAtTheBadKey) {
  const BadValue& bad = GetParam();
  MemoryPropertyBag bag = FullBag(font, icon);
  bag.Put(bad.key, bad.value);
  EXPECT_EQ(ErrorOf([&] { control.ReadProperties(bag); }), bad.error);

  const auto badIndex = std::find(kKeys.begin(), kKeys.end(), bad.key) - kKeys.begin();
  EXPECT_EQ(bag.reads(), std::vector<std::u16string>(kKeys.begin(), kKeys.begin() + badIndex + 1));
  const auto applied = Applied();
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    EXPECT_TRUE(!applied[i] || applied[i]() == (static_cast<std::ptrdiff_t>(i) < badIndex)) << Narrow(kKeys[i]);
  }
}

std::string BadValueName(const ::testing::TestParamInfo<BadValue>& info) {
  return Narrow(info.param.key) + "_" + std::to_string(info.index);
}

const auto kPicture = Variant::FromPicture(MakeEmptyPicture());
const auto kFont = Variant::FromFont(MakeFont());
constexpr auto kMismatch = ErrorNumber::TypeMismatch;
constexpr auto kOverflow = ErrorNumber::Overflow;
constexpr auto kRefused = ErrorNumber::InvalidPropertyValue;

// Grouped by key, in the order of kKeys.
INSTANTIATE_TEST_SUITE_P(
    EveryKey, BadBagTest,
    ::testing::ValuesIn(std::vector<BadValue>{
        {u"Formato", kPicture, kMismatch},
        {u"Text", kFont, kMismatch},
        {u"BackColor", Variant::FromString(u"abc"), kMismatch}, {u"BackColor", Variant::FromDouble(1e12), kOverflow},
        {u"Enabled", Variant::FromString(u"abc"), kMismatch}, {u"Enabled", Variant::FromString(u"1e999"), kOverflow},
        {u"Font", Variant::FromString(u"Arial"), kMismatch}, {u"Font", Variant::FromLong(5), kMismatch},
        {u"Font", kPicture, kMismatch}, {u"Font", Variant::FromFont(nullptr), kRefused},
        {u"ForeColor", Variant::FromDouble(-1e12), kOverflow}, {u"ForeColor", kFont, kMismatch},
        {u"ToolTipText", kPicture, kMismatch},
        {u"Locked", Variant::FromString(u"maybe"), kMismatch},
        {u"MousePointer", Variant::FromLong(70000), kOverflow}, {u"MousePointer", Variant::FromInteger(16), kRefused},
        {u"MousePointer", Variant::FromString(u"abc"), kMismatch},
        {u"MouseIcon", kFont, kMismatch}, {u"MouseIcon", Variant::FromLong(0), kMismatch},
        {u"MouseIcon", Variant::FromString(u""), kMismatch},
        {u"SelLength", Variant::FromDouble(1e12), kOverflow}, {u"SelLength", Variant::FromLong(-1), kRefused},
        {u"SelLength", Variant::FromString(u"abc"), kMismatch},
        {u"SelStart", Variant::FromString(u"3e10"), kOverflow}, {u"SelStart", Variant::FromLong(-1), kRefused},
        {u"SelStart", kPicture, kMismatch},
        {u"SelText", kFont, kMismatch},
    }),
    BadValueName);

}  // namespace
}  // namespace marelco::test
