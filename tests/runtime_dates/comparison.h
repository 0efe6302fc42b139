// Tallies of our date services against the platform's answers: agreement, differences explained by the list of
// known deviations, and the unexplained ones, which fail the comparison. Against a recording, a deviation
// explains only the answer of ours recorded beside the platform's: any other answer of ours fails too.
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

  // Each returns whether a deviation explained a difference. `recorded`, given when the platform's answers come
  // from a recording, is our answer recorded beside the platform's: none where the two agreed.
  bool Read(std::u16string_view text, std::optional<double> platform, std::optional<double> ours,
            const std::optional<std::string>* recorded = nullptr) {
    ++reads_;
    platformReads_ += platform.has_value();
    const bool same = platform.has_value() == ours.has_value() && (!platform || std::fabs(*platform - *ours) < 1e-9);
    readsAgreeing_ += same;
    platformReadsAgreeing_ += same && platform.has_value();
    const std::string kind = !ours ? "ours-refuses" : !platform ? "ours-reads" : "other-date";
    const bool explained = !same && Explain(deviations_, kind, text, Answer(platform), locale_);
    Check(same, explained, Answer(ours), recorded, "read \"" + Escape(text) + "\": platform " + Answer(platform));
    return explained;
  }

  bool Format(std::u16string_view format, double serial, std::u16string_view platform, std::u16string_view ours,
              const std::optional<std::u16string>* recorded = nullptr) {
    ++formats_;
    const bool same = platform == ours;
    formatsAgreeing_ += same;
    const bool explained = !same && Explain(deviations_, "format", format, Utf8(platform), locale_);
    const auto quoted = [](std::u16string_view text) { return "\"" + Escape(text) + "\""; };
    const std::optional<std::string> recordedText = recorded && *recorded ? std::optional(quoted(**recorded)) : std::nullopt;
    Check(same, explained, quoted(ours), recorded ? &recordedText : nullptr,
          "format \"" + Escape(format) + "\" of " + Number(serial) + ": platform " + quoted(platform));
    return explained;
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

  // A difference must be explained; against a recording, our answer must also be the one recorded.
  void Check(bool same, bool explained, const std::string& ours, const std::optional<std::string>* recorded,
             const std::string& difference) {
    if (!same && !explained) return Unexplained(difference + ", ours " + ours);
    const std::optional<std::string> expected = same ? std::nullopt : std::optional(ours);
    if (recorded && *recorded != expected) {
      Unexplained(difference + ", ours recorded " + recorded->value_or("(none: we agreed)") + ", ours now " + ours);
    }
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
