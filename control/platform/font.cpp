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
      : attributes_(std::move(attributes)), listeners_(std::make_shared<Listeners>()) {}

  Attributes attributes() const override { return attributes_; }

  void SetAttributes(const Attributes& attributes) override {
    attributes_ = attributes;
    // A listener may subscribe or unsubscribe others while it is told: walk a snapshot, and skip
    // those that left in the meantime.
    std::vector<std::weak_ptr<FontListener*>> snapshot(listeners_->begin(), listeners_->end());
    for (const auto& entry : snapshot) {
      if (auto listener = entry.lock()) (*listener)->FontChanged();
    }
  }

  std::unique_ptr<Subscription> Subscribe(FontListener& listener) override {
    auto entry = listeners_->insert(listeners_->end(), std::make_shared<FontListener*>(&listener));
    return std::make_unique<Entry>(listeners_, entry);
  }

 private:
  using Listeners = std::list<std::shared_ptr<FontListener*>>;

  // Outlives the font safely: it only erases while the list still exists.
  class Entry final : public Subscription {
   public:
    Entry(std::weak_ptr<Listeners> owner, Listeners::iterator entry) : owner_(std::move(owner)), entry_(entry) {}
    ~Entry() override {
      if (auto listeners = owner_.lock()) listeners->erase(entry_);
    }

   private:
    std::weak_ptr<Listeners> owner_;
    Listeners::iterator entry_;
  };

  Attributes attributes_;
  std::shared_ptr<Listeners> listeners_;
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
