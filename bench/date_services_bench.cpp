// Our date services against ICU's SimpleDateFormat: formatting and parsing the same dates in the control's three
// formats, in Spanish. Prints how many times faster ours are after the usual table.
#include <benchmark/benchmark.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "dates/date_services.h"

namespace {

using namespace marelco;

constexpr double kUnixEpochSerial = 25569;  // 1 January 1970
constexpr double kMillisecondsPerDay = 86400000.0;

struct FormatPair {
  const char16_t* ours;
  const char* icu;
};
constexpr FormatPair kFormats[] = {{u"dd/mm/yyyy", "dd/MM/yyyy"},
                                   {u"dd/mmm/yyyy", "dd/MMM/yyyy"},
                                   {u"dd/mmmm/yyyy", "dd/MMMM/yyyy"}};

// A thousand dates spread over 1900 to 2100.
std::vector<Date> Dates() {
  std::vector<Date> dates;
  for (int i = 0; i < 1000; ++i) dates.push_back(Date{std::floor(i * 73.05 + 0.5)});
  return dates;
}

struct Services {
  std::unique_ptr<Locale> locale = MakeLocale("es-ES");
  DateServices services{*locale};
};

Services& Ours() {
  static Services ours;
  return ours;
}

std::unique_ptr<icu::SimpleDateFormat> IcuFormat(const char* pattern) {
  UErrorCode status = U_ZERO_ERROR;
  auto format = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(pattern), icu::Locale("es", "ES"), status);
  if (U_FAILURE(status)) std::abort();
  format->adoptTimeZone(icu::TimeZone::createTimeZone("GMT"));
  format->setLenient(false);
  return format;
}

void FormatOurs(benchmark::State& state, FormatPair format) {
  const auto dates = Dates();
  for (auto _ : state) {
    for (const Date date : dates) benchmark::DoNotOptimize(Ours().services.Format(date, format.ours, 1, 1));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * dates.size()));
}

void FormatIcu(benchmark::State& state, FormatPair format) {
  const auto dates = Dates();
  const auto icuFormat = IcuFormat(format.icu);
  for (auto _ : state) {
    for (const Date date : dates) {
      icu::UnicodeString text;
      icuFormat->format((date.serial - kUnixEpochSerial) * kMillisecondsPerDay, text);
      benchmark::DoNotOptimize(text);
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * dates.size()));
}

void ParseOurs(benchmark::State& state, FormatPair format) {
  std::vector<std::u16string> texts;
  for (const Date date : Dates()) texts.push_back(Ours().services.Format(date, format.ours, 1, 1));
  for (auto _ : state) {
    for (const auto& text : texts) benchmark::DoNotOptimize(Ours().services.ToDate(text));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * texts.size()));
}

void ParseIcu(benchmark::State& state, FormatPair format) {
  const auto icuFormat = IcuFormat(format.icu);
  std::vector<icu::UnicodeString> texts;
  for (const Date date : Dates()) {
    icu::UnicodeString text;
    icuFormat->format((date.serial - kUnixEpochSerial) * kMillisecondsPerDay, text);
    texts.push_back(text);
  }
  for (auto _ : state) {
    for (const auto& text : texts) {
      UErrorCode status = U_ZERO_ERROR;
      benchmark::DoNotOptimize(icuFormat->parse(text, status));
      if (U_FAILURE(status)) state.SkipWithError("ICU could not parse its own text");
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * texts.size()));
}

// Collects the time per run so that ours and ICU's can be compared at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatios() const {
    std::printf("\nICU time / our time (higher is better for ours; the goal is 5 or more):\n");
    for (const char* operation : {"format", "parse"}) {
      for (const FormatPair& format : kFormats) {
        const std::string suffix = std::string("/") + format.icu;
        const auto ours = times_.find(std::string(operation) + "_ours" + suffix);
        const auto icu = times_.find(std::string(operation) + "_icu" + suffix);
        if (ours == times_.end() || icu == times_.end()) continue;
        std::printf("  %-6s %-13s %6.1fx  (ours %7.1f ns, ICU %7.1f ns per date)\n", operation, format.icu,
                    icu->second / ours->second, ours->second / 1000, icu->second / 1000);
      }
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  for (const FormatPair& format : kFormats) {
    const std::string suffix = std::string("/") + format.icu;
    benchmark::RegisterBenchmark(("format_ours" + suffix).c_str(), FormatOurs, format);
    benchmark::RegisterBenchmark(("format_icu" + suffix).c_str(), FormatIcu, format);
    benchmark::RegisterBenchmark(("parse_ours" + suffix).c_str(), ParseOurs, format);
    benchmark::RegisterBenchmark(("parse_icu" + suffix).c_str(), ParseIcu, format);
  }
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
