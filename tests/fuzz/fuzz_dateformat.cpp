// The date-pattern formatter over any pattern and any valid date and time:
// it never reads outside its names, and a pattern without letters comes
// back as it is.
#include <algorithm>
#include <cstdint>

#include "base/dateformat.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace redoviri;
  fuzz::Input in(data, size);
  const int year = in.Number(1, 9999);
  const int month = in.Number(1, 12);
  const int day = in.Number(1, DaysInMonth(year, month));
  const CivilTime time{in.Number(0, 23), in.Number(0, 59), in.Number(0, 59)};
  const bool monthFirst = in.Number(0, 1) == 1;
  const std::string_view pattern = in.Rest();
  static const DateLocale english[2] = {EnglishDateLocale(false), EnglishDateLocale(true)};
  const DateLocale& locale = english[monthFirst ? 1 : 0];

  const std::string text = FormatDate(pattern, locale, {year, month, day}, time);
  const bool noLetters = std::none_of(pattern.begin(), pattern.end(), [](char c) {
    const char lower = static_cast<char>(c | 0x20);
    return lower >= 'a' && lower <= 'z';
  });
  if (noLetters) REDOVIRI_FUZZ_CHECK(text == pattern);
  REDOVIRI_FUZZ_CHECK(UpperCaseAscii(text).size() == text.size());
  for (DateForm form : {DateForm::Long, DateForm::LongWithTime, DateForm::Heading, DateForm::ShortHeading,
                        DateForm::Numeric}) {
    REDOVIRI_FUZZ_CHECK(FormatDate(form, locale, {year, month, day}, time) ==
                        FormatDate(PatternOf(form, monthFirst), locale, {year, month, day}, time));
  }
  return 0;
}
