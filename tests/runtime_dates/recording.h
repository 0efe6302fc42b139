// The platform's answers for one locale, kept in a text file so that native tests check the same vectors as the
// comparison under Wine; and the list of our known differences from the platform, with the reason for each.
//
// A recording is one line per item, fields separated by tabs; texts escape "\", tabs and every character outside
// printable ASCII ("\t", "\\", "\u00e9"):
//   now <serial>                      the present date of the recording (texts without a year mean its year)
//   names <field> <value>...          the locale's settings the platform used (see LocaleNames)
//   read <text> <serial or "none">    what VarDateFromStr made of the text
//   format <format> <serial> <text>   what VarFormat wrote for the date
// Where we differ on purpose (a deviation below explains it), our own answer follows the platform's, so that a
// change of it shows: "read <text> <platform's> <ours>", "format <format> <serial> <platform's> <ours>".
#pragma once

#include <cstdio>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "dates/locale_names.h"

namespace marelco::test {

struct ReadVector {
  std::u16string text;
  std::optional<double> serial;
  std::optional<std::string> ours;  // our serial or "none", where a deviation explains the difference
};

struct FormatVector {
  std::u16string format;
  double serial = 0;
  std::u16string text;
  std::optional<std::u16string> ours;  // our text, where a deviation explains the difference
};

struct Recording {
  double now = 0;
  LocaleNames names;
  std::vector<ReadVector> reads;
  std::vector<FormatVector> formats;
};

inline std::string Escape(std::u16string_view text) {
  std::string out;
  for (const char16_t c : text) {
    if (c == u'\\') {
      out += "\\\\";
    } else if (c == u'\t') {
      out += "\\t";
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(c));
      out += code;
    }
  }
  return out;
}

inline std::u16string Unescape(std::string_view text) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += static_cast<char16_t>(static_cast<unsigned char>(text[i]));
    } else if (text[++i] == 't') {
      out += u'\t';
    } else if (text[i] == 'u') {
      out += static_cast<char16_t>(std::stoul(std::string(text.substr(i + 1, 4)), nullptr, 16));
      i += 4;
    } else {
      out += static_cast<char16_t>(text[i]);
    }
  }
  return out;
}

inline std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

inline std::string Answer(std::optional<double> serial) { return serial ? Number(*serial) : "none"; }

inline std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  if (!line.empty() && line.back() == '\t') fields.emplace_back();  // an empty last field
  return fields;
}

// The settings of LocaleNames by name, each a list of texts.
inline std::vector<std::pair<std::string, std::vector<std::u16string*>>> NameFields(LocaleNames& names) {
  std::vector<std::pair<std::string, std::vector<std::u16string*>>> fields;
  for (int abbreviated = 0; abbreviated <= 1; ++abbreviated) {
    auto& months = fields.emplace_back(abbreviated ? "abbreviatedMonths" : "months", std::vector<std::u16string*>{});
    for (auto& name : names.months[static_cast<size_t>(abbreviated)]) months.second.push_back(&name);
    auto& days = fields.emplace_back(abbreviated ? "abbreviatedDays" : "days", std::vector<std::u16string*>{});
    for (auto& name : names.days[static_cast<size_t>(abbreviated)]) days.second.push_back(&name);
  }
  fields.push_back({"designators", {&names.designators[0], &names.designators[1]}});
  fields.push_back({"dateSeparator", {&names.dateSeparator}});
  fields.push_back({"pictures", {&names.pictures[0], &names.pictures[1], &names.pictures[2]}});
  return fields;
}

inline void Save(Recording recording, const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  out << "# The answers of the platform's oleaut32 (VarDateFromStr, VarFormat) under Wine; rewritten by "
         "scripts/record-runtime-dates.\n";
  out << "now\t" << Number(recording.now) << "\n";
  out << "names\ttwoDigitYearMax\t" << recording.names.twoDigitYearMax << "\n";
  for (const auto& [name, values] : NameFields(recording.names)) {
    out << "names\t" << name;
    for (const std::u16string* value : values) out << "\t" << Escape(*value);
    out << "\n";
  }
  for (const auto& read : recording.reads) {
    out << "read\t" << Escape(read.text) << "\t" << Answer(read.serial) << (read.ours ? "\t" + *read.ours : "") << "\n";
  }
  for (const auto& format : recording.formats) {
    out << "format\t" << Escape(format.format) << "\t" << Number(format.serial) << "\t" << Escape(format.text)
        << (format.ours ? "\t" + Escape(*format.ours) : "") << "\n";
  }
}

inline Recording Load(const std::string& path) {
  Recording recording;
  std::ifstream in(path, std::ios::binary);
  const auto nameFields = NameFields(recording.names);
  for (std::string line; std::getline(in, line);) {
    const auto fields = Fields(line);
    if (fields.size() < 2 || fields[0][0] == '#') continue;
    if (fields[0] == "now") recording.now = std::stod(fields[1]);
    if (fields[0] == "names" && fields[1] == "twoDigitYearMax") recording.names.twoDigitYearMax = std::stoi(fields[2]);
    for (const auto& [name, values] : nameFields) {
      if (fields[0] != "names" || fields[1] != name) continue;
      for (size_t i = 0; i < values.size() && i + 2 < fields.size(); ++i) *values[i] = Unescape(fields[i + 2]);
    }
    if (fields[0] == "read" && fields.size() >= 3) {
      recording.reads.push_back({Unescape(fields[1]),
                                 fields[2] == "none" ? std::nullopt : std::optional<double>(std::stod(fields[2])),
                                 fields.size() > 3 ? std::optional<std::string>(fields[3]) : std::nullopt});
    }
    if (fields[0] == "format" && fields.size() >= 3) {
      recording.formats.push_back({Unescape(fields[1]), std::stod(fields[2]), fields.size() > 3 ? Unescape(fields[3]) : u"",
                                   fields.size() > 4 ? std::optional<std::u16string>(Unescape(fields[4])) : std::nullopt});
    }
  }
  return recording;
}

// Our known differences from the platform: "kind<TAB>pattern<TAB>reason". The kind says what differs:
//   ours-reads     we read a date where the platform reads none
//   ours-refuses   we read no date where the platform reads one
//   other-date     we read another date than the platform
//   format         Format writes another text than VarFormat
// The pattern, an ECMAScript regular expression in any letter case, is searched in the input (the text or the
// format), the platform's answer (its serial or "none", or its text) and the locale's name ("de-DE"), each on a
// line of its own, all as UTF-8.
struct Deviation {
  std::string kind;
  std::regex pattern;
  std::string reason;
  size_t seen = 0;
};

inline std::vector<Deviation> LoadDeviations(const std::string& path) {
  std::vector<Deviation> deviations;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    const auto fields = Fields(line);
    if (fields.size() >= 3 && fields[0][0] != '#') deviations.push_back({fields[0], std::regex(fields[1], std::regex::icase), fields[2]});
  }
  return deviations;
}

inline std::string Utf8(std::u16string_view text) {
  std::string out;
  for (const char16_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// The deviation that explains a difference of that kind on that input and answer of the platform in that locale,
// or none.
inline Deviation* Explain(std::vector<Deviation>& deviations, const std::string& kind, std::u16string_view input,
                          const std::string& platformAnswer, const std::string& locale) {
  const std::string subject = Utf8(input) + "\n" + platformAnswer + "\n" + locale;
  for (auto& deviation : deviations) {
    if (deviation.kind == kind && std::regex_search(subject, deviation.pattern)) {
      ++deviation.seen;
      return &deviation;
    }
  }
  return nullptr;
}

}  // namespace marelco::test
