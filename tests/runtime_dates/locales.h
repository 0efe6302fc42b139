// The locales in which our date services are compared with the platform's run time, each with the seed of its
// generated inputs; the platform's answers in each stand in <name>.tsv beside this file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

namespace marelco::test {

struct ComparedLocale {
  const char* name;
  uint32_t seed;
  friend std::ostream& operator<<(std::ostream& out, const ComparedLocale& locale) { return out << locale.name; }
};

inline constexpr ComparedLocale kComparedLocales[] = {
    {"en-GB", 2026}, {"en-US", 1776}, {"es-ES", 1492}, {"es-MX", 1821}, {"es-AR", 1816}, {"es-CO", 1810},
    {"pt-BR", 1822}, {"pt-PT", 1143}, {"fr-FR", 1789}, {"it-IT", 1861}, {"de-DE", 1871}, {"nl-NL", 1815},
    {"ca-ES", 988}};

inline constexpr size_t kTexts = 20000;
inline constexpr size_t kFormats = 2000;

// A test's name for the locale: "es_MX".
inline std::string TestName(const char* locale) {
  std::string name = locale;
  name[2] = '_';
  return name;
}

}  // namespace marelco::test
