// UpDown1 over the common controls' up-down control: vertical, no buddy, a child of the surface window.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "control/platform/constituents.h"
#include "win32/handles.h"
#include "win32/window_support.h"

namespace marelco::win32 {

class UpDownSpinner final : public Spinner {
 public:
  static constexpr Single kFirstLeft = 1680;
  static constexpr Single kFirstWidth = 195;
  static constexpr Single kFirstHeight = 300;

  // A spinner at its first place (twips), whose window MakeWindow makes in the surface's.
  explicit UpDownSpinner(Dpi dpi) : dpi_(dpi) {}
  UpDownSpinner(const UpDownSpinner&) = delete;
  UpDownSpinner& operator=(const UpDownSpinner&) = delete;
  ~UpDownSpinner() override = default;

  // The up-down window, null until the surface has made it and once the system has destroyed it.
  HWND hwnd() const { return window_.get(); }
  void MakeWindow(HWND surface);

  // UDN_DELTAPOS from the up-down window: one click of an arrow. The result keeps the up-down's own
  // position where it is, so that it never reaches an end of its range and falls silent there.
  LRESULT OnDeltaPosition(const NMUPDOWN& change);
  void OnWindowDestroyed() { window_.release(); }

  void SetEvents(SpinnerEvents* events) override { events_ = events; }

  Single Left() const override { return left_; }
  void SetLeft(Single left) override;
  Single Top() const override { return top_; }
  Single Width() const override { return width_; }
  Single Height() const override { return height_; }
  void SetHeight(Single height) override;
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;

 private:
  void Place();

  UniqueWindow window_;
  bool made_ = false;
  bool enabledUnmade_ = true;  // what the window is made with
  Dpi dpi_;
  SpinnerEvents* events_ = nullptr;
  Single left_ = kFirstLeft;
  Single top_ = 0;
  Single width_ = kFirstWidth;
  Single height_ = kFirstHeight;
};

}  // namespace marelco::win32
