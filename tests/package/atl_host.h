// The platform's ATL host (atl.dll): the functions that host a control in a window, with the host's window class
// registered once for the whole test program (a second registration fails), and a form's window hosting a Kalendo.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <utility>

#include "com/com_ptr.h"
#include "package/marelco_typelib.h"
#include "tests/package/sinks.h"
#include "tests/win32/window_test_support.h"

namespace marelco::testing_atl {

struct AtlHost {
  HRESULT(WINAPI* create)(LPCOLESTR name, HWND window, IStream* saved, IUnknown** host) = nullptr;
  HRESULT(WINAPI* getControl)(HWND window, IUnknown** control) = nullptr;

  explicit operator bool() const { return create && getControl; }

  // The host's functions; null ones when atl.dll lacks them or its window class could not be registered.
  static const AtlHost& Get() {
    static const AtlHost host = Load();
    return host;
  }

 private:
  template <typename Function>
  static void Find(HMODULE atl, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(atl, name)));
  }
  static AtlHost Load() {
    HMODULE atl = LoadLibraryW(L"atl.dll");
    BOOL(WINAPI * init)() = nullptr;
    AtlHost host;
    if (!atl) return host;
    Find(atl, "AtlAxWinInit", init);
    if (!init || !init()) return host;
    OleUninitialize();  // Wine's AtlAxWinInit initialises OLE on the calling thread once more and leaves it so
    Find(atl, "AtlAxCreateControl", host.create);
    Find(atl, "AtlAxGetControl", host.getControl);
    return host;
  }
};

// A window of a form that hosts one Kalendo through the platform's ATL host.
class HostedKalendo {
 public:
  HostedKalendo() {
    form_ = CreateWindowExW(0, L"STATIC", L"host", WS_CHILD | WS_VISIBLE, 0, 0, 300, 60,
                            win32::testing::TestForm::Shared().hwnd(), nullptr, nullptr, nullptr);
    ComPtr<IUnknown> hosted;
    const auto& atl = AtlHost::Get();
    if (!atl || FAILED(atl.create(L"Marelco.Kalendo", form_, nullptr, host_.put())) ||
        FAILED(atl.getControl(form_, hosted.put()))) {
      return;
    }
    control_ = hosted.query<_Kalendo>();
    connection_.emplace(control_.get(), DIID___Kalendo, &sink);
  }
  ~HostedKalendo() { LetGo(); }

  _Kalendo* control() const { return control_.get(); }
  HWND window() const { return form_; }

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
    win32::testing::Pump();
    sink.raised.clear();
  }

  std::wstring Text() const {
    Bstr text;
    control_->get_Text(text.put());
    return text.get() ? text.get() : L"";
  }

  testing_sinks::EventSink sink;

 private:
  HWND form_ = nullptr;
  ComPtr<IUnknown> host_;
  ComPtr<_Kalendo> control_;
  std::optional<testing_sinks::Connection> connection_;
};

}  // namespace marelco::testing_atl
