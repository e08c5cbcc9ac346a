#include "widgets/edit_mask.h"

#include <gtest/gtest.h>

#include <string>

namespace redoviri::widgets {
namespace {

// Types the characters one by one from the caret, as the field does;
// refused characters leave text and caret as they were.
EditMask::State TypeAll(const EditMask& m, EditMask::State s, const std::string& chars) {
  for (const char c : chars)
    if (auto next = m.Type(s.text, s.caret, s.caret, c)) s = *next;
  return s;
}

EditMask::State TypeInto(const EditMask& m, const std::string& chars) {
  return TypeAll(m, {m.BlankText(), 0}, chars);
}

TEST(EditMask, ReadsTheMaskFields) {
  const EditMask date("!99/99/0000;1;_");
  EXPECT_EQ(date.Length(), 10u);
  EXPECT_EQ(date.BlankText(), "__/__/____");
  EXPECT_TRUE(date.SavesLiterals());
  EXPECT_EQ(date.BlankChar(), '_');
  EXPECT_TRUE(date.IsLiteral(2));
  EXPECT_FALSE(date.IsLiteral(3));

  const EditMask days("999;1; ");
  EXPECT_EQ(days.BlankChar(), ' ');
  EXPECT_EQ(days.BlankText(), "   ");

  const EditMask noSave("!99/99/0000;0;*");
  EXPECT_FALSE(noSave.SavesLiterals());
  EXPECT_EQ(noSave.BlankText(), "**/**/****");

  // An escaped mask character and "_" are literals.
  const EditMask escaped("\\0_0");
  EXPECT_EQ(escaped.BlankText(), "0 _");
  EXPECT_TRUE(EditMask("").Empty());
}

TEST(EditMask, TypedDigitsFillTheDateAndSkipTheSlashes) {
  const EditMask m("!99/99/0000;1;_");
  const EditMask::State s = TypeInto(m, "12252003");
  EXPECT_EQ(s.text, "12/25/2003");
  EXPECT_EQ(m.Text(s.text), "12/25/2003");
  EXPECT_EQ(s.caret, 10u);
  EXPECT_TRUE(m.IsComplete(s.text));

  // After the second digit the caret has already jumped over the "/".
  EXPECT_EQ(TypeInto(m, "12").caret, 3u);
  // Typing the slash the caret just skipped changes nothing.
  EXPECT_EQ(TypeInto(m, "12/25/2003").text, "12/25/2003");
}

TEST(EditMask, RefusesCharactersThePositionDoesNotTake) {
  const EditMask m("!99/99/0000;1;_");
  EXPECT_FALSE(m.Type("__/__/____", 0, 0, 'a').has_value());
  EXPECT_FALSE(m.Type("__/__/____", 0, 0, '-').has_value());
  // A full field takes nothing more at its end.
  EXPECT_FALSE(m.Type("12/25/2003", 10, 10, '1').has_value());
  // A refused character does not clear the selection either.
  EXPECT_FALSE(m.Type("12/25/2003", 0, 10, 'x').has_value());

  const EditMask letters("LLl");
  EXPECT_FALSE(letters.Type("___", 0, 0, '1').has_value());
  EXPECT_TRUE(letters.Type("___", 0, 0, '\xE9').has_value());  // e acute
  // A required position refuses a blank; an optional one takes it.
  EXPECT_FALSE(letters.Type("___", 0, 0, ' ').has_value());
  EXPECT_EQ(letters.Type("ABC", 2, 2, ' ')->text, "AB_");
}

TEST(EditMask, LeavingAFieldEarlyKeepsItsDigitsAtItsRightEnd) {
  // With "!" a short field is right-aligned: " 1/ 5/2003".
  const EditMask reverse("!99/99/0000;1;_");
  const EditMask::State s = TypeInto(reverse, "1/5/2003");
  EXPECT_EQ(s.text, "_1/_5/2003");
  EXPECT_EQ(reverse.Text(s.text), " 1/ 5/2003");

  // Without it, the blanks stay at the field's end.
  const EditMask plain("99/99/0000;1;_");
  EXPECT_EQ(plain.Text(TypeInto(plain, "1/5/2003").text), "1 /5 /2003");
}

// Typing goes over what the field held before: blank, full, partly filled,
// from a selection or from the caret in the middle of a field. A literal
// typed to leave a field early blanks the field from the caret to it, and
// with "!" the field's characters then stand at its right end.
TEST(EditMask, TypingOverEarlierContent) {
  struct Case {
    const char* mask;
    const char* before;
    std::size_t selStart, selEnd;
    const char* typed;
    const char* after;
    std::size_t caret;
  };
  const Case cases[] = {
      // Over a blank field.
      {"!99/99/0000;1;_", "__/__/____", 0, 0, "1/05/2003", "_1/05/2003", 10},
      {"!99:99;1;_", "__:__", 0, 0, "8:15", "_8:15", 5},
      // Over a full one, from its start: the old digit never stays.
      {"!99/99/0000;1;_", "12/25/2003", 0, 0, "1/05/2003", "_1/05/2003", 10},
      {"!99:99;1;_", "18:30", 0, 0, "8:15", "_8:15", 5},
      {"!99:99;1;_", "18:30", 0, 0, ":", "__:30", 3},
      {"!99/99/0000;1;_", "12/25/2003", 0, 0, "1/5/", "_1/_5/2003", 6},
      // Over a partly filled one.
      {"!99/99/0000;1;_", "1_/25/____", 0, 0, "3/", "_3/25/____", 3},
      {"!99/99/0000;1;_", "_1/__/2003", 0, 0, "1/7/", "_1/_7/2003", 6},
      // With a selection: it is cleared first.
      {"!99/99/0000;1;_", "12/25/2003", 0, 10, "1/5/2004", "_1/_5/2004", 10},
      {"!99/99/0000;1;_", "12/25/2003", 3, 5, "7/", "12/_7/2003", 6},
      {"!99:99;1;_", "18:30", 0, 2, "9:", "_9:30", 3},
      // With the caret in the middle of a field: from there to the literal.
      {"!99/99/0000;1;_", "12/25/2003", 4, 4, "/", "12/_2/2003", 6},
      {"!99:99;1;_", "18:30", 1, 1, ":", "_1:30", 3},
      {"!99:99;1;_", "18:30", 3, 3, "4", "18:40", 4},
      // Right before the literal, or just past it: the field stays.
      {"!99/99/0000;1;_", "12/25/2003", 2, 2, "/", "12/25/2003", 3},
      {"!99/99/0000;1;_", "12/25/2003", 3, 3, "/", "12/25/2003", 3},
      // Without "!", the blanks stay at the field's end.
      {"99/99/0000;1;_", "12/25/2003", 0, 0, "1/5/", "1_/5_/2003", 6},
      // Required positions may not be blanked: the literal is refused,
      // also over digits that were there.
      {"!00/00/0000;1;_", "12/25/2003", 0, 0, "1/", "12/25/2003", 1},
      {"!90:00;1;_", "93:00", 1, 1, ":", "93:00", 1},
  };
  for (const Case& c : cases) {
    const EditMask m(c.mask);
    EditMask::State s{c.before, c.selStart};
    bool first = true;
    for (const char ch : std::string(c.typed)) {
      const std::size_t selEnd = first ? c.selEnd : s.caret;
      if (auto next = m.Type(s.text, s.caret, selEnd, ch)) s = *next;
      first = false;
    }
    EXPECT_EQ(s, (EditMask::State{c.after, c.caret}))
        << c.mask << " over \"" << c.before << "\" [" << c.selStart << "," << c.selEnd << ") typed \"" << c.typed
        << "\": got \"" << s.text << "\" caret " << s.caret;
  }
}

TEST(EditMask, ALiteralCannotSkipARequiredBlank) {
  const EditMask time("!90:00;1;_");
  // The hour's second digit is required: "9:" is refused at the colon.
  const EditMask::State s = TypeInto(time, "9:30");
  EXPECT_EQ(s.text, "93:0_");
  EXPECT_FALSE(time.IsComplete(s.text));
  EXPECT_EQ(TypeInto(time, "0930").text, "09:30");
}

TEST(EditMask, TextShowsBlanksAsSpacesAndKnowsWhatIsMissing) {
  const EditMask m("!99/99/0000;1;_");
  EXPECT_EQ(m.Text("__/__/____"), "  /  /    ");
  EXPECT_EQ(m.Text(TypeInto(m, "12").text), "12/  /    ");
  // The optional day and month may stay blank; the year may not.
  EXPECT_EQ(m.FirstMissing("__/__/____"), 6u);
  EXPECT_EQ(m.FirstMissing("__/__/200_"), 9u);
  EXPECT_TRUE(m.IsComplete("__/__/2003"));

  const EditMask twoDigits("!00;1;_");
  EXPECT_FALSE(twoDigits.IsComplete(TypeInto(twoDigits, "1").text));
  EXPECT_TRUE(twoDigits.IsComplete(TypeInto(twoDigits, "01").text));
}

TEST(EditMask, FormatsATextValue) {
  const EditMask date("!99/99/0000;1;_");
  EXPECT_EQ(date.Format("25/12/2003"), "25/12/2003");
  EXPECT_EQ(date.Format(""), "__/__/____");
  EXPECT_EQ(date.Format("1a/12"), "1_/12/____");

  // Blank character space: the day count's initial "0  " stays as it is.
  const EditMask days("999;1; ");
  EXPECT_EQ(days.Format("0  "), "0  ");
  EXPECT_EQ(days.Text("0  "), "0  ");

  // Literals not saved: the value holds only the typed characters.
  const EditMask noSave("!99/99/0000;0;_");
  EXPECT_EQ(noSave.Format("12252003"), "12/25/2003");
  EXPECT_EQ(noSave.Text("12/25/2003"), "12252003");
  EXPECT_EQ(noSave.Format("2003"), "__/__/2003");  // "!" fills from the end
  EXPECT_EQ(noSave.Text("__/__/2003"), "2003");
}

TEST(EditMask, EraseClearsWithoutShifting) {
  const EditMask m("!99/99/0000;1;_");
  // Backspace after the skipped slash clears the digit before it.
  EXPECT_EQ(m.Erase("12/25/2003", 3, 3, true), (EditMask::State{"1_/25/2003", 1}));
  EXPECT_EQ(m.Erase("12/25/2003", 0, 0, true), (EditMask::State{"12/25/2003", 0}));
  // Delete clears the position at the caret; the rest stays in place.
  EXPECT_EQ(m.Erase("12/25/2003", 3, 3, false), (EditMask::State{"12/_5/2003", 3}));
  // A selection loses its typed characters, never its literals.
  EXPECT_EQ(m.Erase("12/25/2003", 0, 5, true), (EditMask::State{"__/__/2003", 0}));
}

TEST(EditMask, TypingOverASelectionReplacesIt) {
  const EditMask m("!99/99/0000;1;_");
  const auto s = m.Type("12/25/2003", 0, 10, '0');
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->text, "0_/__/____");
  EXPECT_EQ(s->caret, 1u);
}

TEST(EditMask, PasteTypesWhatFits) {
  const EditMask m("!99/99/0000;1;_");
  EXPECT_EQ(m.Paste("__/__/____", 0, 0, "25122003").text, "25/12/2003");
  EXPECT_EQ(m.Paste("__/__/____", 0, 0, "25/12/2003").text, "25/12/2003");
  EXPECT_EQ(m.Paste("__/__/____", 0, 0, "2a5").text, "25/__/____");
  EXPECT_EQ(m.Paste("12/25/2003", 6, 10, "1999\r\n").text, "12/25/1999");
}

TEST(EditMask, ChangesTheCaseOfLetters) {
  const EditMask m(">LL<ll<>c");
  EXPECT_EQ(TypeInto(m, "abCDe").text, "ABcde");
  EXPECT_EQ(TypeInto(EditMask(">L"), "\xE9").text, "\xC9");
}

}  // namespace
}  // namespace redoviri::widgets
