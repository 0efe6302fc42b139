// Our date services beside the platform's run time under Wine, in one process: reading texts (ToDate against
// oleaut32's VarDateFromStr) and writing dates (Format against VarFormat), both in the user's locale. Prints the
// time per call of each and how many times faster ours are; run by scripts/bench-runtime-dates.
#include <windows.h>

#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "dates/date_services.h"

namespace {

using namespace marelco;

// The best time per call of five rounds, in microseconds.
double MicrosecondsPerCall(size_t calls, const std::function<void()>& round) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  double best = 1e300;
  for (int i = 0; i < 5; ++i) {
    QueryPerformanceCounter(&start);
    round();
    QueryPerformanceCounter(&end);
    best = std::min(best, static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                              static_cast<double>(frequency.QuadPart) / static_cast<double>(calls));
  }
  return best;
}

void Report(const char* what, double ours, double platform) {
  std::printf("%-34s ours %8.3f us  platform %8.3f us  ours %.1fx faster\n", what, ours, platform, platform / ours);
}

}  // namespace

int main() {
  const auto locale = MakeLocale("");
  const DateServices services(*locale);
  std::vector<std::u16string> texts;
  std::vector<double> dates;
  for (int i = 0; i < 2000; ++i) {
    dates.push_back(static_cast<double>(i * 37 % 73000) + (i % 3) * 0.25);
    texts.push_back(services.Format(Date{dates.back()}, i % 2 ? u"dd/mmm/yyyy" : u"dd/mm/yyyy hh:nn:ss", 1, 1));
  }
  std::vector<Bstr> bstrs;
  for (const auto& text : texts) bstrs.emplace_back(text);

  double sink = 0;
  const double ourRead = MicrosecondsPerCall(texts.size(), [&] {
    for (const auto& text : texts) sink += services.ToDate(text).serial;
  });
  const double platformRead = MicrosecondsPerCall(texts.size(), [&] {
    for (const auto& bstr : bstrs) {
      DATE date = 0;
      VarDateFromStr(bstr.get(), LOCALE_USER_DEFAULT, 0, &date);
      sink += date;
    }
  });
  Report("text to date (ToDate/VarDateFromStr)", ourRead, platformRead);

  for (const char16_t* format : {u"dd/mm/yyyy", u"dd/mmmm/yyyy", u"dddd, d mmm yyyy hh:nn"}) {
    const Bstr pattern{std::u16string_view(format)};
    const double ours = MicrosecondsPerCall(dates.size(), [&] {
      for (const double date : dates) sink += static_cast<double>(services.Format(Date{date}, format, 1, 1).size());
    });
    const double platform = MicrosecondsPerCall(dates.size(), [&] {
      for (const double date : dates) {
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_DATE;
        value.date = date;
        Bstr text;
        VarFormat(&value, pattern.get(), 1, 1, 0, text.put());
        sink += SysStringLen(text.get());
      }
    });
    const std::u16string text = pattern.str();
    const std::string name = "Format " + std::string(text.begin(), text.end());
    Report(name.c_str(), ours, platform);
  }
  std::printf("(checksum %g)\n", sink);
  return 0;
}
