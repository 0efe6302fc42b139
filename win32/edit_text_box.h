// txtFecha over the platform's EDIT control, a child of the surface window.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "control/platform/constituents.h"
#include "win32/gdi_support.h"
#include "win32/handles.h"
#include "win32/window_support.h"

namespace marelco::win32 {

class SurfaceWindow;

// Until the surface makes its windows, the box keeps what its EDIT will hold: the text, the selection and the
// states. What only the EDIT itself knows how to do (a text with line breaks, a replaced selection) makes the windows
// first.
class EditTextBox final : public TextBox, private FontListener {
 public:
  static constexpr Single kFirstWidth = 1665;
  static constexpr Single kFirstHeight = 300;

  // A box at its first place (twips) in the surface, with the surface's font attributes.
  EditTextBox(SurfaceWindow& surface, const Font::Attributes& surfaceFont);
  EditTextBox(const EditTextBox&) = delete;
  EditTextBox& operator=(const EditTextBox&) = delete;
  ~EditTextBox() override;

  // The EDIT window, null until the surface has made it and once the system has destroyed it.
  HWND hwnd() const { return window_.get(); }
  // Makes the EDIT window in the surface's window, holding what the box has kept until now.
  void MakeWindow(HWND surface);

  // Notifications that reach the surface window.
  void OnChangeNotification();                 // EN_CHANGE
  HBRUSH OnControlColor(HDC dc);               // WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC
  void OnWindowDestroyed();                    // the system destroyed the window with its parent
  void OnWheelNotch(bool awayFromUser) {  // taken by the surface
    RaiseEvent(events_, &TextBoxEvents::txtFecha_MouseWheel, awayFromUser);
  }

  void SetEvents(TextBoxEvents* events) override { events_ = events; }

  std::u16string Text() const override;
  void SetText(const std::u16string& text) override;
  Long SelStart() const override;
  void SetSelStart(Long start) override;
  Long SelLength() const override;
  void SetSelLength(Long length) override;
  std::u16string SelText() const override;
  void SetSelText(const std::u16string& text) override;

  OleColor BackColor() const override { return backColor_; }
  void SetBackColor(OleColor color) override;
  OleColor ForeColor() const override { return foreColor_; }
  void SetForeColor(OleColor color) override;
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;
  bool Locked() const override;
  void SetLocked(bool locked) override;
  std::u16string ToolTipText() const override { return description_ ? description_->toolTip : std::u16string(); }
  void SetToolTipText(const std::u16string& text) override;
  std::shared_ptr<Font> GetFont() const override { return font_; }
  void SetFont(std::shared_ptr<Font> font) override;

  Single Left() const override { return left_; }
  Single Top() const override { return top_; }
  Single Width() const override { return width_; }
  void SetWidth(Single width) override;
  Single Height() const override { return height_; }
  void SetHeight(Single height) override;

  void SetFocus() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnKey(void (TextBoxEvents::*event)(Integer&, Integer&), UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnCharacter(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
  Long TextLength() const;
  HWND Window();  // the EDIT window, made with the surface's if they are not made yet

  template <class Write>
  void WriteText(const Write& write);
  void RaiseChangeIfChanged();
  void Selection(DWORD& start, DWORD& end) const;
  void ApplyFont(bool redraw = true);
  void FontChanged() override;  // the font object changed: the EDIT takes it and the surface lays out again
  void RemoveToolTip();
  std::wstring AccessibleName() const;
  void Place();
  bool CanTakeFocus() const;

  // What the EDIT will hold once it is made; null from then on.
  struct Unmade {
    std::u16string text;
    Long selectionStart = 0;
    Long selectionEnd = 0;
    bool enabled = true;
    bool locked = false;
  };

  SurfaceWindow& surface_;
  std::unique_ptr<Unmade> unmade_ = std::make_unique<Unmade>();
  UniqueWindow window_;
  WNDPROC editProc_ = nullptr;  // the EDIT's own window procedure
  TextBoxEvents* events_ = nullptr;
  std::u16string knownText_;  // the text at the last change event, so that only real changes raise one
  // The EDIT holds knownText_, so a read need not ask it. Its text changes only while it handles a message, and
  // every message that may change it clears this; a read that finds the known text again sets it.
  mutable bool knownTextIsCurrent_ = false;
  bool writing_ = false;      // a write of ours is under way and raises its own change event
  bool leftButtonPressed_ = false;
  int changingMessages_ = 0;  // the EDIT is handling messages that may change its text: read it afresh
  OleColor backColor_ = kWindowColor;
  OleColor foreColor_ = kWindowTextColor;
  SolidBrush backBrush_;
  std::shared_ptr<Font> font_;
  Font::Cookie fontCookie_ = 0;
  SharedFont fontHandle_;
  // What names the box to its users: few boxes have a tool tip or meet a screen reader, so it is made when first
  // needed.
  struct Description {
    std::u16string toolTip;
    // Screen readers name the box by its tool tip, or "Date" without one; their objects share this text, made
    // when the first of them is.
    std::shared_ptr<std::wstring> accessibleName;
  };
  Description& MadeDescription();
  std::unique_ptr<Description> description_;
  Single left_ = 0;
  Single top_ = 0;
  Single width_ = kFirstWidth;
  Single height_ = kFirstHeight;
};

}  // namespace marelco::win32
