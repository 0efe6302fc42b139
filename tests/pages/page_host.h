// What the pages' window tests share: a recording page site, COM for the test's thread, a visible host window,
// a message pump.
#pragma once

#include <windows.h>

#include <ocidl.h>
#include <ole2.h>

#include <string>
#include <vector>

namespace marelco::pages::testing {

// The host's side of a page: records the status changes the page reports.
class RecordingSite final : public IPropertyPageSite {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid != IID_IUnknown && iid != IID_IPropertyPageSite) return *object = nullptr, E_NOINTERFACE;
    *object = this;
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP OnStatusChange(DWORD flags) override {
    statuses.push_back(flags);
    return S_OK;
  }
  STDMETHODIMP GetLocaleID(LCID* locale) override {
    *locale = LOCALE_USER_DEFAULT;
    return S_OK;
  }
  STDMETHODIMP GetPageContainer(IUnknown**) override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }

  std::vector<DWORD> statuses;
};

class ComApartment {
 public:
  ComApartment() { OleInitialize(nullptr); }
  ~ComApartment() { OleUninitialize(); }
};

// A top-level window standing in for the host's property frame.
class HostWindow {
 public:
  HostWindow(int width, int height);
  ~HostWindow() { DestroyWindow(window_); }
  HWND get() const { return window_; }

 private:
  HWND window_;
};

void PumpMessages();

// The first descendant window of the given class.
HWND FindDescendant(HWND parent, const wchar_t* window_class, const wchar_t* text = nullptr);
std::wstring TextOf(HWND window);

// Saves what the window shows on the screen as a 24-bit BMP file; false when it could not.
bool SaveWindowImage(HWND window, const std::wstring& path);

// What the platform's property frame showed: the caption of its first tab and the text of its combo box.
struct FrameSeen {
  HRESULT result = E_FAIL;
  std::wstring tab;
  std::wstring format;
  bool saved = false;  // its picture was saved
};

// Opens the platform's property frame over the objects with the pages of those classes, reads what it shows, saves
// its picture and closes it.
FrameSeen OpenPropertyFrame(HWND owner, std::vector<IUnknown*> objects, std::vector<CLSID> pages,
                            const std::wstring& picture);

}  // namespace marelco::pages::testing
