#include "tests/core/kalendo_fixture.h"

namespace marelco::test {
namespace {

class LayoutTest : public ShellTest {
 protected:
  // Text box left, top, width, height; spinner left, top, width, height.
  std::vector<Single> Places() {
    return {box().Left(), box().Top(), box().Width(), box().Height(),
            spinner().Left(), spinner().Top(), spinner().Width(), spinner().Height()};
  }
};

// The spinner keeps its width even on surfaces as narrow as or narrower than it; all in single precision.
TEST_F(LayoutTest, TextBoxFillsTheSurfaceUpToTheSpinnerAtTheRightEdge) {
  const std::pair<Single, Single> sizes[] = {
      {1890, 615}, {3000, 300}, {200.5f, 45.25f}, {1234.567f, 300.1f}, {195, 300}, {100, 20}, {0, 0}};
  for (const auto& [width, height] : sizes) {
    surface.Resize(width, height);
    EXPECT_EQ(Places(), (std::vector<Single>{0, 0, width - Single{195}, height, width - Single{195}, 0, 195, height}))
        << width << " x " << height;
  }
}

TEST_F(LayoutTest, AnchoMinQueriesTheWidthsOfTheFontsRange) {
  surface.Resize(2000, 400);
  host.Take();
  const auto places = Places();
  const std::string dc = std::to_string(surface.hdc());

  EXPECT_NE(control.AnchoMin(), 0);
  EXPECT_EQ(gdi.calls, (std::vector<std::string>{"GetTextMetricsA " + dc, "GetCharWidth32A " + dc + " 32 255"}));

  gdi.calls.clear();
  gdi.metrics = {.tmFirstChar = 0, .tmLastChar = 255};
  EXPECT_NE(control.AnchoMin(), 0);
  gdi.metrics = {.tmFirstChar = 65, .tmLastChar = 65};
  EXPECT_NE(control.AnchoMin(), 0);
  EXPECT_EQ(gdi.calls.back(), "GetCharWidth32A " + dc + " 65 65");

  EXPECT_EQ(Places(), places);
  EXPECT_TRUE(host.log.empty());
}

TEST_F(LayoutTest, AnchoMinIsZeroWhenTheQueryFails) {
  gdi.validHdc = surface.hdc() + 1;
  EXPECT_EQ(control.AnchoMin(), 0);
  // The metrics stay zero, so the query covers the single code 0.
  EXPECT_EQ(gdi.calls.back(), "GetCharWidth32A " + std::to_string(surface.hdc()) + " 0 0");
}

TEST_F(LayoutTest, AnchoMinFetchesNothingForMetricsWhoseLastCharacterLiesBelowTheFirst) {
  gdi.metrics = {.tmFirstChar = 200, .tmLastChar = 32};
  EXPECT_EQ(control.AnchoMin(), 0);
  EXPECT_EQ(gdi.calls, (std::vector<std::string>{"GetTextMetricsA " + std::to_string(surface.hdc())}));
}

}  // namespace
}  // namespace marelco::test
