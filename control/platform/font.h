// The platform's standard font object, as the control shares it: one object, passed by reference,
// whose changes reach every window that uses it at once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "control/platform/types.h"

namespace marelco {

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
  using Listener = std::function<void()>;

  virtual ~Font() = default;
  virtual Attributes attributes() const = 0;
  virtual void SetAttributes(const Attributes& attributes) = 0;  // notifies every listener
  // Listeners are told of every change; the returned token removes the listener when destroyed.
  virtual std::shared_ptr<void> Subscribe(Listener listener) = 0;
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
