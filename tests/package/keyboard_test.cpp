// The user's keys reaching a Kalendo placed in a container of our own: the control becomes the frame's active
// object, and keys pressed on the keyboard come to the container's sink as KeyDown, KeyPress and KeyUp with
// arguments by reference, which the container's handler may change.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "package/marelco_typelib.h"
#include "tests/package/ocx_path.h"
#include "tests/package/sinks.h"
#include "tests/package/site.h"
#include "tests/win32/window_test_support.h"

#include <commctrl.h>

namespace marelco {
namespace {

using testing_sinks::Connection;
using testing_sinks::EventSink;
using testing_site::Site;
using win32::testing::Pump;
using win32::testing::SendKeyPress;
using win32::testing::SendText;

// An event as the container's sink saw it: its identifier and its Integer arguments' values, first argument
// first, read through their references at the time of the call.
struct Heard {
  DISPID id;
  std::vector<SHORT> values;
  bool operator==(const Heard&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const Heard& heard) {
    out << heard.id << "(";
    for (SHORT value : heard.values) out << value << " ";
    return out << ")";
  }
};

class Keyboard : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    HWND form = win32::testing::TestForm::Shared().hwnd();
    SetForegroundWindow(form);
    site_.window = form;
    site_.frame.window = form;
    control_ = NewKalendo();
    ASSERT_TRUE(control_);
    object_ = control_.query<IOleObject>();
    ASSERT_EQ(S_OK, object_->SetClientSite(&site_));
    ASSERT_EQ(S_OK, control_.query<IPersistStreamInit>()->InitNew());
    connection_.emplace(control_.get(), DIID___Kalendo, &sink_);
    ASSERT_EQ(S_OK, connection_->result());
    sink_.handler = [this](DISPID id, DISPPARAMS& params) { Record(id, params); };
    ASSERT_EQ(S_OK, object_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, &site_, 0, form, nullptr));
    Pump();
  }

  void TearDown() override {
    connection_.reset();
    if (object_) {
      object_->Close(OLECLOSE_NOSAVE);
      object_->SetClientSite(nullptr);
    }
    object_.reset();
    control_.reset();
    EXPECT_EQ(0u, site_.references);
    EXPECT_EQ(0u, site_.frame.references);
    OleUninitialize();
  }

  HWND TextBox() {
    HWND surface = nullptr;
    control_.query<IOleWindow>()->GetWindow(&surface);
    return FindWindowExW(surface, nullptr, L"Edit", nullptr);
  }

  void SetTextAndCaret(const wchar_t* text, LONG caret) {
    ASSERT_EQ(S_OK, control_->put_Text(Bstr(std::wstring_view(text)).get()));
    ASSERT_EQ(S_OK, control_->put_SelStart(caret));
    heard_.clear();
  }

  std::wstring Text() {
    Bstr text;
    EXPECT_EQ(S_OK, control_->get_Text(text.put()));
    return text.get() ? text.get() : L"";
  }

  // The message loop of an OLE container: each key goes to the active object first, and a key that it takes
  // is not dispatched.
  void ContainerPump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      const bool key = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
      if (key && site_.frame.active && site_.frame.active->TranslateAccelerator(&message) == S_OK) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

  // Presses and releases a key, with modifier keys held, by real keyboard input to the container's loop.
  void PressInContainer(WORD keyCode, const std::vector<WORD>& modifiers = {}) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD key, DWORD flags) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = key;
      input.ki.dwFlags = flags;
      inputs.push_back(input);
    };
    for (WORD modifier : modifiers) add(modifier, 0);
    add(keyCode, 0);
    add(keyCode, KEYEVENTF_KEYUP);
    for (WORD modifier : modifiers) add(modifier, KEYEVENTF_KEYUP);
    for (INPUT& input : inputs) {
      SendInput(1, &input, sizeof input);
      ContainerPump();
    }
  }

  // The keys that the control passed to its site's TranslateAccelerator, as "key modifiers".
  std::vector<std::string> KeysPassedToTheSite() {
    std::vector<std::string> keys;
    const std::string prefix = "TranslateAccelerator ";
    for (const auto& call : site_.calls) {
      if (call.starts_with(prefix)) keys.push_back(call.substr(prefix.size()));
    }
    return keys;
  }

  // The container's answer to a key event: sets the first argument (KeyCode or KeyAscii) through its reference.
  void AnswerWith(DISPID id, SHORT firstArgument) { answers_.push_back({id, firstArgument}); }

  void Record(DISPID id, DISPPARAMS& params) {
    Heard heard{id, {}};
    for (UINT index = params.cArgs; index-- > 0;) {
      VARIANT& argument = params.rgvarg[index];
      if (V_VT(&argument) == (VT_BYREF | VT_I2)) heard.values.push_back(*V_I2REF(&argument));
    }
    heard_.push_back(heard);
    for (const auto& [answerId, value] : answers_) {
      if (answerId == id && params.cArgs > 0) *V_I2REF(&params.rgvarg[params.cArgs - 1]) = value;
    }
  }

  Site site_;
  EventSink sink_;
  ComPtr<_Kalendo> control_;
  ComPtr<IOleObject> object_;
  std::optional<Connection> connection_;
  std::vector<std::pair<DISPID, SHORT>> answers_;
  std::vector<Heard> heard_;
};

TEST_F(Keyboard, UIActivationMakesTheControlTheFramesActiveObjectWithTheFocusInItsTextBox) {
  EXPECT_EQ(TextBox(), GetFocus());
  ASSERT_TRUE(site_.frame.active);
  EXPECT_TRUE(site_.frame.active.query<_Kalendo>().get() == control_.get()) << "the control itself";
  EXPECT_NE(site_.calls.end(), std::find(site_.calls.begin(), site_.calls.end(), "OnUIActivate"));

  ASSERT_EQ(S_OK, control_.query<IOleInPlaceObject>()->UIDeactivate());
  EXPECT_FALSE(site_.frame.active) << "no longer active";
  EXPECT_EQ("OnUIDeactivate", site_.calls.back());

}

TEST_F(Keyboard, TabIntoTheTextBoxMakesTheControlActiveAgain) {
  ASSERT_EQ(S_OK, control_.query<IOleInPlaceObject>()->UIDeactivate());
  SetFocus(win32::testing::TestForm::Shared().other());
  EXPECT_EQ("OnFocus out", site_.calls.back()) << "the container hears the focus leave";
  site_.calls.clear();
  // The form's dialog navigation moves the focus from the other window to the control's text box.
  for (int presses = 0; presses < 3 && GetFocus() != TextBox(); ++presses) SendKeyPress(VK_TAB);
  ASSERT_EQ(TextBox(), GetFocus());
  EXPECT_TRUE(site_.frame.active);
  EXPECT_EQ((std::vector<std::string>{"OnUIActivate", "OnFocus in"}), site_.calls);

  // A mnemonic routed to the control brings the focus back into its text box, too.
  ASSERT_EQ(S_OK, control_.query<IOleInPlaceObject>()->UIDeactivate());
  SetFocus(win32::testing::TestForm::Shared().other());
  MSG mnemonic = {};
  EXPECT_EQ(S_OK, control_.query<IOleControl>()->OnMnemonic(&mnemonic));
  EXPECT_EQ(TextBox(), GetFocus());
  EXPECT_TRUE(site_.frame.active);
}

TEST_F(Keyboard, ArrowKeyIsRaisedAsKeyDownBeforeTheStepAndItsChange) {
  SetTextAndCaret(L"31/01/2027", 4);
  SendKeyPress(VK_UP);
  EXPECT_EQ(L"28/02/2027", Text());
  // KeyDown comes with the key's code and the shift state; the step that follows raises Change; the key's
  // code is 0 by the time the text box would see it, and its release comes as KeyUp.
  EXPECT_EQ((std::vector<Heard>{{DISPID_KEYDOWN, {VK_UP, 0}}, {DISPID_KALENDO_CHANGE, {}}, {DISPID_KEYUP, {VK_UP, 0}}}),
            heard_);

  heard_.clear();
  SendKeyPress(VK_DOWN, {VK_SHIFT});
  EXPECT_EQ(L"28/01/2027", Text());
  EXPECT_NE(heard_.end(), std::find(heard_.begin(), heard_.end(), Heard{DISPID_KEYDOWN, {VK_DOWN, 1}})) << "Shift is 1";
}

// Tab, Shift+Tab, Enter, Esc and accelerators with Ctrl or Alt go to the container's site, which takes them
// here; the keys the text box uses stay in it and never reach the site.
TEST_F(Keyboard, KeysTheTextBoxDoesNotUseGoToTheContainersSite) {
  SetTextAndCaret(L"31/01/2027", 1);
  site_.acceleratorAnswer = S_OK;
  const struct {
    WORD key;
    std::vector<WORD> modifiers;
    std::string passed;  // key and modifiers (1 Shift, 2 Ctrl, 4 Alt) as the site receives them
  } containerKeys[] = {{VK_TAB, {}, "9 0"},    {VK_TAB, {VK_SHIFT}, "9 1"},   {VK_RETURN, {}, "13 0"},
                       {VK_ESCAPE, {}, "27 0"}, {'P', {VK_CONTROL}, "80 2"}, {'D', {VK_MENU}, "68 4"}};
  for (const auto& [key, modifiers, passed] : containerKeys) {
    site_.calls.clear();
    PressInContainer(key, modifiers);
    const auto keys = KeysPassedToTheSite();
    EXPECT_NE(keys.end(), std::find(keys.begin(), keys.end(), passed)) << passed;
    EXPECT_EQ(L"31/01/2027", Text()) << passed;
    EXPECT_EQ(TextBox(), GetFocus()) << passed;
    EXPECT_EQ(heard_.end(), std::find_if(heard_.begin(), heard_.end(),
                                         [&](const Heard& h) {
                                           return (h.id == DISPID_KEYDOWN || h.id == DISPID_KEYPRESS) &&
                                                  h.values[0] == static_cast<SHORT>(key);
                                         }))
        << passed << ": a key the container took never reaches the text box";
  }

  const struct {
    WORD key;
    std::vector<WORD> modifiers;
    const wchar_t* text;  // the text afterwards
  } textBoxKeys[] = {{VK_UP, {}, L"01/02/2027"},       {VK_END, {}, L"01/02/2027"},  {VK_BACK, {}, L"01/02/202"},
                     {'8', {}, L"01/02/2028"},         {VK_HOME, {}, L"01/02/2028"}, {VK_DELETE, {}, L"1/02/2028"},
                     {VK_RIGHT, {VK_SHIFT}, L"1/02/2028"}, {'X', {VK_CONTROL}, L"/02/2028"}};
  site_.calls.clear();
  for (const auto& [key, modifiers, text] : textBoxKeys) {
    PressInContainer(key, modifiers);
    EXPECT_EQ(text, Text()) << key;
  }
  EXPECT_EQ(std::vector<std::string>{}, KeysPassedToTheSite());
}

TEST_F(Keyboard, ArgumentsAreByReferenceIntegers) {
  SetTextAndCaret(L"31/01/2027", 1);
  sink_.raised.clear();
  SendKeyPress(VK_UP);
  ASSERT_FALSE(sink_.raised.empty());
  EXPECT_EQ(DISPID_KEYDOWN, sink_.raised[0].id);
  EXPECT_EQ((std::vector<VARTYPE>{VT_BYREF | VT_I2, VT_BYREF | VT_I2}), sink_.raised[0].types);
}

TEST_F(Keyboard, ContainerThatClearsTheKeyCodePreventsTheStep) {
  SetTextAndCaret(L"31/01/2027", 1);
  AnswerWith(DISPID_KEYDOWN, 0);
  SendKeyPress(VK_UP);
  EXPECT_EQ(L"31/01/2027", Text());
  EXPECT_EQ(0,
            std::count_if(heard_.begin(), heard_.end(), [](const Heard& h) { return h.id == DISPID_KALENDO_CHANGE; }));
}

TEST_F(Keyboard, ContainerThatTurnsAnotherKeyIntoUpStepsForward) {
  SetTextAndCaret(L"31/01/2027", 1);
  AnswerWith(DISPID_KEYDOWN, VK_UP);
  SendKeyPress(VK_F2);
  EXPECT_EQ(L"01/02/2027", Text());
}

TEST_F(Keyboard, TypedCharactersComeAsKeyPressAndAZeroDiscardsThem) {
  SetTextAndCaret(L"", 0);
  SendText(L"7/3");
  EXPECT_EQ(L"7/3", Text());
  const auto pressed =
      std::count_if(heard_.begin(), heard_.end(), [](const Heard& h) { return h.id == DISPID_KEYPRESS; });
  EXPECT_EQ(3, pressed);
  EXPECT_NE(heard_.end(), std::find(heard_.begin(), heard_.end(), Heard{DISPID_KEYPRESS, {'7'}}));

  AnswerWith(DISPID_KEYPRESS, 0);
  SendText(L"9");
  EXPECT_EQ(L"7/3", Text()) << "the text box never sees the character";
}

// The container's window counts the wheel messages that reach it.
int container_wheels = 0;
WNDPROC container_procedure = nullptr;
LRESULT CALLBACK CountWheels(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  container_wheels += message == WM_MOUSEWHEEL;
  return CallWindowProcW(container_procedure, hwnd, message, wParam, lParam);
}

// Real wheel input, the pointer over the text box or the spinner: the focused control steps the field under the
// caret once for each whole notch, raising Change alone; any other wheel goes on to the container's window.
TEST_F(Keyboard, TheWheelStepsTheFocusedControlAndOtherwiseReachesTheContainer) {
  HWND spinner = FindWindowExW(GetParent(TextBox()), nullptr, UPDOWN_CLASSW, nullptr), form = site_.window;
  container_procedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(form, GWLP_WNDPROC, LONG_PTR(&CountWheels)));
  constexpr int notch = WHEEL_DELTA;
  const struct {
    HWND over;
    bool focused, locked;
    std::vector<WORD> modifiers;
    std::vector<int> deltas;
    const wchar_t* text;  // afterwards, from 15/05/2026 with the caret in the month
    int changes, containerWheels;
  } cases[] = {  // in order: what a row leaves of a notch, the next row's turn adds to
      {TextBox(), true, false, {}, {notch}, L"15/06/2026", 1, 0},  {TextBox(), true, false, {}, {-notch}, L"15/04/2026", 1, 0},
      {spinner, true, false, {}, {notch}, L"15/06/2026", 1, 0},    {spinner, true, false, {}, {-notch}, L"15/04/2026", 1, 0},
      {TextBox(), true, false, {}, {2 * notch}, L"15/07/2026", 2, 0},
      {TextBox(), true, false, {}, {notch / 2, notch / 2}, L"15/06/2026", 1, 0},
      {spinner, true, false, {}, {notch / 2, -notch / 2}, L"15/05/2026", 0, 0},
      {TextBox(), true, true, {}, {-notch}, L"15/04/2026", 1, 0},
      {TextBox(), true, false, {VK_CONTROL}, {notch}, L"15/05/2026", 0, 1},
      {TextBox(), true, false, {}, {-notch / 2}, L"15/05/2026", 0, 0},  // what went to the container is not kept
      {spinner, true, false, {VK_SHIFT}, {notch}, L"15/05/2026", 0, 1},
      {TextBox(), false, false, {}, {notch}, L"15/05/2026", 0, 1},  {spinner, false, false, {}, {-notch}, L"15/05/2026", 0, 1},
      {TextBox(), true, false, {}, {-notch / 2, 1, notch - 1}, L"15/06/2026", 1, 0},
  };
  for (const auto& each : cases) {
    const auto& [over, focused, locked, modifiers, deltas, text, changes, containerWheels] = each;
    const std::string row = "row " + std::to_string(&each - cases);
    SetFocus(focused ? TextBox() : win32::testing::TestForm::Shared().other());
    ASSERT_EQ(S_OK, control_->put_Locked(locked ? VARIANT_TRUE : VARIANT_FALSE));
    SetTextAndCaret(L"15/05/2026", 4);
    RECT place = {};
    GetWindowRect(over, &place);
    SetCursorPos((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    win32::testing::PumpFor(50);  // the move, before any key is held: Wine takes the keys' state from it
    container_wheels = 0;
    for (WORD modifier : modifiers) win32::testing::SendKey(modifier, true);
    for (int delta : deltas) {
      INPUT wheel{};
      wheel.type = INPUT_MOUSE;
      wheel.mi = {0, 0, static_cast<DWORD>(delta), MOUSEEVENTF_WHEEL, 0, 0};
      SendInput(1, &wheel, sizeof wheel);
      ContainerPump();
    }
    for (WORD modifier : modifiers) win32::testing::SendKey(modifier, false);
    EXPECT_EQ(text, Text()) << row;
    EXPECT_EQ(changes, std::ranges::count(heard_, DISPID_KALENDO_CHANGE, &Heard::id)) << row;
    EXPECT_EQ(changes + 2 * modifiers.size(), heard_.size()) << row << ": KeyDown and KeyUp of a modifier, no other";
    EXPECT_EQ(containerWheels, container_wheels / static_cast<int>(deltas.size())) << row;
  }
  SetWindowLongPtrW(form, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(container_procedure));
}

}  // namespace
}  // namespace marelco
