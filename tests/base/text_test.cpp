#include "base/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string_view>

namespace redoviri {
namespace {

TEST(Text, ReadIntegerTakesOnlyADecimalNumberWithBlanksAround) {
  struct Case {
    std::string_view text;
    std::optional<int> value;
  };
  const Case cases[] = {
      {"2026", 2026}, {" 12 ", 12}, {"\t7\t", 7}, {"-5", -5}, {"+7", 7}, {"0009", 9},
      {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}, {"2147483648", std::nullopt},
      {"99999999999", std::nullopt}, {"", std::nullopt}, {"   ", std::nullopt}, {"12a", std::nullopt},
      {"1.5", std::nullopt}, {"1 2", std::nullopt}, {"+-3", std::nullopt}, {"--3", std::nullopt},
      {"-", std::nullopt}, {"0x10", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadInteger(c.text), c.value) << '"' << c.text << '"';
}

TEST(Text, TrimBlanksTakesBlanksAndControlCharactersOffBothEnds) {
  EXPECT_EQ(TrimBlanks("  a b \t"), "a b");
  EXPECT_EQ(TrimBlanks("\r\nname\x01"), "name");
  EXPECT_EQ(TrimBlanks("   "), "");
  EXPECT_EQ(TrimBlanks("\xe9t\xe9"), "\xe9t\xe9");  // letters past ASCII stay
}

TEST(UpperCase, ChangesOnlyAsciiLetters) {
  EXPECT_EQ(UpperCaseAscii("f\xE9vrier"), "F\xE9VRIER");                 // Windows-1252
  EXPECT_EQ(UpperCaseAscii("f\xC3\xA9vrier"), "F\xC3\xA9VRIER");         // UTF-8
  EXPECT_EQ(UpperCaseAscii("ao\xFBt"), "AO\xFBT");
  EXPECT_EQ(UpperCaseAscii("December 08, x-z"), "DECEMBER 08, X-Z");
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    const char want = b >= 'a' && b <= 'z' ? static_cast<char>(b - 32) : c;
    EXPECT_EQ(UpperCaseAscii(std::string(1, c)), std::string(1, want)) << "byte " << b;
  }
}

TEST(Text, AbbreviatedCutsAfterABlankOrACommaAndEndsInDots) {
  struct Case {
    std::string_view text;
    std::size_t limit;
    std::string_view shown;
  };
  const Case cases[] = {
      {" birthday : Anna,", 17, " birthday : Anna,"},                  // at the limit: whole
      {" birthday : Anna, birthday : Bob,", 20, " birthday : Anna,..."}, // after the comma
      {" birthday : Anna, birthday : Bob,", 19, " birthday : ..."},      // the comma has no room left
      {"abcdefghij", 8, "abcde..."},                                   // no boundary: cut at the room
      {"a,b", 2, "..."},                                               // no room at all
      {"", 0, ""},
  };
  for (const Case& c : cases) {
    const std::string shown = Abbreviated(c.text, c.limit);
    EXPECT_EQ(shown, c.shown) << '"' << c.text << "\" " << c.limit;
    EXPECT_LE(shown.size(), std::max<std::size_t>(c.limit, 3));
  }
}

}  // namespace
}  // namespace redoviri
