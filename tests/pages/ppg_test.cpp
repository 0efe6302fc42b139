#include "pages/ppg.h"

#include <gtest/gtest.h>

#include "tests/pages/recorded_object.h"
#include "tests/support/error_of.h"

namespace marelco::pages {
namespace {

using test::ErrorOf;
using testing::RecordedObject;

class PpgTest : public ::testing::Test {
 protected:
  std::shared_ptr<RecordedObject> Object(std::u16string format, Boolean locked, Boolean enabled) {
    auto object = std::make_shared<RecordedObject>(std::move(format), locked, enabled);
    objects.push_back(object);
    return object;
  }
  Selection AllObjects() const { return {objects.begin(), objects.end()}; }

  MemoryComboBox cboFormato{u"cboFormato"};
  MemoryCheckBox chkLocked;
  MemoryCheckBox chkEnabled;
  ppg page{cboFormato, chkLocked, chkEnabled};
  std::vector<std::shared_ptr<RecordedObject>> objects;
};

TEST_F(PpgTest, CreationFillsTheListWithTheThreeFormatsAndMarksNothing) {
  ASSERT_EQ(cboFormato.ListCount(), 3);
  EXPECT_EQ(cboFormato.List(0), u"dd/mm/yyyy");
  EXPECT_EQ(cboFormato.List(1), u"dd/mmm/yyyy");
  EXPECT_EQ(cboFormato.List(2), u"dd/mmmm/yyyy");
  EXPECT_EQ(cboFormato.Text(), u"cboFormato");
  EXPECT_FALSE(page.Changed());
}

TEST_F(PpgTest, OneSelectedControlIsShownAndMarksThePageChanged) {
  int notifications = 0;
  page.OnChanged([&] { ++notifications; });
  Object(u"dd/mmm/yyyy", kFalse, kTrue);
  page.SetSelection(AllObjects());
  EXPECT_EQ(cboFormato.Text(), u"dd/mmm/yyyy");
  EXPECT_EQ(chkLocked.Value(), 0);
  EXPECT_EQ(chkEnabled.Value(), 1);
  EXPECT_TRUE(page.Changed());
  EXPECT_EQ(notifications, 2);  // the combo box's text and chkEnabled changed; chkLocked stayed clear
}

// Untouched, the page shows the last control and applies its values to all, whichever way round the flags differ.
TEST_F(PpgTest, TwoSelectedControlsShowTheLastAndBothReceiveItsValues) {
  const struct {
    const char16_t* format;
    Boolean locked, enabled;
  } pairs[][2] = {{{u"dd/mm/yyyy", kFalse, kTrue}, {u"dd/mmmm/yyyy", kTrue, kFalse}},
                  {{u"dd/mmm/yyyy", kTrue, kTrue}, {u"dd/mm/yyyy", kFalse, kFalse}}};
  for (const auto& [one, last] : pairs) {
    objects.clear();
    auto first = Object(one.format, one.locked, one.enabled);
    auto second = Object(last.format, last.locked, last.enabled);
    page.SetSelection(AllObjects());
    EXPECT_EQ(cboFormato.Text(), last.format);
    EXPECT_EQ(chkLocked.Value(), last.locked ? 1 : 0);
    EXPECT_EQ(chkEnabled.Value(), last.enabled ? 1 : 0);
    page.ApplyChanges();
    for (const auto& object : {first, second}) {
      EXPECT_EQ(object->members[u"Formato"], Variant::FromString(last.format));
      EXPECT_EQ(object->members[u"Locked"], Variant::FromBoolean(last.locked));
      EXPECT_EQ(object->members[u"Enabled"], Variant::FromBoolean(last.enabled));
      EXPECT_EQ(object->writes, (std::vector<std::u16string>{u"Formato", u"Locked", u"Enabled"}));
    }
  }
}

TEST_F(PpgTest, AnyTypedFormatIsAppliedAsItStands) {
  auto first = Object(u"dd/mm/yyyy", kFalse, kTrue);
  auto second = Object(u"dd/mm/yyyy", kFalse, kTrue);
  page.SetSelection(AllObjects());
  cboFormato.SetText(u"yyyy-mm-dd ");
  page.cboFormato_Change();
  chkLocked.SetValue(1);
  page.chkLocked_Click();
  page.ApplyChanges();
  for (const auto& object : {first, second}) {
    EXPECT_EQ(object->members[u"Formato"], Variant::FromString(u"yyyy-mm-dd "));
    EXPECT_EQ(object->members[u"Locked"], Variant::FromBoolean(kTrue));
  }
}

TEST_F(PpgTest, FlagsAreReadAsTheirLowestBit) {
  auto object = Object(u"dd/mm/yyyy", kFalse, kFalse);
  object->members[u"Locked"] = Variant::FromLong(2);  // values a host might hand over instead of True/False
  object->members[u"Enabled"] = Variant::FromString(u"3");
  page.SetSelection(AllObjects());
  EXPECT_EQ(chkLocked.Value(), 0);
  EXPECT_EQ(chkEnabled.Value(), 1);
}

TEST_F(PpgTest, ANewSelectionWithTheSameValuesLeavesAnAppliedPageUnchanged) {
  Object(u"dd/mm/yyyy", kFalse, kTrue);
  page.SetSelection(AllObjects());
  page.ApplyChanges();
  page.ClearChanged();
  page.SetSelection(AllObjects());
  EXPECT_FALSE(page.Changed());
  page.SetSelection({});
  EXPECT_FALSE(page.Changed());
  EXPECT_EQ(cboFormato.Text(), u"dd/mm/yyyy");
}

TEST_F(PpgTest, AnObjectLackingAMemberEndsTheApplyThere) {
  auto first = Object(u"dd/mm/yyyy", kFalse, kTrue);
  auto lacking = Object(u"dd/mm/yyyy", kFalse, kTrue);
  auto third = Object(u"dd/mm/yyyy", kFalse, kTrue);
  page.SetSelection(AllObjects());
  lacking->members.erase(u"Locked");
  cboFormato.SetText(u"dd/mmmm/yyyy");
  chkEnabled.SetValue(0);

  EXPECT_EQ(ErrorOf([&] { page.ApplyChanges(); }), kUnsupportedMember);
  EXPECT_EQ(first->members[u"Enabled"], Variant::FromBoolean(kFalse));
  EXPECT_EQ(lacking->writes, std::vector<std::u16string>{u"Formato"});
  EXPECT_EQ(lacking->members[u"Enabled"], Variant::FromBoolean(kTrue));
  EXPECT_TRUE(third->writes.empty());
}

TEST_F(PpgTest, AnObjectLackingAMemberEndsTheLoadAndThePageKeepsWhatItShows) {
  Object(u"dd/mmm/yyyy", kTrue, kTrue);
  auto lacking = Object(u"dd/mmmm/yyyy", kFalse, kFalse);
  lacking->members.erase(u"Enabled");
  Object(u"dd/mm/yyyy", kFalse, kFalse);
  EXPECT_EQ(ErrorOf([&] { page.SetSelection(AllObjects()); }), kUnsupportedMember);
  EXPECT_EQ(cboFormato.Text(), u"dd/mmmm/yyyy");
  EXPECT_EQ(chkLocked.Value(), 0);
  EXPECT_EQ(chkEnabled.Value(), 1);
}

TEST_F(PpgTest, AFlagThatIsNoNumberIsATypeMismatch) {
  auto object = Object(u"dd/mm/yyyy", kFalse, kTrue);
  object->members[u"Locked"] = Variant::FromString(u"sometimes");
  EXPECT_EQ(ErrorOf([&] { page.SetSelection(AllObjects()); }), ErrorNumber::TypeMismatch);
}

TEST_F(PpgTest, TheListKeepsThreeEntriesOverManySelections) {
  for (int i = 0; i < 50; ++i) {
    Object(i % 2 ? u"dd/mm/yyyy" : u"dd/mmm/yyyy", kFalse, kTrue);
    page.SetSelection(AllObjects());
  }
  EXPECT_EQ(cboFormato.ListCount(), 3);
}

TEST_F(PpgTest, MoreObjectsThanA16BitIndexReachesOverflowBeforeAnyControlIsSet) {
  auto shared = std::make_shared<RecordedObject>(u"dd/mmm/yyyy", kTrue, kTrue);
  Selection selection(32769, shared);
  EXPECT_EQ(ErrorOf([&] { page.SetSelection(selection); }), ErrorNumber::Overflow);
  EXPECT_EQ(cboFormato.Text(), u"cboFormato");
  EXPECT_EQ(chkLocked.Value(), 0);
  EXPECT_FALSE(page.Changed());

  selection.pop_back();
  page.SetSelection(selection);
  EXPECT_EQ(cboFormato.Text(), u"dd/mmm/yyyy");
}

}  // namespace
}  // namespace marelco::pages
