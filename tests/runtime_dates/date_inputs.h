// Seeded generators of the date texts and date formats on which our date services are compared with the
// platform's run time. The same seed gives the same inputs on every platform.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "dates/date_services.h"

namespace marelco::test {

// Texts at the edges of the readings: dates with a period (which the run time refuses) followed by times, numbers
// of every length, the characters that may follow a field, weekday names.
inline constexpr const char16_t* kEdgeTexts[] = {
    u"7.3.2001 14:05:30", u"7.3.2001 2:05:30 pm", u"7.3.2001 2:05 PM", u"7.3.2001 12:05 am", u"7.3.2001 12:05 pm",
    u"7.3.2001 2:05 p", u"7.3.2001 2:05pm", u"7.3.2001 2:05 a", u"7.3.2001 0:05 am", u"7.3.2001 13:05 pm",
    u"7.3.2001 14", u"7.3.2001 24:00", u"7.3.2001 23:60", u"7.3.2001 23:59:60", u"7.3.2001 2:05 pmx",
    u"7.3.2001 2:05:", u"7.3.2001 2:05 x", u"7.3.2001x", u"7.3.2001 ", u"7.3.2001,14:05", u"7.3 14:05",
    u"7.3.2001 123:05", u"7.3.2001 007:05", u"7.3.2001 1:5", u"7.3.2001:14", u"7.3.2001\t14:05", u"7.3.2001\u00a014:05",
    u"7.3.2001\u300014:05", u"7.3.2001  14:05:09 PM ", u"7.3.02001", u"7.003.2001", u"007.3.2001", u"2001.3.7",
    u"001.3.7", u"0100.3.7", u"7.3.1", u"7.3.12", u"7.3.123", u"7.3", u"7. 3. 2001", u"7 . 3 . 2001", u"7..3.2001",
    u"7;3;2001", u"15 sept. 2026", u"Sept. 15, 2026", u"15-SEPT.-2026", u"2026 sept. 15", u"sept. 2026",
    u"Saturday 5.9.2026", u"Friday 5.9.2026", u"sat., 5.9.2026", u"Saturday, 5.9.2026 10:30", u"5.9 Saturday",
    u"1 2 3 4 5 6: ", u"7/3/2001 4:05:06. ", u"4:05:06. 7/3/2001", u"7/3/2001 4:05. ", u"12:00 am", u"12 pm",
    u"7/3/2001 4 p.", u"99999999999 1 1", u"7/3/4294967296", u"31/12/9999 23:59:59", u"1/1/100 0:00:00",
};

// Formats at the edges of the tokens: the last run of letters, "c" and what follows it, where AM/PM begins, runs
// of every length, number formats.
inline constexpr const char16_t* kEdgeFormats[] = {
    u"d", u"dddd", u"ddddd", u"dddddd x", u"mmmmm", u"yyy", u"y", u"q", u"w", u"ww", u"h", u"hh", u"n", u"s", u"ttttt",
    u"c", u"c dd", u"dd c", u"C\"x\"h", u"c ttttt", u"h:nn AM/PM", u"h:nn am/pm dd", u"ham/pm", u"h a/pm",
    u"h A/P x", u"hh:mm A/P", u"h:n:s aM/Pm", u"AMPM h", u"a/p/", u"dd\\", u"\"\"", u"0", u"00.0", u"#,##0.00",
    u"\"n=\"0.##", u"0%", u"mm h", u"h mm", u"h \"x\" mm", u"h d mm", u"hh:nn:ss dd/mm/yyyy",
};

class InputGenerator {
 public:
  InputGenerator(uint32_t seed, const Locale& locale, const Locale& english)
      : random_(seed), locale_(locale), english_(english) {}

  // Texts of many shapes: numeric dates, month and day names, times, dates with times, junk, odd blanks; then
  // the edges that chance seldom reaches, written by hand.
  std::vector<std::u16string> Texts(size_t count) {
    std::vector<std::u16string> texts;
    texts.reserve(count);
    while (texts.size() < count) {
      std::u16string text = Text();
      if (Pick(8) == 0) Mutate(text);
      texts.push_back(std::move(text));
    }
    for (const char16_t* text : kEdgeTexts) texts.emplace_back(text);
    // Every character the run time may take for a blank between fields, and its neighbours, which it may not.
    for (const char16_t blank : u"\x08\t\r\x0e\x84\x85\xa0\u1680\u1fff\u2000\u200a\u200b\u2027\u2028\u2029"
                                u"\u202f\u205f\u3000") {
      if (blank) texts.push_back(u"7" + std::u16string(1, blank) + u"3/2001");
    }
    return texts;
  }

  // User-defined formats made of date and time tokens, separators, literals and the named formats.
  std::vector<std::u16string> Formats(size_t count) {
    static const char16_t* const kTokens[] = {
        u"d",  u"dd", u"ddd", u"dddd", u"ddddd", u"dddddd", u"m",     u"mm",    u"mmm", u"mmmm", u"y",    u"yy",
        u"yyyy", u"w", u"ww", u"q",    u"h",     u"hh",     u"n",     u"nn",    u"s",   u"ss",   u"ttttt", u"c",
        u"AM/PM", u"am/pm", u"A/P", u"a/p", u"/", u":",   u"-",     u" ",     u".",   u", ",   u"\"de\"", u"\\x",
        u"DD",  u"MMMM", u"YYYY", u"Hh:Nn"};
    std::vector<std::u16string> formats;
    while (formats.size() < count) {
      std::u16string format;
      for (int tokens = 1 + Pick(5); tokens > 0; --tokens) format += kTokens[Pick(std::size(kTokens))];
      formats.push_back(std::move(format));
    }
    formats.insert(formats.end(), std::begin(kEdgeFormats), std::end(kEdgeFormats));
    return formats;
  }

 private:
  int Pick(size_t count) { return static_cast<int>(random_() % count); }
  bool Chance(int percent) { return Pick(100) < percent; }

  std::u16string Number(int value, int minDigits = 1) {
    std::u16string digits;
    for (auto v = static_cast<unsigned>(value); v > 0 || digits.empty(); v /= 10) {
      digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
    }
    while (static_cast<int>(digits.size()) < minDigits) digits.insert(digits.begin(), u'0');
    return digits;
  }

  // Mostly plausible values, sometimes at or past the edges.
  std::u16string Day() { return Number(Chance(90) ? 1 + Pick(31) : Pick(100), Pick(3)); }
  std::u16string Month() { return Number(Chance(90) ? 1 + Pick(12) : Pick(40), Pick(3)); }
  std::u16string Year() {
    static const int kEdges[] = {0, 1, 29, 30, 49, 50, 99, 100, 101, 999, 1899, 1900, 2000, 9999, 10000, 32767,
                                 65535, 65536, 67537};
    switch (Pick(4)) {
      case 0: return Number(Pick(100), 1 + Pick(2));
      case 1: return Number(kEdges[Pick(std::size(kEdges))]);
      default: return Number(1900 + Pick(200));
    }
  }

  // Latin-1 letters change case by 32, as ASCII ones do: "MÄR", "décembre".
  static bool IsLower(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7); }
  static bool IsUpper(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7); }

  std::u16string Cased(std::u16string name) {
    const int mode = Pick(4);  // as written, upper, lower, first letter only upper
    for (size_t i = 0; i < name.size(); ++i) {
      char16_t& c = name[i];
      const bool upper = mode == 1 || (mode == 3 && i == 0);
      if (mode != 0 && upper && IsLower(c)) c = static_cast<char16_t>(c - 32);
      if (mode != 0 && !upper && IsUpper(c)) c = static_cast<char16_t>(c + 32);
    }
    return name;
  }

  // A name as the locale writes it, or an abbreviation without its period ("janv." and "janv").
  std::u16string Named(std::u16string name) {
    if (name.size() > 1 && name.back() == u'.' && Chance(50)) name.pop_back();
    return Cased(std::move(name));
  }

  const Locale& SomeLocale() { return Chance(75) ? locale_ : english_; }
  std::u16string MonthName() { return Named(SomeLocale().MonthName(1 + Pick(12), Chance(50))); }
  std::u16string DayName() { return Named(SomeLocale().DayName(1 + Pick(7), Chance(50))); }

  std::u16string Separator() {
    static const char16_t* const kSeparators[] = {u"/", u"/", u"-", u" ", u".", u", ", u" / ", u"  ", u",", u"\t"};
    return kSeparators[Pick(std::size(kSeparators))];
  }

  std::u16string Blank() {
    static const char16_t* const kBlanks[] = {u"", u"", u"", u" ", u"  ", u"\t", u"\u00a0", u"\u3000"};
    return kBlanks[Pick(std::size(kBlanks))];
  }

  std::u16string Meridiem() {
    static const char16_t* const kWords[] = {u"AM", u"PM", u"am", u"pm", u"a", u"p", u"A", u"P", u"a. m.", u"p. m."};
    return kWords[Pick(std::size(kWords))];
  }

  std::u16string Time() {
    const int hour = Chance(90) ? Pick(24) : Pick(70);
    std::u16string time = Number(hour, Pick(3));
    const bool dotted = Chance(10);
    if (Chance(85)) time += (dotted ? u"." : u":") + Number(Chance(95) ? Pick(60) : Pick(100), 2);
    if (Chance(50)) time += (dotted ? u"." : u":") + Number(Chance(95) ? Pick(60) : Pick(100), 2);
    if (Chance(40)) time += (Chance(70) ? u" " : u"") + Meridiem();
    return time;
  }

  std::u16string NumericDate() {
    switch (Pick(5)) {
      case 0: return Day() + Separator() + Month();
      case 1: return Year() + Separator() + Month() + Separator() + Day();
      default: return Day() + Separator() + Month() + Separator() + Year();
    }
  }

  std::u16string NamedDate() {
    const std::u16string month = MonthName();
    switch (Pick(7)) {
      case 0: return Day() + Separator() + month + Separator() + Year();
      case 1: return month + u" " + Day() + (Chance(50) ? u", " : u" ") + Year();
      case 2: return Year() + Separator() + month + Separator() + Day();
      case 3: return month + Separator() + Year();
      case 4: return Year() + Separator() + month;
      case 5: return Day() + Separator() + month;
      default: return month + (Chance(30) ? u"." : u"") + u" " + Day();
    }
  }

  std::u16string Date() { return Chance(50) ? NumericDate() : NamedDate(); }

  std::u16string Junk() {
    static const std::u16string kAlphabet = u"0123456789/-.:, apmAPMxyzJanéñ#;()+\u00a0";
    std::u16string junk;
    for (int length = Pick(12); length > 0; --length) junk += kAlphabet[static_cast<size_t>(Pick(kAlphabet.size()))];
    return junk;
  }

  std::u16string Text() {
    std::u16string body;
    switch (Pick(10)) {
      case 0: body = Time(); break;
      case 1: body = Date() + u" " + Time(); break;
      case 2: body = Time() + u" " + Date(); break;
      case 3: body = DayName() + (Chance(50) ? u", " : u" ") + Date(); break;
      case 4: body = Junk(); break;
      case 5: body = NamedDate(); break;
      default: body = NumericDate();
    }
    return Blank() + body + Blank();
  }

  void Mutate(std::u16string& text) {
    static const std::u16string kCharacters = u"0123456789/-.:, aApP";
    const size_t at = text.empty() ? 0 : static_cast<size_t>(Pick(text.size()));
    const char16_t c = kCharacters[static_cast<size_t>(Pick(kCharacters.size()))];
    switch (Pick(3)) {
      case 0: text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), c); break;
      case 1: if (!text.empty()) text.erase(at, 1); break;
      default: if (!text.empty()) text[at] = c;
    }
  }

  std::mt19937 random_;
  const Locale& locale_;
  const Locale& english_;
};

}  // namespace marelco::test
