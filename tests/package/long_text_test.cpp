// A long text through IDispatch: the control's own work stays in proportion to the text, so that what a long
// text costs is the EDIT's. Under Wine that cost grows with the square of a run of digits (its Uniscribe
// analysis of the whole text, done again at each write), which makes every write of the text to the EDIT
// count: a Text let writes it once and reads it a fixed number of times, however long it is.
#include <gtest/gtest.h>

#include <string>

#include "com/com_ptr.h"
#include "package/marelco_typelib.h"

namespace marelco {
namespace {

// The text messages the EDITs of this thread are sent while it lives.
class EditTextTraffic {
 public:
  EditTextTraffic() { hook_ = SetWindowsHookExW(WH_CALLWNDPROC, &Count, nullptr, GetCurrentThreadId()); }
  ~EditTextTraffic() { UnhookWindowsHookEx(hook_); }
  EditTextTraffic(const EditTextTraffic&) = delete;
  EditTextTraffic& operator=(const EditTextTraffic&) = delete;

  static inline int writes = 0;
  static inline int reads = 0;

 private:
  static LRESULT CALLBACK Count(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    wchar_t name[16] = {};
    if (code == HC_ACTION && GetClassNameW(message->hwnd, name, 16) && _wcsicmp(name, L"Edit") == 0) {
      writes += message->message == WM_SETTEXT || message->message == EM_REPLACESEL;
      reads += message->message == WM_GETTEXT || message->message == WM_GETTEXTLENGTH;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  HHOOK hook_;
};

struct Traffic {
  int writes, reads;
  bool operator==(const Traffic&) const = default;
};

// Lets Text through IDispatch and counts what the EDIT is sent meanwhile.
Traffic LetText(IDispatch* control, const std::wstring& text) {
  Bstr value{std::wstring_view(text)};
  VARIANT argument;
  V_VT(&argument) = VT_BSTR;
  V_BSTR(&argument) = value.get();
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&argument, &named, 1, 1};
  EditTextTraffic counting;
  EditTextTraffic::writes = EditTextTraffic::reads = 0;
  EXPECT_EQ(S_OK, control->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                                  nullptr, nullptr));
  return {EditTextTraffic::writes, EditTextTraffic::reads};
}

TEST(LongText, ALetWritesTheEditOnceAndReadsItAsOftenAsForAShortText) {
  ASSERT_EQ(S_OK, CoInitialize(nullptr));
  {
    ComPtr<IDispatch> control;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_Kalendo, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.put_void()));
    HWND surface = nullptr;  // asked for, so that its EDIT is made
    ASSERT_EQ(S_OK, control.query<IOleWindow>()->GetWindow(&surface));
    // A long text that is no date, with digits all along but no long run of them, which Wine's EDIT takes long over.
    std::wstring longText;
    for (int pair = 0; pair < 50000; ++pair) longText += L"9a";
    const Traffic shortLet = LetText(control.get(), L"7/3/2001");
    EXPECT_EQ(1, shortLet.writes);
    EXPECT_EQ(shortLet, LetText(control.get(), longText));
    Bstr text;
    ASSERT_EQ(S_OK, ComPtr<IDispatch>(control).query<_Kalendo>()->get_Text(text.put()));
    EXPECT_EQ(longText.size(), SysStringLen(text.get())) << "a text that is no date stays as it is";
    EXPECT_EQ(shortLet, LetText(control.get(), L"8/3/2001"));
  }
  CoUninitialize();
}

}  // namespace
}  // namespace marelco
