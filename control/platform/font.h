// The platform's standard font object, as the control shares it: one object, passed by reference,
// whose changes reach every window that uses it at once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "control/platform/types.h"

namespace marelco {

// Told of every change of a font it subscribed to.
class FontListener {
 public:
  virtual void FontChanged() = 0;

 protected:
  ~FontListener() = default;
};

class Font {
 public:
  struct Attributes {
    std::u16string name = u"MS Sans Serif";
    double size = 8.25;  // points; the platform keeps it as a currency value
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    Integer weight = 400;
    Integer charset = 0;
    friend bool operator==(const Attributes&, const Attributes&) = default;
  };
  // A listener's place among the font's, given by Subscribe and taken back by Unsubscribe; 0 is none.
  using Cookie = std::uint32_t;

  virtual ~Font() = default;
  virtual Attributes attributes() const = 0;
  virtual void SetAttributes(const Attributes& attributes) = 0;  // notifies every listener
  // The listener is told of every change until its cookie is taken back.
  virtual Cookie Subscribe(FontListener& listener) = 0;
  virtual void Unsubscribe(Cookie cookie) = 0;
};

// A portable font object, used by the in-memory constituents and as the default font.
std::shared_ptr<Font> MakeFont(Font::Attributes attributes = {});

// The platform's standard picture object. The control only stores, returns and persists it.
class Picture {
 public:
  virtual ~Picture() = default;
  virtual bool IsEmpty() const = 0;  // a picture that holds no image
};

std::shared_ptr<Picture> MakeEmptyPicture();

}  // namespace marelco
