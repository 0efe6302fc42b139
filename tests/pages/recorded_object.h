// A selected object for tests: members held by name, every write recorded in order.
#pragma once

#include <map>
#include <string>
#include <variant>
#include <vector>

#include "pages/page_controls.h"

namespace marelco::testing {

using MemberValue = std::variant<std::u16string, Boolean>;

class RecordedObject : public SelectedObject {
 public:
  RecordedObject(std::u16string format, Boolean locked, Boolean enabled)
      : members{{u"Formato", format}, {u"Locked", locked}, {u"Enabled", enabled}} {}

  std::u16string GetText(std::u16string_view member) override {
    const MemberValue& value = Member(member);
    if (auto* text = std::get_if<std::u16string>(&value)) return *text;
    return std::get<Boolean>(value) ? u"True" : u"False";
  }
  Long GetLong(std::u16string_view member) override {
    const MemberValue& value = Member(member);
    if (auto* number = std::get_if<Boolean>(&value)) return *number;
    throw RuntimeError(ErrorNumber::TypeMismatch);
  }
  void SetText(std::u16string_view member, const std::u16string& value) override { Write(member, value); }
  void SetBoolean(std::u16string_view member, Boolean value) override { Write(member, value); }

  std::map<std::u16string, MemberValue, std::less<>> members;
  std::vector<std::u16string> writes;  // names of the members written, in order

 private:
  MemberValue& Member(std::u16string_view name) {
    auto found = members.find(name);
    if (found == members.end()) throw RuntimeError(kUnsupportedMember);
    return found->second;
  }
  void Write(std::u16string_view member, MemberValue value) {
    Member(member) = std::move(value);
    writes.emplace_back(member);
  }
};

}  // namespace marelco::testing
