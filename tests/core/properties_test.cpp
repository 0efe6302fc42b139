// The control's properties and how it lays out and measures its constituents.
#include "tests/core/kalendo_fixture.h"

namespace marelco::test {
namespace {

using Log = RecordingHost::Log;

class PropertiesTest : public ShellTest {
 protected:
  PropertiesTest() { host.Take(); }

  // Text box left, top, width, height; spinner left, top, width, height.
  std::vector<Single> Places() {
    return {box().Left(), box().Top(), box().Width(), box().Height(),
            spinner().Left(), spinner().Top(), spinner().Width(), spinner().Height()};
  }
};

TEST_F(PropertiesTest, SettersAssignTheirPartThenMarkTheirName) {
  control.SetBackColor(0x00112233);
  control.SetForeColor(0x80000012);
  control.SetToolTipText(u"Fecha de entrega");
  control.SetLocked(kTrue);
  control.SetMousePointer(11);
  EXPECT_EQ(host.Take(), (Log{"PropertyChanged BackColor", "PropertyChanged ForeColor", "PropertyChanged ToolTipText",
                              "PropertyChanged Locked", "PropertyChanged MousePointer"}));

  EXPECT_EQ(box().BackColor(), 0x00112233u);
  EXPECT_EQ(control.BackColor(), 0x00112233u);
  EXPECT_EQ(box().ForeColor(), 0x80000012u);
  EXPECT_EQ(control.ForeColor(), 0x80000012u);
  EXPECT_EQ(box().ToolTipText(), u"Fecha de entrega");
  EXPECT_EQ(control.ToolTipText(), u"Fecha de entrega");
  EXPECT_TRUE(box().Locked());
  EXPECT_EQ(control.Locked(), kTrue);
  EXPECT_EQ(surface.MousePointer(), 11);
  EXPECT_EQ(control.MousePointer(), 11);
  EXPECT_EQ(surface.BackColor(), kButtonFaceColor);  // the surface keeps its own colour

  // Each getter asks its part again.
  box().SetBackColor(0x00445566);
  box().SetLocked(false);
  EXPECT_EQ(control.BackColor(), 0x00445566u);
  EXPECT_EQ(control.Locked(), kFalse);
  EXPECT_TRUE(host.log.empty());
}

TEST_F(PropertiesTest, SelectionGoesToTheTextBox) {
  control.SetText(u"07/03/2001");
  host.Take();
  control.SetSelStart(3);
  control.SetSelLength(2);
  EXPECT_EQ(control.SelStart(), 3);
  EXPECT_EQ(control.SelLength(), 2);
  EXPECT_EQ(control.SelText(), u"03");

  control.SetSelText(u"11");
  EXPECT_EQ(control.Text(), u"07/11/2001");
  EXPECT_EQ(host.Take(),
            (Log{"PropertyChanged SelStart", "PropertyChanged SelLength", "Change", "PropertyChanged SelText"}));

  control.SetSelStart(0);
  control.SetSelText(u"1");  // nothing selected: inserted at the caret
  EXPECT_EQ(control.Text(), u"107/11/2001");
}

TEST_F(PropertiesTest, RefusedValuesMarkNothing) {
  EXPECT_EQ(ErrorOf([&] { control.SetSelStart(-1); }), ErrorNumber::InvalidPropertyValue);
  EXPECT_EQ(ErrorOf([&] { control.SetSelLength(-5); }), ErrorNumber::InvalidPropertyValue);
  EXPECT_EQ(ErrorOf([&] { control.SetMousePointer(16); }), ErrorNumber::InvalidPropertyValue);
  EXPECT_EQ(ErrorOf([&] { control.SetFont(nullptr); }), ErrorNumber::InvalidPropertyValue);
  host.ambientFont = nullptr;
  EXPECT_EQ(ErrorOf([&] { control.AmbientChanged(AmbientProperty::Font); }), ErrorNumber::InvalidPropertyValue);
  EXPECT_TRUE(host.log.empty());
  EXPECT_EQ(control.MousePointer(), 0);
  EXPECT_NE(control.GetFont(), nullptr);
  EXPECT_EQ(surface.FontName(), u"MS Sans Serif");
}

TEST_F(PropertiesTest, EnabledReachesTheTextBoxThenTheSpinnerAndReadsTheTextBox) {
  control.SetEnabled(kFalse);
  EXPECT_FALSE(box().Enabled());
  EXPECT_FALSE(spinner().Enabled());
  EXPECT_EQ(control.Enabled(), kFalse);
  EXPECT_EQ(host.Take(), (Log{"PropertyChanged Enabled"}));

  spinner().SetEnabled(true);
  EXPECT_EQ(control.Enabled(), kFalse);
  control.SetEnabled(1);  // any nonzero Boolean is true
  EXPECT_TRUE(box().Enabled());
  EXPECT_TRUE(spinner().Enabled());
  EXPECT_EQ(control.Enabled(), kTrue);
}

TEST_F(PropertiesTest, LockedStopsTypingButNotStepping) {
  control.SetText(u"07/03/2001");
  control.SetLocked(kTrue);
  box().TypeText(u"9");
  EXPECT_EQ(control.Text(), u"07/03/2001");
  control.SetSelStart(0);
  spinner().ClickUp();
  EXPECT_EQ(control.Text(), u"08/03/2001");
  control.SetSelStart(4);
  box().PressKey(vk::Up);
  EXPECT_EQ(control.Text(), u"08/04/2001");
}

TEST_F(PropertiesTest, FontIsTheTextBoxsOwnObject) {
  const std::shared_ptr<Font> font = control.GetFont();
  EXPECT_EQ(font, box().GetFont());
  EXPECT_EQ(font->attributes(), (Font::Attributes{u"MS Sans Serif", 8.25, false, false, false, false, 400, 0}));

  Font::Attributes bold = font->attributes();
  bold.bold = true;
  font->SetAttributes(bold);
  EXPECT_TRUE(box().GetFont()->attributes().bold);
  EXPECT_TRUE(host.log.empty());

  const std::shared_ptr<Font> other = MakeFont({.name = u"Arial", .size = 12});
  control.SetFont(other);
  EXPECT_EQ(box().GetFont(), other);
  EXPECT_EQ(control.GetFont(), other);
  EXPECT_EQ(host.Take(), (Log{"PropertyChanged Font"}));
}

TEST_F(PropertiesTest, MouseIconIsOnlyKept) {
  EXPECT_EQ(control.MouseIcon(), nullptr);
  const std::shared_ptr<Picture> icon = MakeEmptyPicture();
  control.SetMouseIcon(icon);
  EXPECT_EQ(control.MouseIcon(), icon);
  EXPECT_EQ(surface.MousePointer(), 0);
  EXPECT_EQ(host.Take(), (Log{"PropertyChanged MouseIcon"}));
}

TEST_F(PropertiesTest, BorderStyleAndHdcAreTheSurfaces) {
  EXPECT_EQ(control.BorderStyle(), surface.BorderStyle());
  EXPECT_EQ(control.hdc(), surface.hdc());
}

TEST_F(PropertiesTest, AmbientChangesReachTheSurfaceOnly) {
  host.ambientBackColor = 0x00ABCDEF;
  host.ambientFont = MakeFont({.name = u"Tahoma", .size = 20, .bold = true});
  const Font::Attributes textBoxFont = box().GetFont()->attributes();

  control.AmbientChanged(AmbientProperty::BackColor);
  EXPECT_EQ(surface.BackColor(), 0x00ABCDEFu);
  EXPECT_EQ(surface.FontName(), u"MS Sans Serif");
  control.AmbientChanged(AmbientProperty::Font);
  EXPECT_EQ(surface.FontName(), u"Tahoma");

  EXPECT_EQ(box().BackColor(), kWindowColor);
  EXPECT_EQ(box().GetFont()->attributes(), textBoxFont);
  EXPECT_TRUE(host.log.empty());
}

// The spinner keeps its width even on surfaces as narrow as or narrower than it; all in single precision.
TEST_F(PropertiesTest, TextBoxFillsTheSurfaceUpToTheSpinnerAtTheRightEdge) {
  const std::pair<Single, Single> sizes[] = {
      {1890, 615}, {3000, 300}, {200.5f, 45.25f}, {1234.567f, 300.1f}, {195, 300}, {100, 20}, {0, 0}};
  for (const auto& [width, height] : sizes) {
    surface.Resize(width, height);
    EXPECT_EQ(Places(), (std::vector<Single>{0, 0, width - Single{195}, height, width - Single{195}, 0, 195, height}))
        << width << " x " << height;
  }
}

TEST_F(PropertiesTest, AnchoMinQueriesTheWidthsOfTheFontsRange) {
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

TEST_F(PropertiesTest, AnchoMinIsZeroWhenTheQueryFails) {
  gdi.validHdc = surface.hdc() + 1;
  EXPECT_EQ(control.AnchoMin(), 0);
  // The metrics stay zero, so the query covers the single code 0.
  EXPECT_EQ(gdi.calls.back(), "GetCharWidth32A " + std::to_string(surface.hdc()) + " 0 0");
}

TEST_F(PropertiesTest, AnchoMinFetchesNothingForMetricsWhoseLastCharacterLiesBelowTheFirst) {
  gdi.metrics = {.tmFirstChar = 200, .tmLastChar = 32};
  EXPECT_EQ(control.AnchoMin(), 0);
  EXPECT_EQ(gdi.calls, (std::vector<std::string>{"GetTextMetricsA " + std::to_string(surface.hdc())}));
}

}  // namespace
}  // namespace marelco::test
