#include "control/platform/font.h"

#include <list>
#include <utility>
#include <vector>

namespace marelco {
namespace {

// One font object shared by reference; every holder hears of every change.
class SharedFont : public Font {
 public:
  explicit SharedFont(Attributes attributes)
      : attributes_(std::move(attributes)) {}

  Attributes attributes() const override { return attributes_; }

  void SetAttributes(const Attributes& attributes) override {
    attributes_ = attributes;
    // A listener may subscribe or unsubscribe others while it is told: walk a snapshot, and skip
    // those that left in the meantime.
    std::vector<std::weak_ptr<Listener>> snapshot(listeners_.begin(), listeners_.end());
    for (const auto& entry : snapshot) {
      if (auto listener = entry.lock()) listener->listener.FontChanged();
    }
  }

  Cookie Subscribe(FontListener& listener) override {
    listeners_.push_back(std::make_shared<Listener>(Listener{++lastCookie_, listener}));
    return lastCookie_;
  }

  void Unsubscribe(Cookie cookie) override {
    std::erase_if(listeners_, [cookie](const auto& entry) { return entry->cookie == cookie; });
  }

 private:
  struct Listener {
    Cookie cookie;
    FontListener& listener;
  };

  Attributes attributes_;
  std::list<std::shared_ptr<Listener>> listeners_;
  Cookie lastCookie_ = 0;
};

class EmptyPicture : public Picture {
 public:
  bool IsEmpty() const override { return true; }
};

}  // namespace

std::shared_ptr<Font> MakeFont(Font::Attributes attributes) {
  return std::make_shared<SharedFont>(std::move(attributes));
}

// One for every control: it holds nothing, so there is nothing of a control's own in it.
std::shared_ptr<Picture> MakeEmptyPicture() {
  static const auto empty = std::make_shared<EmptyPicture>();
  return empty;
}

}  // namespace marelco
