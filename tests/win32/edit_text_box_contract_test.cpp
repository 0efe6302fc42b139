// txtFecha's EDIT window honours the text-box contract, driven by window messages and keystrokes.
#include <memory>

#include "tests/core/text_box_contract.h"
#include "tests/win32/window_test_support.h"
#include "win32/surface_window.h"

namespace marelco::win32::testing {
namespace {

class EditDriver {
 public:
  TextBox& box() { return surface_.txtFecha(); }
  void PressKey(Integer keyCode, Integer shift) {
    Focus();
    PostKey(keyCode, shift);
  }
  void TypeChar(char16_t character) {
    Focus();
    PostChar(character);
  }
  void Focus() {
    SetFocus(edit());
    Pump();
  }
  void Blur() {
    SetFocus(TestForm::Shared().other());
    Pump();
  }
  void SetVisible(bool visible) { ShowWindow(surface_.hwnd(), visible ? SW_SHOW : SW_HIDE); }
  bool HasFocus() { return GetFocus() == edit(); }

 private:
  HWND edit() { return GetWindow(surface_.hwnd(), GW_CHILD); }

  SurfaceWindow surface_{TestForm::Shared().hwnd()};
};

}  // namespace
}  // namespace marelco::win32::testing

namespace marelco::contract {
INSTANTIATE_TYPED_TEST_SUITE_P(EditWindow, TextBoxContract, ::testing::Types<win32::testing::EditDriver>);
}  // namespace marelco::contract
