// A selected object for tests: members held by name, every write recorded in order.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "pages/page_controls.h"

namespace marelco::pages::testing {

class RecordedObject : public SelectedObject {
 public:
  RecordedObject(std::u16string format, Boolean locked, Boolean enabled)
      : members{{u"Formato", Variant::FromString(std::move(format))},
                {u"Locked", Variant::FromBoolean(locked)},
                {u"Enabled", Variant::FromBoolean(enabled)}} {}

  Variant Get(std::u16string_view member) override { return Member(member); }
  void Set(std::u16string_view member, const Variant& value) override {
    Member(member) = value;
    writes.emplace_back(member);
  }

  std::map<std::u16string, Variant, std::less<>> members;
  std::vector<std::u16string> writes;  // names of the members written, in order

 private:
  Variant& Member(std::u16string_view name) {
    auto found = members.find(name);
    if (found == members.end()) throw RuntimeError(kUnsupportedMember);
    return found->second;
  }
};

}  // namespace marelco::pages::testing
