#include "pages/about_texts.h"

namespace marelco::pages {
namespace {

std::u16string Decimal(unsigned number) {
  const std::string digits = std::to_string(number);
  return {digits.begin(), digits.end()};
}

}  // namespace

std::u16string AboutCaption(const ApplicationInfo& info) { return u"About " + info.title; }

std::u16string VersionText(const ApplicationInfo& info) {
  return u"Version " + Decimal(info.major) + u"." + Decimal(info.minor) + u"." + Decimal(info.revision);
}

}  // namespace marelco::pages
