// What the about box frmAbout shows: the component's title, version numbers and file description.
#pragma once

#include <string>

namespace marelco::pages {

struct ApplicationInfo {
  std::u16string title;
  unsigned major = 0;
  unsigned minor = 0;
  unsigned revision = 0;
  std::u16string file_description;
};

// The title the application was given; the about box shows it in its caption and title line.
inline constexpr const char16_t* kApplicationTitle = u"Marelco";
// The name under which the product presents itself.
inline constexpr const char16_t* kProductDisplayName = u"Marelco date entry control";
// The credits below the separator.
inline constexpr const char16_t* kAuthorCredit = u"Marelco Software \u00AE";
inline constexpr const char16_t* kAuthorContact = u"kalendo@marelco.example";

std::u16string AboutCaption(const ApplicationInfo& info);  // "About " and the title
std::u16string VersionText(const ApplicationInfo& info);   // "Version major.minor.revision"

}  // namespace marelco::pages
