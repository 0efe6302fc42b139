// What Kalendo relies on from its text box, as a typed suite that every text box implementation
// instantiates with a driver of its own:
//
//   struct Driver {
//     TextBox& box();                                // a fresh, visible, enabled box
//     void PressKey(Integer keyCode, Integer shift); // the user presses and releases a key
//     void TypeChar(char16_t character);             // the user types one character
//     void Focus();                                  // the user moves the focus into the box
//     void Blur();                                   // the focus moves elsewhere
//     void SetVisible(bool visible);                 // the container shows or hides the box
//     bool HasFocus();
//   };
//
//   INSTANTIATE_TYPED_TEST_SUITE_P(Name, TextBoxContract, ::testing::Types<Driver>);
//
// Include this header in one source file per test program only.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "control/platform/constituents.h"
#include "control/platform/font.h"
#include "tests/support/event_handlers.h"
#include "tests/support/keys.h"
#include "dates/runtime_error.h"
#include "tests/support/error_of.h"

namespace marelco::contract {

template <class Driver>
class TextBoxContract : public ::testing::Test {
 protected:
  TextBox& box() { return driver.box(); }

  // Records the box's events, with the text as each handler saw it.
  void Listen() {
    handlers.Change = [this] { log.push_back("Change " + Narrow(box().Text())); };
    handlers.KeyDown = [this](Integer& code, Integer& shift) {
      log.push_back("KeyDown " + std::to_string(code) + " " + std::to_string(shift));
      if (onKeyDown) onKeyDown(code, shift);
    };
    handlers.KeyPress = [this](Integer& ascii) {
      log.push_back("KeyPress " + std::to_string(ascii));
      if (onKeyPress) onKeyPress(ascii);
    };
    handlers.KeyUp = [this](Integer& code, Integer& shift) {
      log.push_back("KeyUp " + std::to_string(code) + " " + std::to_string(shift));
    };
    handlers.LostFocus = [this] { log.push_back("LostFocus"); };
    handlers.Click = [this] { log.push_back("Click"); };
    handlers.DblClick = [this] { log.push_back("DblClick"); };
    box().SetEvents(&handlers);
  }

  void SetUpText(const std::u16string& text, Long caret) {
    box().SetText(text);
    box().SetSelStart(caret);
    log.clear();
  }

  static std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

  TextBoxHandlers handlers;  // outlives the box that calls it
  Driver driver;
  std::vector<std::string> log;
  std::function<void(Integer&, Integer&)> onKeyDown;
  std::function<void(Integer&)> onKeyPress;
};

TYPED_TEST_SUITE_P(TextBoxContract);

TYPED_TEST_P(TextBoxContract, StartsWithItsDesignTimeSettings) {
  TextBox& box = this->box();
  EXPECT_EQ(box.Left(), 0);
  EXPECT_EQ(box.Top(), 0);
  EXPECT_EQ(box.Width(), 1665);
  EXPECT_EQ(box.Height(), 300);
  EXPECT_EQ(box.Text(), u"");
  EXPECT_EQ(box.BackColor(), kWindowColor);
  EXPECT_EQ(box.ForeColor(), kWindowTextColor);
  EXPECT_TRUE(box.Enabled());
  EXPECT_FALSE(box.Locked());
  EXPECT_EQ(box.ToolTipText(), u"");
  EXPECT_NE(box.GetFont(), nullptr);
}

TYPED_TEST_P(TextBoxContract, WritingTextRaisesChangeBeforeReturningOnlyWhenItChanges) {
  this->Listen();
  this->box().SetText(u"31/01/2027");
  EXPECT_EQ(this->log, (std::vector<std::string>{"Change 31/01/2027"}));
  this->box().SetText(u"31/01/2027");
  EXPECT_EQ(this->log.size(), 1u);
  this->box().SetText(u"");
  EXPECT_EQ(this->log.back(), "Change ");
  EXPECT_EQ(this->box().Text(), u"");
}

// In turn: a start, and a length unless it is -1, then the selection they make.
TYPED_TEST_P(TextBoxContract, SelectionIsCutBackToTheText) {
  TextBox& box = this->box();
  const std::u16string text = u"31/01/2027";
  box.SetText(text);
  const struct {
    Long start, length, selStart, selLength;
  } rows[] = {
      {4, -1, 4, 0}, {3, 2, 3, 2}, {6, 10, 6, 4}, {5, -1, 5, 0},  // a new start empties the selection
      {255, -1, 10, 0}, {0, 0x7FFFFFFF, 0, 10},
  };
  for (const auto& row : rows) {
    box.SetSelStart(row.start);
    if (row.length >= 0) box.SetSelLength(row.length);
    EXPECT_EQ(box.SelStart(), row.selStart) << row.start << " " << row.length;
    EXPECT_EQ(box.SelLength(), row.selLength) << row.start << " " << row.length;
    EXPECT_EQ(box.SelText(), text.substr(row.selStart, row.selLength));
  }
}

TYPED_TEST_P(TextBoxContract, NegativeSelectionIsAnInvalidPropertyValue) {
  TextBox& box = this->box();
  box.SetText(u"31/01/2027");
  box.SetSelStart(3);
  box.SetSelLength(2);
  EXPECT_EQ(test::ErrorOf([&] { box.SetSelStart(-1); }), ErrorNumber::InvalidPropertyValue);
  EXPECT_EQ(test::ErrorOf([&] { box.SetSelLength(-5); }), ErrorNumber::InvalidPropertyValue);
  EXPECT_EQ(box.SelStart(), 3);
  EXPECT_EQ(box.SelLength(), 2);
}

TYPED_TEST_P(TextBoxContract, SelTextReadsAndReplacesTheSelection) {
  this->Listen();
  this->SetUpText(u"31/01/2027", 3);
  this->box().SetSelLength(2);
  EXPECT_EQ(this->box().SelText(), u"01");
  this->box().SetSelText(u"12");
  EXPECT_EQ(this->box().Text(), u"31/12/2027");
  EXPECT_EQ(this->log, (std::vector<std::string>{"Change 31/12/2027"}));
}

TYPED_TEST_P(TextBoxContract, SetFocusFailsWhileDisabledOrHidden) {
  TextBox& box = this->box();
  box.SetEnabled(false);
  EXPECT_EQ(test::ErrorOf([&] { box.SetFocus(); }), ErrorNumber::InvalidProcedureCall);
  box.SetEnabled(true);
  this->driver.SetVisible(false);
  EXPECT_EQ(test::ErrorOf([&] { box.SetFocus(); }), ErrorNumber::InvalidProcedureCall);
  EXPECT_FALSE(this->driver.HasFocus());
  this->driver.SetVisible(true);
  box.SetFocus();
  EXPECT_TRUE(this->driver.HasFocus());
}

TYPED_TEST_P(TextBoxContract, LosingTheFocusRaisesLostFocus) {
  this->Listen();
  this->driver.Focus();
  this->driver.Blur();
  EXPECT_EQ(this->log, (std::vector<std::string>{"LostFocus"}));
  this->driver.Blur();  // no focus, nothing to lose
  EXPECT_EQ(this->log.size(), 1u);
  this->box().SetFocus();
  this->box().SetEnabled(false);  // a disabled box cannot keep the focus
  EXPECT_EQ(this->log.size(), 2u);
  EXPECT_FALSE(this->driver.HasFocus());
}

// In turn from caret 0 of "31/01/2027": a key, and the selection it leaves.
TYPED_TEST_P(TextBoxContract, CaretKeysMoveAndShiftSelects) {
  this->SetUpText(u"31/01/2027", 0);
  const struct {
    Integer key, shift;
    Long selStart, selLength;
  } rows[] = {
      {vk::End, 0, 10, 0},  {vk::Left, kShiftMask, 9, 1},  {vk::Left, kShiftMask, 8, 2}, {vk::Home, 0, 0, 0},
      {vk::Right, 0, 1, 0}, {vk::Right, kShiftMask, 1, 1}, {vk::End, kShiftMask, 1, 9},
  };
  for (const auto& row : rows) {
    this->driver.PressKey(row.key, row.shift);
    EXPECT_EQ(this->box().SelStart(), row.selStart) << row.key << " " << row.shift;
    EXPECT_EQ(this->box().SelLength(), row.selLength) << row.key << " " << row.shift;
  }
}

TYPED_TEST_P(TextBoxContract, KeyEventsComeInOrderWithTheirArguments) {
  this->Listen();
  this->SetUpText(u"31/01/2027", 10);
  this->driver.PressKey(vk::Back, kShiftMask);
  EXPECT_EQ(this->log, (std::vector<std::string>{"KeyDown 8 1", "KeyPress 8", "Change 31/01/202", "KeyUp 8 1"}));
}

// The box acts on the key and shift state as the KeyDown handlers leave them; key code 0 stops the key.
TYPED_TEST_P(TextBoxContract, KeyDownHandlerDecidesWhatTheKeyDoes) {
  this->Listen();
  this->onKeyDown = [](Integer& code, Integer&) { code = 0; };
  this->SetUpText(u"31/01/2027", 4);
  for (Integer key : {vk::Left, vk::Right, vk::Up, vk::Down, vk::Home, vk::End, vk::Delete}) {
    this->driver.PressKey(key, 0);
    EXPECT_EQ(this->box().SelStart(), 4) << key;
    EXPECT_EQ(this->box().SelLength(), 0) << key;
  }
  EXPECT_EQ(this->box().Text(), u"31/01/2027");
  EXPECT_EQ(this->log.back(), "KeyUp 46 0");  // the release is still reported, with the real key

  this->onKeyDown = [](Integer& code, Integer& shift) {
    if (code == vk::Left) code = vk::Right;
    shift = kShiftMask;
  };
  this->driver.PressKey(vk::Left, 0);
  EXPECT_EQ(this->box().SelStart(), 4);
  EXPECT_EQ(this->box().SelLength(), 1);
}

TYPED_TEST_P(TextBoxContract, KeyPressHandlerCanDiscardOrChangeTheCharacter) {
  this->Listen();
  this->onKeyPress = [](Integer& ascii) {
    if (ascii == 'x') ascii = 0;
    if (ascii == 'a') ascii = 'A';
  };
  this->SetUpText(u"", 0);
  for (char16_t character : std::u16string(u"xaxb")) this->driver.TypeChar(character);
  EXPECT_EQ(this->box().Text(), u"Ab");
  EXPECT_EQ(this->log, (std::vector<std::string>{"KeyPress 120", "KeyPress 97", "Change A", "KeyPress 120",
                                                 "KeyPress 98", "Change Ab"}));
}

TYPED_TEST_P(TextBoxContract, TypingReplacesTheSelectionAndEditKeysDelete) {
  TextBox& box = this->box();
  this->SetUpText(u"31/01/2027", 3);
  box.SetSelLength(2);
  this->driver.TypeChar(u'0');
  this->driver.TypeChar(u'9');
  EXPECT_EQ(box.Text(), u"31/09/2027");
  EXPECT_EQ(box.SelStart(), 5);
  this->driver.PressKey(vk::Delete, 0);
  EXPECT_EQ(box.Text(), u"31/092027");
  this->driver.PressKey(vk::Back, 0);
  EXPECT_EQ(box.Text(), u"31/02027");
  box.SetSelStart(0);
  box.SetSelLength(3);
  this->driver.PressKey(vk::Delete, 0);
  EXPECT_EQ(box.Text(), u"02027");
}

TYPED_TEST_P(TextBoxContract, LockedBoxRefusesEditsButNotCaretKeysOrWrites) {
  this->Listen();
  TextBox& box = this->box();
  this->SetUpText(u"31/01/2027", 4);
  box.SetLocked(true);
  this->driver.TypeChar(u'5');
  this->driver.PressKey(vk::Delete, 0);
  this->driver.PressKey(vk::Back, 0);
  EXPECT_EQ(box.Text(), u"31/01/2027");
  this->driver.PressKey(vk::Right, 0);
  EXPECT_EQ(box.SelStart(), 5);
  EXPECT_EQ(this->log.front(), "KeyPress 53");  // the keys are still reported
  box.SetText(u"01/02/2027");
  EXPECT_EQ(box.Text(), u"01/02/2027");
}

TYPED_TEST_P(TextBoxContract, HandlerErrorEndsTheEventNotTheWrite) {
  TextBoxHandlers events;
  events.Change = [] { throw RuntimeError(ErrorNumber::Overflow); };
  this->box().SetEvents(&events);
  this->box().SetText(u"31/01/2027");
  EXPECT_EQ(this->box().Text(), u"31/01/2027");
}

TYPED_TEST_P(TextBoxContract, FontIsSharedByReference) {
  Font::Attributes attributes;
  attributes.name = u"Arial";
  auto font = MakeFont(attributes);
  this->box().SetFont(font);
  EXPECT_EQ(this->box().GetFont(), font);
  attributes.name = u"Tahoma";
  font->SetAttributes(attributes);
  EXPECT_EQ(this->box().GetFont()->attributes().name, u"Tahoma");
}

REGISTER_TYPED_TEST_SUITE_P(TextBoxContract, StartsWithItsDesignTimeSettings,
                            WritingTextRaisesChangeBeforeReturningOnlyWhenItChanges,
                            SelectionIsCutBackToTheText, NegativeSelectionIsAnInvalidPropertyValue,
                            SelTextReadsAndReplacesTheSelection, SetFocusFailsWhileDisabledOrHidden,
                            LosingTheFocusRaisesLostFocus, CaretKeysMoveAndShiftSelects,
                            KeyEventsComeInOrderWithTheirArguments, KeyDownHandlerDecidesWhatTheKeyDoes,
                            KeyPressHandlerCanDiscardOrChangeTheCharacter, TypingReplacesTheSelectionAndEditKeysDelete,
                            LockedBoxRefusesEditsButNotCaretKeysOrWrites, HandlerErrorEndsTheEventNotTheWrite,
                            FontIsSharedByReference);

}  // namespace marelco::contract
