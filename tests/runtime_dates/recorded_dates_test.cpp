// The platform's recorded answers, checked natively: our date services over the same locale settings, on the
// recording's present day, read the recorded texts and write the recorded formats as the platform did, or, where
// a deviation lists why we differ, as we did when the answers were recorded.
#include <gtest/gtest.h>

#include <iostream>

#include "dates/date_services.h"
#include "tests/runtime_dates/comparison.h"
#include "tests/runtime_dates/locales.h"

namespace marelco::test {
namespace {

class RecordedDates : public ::testing::TestWithParam<ComparedLocale> {};

TEST_P(RecordedDates, ReadAndWriteAsThePlatformDid) {
  const std::string directory = MARELCO_RUNTIME_DATES_DIR;
  const char* name = GetParam().name;
  const Recording recording = Load(directory + "/" + name + ".tsv");
  ASSERT_GE(recording.reads.size(), kTexts);
  ASSERT_GE(recording.formats.size(), kFormats);
  const NamedLocale locale(recording.names);
  const DateServices services(locale, [&] { return Date{recording.now}; });
  Comparison comparison(name, LoadDeviations(directory + "/deviations.tsv"));
  for (const auto& read : recording.reads) {
    const auto ours = services.IsDate(read.text) ? std::optional<double>(services.ToDate(read.text).serial)
                                                 : std::nullopt;
    comparison.Read(read.text, read.serial, ours, &read.ours);
  }
  for (const auto& format : recording.formats) {
    comparison.Format(format.format, format.serial, format.text, services.Format(Date{format.serial}, format.format),
                      &format.ours);
  }
  std::cout << comparison.Summary() << std::flush;
  EXPECT_TRUE(comparison.unexplained().empty());
}

INSTANTIATE_TEST_SUITE_P(Locales, RecordedDates, ::testing::ValuesIn(kComparedLocales),
                         [](const auto& info) { return TestName(info.param.name); });

}  // namespace
}  // namespace marelco::test
