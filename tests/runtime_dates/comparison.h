// Tallies of our date services against the platform's answers: agreement, differences explained by the list of
// known deviations, and the unexplained ones, which fail the comparison.
#pragma once

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dates/date_services.h"
#include "tests/runtime_dates/recording.h"

namespace marelco::test {

class Comparison {
 public:
  Comparison(std::string locale, std::vector<Deviation> deviations)
      : locale_(std::move(locale)), deviations_(std::move(deviations)) {}

  void Read(std::u16string_view text, std::optional<double> platform, std::optional<double> ours) {
    ++reads_;
    platformReads_ += platform.has_value();
    const bool same = platform.has_value() == ours.has_value() && (!platform || std::fabs(*platform - *ours) < 1e-9);
    if (same) {
      ++readsAgreeing_;
      platformReadsAgreeing_ += platform.has_value();
      return;
    }
    const std::string kind = !ours ? "ours-refuses" : !platform ? "ours-reads" : "other-date";
    if (Explain(deviations_, kind, text, platform ? Number(*platform) : "none", locale_)) return;
    Unexplained("read \"" + Escape(text) + "\": platform " + (platform ? Number(*platform) : "none") + ", ours " +
                (ours ? Number(*ours) : "none"));
  }

  void Format(std::u16string_view format, double serial, std::u16string_view platform, std::u16string_view ours) {
    ++formats_;
    if (platform == ours) {
      ++formatsAgreeing_;
      return;
    }
    if (Explain(deviations_, "format", format, Utf8(platform), locale_)) return;
    Unexplained("format \"" + Escape(format) + "\" of " + Number(serial) + ": platform \"" + Escape(platform) +
                "\", ours \"" + Escape(ours) + "\"");
  }

  // The figures, one line for each, and the deviations that explained differences.
  std::string Summary() const {
    std::string out;
    const auto line = [&](const char* what, size_t agreeing, size_t total, size_t explained) {
      char text[240];
      std::snprintf(text, sizeof text,
                    "runtime-dates %s %s: %zu of %zu agree (%.2f %%), %zu differ as listed, %zu unexplained\n",
                    locale_.c_str(), what, agreeing, total,
                    total ? 100.0 * static_cast<double>(agreeing) / static_cast<double>(total) : 100.0, explained,
                    total - agreeing - explained);
      out += text;
    };
    line("texts", readsAgreeing_, reads_, Explained({"ours-reads", "ours-refuses", "other-date"}));
    line("texts the platform reads", platformReadsAgreeing_, platformReads_,
         Explained({"ours-refuses", "other-date"}));
    line("formats", formatsAgreeing_, formats_, Explained({"format"}));
    for (const auto& deviation : deviations_) {
      if (deviation.seen) out += "  deviation " + deviation.kind + " (" + std::to_string(deviation.seen) + "x): " + deviation.reason + "\n";
    }
    for (const auto& difference : unexplained_) out += "  UNEXPLAINED " + difference + "\n";
    if (unexplainedOmitted_) out += "  UNEXPLAINED and " + std::to_string(unexplainedOmitted_) + " more\n";
    return out;
  }

  const std::vector<std::string>& unexplained() const { return unexplained_; }

 private:
  size_t Explained(std::initializer_list<std::string_view> kinds) const {
    size_t count = 0;
    for (const auto& deviation : deviations_) {
      for (const auto kind : kinds) count += deviation.kind == kind ? deviation.seen : 0;
    }
    return count;
  }

  void Unexplained(std::string difference) {
    if (unexplained_.size() < 40) unexplained_.push_back(std::move(difference));
    else ++unexplainedOmitted_;
  }

  std::string locale_;
  std::vector<Deviation> deviations_;
  size_t reads_ = 0, readsAgreeing_ = 0, platformReads_ = 0, platformReadsAgreeing_ = 0;
  size_t formats_ = 0, formatsAgreeing_ = 0, unexplainedOmitted_ = 0;
  std::vector<std::string> unexplained_;
};

}  // namespace marelco::test
