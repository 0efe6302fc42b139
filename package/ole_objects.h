// The platform's standard font and picture objects as the core sees them (Font, Picture), and back.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>

#include "com/com_ptr.h"
#include "control/platform/font.h"

namespace marelco {

// A standard font object (StdFont). Its attributes are the object's; changes made by anyone who holds
// the object reach the listeners through the object's property notifications.
class OleFont final : public Font {
 public:
  explicit OleFont(ComPtr<IFont> font) : font_(std::move(font)) {}

  Attributes attributes() const override;
  void SetAttributes(const Attributes& attributes) override;
  Cookie Subscribe(FontListener& listener) override;
  void Unsubscribe(Cookie cookie) override;

  ComPtr<IFontDisp> dispatch() const { return font_.query<IFontDisp>(); }

 private:
  ComPtr<IFont> font_;
};

// A standard picture object (StdPicture); it holds no image when its type is none.
class OlePicture final : public Picture {
 public:
  explicit OlePicture(ComPtr<IPictureDisp> picture) : picture_(std::move(picture)) {}
  bool IsEmpty() const override;
  ComPtr<IPictureDisp> dispatch() const { return picture_; }

 private:
  ComPtr<IPictureDisp> picture_;
};

// A new standard font object with these attributes; throws std::bad_alloc when none can be made.
std::shared_ptr<OleFont> MakeOleFont(const Font::Attributes& attributes);
// The standard font object behind a core font: the same object for an OleFont, a new one with its
// attributes otherwise; null for none.
ComPtr<IFontDisp> ToFontDisp(const std::shared_ptr<Font>& font);
// The core's view of a host's font object; null when it is no font.
std::shared_ptr<Font> FromFontDisp(IUnknown* font);

// A new standard picture object that holds no image.
ComPtr<IPictureDisp> MakeEmptyPictureDisp();
// The core's view of a host's picture object; null for none.
std::shared_ptr<Picture> FromPictureDisp(IUnknown* picture);

}  // namespace marelco
