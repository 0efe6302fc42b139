// The page and the about box as the control's module serves them, over live Kalendo controls.
#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "package/marelco_typelib.h"
#include "tests/pages/page_host.h"

namespace marelco::pages {
namespace {

using testing::FindDescendant;
using testing::PumpMessages;
using testing::RecordingSite;
using testing::TextOf;

// {D95E2DA4-75B3-11D3-8A84-0000B4BEA222}
constexpr CLSID kClsidKalendo = {0xD95E2DA4, 0x75B3, 0x11D3, {0x8A, 0x84, 0x00, 0x00, 0xB4, 0xBE, 0xA2, 0x22}};

// The control's module, loaded from beside this program; its classes registered for this process only.
class KalendoModule {
 public:
  KalendoModule() : module_(LoadLibraryW(MARELCO_OCX)) {
    if (!module_) return;
    Serve(kClsidKalendo, kalendo_);
    Serve(CLSID_ppg, page_);
  }
  ~KalendoModule() {
    for (DWORD cookie : cookies_) CoRevokeClassObject(cookie);
  }
  bool loaded() const { return kalendo_ && page_; }

  ComPtr<IDispatch> NewKalendo() const {
    ComPtr<IDispatch> control;
    EXPECT_EQ(kalendo_->CreateInstance(nullptr, IID_IDispatch, control.put_void()), S_OK);
    return control;
  }
  ComPtr<IPropertyPage> NewPage() const {
    ComPtr<IPropertyPage> page;
    EXPECT_EQ(page_->CreateInstance(nullptr, IID_IPropertyPage, page.put_void()), S_OK);
    return page;
  }

 private:
  void Serve(const CLSID& clsid, ComPtr<IClassFactory>& factory) {
    auto get_class_object =
        reinterpret_cast<LPFNGETCLASSOBJECT>(reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    if (!get_class_object || FAILED(get_class_object(clsid, IID_IClassFactory, factory.put_void()))) return;
    DWORD cookie = 0;
    if (SUCCEEDED(CoRegisterClassObject(clsid, factory.get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie))) {
      cookies_.push_back(cookie);
    }
  }

  HMODULE module_;  // stays loaded: its windows may outlive the test
  ComPtr<IClassFactory> kalendo_;
  ComPtr<IClassFactory> page_;
  std::vector<DWORD> cookies_;
};

DISPID IdOf(IDispatch* object, const wchar_t* name) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = DISPID_UNKNOWN;
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << name;
  return id;
}

std::wstring GetText(IDispatch* object, const wchar_t* name) {
  VARIANT value;
  VariantInit(&value);
  DISPPARAMS none = {};
  EXPECT_EQ(object->Invoke(IdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value,
                           nullptr, nullptr),
            S_OK);
  EXPECT_EQ(VariantChangeType(&value, &value, VARIANT_ALPHABOOL, VT_BSTR), S_OK);
  std::wstring text(V_BSTR(&value), SysStringLen(V_BSTR(&value)));
  VariantClear(&value);
  return text;
}

// Writes a property given as text, as a value of the given type: a flag is "True" or "False".
void Put(IDispatch* object, const wchar_t* name, const wchar_t* text, VARTYPE type = VT_BSTR) {
  VARIANT value;
  V_VT(&value) = VT_BSTR;
  V_BSTR(&value) = SysAllocString(text);
  EXPECT_EQ(VariantChangeType(&value, &value, 0, type), S_OK);
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS arguments = {&value, &named, 1, 1};
  EXPECT_EQ(object->Invoke(IdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &arguments,
                           nullptr, nullptr, nullptr),
            S_OK);
  VariantClear(&value);
}

class LiveKalendo : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    apartment = std::make_unique<testing::ComApartment>();
    module = std::make_unique<KalendoModule>();
    frame = std::make_unique<testing::HostWindow>(325, 161);
  }
  static void TearDownTestSuite() {
    frame.reset();
    module.reset();
    apartment.reset();
  }
  void SetUp() override {
    ASSERT_TRUE(module->loaded()) << "the control's module serves no Kalendo or ppg";
    first = module->NewKalendo();
    second = module->NewKalendo();
    ASSERT_TRUE(first && second);
    Put(first.get(), L"Formato", L"dd/mm/yyyy");
    Put(first.get(), L"Text", L"31/01/2027");
    Put(second.get(), L"Formato", L"dd/mmmm/yyyy");
    Put(second.get(), L"Locked", L"True", VT_BOOL);
  }

  static inline std::unique_ptr<testing::ComApartment> apartment;
  static inline std::unique_ptr<KalendoModule> module;
  static inline std::unique_ptr<testing::HostWindow> frame;
  ComPtr<IDispatch> first;
  ComPtr<IDispatch> second;
};

TEST_F(LiveKalendo, ThePageEditsTwoControls) {
  ComPtr<IPropertyPage> page = module->NewPage();
  RecordingSite site;
  ASSERT_EQ(page->SetPageSite(&site), S_OK);
  IUnknown* objects[] = {first.get(), second.get()};
  ASSERT_EQ(page->SetObjects(2, objects), S_OK);
  PROPPAGEINFO info = {};
  ASSERT_EQ(page->GetPageInfo(&info), S_OK);
  CoTaskMemFree(info.pszTitle);
  const RECT place = {8, 8, 8 + info.size.cx, 8 + info.size.cy};
  ASSERT_EQ(page->Activate(frame->get(), &place, TRUE), S_OK);
  page->Show(SW_SHOW);
  PumpMessages();

  HWND window = FindWindowExW(frame->get(), nullptr, nullptr, nullptr);
  HWND combo = FindDescendant(window, L"ComboBox");
  HWND locked = FindDescendant(window, L"Button", L"&Locked");
  ASSERT_TRUE(combo && locked);
  EXPECT_EQ(TextOf(combo), L"dd/mmmm/yyyy");
  EXPECT_EQ(SendMessageW(locked, BM_GETCHECK, 0, 0), BST_CHECKED);

  HWND edit = FindDescendant(combo, L"Edit");
  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  for (wchar_t typed : std::wstring(L"dd/mmm/yyyy")) SendMessageW(edit, WM_CHAR, typed, 1);
  SendMessageW(locked, BM_CLICK, 0, 0);
  PumpMessages();
  ASSERT_EQ(page->Apply(), S_OK);

  for (IDispatch* control : {first.get(), second.get()}) {
    EXPECT_EQ(GetText(control, L"Formato"), L"dd/mmm/yyyy");
    EXPECT_EQ(GetText(control, L"Locked"), L"False");
    EXPECT_EQ(GetText(control, L"Enabled"), L"True");
  }
  const std::wstring date = GetText(first.get(), L"Text");
  EXPECT_TRUE(date.starts_with(L"31/") && date.ends_with(L"/2027") && !iswdigit(date[3])) << date;
  page->Deactivate();
  page->SetObjects(0, nullptr);
  page->SetPageSite(nullptr);
}

TEST_F(LiveKalendo, TheControlsPagesOpenInThePlatformsFrame) {
  const ComPtr<ISpecifyPropertyPages> specify = first.query<ISpecifyPropertyPages>();
  ASSERT_TRUE(specify);
  CAUUID pages = {};
  ASSERT_EQ(specify->GetPages(&pages), S_OK);
  ASSERT_GE(pages.cElems, 1u);
  EXPECT_EQ(pages.pElems[0], CLSID_ppg);
  const testing::FrameSeen seen = testing::OpenPropertyFrame(frame->get(), {first.get(), second.get()},
                                                             {pages.pElems, pages.pElems + pages.cElems}, L"ppg.bmp");
  CoTaskMemFree(pages.pElems);
  EXPECT_EQ(seen.result, S_OK);
  EXPECT_EQ(seen.tab, L"Generales");
  EXPECT_EQ(seen.format, L"dd/mmmm/yyyy");
  EXPECT_TRUE(seen.saved);
}

TEST_F(LiveKalendo, AboutShowsTheModulesVersionBlock) {
  DISPPARAMS none = {};
  ASSERT_EQ(first->Invoke(DISPID_ABOUTBOX, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr,
                          nullptr),
            S_OK);
  HWND box = FindWindowW(nullptr, L"About Marelco");
  ASSERT_TRUE(box);
  EXPECT_TRUE(FindDescendant(box, L"Static", L"Version 1.0.1"));
  EXPECT_TRUE(FindDescendant(box, L"Static", L"Marelco date entry control"));
  UpdateWindow(box);
  PumpMessages();
  EXPECT_TRUE(testing::SaveWindowImage(box, L"about.bmp"));
  SendMessageW(FindDescendant(box, L"Button", L"OK"), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindow(box));
}

}  // namespace
}  // namespace marelco::pages
