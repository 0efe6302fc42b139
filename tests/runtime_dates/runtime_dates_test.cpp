// Our date services beside the platform's run time in one process: the same generated texts read by ToDate and by
// oleaut32's VarDateFromStr, the same generated formats written by Format and by VarFormat, in each locale of
// locales.h. With MARELCO_RECORD_DIR set, the platform's answers are written there too, and ours beside them where
// a deviation explains why they differ.
#include <gtest/gtest.h>
#include <windows.h>

#include <oleauto.h>

#include <cstdlib>
#include <iostream>
#include <memory>

#include "com/com_ptr.h"
#include "dates/date_services.h"
#include "tests/runtime_dates/comparison.h"
#include "tests/runtime_dates/date_inputs.h"
#include "tests/runtime_dates/locales.h"

namespace marelco::test {
namespace {

std::optional<double> PlatformRead(const std::u16string& text, LCID lcid) {
  const Bstr bstr(text);
  DATE date = 0;
  if (FAILED(VarDateFromStr(bstr.get(), lcid, 0, &date))) return std::nullopt;
  return date;
}

std::u16string PlatformFormat(double serial, const std::u16string& format, LCID lcid) {
  const Bstr pattern(format);
  BYTE tokens[4096];
  int used = 0;
  HRESULT result = VarTokenizeFormatString(pattern.get(), tokens, sizeof tokens, 1, 1, lcid, &used);
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_DATE;
  value.date = serial;
  Bstr text;
  if (SUCCEEDED(result)) result = VarFormatFromTokens(&value, pattern.get(), tokens, 0, text.put(), lcid);
  return SUCCEEDED(result) ? text.str() : u"<error>";
}

std::string DataFile(const std::string& name) { return std::string(MARELCO_RUNTIME_DATES_DIR "/") + name; }

// Dates that formats are tried on: an afternoon, a midnight, a time alone, a leap day's last second, before 1899.
constexpr double kFormatDates[] = {46270.588298611111, 36957.0, 0.37850694444444444, 46812.999988425923,
                                   -36522.25};

LCID LcidOf(const char* name) {
  const std::wstring wide(name, name + std::char_traits<char>::length(name));
  return LocaleNameToLCID(wide.c_str(), 0);
}

class RuntimeDates : public ::testing::TestWithParam<ComparedLocale> {};

TEST_P(RuntimeDates, ReadAndWriteAsThePlatformDoes) {
  const ComparedLocale& platform = GetParam();
  const LCID lcid = LcidOf(platform.name);
  ASSERT_NE(lcid, 0u) << platform.name;
  const auto locale = MakeLocale(platform.name);
  const auto english = MakeLocale("en-GB");
  const DateServices services(*locale);
  InputGenerator inputs(platform.seed, *locale, *english);
  Comparison comparison(platform.name, LoadDeviations(DataFile("deviations.tsv")));
  Recording recording;
  recording.now = services.Now().serial;

  for (const std::u16string& text : inputs.Texts(kTexts)) {
    const auto theirs = PlatformRead(text, lcid);
    const auto ours = services.IsDate(text) ? std::optional<double>(services.ToDate(text).serial) : std::nullopt;
    const bool deviates = comparison.Read(text, theirs, ours);
    recording.reads.push_back({text, theirs, deviates ? std::optional(Answer(ours)) : std::nullopt});
  }
  for (const std::u16string& format : inputs.Formats(kFormats)) {
    for (const double serial : kFormatDates) {
      const std::u16string theirs = PlatformFormat(serial, format, lcid);
      const std::u16string ours = services.Format(Date{serial}, format, 1, 1);
      const bool deviates = comparison.Format(format, serial, theirs, ours);
      recording.formats.push_back({format, serial, theirs, deviates ? std::optional(ours) : std::nullopt});
    }
  }

  std::cout << comparison.Summary() << std::flush;
  EXPECT_TRUE(comparison.unexplained().empty());
  if (const char* directory = std::getenv("MARELCO_RECORD_DIR")) {
    for (int month = 1; month <= 12; ++month) {
      for (bool abbreviated : {false, true}) {
        recording.names.months[abbreviated][month - 1] = locale->MonthName(month, abbreviated);
      }
    }
    for (int weekday = 1; weekday <= 7; ++weekday) {
      for (bool abbreviated : {false, true}) {
        recording.names.days[abbreviated][weekday - 1] = locale->DayName(weekday, abbreviated);
      }
    }
    recording.names.designators = {locale->Designator(false), locale->Designator(true)};
    recording.names.dateSeparator = locale->DateSeparator();
    recording.names.pictures = {locale->DatePicture(Locale::Picture::ShortDate),
                                locale->DatePicture(Locale::Picture::LongDate),
                                locale->DatePicture(Locale::Picture::Time)};
    recording.names.twoDigitYearMax = locale->TwoDigitYearMax();
    Save(recording, std::string(directory) + "/" + platform.name + ".tsv");
  }
}

INSTANTIATE_TEST_SUITE_P(Locales, RuntimeDates, ::testing::ValuesIn(kComparedLocales),
                         [](const auto& info) { return TestName(info.param.name); });

}  // namespace
}  // namespace marelco::test
