// One full step of the date under the caret (read, parse, add, format, write, select) through the
// in-memory text box, against formatting plus parsing alone. Prints steps per second for each format
// and what a step costs in units of one format-and-parse.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "control/kalendo.h"
#include "dates/date_services.h"
#include "tests/support/memory_constituents.h"

namespace marelco {
namespace {

const char16_t* const kFormats[] = {u"dd/mm/yyyy", u"dd/mmm/yyyy", u"dd/mmmm/yyyy"};

Date FixedNow() { return Date{46000.5}; }

class QuietHost : public Host {
 public:
  void PropertyChanged(std::u16string_view) override {}
  OleColor AmbientBackColor() override { return kButtonFaceColor; }
  std::shared_ptr<Font> AmbientFont() override { return MakeFont(); }
  void Change() override {}
  void Click() override {}
  void DblClick() override {}
  void KeyDown(Integer&, Integer&) override {}
  void KeyPress(Integer&) override {}
  void KeyUp(Integer&, Integer&) override {}
  void MouseMove(Integer&, Integer&, Single&, Single&) override {}
  void MouseUp(Integer&, Integer&, Single&, Single&) override {}
};

class NoGdi : public Gdi {
 public:
  Long GetTextMetricsA(Long, TextMetrics&) override { return 0; }
  Long GetCharWidth32A(Long, std::uint32_t, std::uint32_t, std::int32_t*) override { return 0; }
};

// Steps the month of a mid-month date forwards and back, so the text stays within one year.
void BM_Step(benchmark::State& state) {
  const auto locale = MakeLocale("en");
  const DateServices dates(*locale, FixedNow);
  MemorySurface surface;
  QuietHost host;
  NoGdi gdi;
  Kalendo control(surface, host, dates, gdi);
  control.SetFormato(kFormats[state.range(0)]);
  control.SetText(u"15/06/2026");
  surface.txtFecha().SetSelStart(4);
  Boolean incremento = kTrue;
  for (auto _ : state) {
    control.CambiaFecha2(incremento);
    incremento = incremento == kTrue ? kFalse : kTrue;
  }
  const std::u16string june = dates.Format(std::u16string(u"15/06/2026"), kFormats[state.range(0)]);
  const std::u16string july = dates.Format(std::u16string(u"15/07/2026"), kFormats[state.range(0)]);
  if (control.Text() != june && control.Text() != july) state.SkipWithError("the month was not stepped");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Step)->DenseRange(0, 2);

// What a step cannot do without: the text read as a date, and a date written as text.
void BM_FormatAndParse(benchmark::State& state) {
  const auto locale = MakeLocale("en");
  const DateServices dates(*locale, FixedNow);
  const std::u16string format = kFormats[state.range(0)];
  const std::u16string text = dates.Format(std::u16string(u"15/06/2026"), format);
  for (auto _ : state) {
    const Date date = dates.ToDate(text);
    benchmark::DoNotOptimize(dates.Format(date, format));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatAndParse)->DenseRange(0, 2);

// The console report, followed by the cost of a step in units of one format-and-parse, by CPU time (the
// machine may be shared).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        nanoseconds_[run.benchmark_name()] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    for (int format = 0; format < 3; ++format) {
      const char suffix[] = {'/', static_cast<char>('0' + format), '\0'};
      const auto step = nanoseconds_.find(std::string("BM_Step") + suffix);
      const auto base = nanoseconds_.find(std::string("BM_FormatAndParse") + suffix);
      if (step == nanoseconds_.end() || base == nanoseconds_.end()) continue;
      std::printf("format %d: %.0f steps/s, one step = %.2f x (format + parse)\n", format, 1e9 / step->second,
                  step->second / base->second);
    }
  }

 private:
  std::map<std::string, double> nanoseconds_;
};

}  // namespace
}  // namespace marelco

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  marelco::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
