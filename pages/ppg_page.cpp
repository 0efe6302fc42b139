#include "pages/ppg_page.h"

#include <ocidl.h>
#include <olectl.h>

#include "com/com_object.h"
#include "com/com_ptr.h"
#include "com/error_boundary.h"
#include "package/marelco_typelib.h"
#include "pages/dispatch_object.h"
#include "pages/page_windows.h"
#include "pages/ppg.h"
#include "pages/win_util.h"
#include "win32/handles.h"

namespace marelco::pages {
namespace {

constexpr int kFormatoId = 101;
constexpr int kLockedId = 102;
constexpr int kEnabledId = 103;

constexpr SIZE kPageTwips = {4635, 2175};
constexpr TwipsRect kLblFormato = {180, 240, 615, 255};
constexpr TwipsRect kCboFormato = {900, 180, 2175, 315};
constexpr TwipsRect kChkLocked = {660, 720, 960, 285};
constexpr TwipsRect kChkEnabled = {660, 1080, 960, 285};
constexpr int kDroppedListTwips = 1500;  // the height of the combo box's list when it drops down

// One page object: IPropertyPage for the host's frame and _ppg, its default interface, which adds no members.
class PropertyPage final : public ComObject<PropertyPage, IPropertyPage, _ppg> {
 public:
  PropertyPage() {
    page_.OnChanged([this] {
      if (site_) site_->OnStatusChange(PROPPAGESTATUS_DIRTY);
    });
  }
  ~PropertyPage() { Deactivate(); }

  static std::span<const InterfaceEntry<PropertyPage>> InterfaceTable() {
    static const InterfaceEntry<PropertyPage> table[] = {
        Entry<PropertyPage, IPropertyPage>(), Entry<PropertyPage, _ppg>(), Entry<PropertyPage, IDispatch, _ppg>()};
    return table;
  }

  // IPropertyPage
  STDMETHODIMP SetPageSite(IPropertyPageSite* site) override {
    site_ = site;
    return S_OK;
  }
  STDMETHODIMP Activate(HWND parent, LPCRECT place, BOOL modal) override;
  STDMETHODIMP Deactivate() override;
  STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
  STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
  STDMETHODIMP Show(UINT command) override {
    if (!window_) return E_UNEXPECTED;
    ShowWindow(window_.get(), command);
    return S_OK;
  }
  STDMETHODIMP Move(LPCRECT place) override;
  STDMETHODIMP IsPageDirty() override { return page_.Changed() ? S_OK : S_FALSE; }
  STDMETHODIMP Apply() override;
  STDMETHODIMP Help(LPCOLESTR) override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(MSG* message) override {
    if (!message) return E_POINTER;
    return window_ && IsDialogMessageW(window_.get(), message) ? S_OK : S_FALSE;
  }

  // IDispatch, as _ppg: no members.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) override {
    for (UINT i = 0; ids && i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void OnCommand(int id, int notification);
  void CreateControls();

  ComPtr<IPropertyPageSite> site_;
  win32::UniqueWindow window_;
  ComboBoxWindow cboFormato_{u"cboFormato"};
  CheckBoxWindow chkLocked_;
  CheckBoxWindow chkEnabled_;
  ppg page_{cboFormato_, chkLocked_, chkEnabled_};
};

STDMETHODIMP PropertyPage::Activate(HWND parent, LPCRECT place, BOOL) {
  if (!place) return E_POINTER;
  if (window_) return E_UNEXPECTED;
  window_.reset(CreateEmptyDialog(parent, WS_CHILD | DS_CONTROL, DialogProcedure, reinterpret_cast<LPARAM>(this)));
  if (!window_) return HRESULT_FROM_WIN32(GetLastError());
  CreateControls();
  return Move(place);
}

// The controls in their tab order: the label's access key leads to the combo box after it.
void PropertyPage::CreateControls() {
  HWND page = window_.get();
  AddControl(page, L"STATIC", L"&Format:", SS_LEFT, kLblFormato, -1);
  TwipsRect combo = kCboFormato;
  combo.height += kDroppedListTwips;
  cboFormato_.Attach(AddControl(page, L"COMBOBOX", nullptr, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP,
                                combo, kFormatoId));
  chkLocked_.Attach(AddControl(page, L"BUTTON", L"&Locked", BS_AUTOCHECKBOX | WS_TABSTOP, kChkLocked, kLockedId));
  chkEnabled_.Attach(AddControl(page, L"BUTTON", L"&Enabled", BS_AUTOCHECKBOX | WS_TABSTOP, kChkEnabled, kEnabledId));
}

STDMETHODIMP PropertyPage::Deactivate() {
  if (!window_) return S_OK;
  cboFormato_.Detach();
  chkLocked_.Detach();
  chkEnabled_.Detach();
  window_.reset();
  return S_OK;
}

STDMETHODIMP PropertyPage::GetPageInfo(PROPPAGEINFO* info) {
  if (!info) return E_POINTER;
  static constexpr wchar_t kCaption[] = L"Generales";
  auto* title = static_cast<LPOLESTR>(CoTaskMemAlloc(sizeof kCaption));
  if (!title) return E_OUTOFMEMORY;
  memcpy(title, kCaption, sizeof kCaption);
  *info = {};
  info->cb = sizeof *info;
  info->pszTitle = title;
  info->size = {TwipsToPixels(kPageTwips.cx), TwipsToPixels(kPageTwips.cy)};
  return S_OK;
}

STDMETHODIMP PropertyPage::SetObjects(ULONG count, IUnknown** objects) {
  if (count && !objects) return E_POINTER;
  Selection selection;
  for (ULONG i = 0; i < count; ++i) {
    ComPtr<IDispatch> object;
    if (!objects[i]) return E_POINTER;
    if (FAILED(objects[i]->QueryInterface(IID_IDispatch, object.put_void()))) return E_NOINTERFACE;
    selection.push_back(std::make_shared<DispatchObject>(std::move(object)));
  }
  return Guarded(IID_IPropertyPage, [&] { page_.SetSelection(std::move(selection)); });
}

STDMETHODIMP PropertyPage::Move(LPCRECT place) {
  if (!place) return E_POINTER;
  if (!window_) return E_UNEXPECTED;
  MoveWindow(window_.get(), place->left, place->top, place->right - place->left, place->bottom - place->top, TRUE);
  return S_OK;
}

// The frame applies when the user confirms; a page applied in full holds no edits any more.
STDMETHODIMP PropertyPage::Apply() {
  return Guarded(IID_IPropertyPage, [this] {
    page_.ApplyChanges();
    page_.ClearChanged();
  });
}

void PropertyPage::OnCommand(int id, int notification) {
  if (id == kFormatoId && notification == CBN_EDITCHANGE) page_.cboFormato_Change();
  if (id == kFormatoId && notification == CBN_SELCHANGE) page_.cboFormato_Click();
  if (id == kLockedId && notification == BN_CLICKED) page_.chkLocked_Click();
  if (id == kEnabledId && notification == BN_CLICKED) page_.chkEnabled_Click();
}

INT_PTR CALLBACK PropertyPage::DialogProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lparam);
    return FALSE;
  }
  auto* self = reinterpret_cast<PropertyPage*>(GetWindowLongPtrW(window, DWLP_USER));
  if (self && message == WM_COMMAND) {
    self->OnCommand(LOWORD(wparam), HIWORD(wparam));
    return TRUE;
  }
  return FALSE;
}

}  // namespace

HRESULT CreatePropertyPage(REFIID iid, void** object) { return CreateComObject<PropertyPage>(iid, object); }

}  // namespace marelco::pages
