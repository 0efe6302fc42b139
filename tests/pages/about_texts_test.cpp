#include "pages/about_texts.h"

#include <gtest/gtest.h>

namespace marelco::pages {
namespace {

TEST(AboutTexts, VersionIsMajorMinorRevisionInPlainDecimal) {
  EXPECT_EQ(VersionText({u"Marelco", 1, 0, 1, u""}), u"Version 1.0.1");
  EXPECT_EQ(VersionText({u"Marelco", 12, 345, 65535, u""}), u"Version 12.345.65535");
}

TEST(AboutTexts, CaptionKeepsItsSpaceForAnEmptyTitle) {
  EXPECT_EQ(AboutCaption({u"Marelco", 1, 0, 1, u""}), u"About Marelco");
  EXPECT_EQ(AboutCaption({}), u"About ");
}

}  // namespace
}  // namespace marelco::pages
