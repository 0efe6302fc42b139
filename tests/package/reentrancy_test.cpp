// Hosts that let go of the control inside its events, as a form does that closes itself from a date box's event:
// the handler unadvises, releases every reference it holds and destroys the host window. The control finishes
// what it was doing on a live object, and goes after the event has returned.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <olectl.h>

#include <functional>

#include "package/marelco_typelib.h"
#include "tests/package/atl_host.h"
#include "tests/package/ocx_path.h"
#include "tests/win32/window_test_support.h"

namespace marelco {
namespace {

using testing_atl::HostedKalendo;
using win32::testing::PostChar;
using win32::testing::PostKey;
using win32::testing::Pump;

void PressUp(HostedKalendo&) { PostKey(VK_UP); }

// A click of the left button in a constituent, a quarter down its height (the spinner's up arrow).
void Click(HostedKalendo& form, const wchar_t* constituent) {
  HWND window = form.Constituent(constituent);
  RECT client = {};
  GetClientRect(window, &client);
  const LPARAM point = MAKELPARAM(client.right / 2, client.bottom / 4);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageW(window, WM_LBUTTONUP, 0, point);
  Pump();
}

struct LettingGo {
  const char* name;
  DISPID event;  // the host lets go inside the first of these
  std::function<void(HostedKalendo&)> raise;
};

const LettingGo kLettingGo[] = {
    {"KeyDown", DISPID_KEYDOWN, PressUp},
    {"KeyPress", DISPID_KEYPRESS, [](HostedKalendo&) { PostChar(u'5'); }},
    {"KeyUp", DISPID_KEYUP, PressUp},
    {"Change from a key", DISPID_KALENDO_CHANGE, PressUp},
    {"Change from a spinner click", DISPID_KALENDO_CHANGE, [](HostedKalendo& form) { Click(form, UPDOWN_CLASSW); }},
    {"Click", DISPID_CLICK, [](HostedKalendo& form) { Click(form, WC_EDITW); }},
};

TEST(Reentrancy, AHostThatLetsGoInsideAnEventLeavesTheControlToFinishAndGoAfterIt) {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  for (const LettingGo& letting : kLettingGo) {
    SCOPED_TRACE(letting.name);

    std::optional<HRESULT> unloadInside;
    {
      HostedKalendo form;
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

    HostedKalendo fresh;
    ASSERT_TRUE(fresh.control());
    fresh.PlaceCaretInTheMonth();
    PressUp(fresh);
    EXPECT_EQ(1, fresh.sink.Count(DISPID_KALENDO_CHANGE));
    EXPECT_EQ(L"28/02/2027", fresh.Text());
  }
  Pump();
  EXPECT_EQ(S_OK, ServerCanUnloadNow());
  OleUninitialize();
}

}  // namespace
}  // namespace marelco
