#include "win32/accessible_text_box.h"

#include <oleacc.h>

// The identities below come from __uuidof: mingw-w64's oleacc import library resolves IID_IAccessible to a
// function thunk instead of the identity.

#include <utility>

#include "com/com_object.h"
#include "com/com_ptr.h"

namespace marelco::win32 {
namespace {

// The standard accessible object of a window, with a name of our own for the object itself (not its
// children). Everything else is the standard object's answer.
class NamedAccessible final : public ComObject<NamedAccessible, IAccessible, IOleWindow> {
 public:
  NamedAccessible(ComPtr<IAccessible> standard, HWND window, std::shared_ptr<const std::wstring> name)
      : standard_(std::move(standard)), window_(window), name_(std::move(name)) {}

  static std::span<const InterfaceEntry<NamedAccessible>> InterfaceTable() {
    static const InterfaceEntry<NamedAccessible> table[] = {Entry<NamedAccessible, IAccessible>(),
                                                            Entry<NamedAccessible, IDispatch, IAccessible>(),
                                                            Entry<NamedAccessible, IOleWindow>()};
    return table;
  }

  // IOleWindow
  STDMETHODIMP GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = window_;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return standard_->GetTypeInfo(index, locale, info);
  }
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
    return standard_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argumentError) override {
    return standard_->Invoke(id, iid, locale, flags, params, result, exception, argumentError);
  }

  // IAccessible
  STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
    if (!IsSelf(child)) return standard_->get_accName(child, name);
    if (!name) return E_POINTER;
    *name = SysAllocStringLen(name_->data(), static_cast<UINT>(name_->size()));
    return *name ? S_OK : E_OUTOFMEMORY;
  }
  STDMETHODIMP get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
  STDMETHODIMP get_accChildCount(LONG* count) override { return standard_->get_accChildCount(count); }
  STDMETHODIMP get_accChild(VARIANT child, IDispatch** result) override {
    return standard_->get_accChild(child, result);
  }
  STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override { return standard_->get_accValue(child, value); }
  STDMETHODIMP get_accDescription(VARIANT child, BSTR* text) override {
    return standard_->get_accDescription(child, text);
  }
  STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override { return standard_->get_accRole(child, role); }
  STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
    return standard_->get_accState(child, state);
  }
  STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override { return standard_->get_accHelp(child, help); }
  STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return standard_->get_accKeyboardShortcut(child, shortcut);
  }
  STDMETHODIMP get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
  STDMETHODIMP get_accSelection(VARIANT* children) override { return standard_->get_accSelection(children); }
  STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override {
    return standard_->get_accDefaultAction(child, action);
  }
  STDMETHODIMP accSelect(LONG flags, VARIANT child) override { return standard_->accSelect(flags, child); }
  STDMETHODIMP accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    return standard_->accLocation(left, top, width, height, child);
  }
  STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return standard_->accNavigate(direction, start, end);
  }
  STDMETHODIMP accHitTest(LONG x, LONG y, VARIANT* child) override { return standard_->accHitTest(x, y, child); }
  STDMETHODIMP accDoDefaultAction(VARIANT child) override { return standard_->accDoDefaultAction(child); }
  STDMETHODIMP put_accName(VARIANT child, BSTR name) override { return standard_->put_accName(child, name); }
  STDMETHODIMP put_accValue(VARIANT child, BSTR value) override { return standard_->put_accValue(child, value); }

 private:
  static bool IsSelf(const VARIANT& child) { return V_VT(&child) == VT_I4 && V_I4(&child) == CHILDID_SELF; }

  ComPtr<IAccessible> standard_;
  HWND window_;
  std::shared_ptr<const std::wstring> name_;
};

}  // namespace

LRESULT NamedAccessibleObject(HWND edit, WPARAM wParam, std::shared_ptr<const std::wstring> name) {
  ComPtr<IAccessible> standard;
  if (FAILED(CreateStdAccessibleObject(edit, OBJID_CLIENT, __uuidof(IAccessible), standard.put_void()))) return 0;
  ComPtr<IAccessible> named;
  if (FAILED(CreateComObject<NamedAccessible>(__uuidof(IAccessible), named.put_void(), std::move(standard), edit,
                                              std::move(name))))
    return 0;
  return LresultFromObject(__uuidof(IAccessible), wParam, named.get());
}

}  // namespace marelco::win32
