// The surface of a Kalendo control: a child window of its own class that carries the EDIT box txtFecha and
// the up-down UpDown1, made with it and destroyed with it.
#pragma once

#include <windows.h>

#include "control/platform/constituents.h"
#include "win32/edit_text_box.h"
#include "win32/gdi_support.h"
#include "win32/handles.h"
#include "win32/thread_windows.h"
#include "win32/updown_spinner.h"
#include "win32/window_support.h"

namespace marelco::win32 {

// What the windows of a surface tell the object that holds it.
class SurfaceListener {
 public:
  // Told with true when the focus enters the text box and with false when it leaves.
  virtual void TextBoxFocusChanged(bool entered) = 0;
  // Told when the text box has taken a change made through its font object (its size, say) by whoever holds it.
  virtual void FontObjectChanged() = 0;
  // The COM object that owns the surface, held by every message of the surface and its text box.
  virtual IUnknown* owner() = 0;

 protected:
  ~SurfaceListener() = default;
};

class SurfaceWindow final : public Surface {
 public:
  // A surface of its first size (1890 x 615 twips) at the top left of the parent window. Without a parent, its
  // windows are made when they are first needed: in the window that Enter gives it, or hidden in a parking
  // window of the calling thread when something asks for them before. Until then the surface and its constituents
  // keep what the windows will be made with.
  explicit SurfaceWindow(HWND parent = nullptr);
  SurfaceWindow(const SurfaceWindow&) = delete;
  SurfaceWindow& operator=(const SurfaceWindow&) = delete;
  ~SurfaceWindow() override;

  // The surface window, made (parked) if it was not made yet; null once the system has destroyed it (with its
  // parent, for instance), or when it cannot be made.
  HWND hwnd() const;
  // Moves the parked surface into a parent window at a place in it (pixels), at that place's size, or makes it there;
  // it shows there, or stays hidden for the caller to show. False when the surface or the parent window no longer
  // exists: the surface stays where it was.
  bool Enter(HWND parent, const RECT& place, bool shown);
  // Moves the surface, hidden, into the parking window of the calling thread; false when it no longer exists.
  bool Park();
  // Gives the surface a new size in twips, as on a form, laying its constituents out again.
  void Resize(Single width, Single height);
  // Shows only this part of the surface (in its own coordinates), as a container's scrolled or split window
  // shows it; null shows it whole.
  void ShowOnly(const RECT* part);
  // Draws the surface with its constituents, as they look now, into a device context at its origin.
  void Print(HDC dc) const;

  void SetEvents(SurfaceEvents* events) override { events_ = events; }
  // The container's side of the surface, and its owner; null tells no one and lets go of the owner, before it goes.
  void SetListener(SurfaceListener* listener) { listener_ = listener; }
  IUnknown* owner() const { return listener_ ? listener_->owner() : nullptr; }
  Dpi dpi() const { return dpi_; }
  // The size of the window in pixels, or the size it is to be made at.
  SIZE Size() const;
  // The text box has taken a change made through its font object.
  void TextBoxFontChanged() {
    if (listener_) listener_->FontObjectChanged();
  }

  TextBox& txtFecha() override { return textBox_; }
  Spinner& UpDown1() override { return spinner_; }

  Single ScaleWidth() const override;
  Single ScaleHeight() const override;

  OleColor BackColor() const override { return backColor_; }
  void SetBackColor(OleColor color) override;
  std::u16string FontName() const override { return fontAttributes_->name; }
  void SetFontName(const std::u16string& name) override;
  Integer MousePointer() const override { return mousePointer_; }
  void SetMousePointer(Integer pointer) override;
  Integer BorderStyle() const override { return 0; }
  Long hdc() const override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnNotify(HWND hwnd, const NMHDR& header, LPARAM lParam);
  void OnMouse(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnMouseWheel(WPARAM wParam, LPARAM lParam);
  bool OnSetCursor(HWND hwnd, WPARAM wParam, LPARAM lParam) const;
  void OnPaintBackground(HWND hwnd, HDC dc);
  void OnDestroyed();
  void ApplyFont();
  bool MakeWindows(HWND parent, bool shown, POINT place = {});
  void ResizeUnmade(SIZE size);

  // Declared in the order of creation: the thread's shared windows outlive the surface's, the font outlives
  // the window whose device context holds it, and the constituents are created inside the window.
  [[no_unique_address]] ThreadWindowsUse threadWindows_;
  std::shared_ptr<const Font::Attributes> fontAttributes_;  // the default, shared by every surface, until a name is set
  SharedFont fontHandle_;
  SolidBrush backBrush_;
  SurfaceEvents* events_ = nullptr;
  SurfaceListener* listener_ = nullptr;
  Dpi dpi_;
  SIZE unmadeSize_ = {};  // pixels: the size the window is to be made at
  OleColor backColor_ = kButtonFaceColor;
  int wheelDelta_ = 0;  // the part of a notch that the wheel has turned so far
  Integer mousePointer_ = 0;
  bool ready_ = false;    // the constituents exist and may be told of their notifications
  bool clipped_ = false;  // the window has a region that hides part of it
  bool made_ = false;     // the windows were made; they stay gone once the system destroyed them
  UniqueWindow window_;
  // The device context that hdc hands out, with the surface's font: one of the system's, kept from the first
  // request until the window goes.
  mutable HDC dc_ = nullptr;
  EditTextBox textBox_;
  UpDownSpinner spinner_;
};

// Removes the surface's window class, for a module that is about to be unloaded with no surface left.
void UnregisterSurfaceClass();

}  // namespace marelco::win32
