#include "tests/support/memory_constituents.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/core/text_box_contract.h"
#include "tests/support/event_handlers.h"

namespace marelco {
namespace {

struct MemoryTextBoxDriver {
  MemoryTextBox textBox;

  TextBox& box() { return textBox; }
  void PressKey(Integer keyCode, Integer shift) { textBox.PressKey(keyCode, shift); }
  void TypeChar(char16_t character) { textBox.TypeChar(character); }
  void Focus() { textBox.Focus(); }
  void Blur() { textBox.Blur(); }
  void SetVisible(bool visible) { textBox.SetVisible(visible); }
  bool HasFocus() { return textBox.HasFocus(); }
};

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Memory, TextBoxContract, ::testing::Types<MemoryTextBoxDriver>);
}  // namespace contract

namespace {

TEST(MemoryTextBox, TakesNoInputWhileDisabledOrHidden) {
  MemoryTextBox box;
  int events = 0;
  TextBoxHandlers handlers;
  handlers.KeyDown = [&](Integer&, Integer&) { ++events; };
  handlers.KeyPress = [&](Integer&) { ++events; };
  handlers.Click = [&] { ++events; };
  box.SetEvents(&handlers);
  box.SetEnabled(false);
  box.PressKey(vk::Up);
  box.TypeChar(u'1');
  box.Click();
  box.SetEnabled(true);
  box.SetVisible(false);
  box.PressKey(vk::Up);
  box.Click();
  EXPECT_EQ(events, 0);
  EXPECT_EQ(box.Text(), u"");
}

TEST(MemoryTextBox, KeepsTheErrorThatEndedAnEvent) {
  MemoryTextBox box;
  box.SetText(u"12");
  box.SetSelStart(2);
  TextBoxHandlers handlers;
  handlers.KeyDown = [](Integer&, Integer&) { throw RuntimeError(ErrorNumber::TypeMismatch); };
  box.SetEvents(&handlers);
  box.PressKey(vk::Left);
  EXPECT_EQ(box.SelStart(), 2);  // an event that failed counts as handled
  auto error = box.TakeEventError();
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->number(), ErrorNumber::TypeMismatch);
  EXPECT_FALSE(box.TakeEventError().has_value());
}

TEST(MemorySpinner, RaisesOneClickPerPressAndNoneWhileDisabled) {
  MemorySpinner spinner;
  EXPECT_EQ((std::vector<Single>{spinner.Left(), spinner.Top(), spinner.Width(), spinner.Height()}),
            (std::vector<Single>{1680, 0, 195, 300}));
  std::vector<std::string> clicks;
  SpinnerHandlers handlers;
  handlers.UpClick = [&] { clicks.push_back("up"); };
  handlers.DownClick = [&] { clicks.push_back("down"); };
  spinner.SetEvents(&handlers);
  for (int i = 0; i < 200; ++i) spinner.ClickUp();
  spinner.ClickDown();
  spinner.SetEnabled(false);
  spinner.ClickUp();
  spinner.ClickDown();
  ASSERT_EQ(clicks.size(), 201u);
  EXPECT_EQ(clicks.back(), "down");
}

TEST(MemorySurface, StartsWithItsDesignTimeSettings) {
  MemorySurface surface;
  EXPECT_EQ(surface.ScaleWidth(), 1890);
  EXPECT_EQ(surface.ScaleHeight(), 615);
  EXPECT_EQ(surface.BorderStyle(), 0);
  EXPECT_EQ(surface.MousePointer(), 0);
  EXPECT_NE(surface.hdc(), 0);
  EXPECT_EQ(surface.txtFecha().Width(), 1665);
  EXPECT_EQ(surface.UpDown1().Left(), 1680);
}

TEST(MemorySurface, AcceptsTheKnownMousePointersOnly) {
  MemorySurface surface;
  for (Integer pointer : {0, 1, 15, 99}) {
    surface.SetMousePointer(pointer);
    EXPECT_EQ(surface.MousePointer(), pointer);
  }
  for (Integer pointer : {-1, 16, 98, 100}) {
    EXPECT_EQ(test::ErrorOf([&] { surface.SetMousePointer(pointer); }), ErrorNumber::InvalidPropertyValue) << pointer;
  }
  EXPECT_EQ(surface.MousePointer(), 99);
}

TEST(MemorySurface, RaisesResizeAndMouseEventsWithArgumentsByReference) {
  MemorySurface surface;
  std::vector<std::string> log;
  SurfaceHandlers handlers;
  handlers.MouseMove = [&](Integer& button, Integer&, Single& x, Single&) {
    log.push_back("move " + std::to_string(button) + " " + std::to_string(int(x)));
    x = 7;
  };
  handlers.MouseUp = [&](Integer&, Integer&, Single&, Single&) { log.push_back("up"); };
  handlers.Resize = [&] { log.push_back("resize " + std::to_string(int(surface.ScaleWidth()))); };
  surface.SetEvents(&handlers);
  surface.Resize(3000, 400);
  Integer button = 1, shift = 0;
  Single x = 120, y = 45;
  surface.MoveMouse(button, shift, x, y);
  surface.ReleaseMouse(button, shift, x, y);
  EXPECT_EQ(log, (std::vector<std::string>{"resize 3000", "move 1 120", "up"}));
  EXPECT_EQ(x, 7);
  EXPECT_EQ(surface.ScaleHeight(), 400);
}

// Does what it is given at each change of a font.
struct ToldOfChanges final : FontListener {
  std::function<void()> then;
  explicit ToldOfChanges(std::function<void()> then) : then(std::move(then)) {}
  void FontChanged() override { then(); }
};

TEST(Font, ChangesReachEveryListenerUntilItsCookieIsTakenBack) {
  auto font = MakeFont();
  EXPECT_EQ(font->attributes().name, u"MS Sans Serif");
  int first = 0, second = 0;
  ToldOfChanges firstListener([&] { ++first; }), secondListener([&] { ++second; });
  font->Subscribe(firstListener);
  const Font::Cookie secondCookie = font->Subscribe(secondListener);
  Font::Attributes arial;
  arial.name = u"Arial";
  font->SetAttributes(arial);
  font->Unsubscribe(secondCookie);
  font->Unsubscribe(0);  // none
  arial.size = 12;
  font->SetAttributes(arial);
  EXPECT_EQ(first, 2);
  EXPECT_EQ(second, 1);
  EXPECT_EQ(font->attributes().size, 12);
}

TEST(Font, ListenerMayUnsubscribeAnotherWhileBeingTold) {
  auto font = MakeFont();
  int told = 0;
  Font::Cookie second = 0;
  ToldOfChanges firstListener([&] { font->Unsubscribe(second); }), secondListener([&] { ++told; });
  font->Subscribe(firstListener);
  second = font->Subscribe(secondListener);
  font->SetAttributes({});
  EXPECT_EQ(told, 0);
}

TEST(Picture, EmptyPictureHoldsNoImage) { EXPECT_TRUE(MakeEmptyPicture()->IsEmpty()); }

}  // namespace
}  // namespace marelco
