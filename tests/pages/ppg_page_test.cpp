#include "pages/ppg_page.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <vector>

#include "com/com_ptr.h"
#include "com/module_lock.h"
#include "package/marelco_typelib.h"
#include "tests/pages/fake_control.h"
#include "tests/pages/page_host.h"

namespace marelco::pages {
namespace {

using testing::FakeControl;
using testing::FindDescendant;
using testing::PumpMessages;
using testing::RecordingSite;
using testing::TextOf;

class PpgPageTest : public ::testing::Test {
 protected:
  // One frame for the whole suite: a top-level window of Wine's takes long to go away.
  static void SetUpTestSuite() {
    apartment = std::make_unique<testing::ComApartment>();
    frame = std::make_unique<testing::HostWindow>(325, 161);
  }
  static void TearDownTestSuite() {
    frame.reset();
    apartment.reset();
  }
  void SetUp() override {
    ASSERT_EQ(CreatePropertyPage(IID_IPropertyPage, page.put_void()), S_OK);
    ASSERT_EQ(page->SetPageSite(&site), S_OK);
  }
  void TearDown() override {
    if (page) {
      page->Deactivate();
      page->SetObjects(0, nullptr);
      page->SetPageSite(nullptr);
    }
    for (FakeControl* control : controls) control->Release();
  }

  HRESULT Select(std::vector<FakeControl*> selected) {
    controls = std::move(selected);
    std::vector<IUnknown*> objects(controls.begin(), controls.end());
    return page->SetObjects(static_cast<ULONG>(objects.size()), objects.data());
  }

  // Shows the page in the host window and returns the page's window.
  HWND Show() {
    PROPPAGEINFO info = {};
    page->GetPageInfo(&info);
    CoTaskMemFree(info.pszTitle);
    const RECT none = {}, place = {8, 8, 8 + info.size.cx, 8 + info.size.cy};
    EXPECT_EQ(page->Activate(frame->get(), &none, TRUE), S_OK);
    EXPECT_EQ(page->Move(&place), S_OK);  // where the frame puts it once it knows its size
    EXPECT_EQ(page->Show(SW_SHOW), S_OK);
    PumpMessages();
    HWND window = FindWindowExW(frame->get(), nullptr, nullptr, nullptr);
    RECT shown = {};
    GetClientRect(window, &shown);
    EXPECT_EQ(std::make_pair(shown.right, shown.bottom), std::make_pair(info.size.cx, info.size.cy));
    return window;
  }

  static inline std::unique_ptr<testing::ComApartment> apartment;
  static inline std::unique_ptr<testing::HostWindow> frame;
  RecordingSite site;
  ComPtr<IPropertyPage> page;
  std::vector<FakeControl*> controls;
};

TEST_F(PpgPageTest, PageInfoGivesTheCaptionAndTheSizeInPixels) {
  PROPPAGEINFO info = {};
  ASSERT_EQ(page->GetPageInfo(&info), S_OK);
  EXPECT_STREQ(info.pszTitle, L"Generales");
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(info.size.cx, MulDiv(4635, dpi, 1440));
  EXPECT_EQ(info.size.cy, MulDiv(2175, dpi, 1440));
  CoTaskMemFree(info.pszTitle);
  EXPECT_EQ(page->GetPageInfo(nullptr), E_POINTER);
}

TEST_F(PpgPageTest, DefaultInterfaceIsADispatchWithoutMembers) {
  ComPtr<IDispatch> ppg;
  ASSERT_EQ(page->QueryInterface(IID__ppg, ppg.put_void()), S_OK);
  const ComPtr<IPropertyPage> back = ppg.query<IPropertyPage>();
  EXPECT_EQ(back.get(), page.get());
  LPOLESTR name = const_cast<LPOLESTR>(L"Formato");
  DISPID ids[2] = {0, 7};  // one asked for, and the next, which is not to be written
  EXPECT_EQ(ppg->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ((std::vector<DISPID>{DISPID_UNKNOWN, 7}), (std::vector<DISPID>(ids, ids + 2)));
}

TEST_F(PpgPageTest, TwoObjectsAreShownAndATypedFormatIsAppliedToBoth) {
  ASSERT_EQ(Select({new FakeControl(L"dd/mm/yyyy", false, true), new FakeControl(L"dd/mmmm/yyyy", true, false)}), S_OK);
  EXPECT_EQ(page->IsPageDirty(), S_OK);  // loading the selection changed what the page shows
  EXPECT_FALSE(site.statuses.empty());
  HWND window = Show();
  HWND combo = FindDescendant(window, L"ComboBox");
  HWND locked = FindDescendant(window, L"Button", L"&Locked");
  HWND enabled = FindDescendant(window, L"Button", L"&Enabled");
  ASSERT_TRUE(combo && locked && enabled);
  EXPECT_EQ(TextOf(combo), L"dd/mmmm/yyyy");
  EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(locked, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(enabled, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  LOGFONTW font = {};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -MulDiv(8, 96, 72)) << "the dialog font's 8 points";
  EXPECT_TRUE(testing::SaveWindowImage(frame->get(), L"ppg.bmp"));

  ASSERT_EQ(page->Apply(), S_OK);
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
  site.statuses.clear();

  HWND edit = FindDescendant(combo, L"Edit");
  ASSERT_TRUE(edit);
  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  for (wchar_t typed : std::wstring(L"yyyy-mm-dd")) SendMessageW(edit, WM_CHAR, typed, 1);
  SendMessageW(enabled, BM_CLICK, 0, 0);
  PumpMessages();
  EXPECT_EQ(page->IsPageDirty(), S_OK);
  EXPECT_FALSE(site.statuses.empty());

  ASSERT_EQ(page->Apply(), S_OK);
  for (FakeControl* control : controls) {
    EXPECT_EQ(control->Format(), L"yyyy-mm-dd");
    EXPECT_TRUE(control->Locked());
    EXPECT_TRUE(control->Enabled());
  }
  EXPECT_EQ(controls[0]->writes,
            (std::vector<std::wstring>{L"Formato", L"Locked", L"Enabled", L"Formato", L"Locked", L"Enabled"}));
}

TEST_F(PpgPageTest, AFormatChosenFromTheListIsAppliedAndSurvivesDeactivation) {
  ASSERT_EQ(Select({new FakeControl(L"dd/mm/yyyy", false, true)}), S_OK);
  HWND window = Show();
  HWND combo = FindDescendant(window, L"ComboBox");
  HWND edit = FindDescendant(combo, L"Edit");
  ASSERT_TRUE(edit);
  SetFocus(edit);
  SendMessageW(edit, WM_KEYDOWN, VK_DOWN, 1);  // the next entry of the list
  PumpMessages();
  EXPECT_EQ(TextOf(combo), L"dd/mmm/yyyy");

  ASSERT_EQ(page->Deactivate(), S_OK);
  ASSERT_EQ(page->Apply(), S_OK);
  EXPECT_EQ(controls[0]->Format(), L"dd/mmm/yyyy");
}

TEST_F(PpgPageTest, TheLabelsAccessKeyLeadsToTheComboBox) {
  ASSERT_EQ(Select({new FakeControl(L"dd/mm/yyyy", false, true)}), S_OK);
  HWND window = Show();
  HWND enabled = FindDescendant(window, L"Button", L"&Enabled");
  SetFocus(enabled);
  MSG key = {enabled, WM_SYSCHAR, L'f', 1 << 29, 0, {}};
  EXPECT_EQ(page->TranslateAccelerator(&key), S_OK);
  EXPECT_EQ(GetParent(GetFocus()), FindDescendant(window, L"ComboBox"));
}

TEST_F(PpgPageTest, AnObjectLackingAMemberFailsTheApplyAfterTheObjectsBeforeIt) {
  ASSERT_EQ(Select({new FakeControl(L"dd/mm/yyyy", false, true), new FakeControl(L"dd/mm/yyyy", false, true),
                    new FakeControl(L"dd/mm/yyyy", false, true)}),
            S_OK);
  controls[1]->Remove(L"Locked");
  HWND window = Show();
  SendMessageW(FindDescendant(window, L"Button", L"&Locked"), BM_CLICK, 0, 0);
  EXPECT_EQ(page->Apply(), MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 438));
  EXPECT_TRUE(controls[0]->Locked());
  EXPECT_EQ(controls[1]->writes, std::vector<std::wstring>{L"Formato"});
  EXPECT_TRUE(controls[2]->writes.empty());
  EXPECT_EQ(page->IsPageDirty(), S_OK);
  const struct { HRESULT refusal; int number; const wchar_t* text; } refusals[] = {  // the object's own errors
      {CTL_E_INVALIDPROPERTYVALUE, 380, L"Invalid property value"}, {DISP_E_OVERFLOW, 6, L"Overflow"}};
  for (const auto& [refusal, number, text] : refusals) {
    controls[1]->refusal = refusal;
    EXPECT_EQ(page->Apply(), MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number));
    ComPtr<IErrorInfo> error;
    Bstr description;
    ASSERT_EQ(S_OK, GetErrorInfo(0, error.put()));
    EXPECT_EQ(S_OK, error->GetDescription(description.put()));
    EXPECT_STREQ(text, description.get());
  }
}

TEST_F(PpgPageTest, ObjectsWithoutDispatchOrNullAreRefused) {
  ComPtr<IUnknown> not_scriptable;
  ASSERT_EQ(CreateBindCtx(0, reinterpret_cast<IBindCtx**>(not_scriptable.put())), S_OK);
  IUnknown* objects[] = {not_scriptable.get()};
  EXPECT_EQ(page->SetObjects(1, objects), E_NOINTERFACE);
  EXPECT_EQ(page->SetObjects(1, nullptr), E_POINTER);
  EXPECT_EQ(page->SetObjects(0, nullptr), S_OK);
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
}

// Hands out pages as the control's module does, for a frame that creates its pages by class.
class PageFactory final : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return *object = nullptr, E_NOINTERFACE;
    *object = this;
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    return outer ? CLASS_E_NOAGGREGATION : CreatePropertyPage(iid, object);
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

TEST_F(PpgPageTest, ThePlatformsPropertyFrameShowsThePageUnderItsCaption) {
  PageFactory factory;
  DWORD registration = 0;
  ASSERT_EQ(CoRegisterClassObject(CLSID_ppg, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &registration), S_OK);
  Select({new FakeControl(L"dd/mm/yyyy", false, true), new FakeControl(L"dd/mmm/yyyy", false, true)});
  const testing::FrameSeen seen =
      testing::OpenPropertyFrame(frame->get(), {controls.begin(), controls.end()}, {CLSID_ppg}, L"ppg_frame.bmp");
  CoRevokeClassObject(registration);
  EXPECT_EQ(seen.result, S_OK);
  EXPECT_EQ(seen.tab, L"Generales");
  EXPECT_EQ(seen.format, L"dd/mmm/yyyy");
  EXPECT_TRUE(seen.saved);
}

TEST_F(PpgPageTest, ThePagesStayInUseWhileAPageLives) {
  const LONG before = ModuleLocks();
  ComPtr<IPropertyPage> another;
  ASSERT_EQ(CreatePropertyPage(IID_IPropertyPage, another.put_void()), S_OK);
  EXPECT_EQ(ModuleLocks(), before + 1);
  another.reset();
  EXPECT_EQ(ModuleLocks(), before);
}

}  // namespace
}  // namespace marelco::pages
