#include "tests/support/kalendo_members.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>

namespace marelco {
namespace {

TEST(KalendoMembers, IdentifiersAndNamesAreUniqueAndTextIsTheDefaultMember) {
  std::set<std::int32_t> ids;
  std::set<std::string_view> names;
  for (const Member& member : kKalendoMembers) {
    EXPECT_TRUE(ids.insert(member.dispatchId).second) << member.name;
    EXPECT_TRUE(names.insert(member.name).second) << member.name;
    EXPECT_EQ(member.type == MemberType::None, member.kind == MemberKind::Method && member.name != "AnchoMin")
        << member.name;
  }
  EXPECT_EQ(kKalendoMembers[2].name, "Text");
  EXPECT_EQ(kKalendoMembers[2].dispatchId, 0);
}

TEST(KalendoMembers, EventsTakeEveryArgumentByReference) {
  std::set<std::int32_t> ids;
  for (const Event& event : kKalendoEvents) {
    EXPECT_TRUE(ids.insert(event.dispatchId).second) << event.name;
    EXPECT_FALSE(event.helpString.empty()) << event.name;
    for (const MemberArgument& argument : event.arguments) EXPECT_TRUE(argument.byReference) << event.name;
  }
}

}  // namespace
}  // namespace marelco
