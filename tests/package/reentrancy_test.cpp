// Hosts that let go of the control inside its events, as a form does that closes itself from a date box's event:
// the handler unadvises, releases every reference it holds and destroys the host window. The control finishes
// what it was doing on a live object, and goes after the event has returned.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <olectl.h>

#include <functional>
#include <optional>
#include <string>

#include "package/com.h"
#include "package/marelco_typelib.h"
#include "tests/package/atl_host.h"
#include "tests/package/sinks.h"
#include "tests/win32/window_test_support.h"

namespace marelco {
namespace {

using testing_sinks::Connection;
using testing_sinks::EventSink;
using win32::testing::PostChar;
using win32::testing::PostKey;
using win32::testing::Pump;

constexpr DISPID kChange = 1;

HRESULT ServerCanUnloadNow() {
  auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"Marelco.ocx"), "DllCanUnloadNow")));
  return canUnload();
}

// A window of a form that hosts one Kalendo through the platform's ATL host.
class AtlHostedKalendo {
 public:
  AtlHostedKalendo() {
    form_ = CreateWindowExW(0, L"STATIC", L"host", WS_CHILD | WS_VISIBLE, 0, 0, 300, 60,
                            win32::testing::TestForm::Shared().hwnd(), nullptr, nullptr, nullptr);
    ComPtr<IUnknown> hosted;
    const auto& atl = testing_atl::AtlHost::Get();
    if (!atl || FAILED(atl.create(L"Marelco.Kalendo", form_, nullptr, host_.put())) ||
        FAILED(atl.getControl(form_, hosted.put()))) {
      return;
    }
    control_ = hosted.query<_Kalendo>();
    connection_.emplace(control_.get(), DIID___Kalendo, &sink);
  }
  ~AtlHostedKalendo() { LetGo(); }

  _Kalendo* control() const { return control_.get(); }

  // What a form's code does on closing: no more events, no references, no window.
  void LetGo() {
    connection_.reset();
    control_.reset();
    host_.reset();
    if (form_) DestroyWindow(std::exchange(form_, nullptr));
  }

  HWND Constituent(const wchar_t* windowClass) const {
    HWND surface = nullptr;
    control_.query<IOleWindow>()->GetWindow(&surface);
    return FindWindowExW(surface, nullptr, windowClass, nullptr);
  }

  // The text 31/01/2027 with the caret in the month, and the text box holding the focus.
  void PlaceCaretInTheMonth() {
    control_->put_Text(Bstr(std::wstring_view(L"31/01/2027")).get());
    control_->put_SelStart(4);
    SetFocus(Constituent(WC_EDITW));
    Pump();
    sink.raised.clear();
  }

  std::wstring Text() const {
    Bstr text;
    control_->get_Text(text.put());
    return text.get() ? text.get() : L"";
  }

  EventSink sink;

 private:
  HWND form_ = nullptr;
  ComPtr<IUnknown> host_;
  ComPtr<_Kalendo> control_;
  std::optional<Connection> connection_;
};

void PressUp(AtlHostedKalendo&) { PostKey(VK_UP); }
void TypeDigit(AtlHostedKalendo&) { PostChar(u'5'); }

void ClickUpArrow(AtlHostedKalendo& form) {
  HWND spinner = form.Constituent(UPDOWN_CLASSW);
  RECT arrows = {};
  GetClientRect(spinner, &arrows);
  const LPARAM upper = MAKELPARAM(arrows.right / 2, arrows.bottom / 4);
  PostMessageW(spinner, WM_LBUTTONDOWN, MK_LBUTTON, upper);
  PostMessageW(spinner, WM_LBUTTONUP, 0, upper);
  Pump();
}

void ClickTextBox(AtlHostedKalendo& form) {
  HWND box = form.Constituent(WC_EDITW);
  PostMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  Pump();
}

struct LettingGo {
  const char* name;
  DISPID event;  // the host lets go inside the first of these
  std::function<void(AtlHostedKalendo&)> raise;
};

const LettingGo kLettingGo[] = {
    {"KeyDown", DISPID_KEYDOWN, PressUp},
    {"KeyPress", DISPID_KEYPRESS, TypeDigit},
    {"KeyUp", DISPID_KEYUP, PressUp},
    {"Change from a key", kChange, PressUp},
    {"Change from a spinner click", kChange, ClickUpArrow},
    {"Click", DISPID_CLICK, ClickTextBox},
};

TEST(Reentrancy, AHostThatLetsGoInsideAnEventLeavesTheControlToFinishAndGoAfterIt) {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  for (const LettingGo& letting : kLettingGo) {
    SCOPED_TRACE(letting.name);

    std::optional<HRESULT> unloadInside;
    {
      AtlHostedKalendo form;
      ASSERT_TRUE(form.control());
      form.PlaceCaretInTheMonth();
      form.sink.handler = [&](DISPID id, DISPPARAMS&) {
        if (id != letting.event || unloadInside) return;
        form.LetGo();
        unloadInside = ServerCanUnloadNow();
      };
      letting.raise(form);
    }
    Pump();
    ASSERT_TRUE(unloadInside.has_value()) << "the event was raised";
    EXPECT_EQ(S_FALSE, *unloadInside) << "the control lives until its own code is done";
    EXPECT_EQ(S_OK, ServerCanUnloadNow()) << "and goes once the event has returned";

    AtlHostedKalendo fresh;
    ASSERT_TRUE(fresh.control());
    fresh.PlaceCaretInTheMonth();
    PressUp(fresh);
    EXPECT_EQ(1, fresh.sink.Count(kChange));
    EXPECT_EQ(L"28/02/2027", fresh.Text());
  }
  Pump();
  EXPECT_EQ(S_OK, ServerCanUnloadNow());
  OleUninitialize();
}

}  // namespace
}  // namespace marelco
