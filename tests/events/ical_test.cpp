#include "events/ical.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "events/codepage.h"
#include "events/eventlist.h"
#include "events/fake_filesystem.h"

namespace redoviri {
namespace {

// An event line: date MMDDYYYY, time, category, flags "YNNN", day count,
// name and comment (code-page text).
std::string Line(const std::string& date, const std::string& time, char category, const std::string& flags,
                 const std::string& count, const std::string& name, const std::string& comment = "") {
  std::string line = date + ";" + time + ";" + category + ";" + flags[0] + ";" + flags[1] + ";" + flags[2] + ";" +
                     flags[3] + ";" + count + ";" + name;
  line.resize(59, ' ');
  line += ";" + comment;
  line.resize(110, ' ');
  return line;
}

std::vector<std::string> PhysicalLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find("\r\n", pos);
    EXPECT_NE(end, std::string::npos) << "a line without CR LF";
    if (end == std::string::npos) break;
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

TEST(IcsWriteTest, FoldsAt75OctetsWithoutSplittingACharacter) {
  const std::string e = "\xC3\xA9", euro = "\xE2\x82\xAC", clef = "\xF0\x9D\x84\x9E";
  const std::string cases[] = {
      std::string(75, 'a'),
      std::string(76, 'a'),
      std::string(74, 'a') + e + "b",  // é would straddle octet 75
      std::string(73, 'a') + euro + std::string(80, 'b'),
      "SUMMARY:" + [&] { std::string s; for (int i = 0; i < 60; ++i) s += clef; return s; }(),
      std::string(300, 'x') + e + e + e,
      "",
  };
  for (const std::string& line : cases) {
    SCOPED_TRACE(line.size());
    const std::vector<std::string> physical = PhysicalLines(FoldIcsLine(line));
    std::string unfolded;
    for (std::size_t i = 0; i < physical.size(); ++i) {
      const std::string& p = physical[i];
      EXPECT_LE(p.size(), 75u);
      if (i > 0) {
        ASSERT_FALSE(p.empty());
        EXPECT_EQ(p[0], ' ');
        EXPECT_GT(p.size(), 1u);
        // No continuation byte after the fold's blank, none left hanging.
        EXPECT_NE(static_cast<unsigned char>(p[1]) & 0xC0, 0x80);
      }
      if (i + 1 < physical.size()) {
        EXPECT_GE(p.size(), 72u) << "folded early";
      }
      unfolded += i == 0 ? p : p.substr(1);
    }
    EXPECT_EQ(unfolded, line);
    EXPECT_EQ(physical.size() > 1, line.size() > 75);
  }
}

TEST(IcsWriteTest, EscapesTextAndReadsItBack) {
  const struct {
    std::string text, escaped;
  } cases[] = {
      {"plain", "plain"},
      {"a;b", "a\\;b"},
      {"a,b", "a\\,b"},
      {"back\\slash", "back\\\\slash"},
      {"\\;", "\\\\\\;"},
      {"two\nlines", "two\\nlines"},
      {"colon: stays", "colon: stays"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeIcsText(c.text), c.escaped) << c.text;
    EXPECT_EQ(UnescapeIcsText(c.escaped), c.text) << c.escaped;
  }
  EXPECT_EQ(UnescapeIcsText("A\\NB\\:C"), "A\nB:C");
}

TEST(IcsWriteTest, UidsStayTheSameAcrossRunsAndDifferBetweenEvents) {
  const std::string a = Line("05102003", "09:30", '2', "YYNY", "007", "Anna");
  const std::string b = Line("05102003", "09:30", '2', "YYNY", "007", "Anne");
  const std::vector<std::string_view> lines{a, b, a};
  const IcsExport one = ExportIcs(lines, {2024, 1, 2}, {3, 4, 5});
  const IcsExport two = ExportIcs(lines, {2030, 6, 7}, {8, 9, 10});
  std::vector<std::string> p1 = PhysicalLines(one.text), p2 = PhysicalLines(two.text), uids;
  ASSERT_EQ(p1.size(), p2.size());
  for (std::size_t i = 0; i < p1.size(); ++i) {
    if (p1[i].rfind("DTSTAMP:", 0) == 0) {
      EXPECT_EQ(p1[i], "DTSTAMP:20240102T030405Z");
      EXPECT_EQ(p2[i], "DTSTAMP:20300607T080910Z");
    } else {
      EXPECT_EQ(p1[i], p2[i]);
    }
    if (p1[i].rfind("UID:", 0) == 0) uids.push_back(p1[i]);
  }
  // Three rules each; the line saved twice gets numbered UIDs; every UID once.
  ASSERT_EQ(uids.size(), 9u);
  EXPECT_EQ(std::set<std::string>(uids.begin(), uids.end()).size(), 9u);
  // The hash is fixed by the line alone, on every system the program runs on.
  EXPECT_EQ(IcsLineHash(a), "48db3420f4acbf26");
  EXPECT_EQ(uids[0], "UID:" + IcsLineHash(a) + "-yearly@redoviri");
  EXPECT_EQ(uids[6], "UID:" + IcsLineHash(a) + ".2-yearly@redoviri");
  // A line whose trailing blanks an editor stripped is the same event.
  EXPECT_EQ(IcsLineHash(a.substr(0, 70)), IcsLineHash(a));
}

TEST(IcsWriteTest, OneVeventPerRuleAndTheEventsThatFallOnNoDayLeftOut) {
  const struct {
    std::string line;
    std::vector<std::string> rules;  // "" for a VEVENT without RRULE
    std::string leftOut;             // part of the reason
  } cases[] = {
      {Line("02292004", "10:30", '2', "YNNN", "000", "leap"), {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29"}, ""},
      {Line("01312003", "  :  ", '1', "NYNN", "000", "end"), {"FREQ=MONTHLY;BYMONTHDAY=31"}, ""},
      {Line("05102003", "00:00", '3', "NNNY", "999", "n"), {"FREQ=DAILY;INTERVAL=999"}, ""},
      {Line("05102003", "00:00", '3', "NNYN", "000", "once"), {""}, ""},
      {Line("05102003", "00:00", '3', "NNNY", "000", "zero days"), {""}, ""},
      {Line("05102003", "00:00", '3', "NNYY", "000", "once, zero days"), {""}, ""},
      // The first date is a day of every other rule: no rule of its own.
      {Line("05102003", "00:00", '4', "YYYY", "002", "all"),
       {"FREQ=YEARLY;BYMONTH=5;BYMONTHDAY=10", "FREQ=MONTHLY;BYMONTHDAY=10", "FREQ=DAILY;INTERVAL=2"}, ""},
      {Line("04312003", "00:00", '2', "YNNN", "000", "april 31"), {}, "04/31/2003 does not exist"},
      {Line("02291900", "00:00", '2', "YNNN", "000", "no leap"), {}, "does not exist"},
      {Line("05102003", "00:00", '2', "NNNN", "000", "no flag"), {}, "no repetition"},
      {Line("05102003", "00:00", '7', "YNNN", "000", "category"), {}, "category"},
      {Line("05102003", "00:00", '2', "NNNY", "0x0", "count"), {}, "day count"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const std::vector<std::string_view> lines{c.line};
    const IcsExport x = ExportIcs(lines, {2024, 1, 1}, {});
    std::vector<std::string> rules;
    int vevents = 0;
    for (const std::string& p : PhysicalLines(x.text)) {
      vevents += p == "BEGIN:VEVENT";
      if (p.rfind("RRULE:", 0) == 0) rules.push_back(p.substr(6));
    }
    EXPECT_EQ(vevents, static_cast<int>(c.rules.size()));
    std::vector<std::string> expected;
    for (const std::string& r : c.rules) {
      if (!r.empty()) expected.push_back(r);
    }
    EXPECT_EQ(rules, expected);
    if (c.leftOut.empty()) {
      EXPECT_TRUE(x.leftOut.empty());
    } else {
      ASSERT_EQ(x.leftOut.size(), 1u);
      EXPECT_NE(x.leftOut[0].reason.find(c.leftOut), std::string::npos) << x.leftOut[0].reason;
    }
  }
}

TEST(IcsWriteTest, CalendarHeaderDatesAndText) {
  const std::string line = Line("05102003", "09:05", '2', "YNNN", "000", "Caf\xE9; \x80 5", "a,b");
  const std::string allDay = Line("05102003", "25:00", '5', "NNYN", "000", "late");
  const std::vector<std::string_view> lines{line, allDay};
  const std::vector<std::string> p = PhysicalLines(ExportIcs(lines, {2024, 1, 1}, {}).text);
  const auto has = [&](const std::string& s) { return std::find(p.begin(), p.end(), s) != p.end(); };
  EXPECT_EQ(p.front(), "BEGIN:VCALENDAR");
  EXPECT_EQ(p.back(), "END:VCALENDAR");
  EXPECT_TRUE(has("VERSION:2.0"));
  EXPECT_TRUE(has("PRODID:-//Redoviri//Redoviri event file//EN"));
  EXPECT_TRUE(has("DTSTART:20030510T090500"));
  EXPECT_TRUE(has("DTSTART;VALUE=DATE:20030510"));  // no such time: all day
  EXPECT_TRUE(has("SUMMARY:Caf\xC3\xA9\\; \xE2\x82\xAC 5"));
  EXPECT_TRUE(has("DESCRIPTION:a\\,b"));
  EXPECT_TRUE(has("CATEGORIES:birthday"));
  EXPECT_TRUE(has("CATEGORIES:feest"));
}

// Control characters of a hand-edited line become blanks, as a read turns
// them: none reaches the calendar.
TEST(IcsWriteTest, ControlCharactersOfNamesAndCommentsBecomeBlanks) {
  const std::string lines[] = {Line("05102003", "09:05", '2', "YNNN", "000", std::string("a\0b\x1B[1m\x7F", 8), "c\td"),
                               Line("05102003", "09:05", '2', "YNNN", "000", "x", std::string("\0\x7F", 2))};
  const std::vector<std::string_view> views(std::begin(lines), std::end(lines));
  const std::vector<std::string> p = PhysicalLines(ExportIcs(views, {2024, 1, 1}, {}).text);
  EXPECT_EQ(std::count(p.begin(), p.end(), "SUMMARY:a b [1m"), 1);
  EXPECT_EQ(std::count(p.begin(), p.end(), "DESCRIPTION:c d"), 1);
  // None for a comment of control characters alone.
  EXPECT_EQ(std::count_if(p.begin(), p.end(), [](const std::string& l) { return l.starts_with("DESCRIPTION"); }), 1);
  for (const std::string& l : p) EXPECT_TRUE(std::none_of(l.begin(), l.end(), IsControlCharacter)) << l;
}

TEST(CodePageTest, Windows1252BothWays) {
  const struct {
    std::string cp, utf8;
  } cases[] = {
      {"plain", "plain"},
      {"\xE9\xE8\xFC\xDF", "\xC3\xA9\xC3\xA8\xC3\xBC\xC3\x9F"},
      {"\x80", "\xE2\x82\xAC"},
      {"\x9C\x8C", "\xC5\x93\xC5\x92"},
      {"\x99", "\xE2\x84\xA2"},
      {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Windows1252ToUtf8(c.cp), c.utf8);
    const CodePageText back = Utf8ToWindows1252(c.utf8);
    EXPECT_EQ(back.text, c.cp);
    EXPECT_EQ(back.replaced, 0);
  }
  // Every byte comes back as it was, the five undefined ones included.
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)).text, all);
}

TEST(CodePageTest, WhatTheCodePageCannotHoldBecomesAQuestionMark) {
  const struct {
    std::string utf8, cp;
    int replaced;
  } cases[] = {
      {"\xD0\x96" "a", "?a", 1},              // Cyrillic
      {"\xE6\x97\xA5\xE6\x9C\xAC", "??", 2},  // two CJK characters
      {"\xF0\x9F\x8E\x82!", "?!", 1},         // an emoji: one character, one "?"
      {"a\xFF" "b", "a?b", 1},                // not UTF-8
      {"\xC3", "?", 1},                       // cut short
      {"\xC0\xAF", "??", 2},                  // overlong
      {"\xED\xA0\x80", "???", 3},             // a surrogate
  };
  for (const auto& c : cases) {
    const CodePageText got = Utf8ToWindows1252(c.utf8);
    EXPECT_EQ(got.text, c.cp) << c.utf8;
    EXPECT_EQ(got.replaced, c.replaced) << c.utf8;
  }
}

// The single VEVENT of a calendar with these lines.
std::string Calendar(const std::string& vevent) {
  return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:test\r\nBEGIN:VEVENT\r\nUID:x\r\n" + vevent +
         "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

TEST(IcsReadTest, RefusesWhatTheEventLineCannotHoldExactly) {
  const struct {
    std::string properties, reason;
  } cases[] = {
      {"SUMMARY:no start\r\n", "no DTSTART"},
      {"DTSTART:20030510\r\nRRULE:FREQ=DAILY;COUNT=3;UNTIL=20040101\r\n", "both COUNT and UNTIL"},
      {"DTSTART:20030510T100000\r\nRRULE:FREQ=DAILY;UNTIL=20040101\r\n", "UNTIL=20040101, a date"},
      {"DTSTART:20030510T100000\r\nRRULE:FREQ=DAILY\r\nEXDATE;VALUE=DATE:20030511\r\n", "EXDATE"},
      {"DTSTART:20030510\r\nRDATE:20030520\r\n", "RDATE"},
      {"DTSTART:20030510\r\nEXRULE:FREQ=YEARLY\r\n", "EXRULE"},
      {"DTSTART:20030510\r\nRECURRENCE-ID:20030510\r\nRRULE:FREQ=DAILY\r\n", "RRULE in a changed occurrence"},
      {"DTSTART:20030510\r\nRRULE:FREQ=DAILY\r\nRRULE:FREQ=YEARLY\r\n", "several RRULEs"},
      {"DTSTART:20030510\r\nRRULE:FREQ=WEEKLY;BYDAY=MO,WE\r\n", "BYDAY"},
      {"DTSTART:20030510\r\nRRULE:FREQ=MONTHLY;BYDAY=2SU\r\n", "BYDAY"},
      {"DTSTART:20030510\r\nRRULE:FREQ=MONTHLY;BYMONTHDAY=-1\r\n", "BYMONTHDAY=-1"},
      {"DTSTART:20030510\r\nRRULE:FREQ=MONTHLY;BYMONTHDAY=10,20\r\n", "BYMONTHDAY=10,20"},
      {"DTSTART:20030510\r\nRRULE:FREQ=MONTHLY;INTERVAL=13\r\n", "INTERVAL=13"},
      {"DTSTART:20030510\r\nRRULE:FREQ=YEARLY;INTERVAL=101\r\n", "INTERVAL=101"},
      {"DTSTART:20030510\r\nRRULE:FREQ=YEARLY;BYMONTH=6\r\n", "BYMONTH=6"},
      {"DTSTART:20030510\r\nRRULE:FREQ=YEARLY;BYMONTHDAY=10\r\n", "no BYMONTH"},
      {"DTSTART:20030510\r\nRRULE:FREQ=YEARLY;BYMONTH=5;BYSETPOS=1\r\n", "BYSETPOS"},
      {"DTSTART:20030510\r\nRRULE:FREQ=YEARLY;BYYEARDAY=100\r\n", "BYYEARDAY"},
      {"DTSTART:20030510\r\nRRULE:FREQ=DAILY;INTERVAL=1000\r\n", "1000 days"},
      {"DTSTART:20030510\r\nRRULE:FREQ=WEEKLY;INTERVAL=143\r\n", "1001 days"},
      {"DTSTART:20030510\r\nRRULE:FREQ=DAILY;BYHOUR=10\r\n", "BYHOUR"},
      {"DTSTART:20030510T100000\r\nRRULE:FREQ=HOURLY\r\n", "FREQ=HOURLY"},
      {"DTSTART:20030510\r\nRRULE:INTERVAL=2\r\n", "without FREQ"},
      {"DTSTART:20030510T100030\r\n", "seconds"},
      {"DTSTART:20030431\r\n", "not a date"},
      {"DTSTART;VALUE=DATE:20030510\r\nDTEND;VALUE=DATE:20030513\r\n", "past the end of its first day"},
      {"DTSTART:20030510T220000\r\nDURATION:PT3H\r\n", "past the end of its first day"},
      {"DTSTART:20030510T220000\r\nDTEND:20030511T010000\r\n", "past the end of its first day"},
      // Values cut short, as a hand-made or broken file has them.
      {"DTSTART:2024\r\n", "DTSTART '2024' is not a date"},
      {"DTSTART:\r\n", "DTSTART '' is not a date"},
      {"DTSTART:20240510\r\nDTEND:2024\r\n", "DTEND '2024' is not a date"},
      {"DTSTART;TZID=\"Europe/Paris:20240510T100000\r\n", "DTSTART '' is not a date"},
      {"DTSTART:20030510\r\nRRULE:FREQ=YEARLY;FREQ=DAILY\r\n", "RRULE names FREQ twice"},
      {"DTSTART:20030510\r\nDURATION:P" + std::string(200, '9') + "W\r\n", "DURATION"},
      {"DTSTART:20030510\r\nDURATION:P" + [] {
         std::string parts;
         for (int i = 0; i < 40000; ++i) parts += "99999999W";
         return parts;
       }() + "\r\n", "DURATION"},
  };
  for (const auto& c : cases) {
    const IcsImport got = ImportIcs(Calendar(c.properties), EventCategory::kOther);
    ASSERT_TRUE(got.error.empty());
    ASSERT_EQ(got.events.size(), 1u) << c.properties;
    EXPECT_TRUE(got.events[0].line.empty()) << c.properties;
    EXPECT_NE(got.events[0].refusal.find(c.reason), std::string::npos)
        << c.properties << " gave: " << got.events[0].refusal;
  }
}

TEST(IcsReadTest, TakesWhatTheEventLineHolds) {
  const struct {
    std::string properties, line;
  } cases[] = {
      {"DTSTART;VALUE=DATE:20030510\r\nSUMMARY:once\r\n", Line("05102003", "  :  ", '6', "NNYN", "000", "once")},
      {"DTSTART;VALUE=DATE:20030510\r\nDTEND;VALUE=DATE:20030511\r\nSUMMARY:a day\r\n",
       Line("05102003", "  :  ", '6', "NNYN", "000", "a day")},
      {"DTSTART;TZID=Europe/Paris:20040229T093000\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:leap\r\n",
       Line("02292004", "09:30", '6', "YNNN", "000", "leap")},
      {"DTSTART:20030510T233000Z\r\nDTEND:20030511T000000Z\r\nRRULE:FREQ=YEARLY;BYMONTH=5;BYMONTHDAY=10\r\n"
       "SUMMARY:utc\r\n",
       Line("05102003", "23:30", '6', "YNNN", "000", "utc")},
      {"DTSTART:20030131\r\nRRULE:FREQ=MONTHLY;BYMONTHDAY=31\r\nSUMMARY:m\r\n",
       Line("01312003", "  :  ", '6', "NYNN", "000", "m")},
      {"DTSTART:20030510\r\nRRULE:FREQ=DAILY;INTERVAL=999;WKST=MO\r\nSUMMARY:n\r\n",
       Line("05102003", "  :  ", '6', "NNNY", "999", "n")},
      {"DTSTART:20030510\r\nRRULE:FREQ=WEEKLY;INTERVAL=2\r\nSUMMARY:w\r\n",
       Line("05102003", "  :  ", '6', "NNNY", "014", "w")},
      {"DTSTART:20030510\r\nRRULE:FREQ=DAILY\r\nSUMMARY:d\r\nCATEGORIES:BIRTHDAY\r\n",
       Line("05102003", "  :  ", '2', "NNNY", "001", "d")},
      {"DTSTART:20030510\r\nSUMMARY:c\r\nCATEGORIES:Meeting,Work\r\n", Line("05102003", "  :  ", '3', "NNYN", "000", "c")},
      {"DTSTART:20030510\r\nSUMMARY:c\r\nCATEGORIES:religion/legal\r\n",
       Line("05102003", "  :  ", '4', "NNYN", "000", "c")},
      {"DTSTART:20030510\r\nSUMMARY:Caf\xC3\xA9\\, \xE2\x82\xAC\\;\r\nDESCRIPTION:x\r\n",
       Line("05102003", "  :  ", '6', "NNYN", "000", "Caf\xE9, \x80;", "x")},
      // Rules after column 110, ends and skipped days.
      {"DTSTART:20240108\r\nRRULE:FREQ=WEEKLY;INTERVAL=2;WKST=SU;BYDAY=MO,TH;COUNT=3\r\nEXDATE:20240110\r\n",
       Line("01082024", "  :  ", '6', "NNNY", "014", "") + ";EVERY=2W;ON=MO,TH;UNTIL=20240122"},
      {"DTSTART:20240105T090000\r\nRRULE:FREQ=DAILY;BYDAY=MO,FR;UNTIL=20240112T085959\r\nEXDATE:20240108T090000\r\n",
       Line("01052024", "09:00", '6', "NNNY", "007", "") + ";EVERY=1W;ON=MO,FR;UNTIL=20240111;SKIP=20240108"},
      {"DTSTART:20240118\r\nRRULE:FREQ=MONTHLY;INTERVAL=2;BYDAY=TH;BYSETPOS=3\r\n",
       Line("01182024", "  :  ", '6', "NNYN", "000", "") + ";EVERY=2M;ON=3TH"},
      {"DTSTART:20241231\r\nRRULE:FREQ=YEARLY;BYMONTH=12;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1\r\n",
       Line("12312024", "  :  ", '6', "NNYN", "000", "") + ";EVERY=1Y;ON=LASTWORKDAY"},
      {"DTSTART:20000229\r\nRRULE:FREQ=YEARLY;INTERVAL=4;COUNT=2\r\n",
       Line("02292000", "  :  ", '6', "NNYN", "000", "") + ";EVERY=4Y;UNTIL=20040229"},
      {"DTSTART:20240301\r\nRRULE:FREQ=MONTHLY;COUNT=2\r\nEXDATE:20240301,20240302\r\n",
       Line("03012024", "  :  ", '6', "NYNN", "000", "") + ";UNTIL=20240401;SKIP=20240301"},
  };
  for (const auto& c : cases) {
    const IcsImport got = ImportIcs(Calendar(c.properties), EventCategory::kOther);
    ASSERT_EQ(got.events.size(), 1u);
    EXPECT_EQ(got.events[0].refusal, "") << c.properties;
    EXPECT_EQ(got.events[0].line, c.line) << c.properties;
  }
  // The category the caller gives when CATEGORIES names none.
  const IcsImport fallback = ImportIcs(Calendar("DTSTART:20030510\r\nCATEGORIES:Misc\r\n"), EventCategory::kFeest);
  EXPECT_EQ(ReadCategoryCode(fallback.events.at(0).line), 5);
}

TEST(IcsReadTest, FilesOfOtherPrograms) {
  // LF line ends, a BOM, folded lines (one inside a UTF-8 sequence),
  // quoted parameters, lower-case names, a VTIMEZONE and a VALARM.
  const std::string lf =
      "\xEF\xBB\xBF" "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Other//EN\n"
      "BEGIN:VTIMEZONE\nTZID:Europe/Amsterdam\nBEGIN:STANDARD\nDTSTART:19701025T030000\nEND:STANDARD\n"
      "END:VTIMEZONE\n"
      "BEGIN:VEVENT\nUID:1@other\nDTSTART;TZID=\"Europe/Amsterdam\":20240115T083000\n"
      "SUMMARY;LANGUAGE=nl:Vergadering met de Caf\xC3\n \xA9-eigenaar over\n\tde plannen\n"
      "RRULE:FREQ=MONTHLY\ndescription:first line\\nsecond\n"
      "BEGIN:VALARM\nACTION:DISPLAY\nTRIGGER:-PT15M\nDESCRIPTION:alarm text\nEND:VALARM\nEND:VEVENT\n"
      "BEGIN:VTODO\nDTSTART:20240101\nSUMMARY:not an event\nEND:VTODO\n"
      "END:VCALENDAR\n";
  const IcsImport got = ImportIcs(lf, EventCategory::kOther);
  ASSERT_EQ(got.events.size(), 1u);
  const IcsImported& e = got.events[0];
  EXPECT_EQ(e.refusal, "");
  EXPECT_EQ(e.line, Line("01152024", "08:30", '6', "NYNN", "000", "Vergadering met de Caf\xE9-eigena",
                         "first line second") + ";REMIND=15");
  ASSERT_EQ(e.notes.size(), 2u);
  EXPECT_EQ(e.notes[0], "name: cut to 30 characters (was 47)");
  EXPECT_EQ(e.notes[1], "comment: line breaks and tabs became blanks");

  // CR LF, an all-day birthday of Google's kind, a character the code page
  // lacks.
  const std::string crlf =
      "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:19800229\r\n"
      "DTEND;VALUE=DATE:19800301\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:\xD0\x90nna\r\nCATEGORIES:BIRTHDAY\r\n"
      "END:VEVENT\r\nEND:VCALENDAR\r\n";
  const IcsImport birthday = ImportIcs(crlf, EventCategory::kOther);
  ASSERT_EQ(birthday.events.size(), 1u);
  EXPECT_EQ(birthday.events[0].line, Line("02291980", "  :  ", '2', "YNNN", "000", "?nna"));
  EXPECT_EQ(birthday.events[0].notes, std::vector<std::string>{"name: 1 character(s) the code page cannot hold became '?'"});

  EXPECT_FALSE(ImportIcs("BEGIN:VCARD\r\nEND:VCARD\r\n", EventCategory::kOther).error.empty());
}

TEST(IcsReadTest, ControlCharactersBecomeBlanksAndAreReported) {
  const IcsImport got = ImportIcs(Calendar("DTSTART:20030510\r\nSUMMARY:a\x1B[31mb\\nc\r\n"), EventCategory::kOther);
  ASSERT_EQ(got.events.size(), 1u);
  EXPECT_EQ(ReadName(got.events[0].line), "a [31mb c");
  EXPECT_EQ(got.events[0].notes, (std::vector<std::string>{"name: line breaks and tabs became blanks",
                                                           "name: 1 control character(s) became blanks"}));
  std::string withNul = Calendar("DTSTART:20030510\r\nSUMMARY:x\r\n");
  withNul.insert(withNul.find("SUMMARY:x") + 9, 1, '\0');
  const IcsImport nul = ImportIcs(withNul, EventCategory::kOther);
  ASSERT_EQ(nul.events.size(), 1u);
  EXPECT_EQ(nul.events[0].line.find('\0'), std::string::npos);
}

// The rules of one event the program exported (one UID hash, "-yearly",
// "-monthly", "-daily", "-once") come back as one line, but only as many
// as a line holds: one of each kind, and a single date alone.
TEST(IcsReadTest, OwnRulesJoinOnlyWhereOneLineHoldsThem) {
  const std::string uid = "0123456789abcdef";
  const auto vevent = [&](const std::string& kind, const std::string& rule) {
    return "BEGIN:VEVENT\r\nUID:" + uid + "-" + kind + "@redoviri\r\nDTSTART;VALUE=DATE:20030510\r\n" +
           (rule.empty() ? "" : "RRULE:" + rule + "\r\n") + "SUMMARY:s\r\nEND:VEVENT\r\n";
  };
  const std::string yearly = vevent("yearly", "FREQ=YEARLY"), monthly = vevent("monthly", "FREQ=MONTHLY"),
                    every3 = vevent("daily", "FREQ=DAILY;INTERVAL=3"), every5 = vevent("daily", "FREQ=DAILY;INTERVAL=5"),
                    once = vevent("once", "");
  const struct {
    const char* what;
    std::string vevents;
    std::string line;          // the one line made
    std::vector<int> refused;  // VEVENT numbers
  } cases[] = {
      {"yearly, monthly and every 3 days", yearly + monthly + every3, Line("05102003", "  :  ", '6', "YYNY", "003", "s"), {}},
      {"two day counts", every3 + every5, Line("05102003", "  :  ", '6', "NNNY", "003", "s"), {2}},
      {"a single date beside a rule", yearly + once, Line("05102003", "  :  ", '6', "YNNN", "000", "s"), {2}},
      {"a rule beside a single date", once + monthly, Line("05102003", "  :  ", '6', "NNYN", "000", "s"), {2}},
      {"the same rule twice", yearly + monthly + yearly, Line("05102003", "  :  ", '6', "YYNN", "000", "s"), {3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const IcsImport got = ImportIcs("BEGIN:VCALENDAR\r\n" + c.vevents + "END:VCALENDAR\r\n", EventCategory::kOther);
    std::vector<std::string> lines;
    std::vector<int> refused;
    for (const IcsImported& e : got.events) {
      if (!e.line.empty()) lines.push_back(e.line);
      if (!e.refusal.empty()) {
        refused.push_back(e.vevent);
        EXPECT_NE(e.refusal.find("vevent 1 cannot hold"), std::string::npos) << e.refusal;
      }
    }
    EXPECT_EQ(lines, std::vector<std::string>{c.line});
    EXPECT_EQ(refused, c.refused);
  }
}

TEST(IcsReadTest, CutsNamesAndCommentsAsTheEditorDoes) {
  const std::string name = "  " + std::string(29, 'n') + " tail  ";
  const std::string comment(51, 'c');
  const IcsImport got =
      ImportIcs(Calendar("DTSTART:20030510\r\nSUMMARY:" + name + "\r\nDESCRIPTION:" + comment + "\r\n"),
                EventCategory::kOther);
  ASSERT_EQ(got.events.size(), 1u);
  // Trimmed first, then the first 30 (50) characters kept.
  EXPECT_EQ(ReadField(got.events[0].line, kNameField), std::string(29, 'n') + " ");
  EXPECT_EQ(ReadField(got.events[0].line, kCommentField), std::string(50, 'c'));
  EXPECT_EQ(got.events[0].notes, (std::vector<std::string>{"name: cut to 30 characters (was 34)",
                                                           "comment: cut to 50 characters (was 51)"}));
}

// Exported and imported into an empty file, every event the editor and the
// tool can make comes back as the same line, several rules joined again.
TEST(IcsRoundTripTest, ExportThenImportGivesTheSameStore) {
  const std::vector<std::string> lines{
      Line("02292004", "10:30", '2', "YNNN", "000", "Anna; b, c\\d", "x"),
      Line("01312003", "  :  ", '1', "NYNN", "000", "Caf\xE9 na\xEFve \x80"),
      Line("05102003", "00:00", '3', "YYNY", "010", "three rules", "with, a comment"),
      Line("05102003", "00:00", '3', "YYNY", "011", "three rules", "with, a comment"),
      Line("12311999", "23:59", '4', "NNYN", "000", "once"),
      Line("07041900", "12:00", '5', "NNNY", "999", "long"),
      Line("03152090", "08:00", '6', "NYNY", "001", "daily"),
      Line("01082024", "09:30", '3', "NNNY", "014", "sync") + ";EVERY=2W;ON=MO,TH;UNTIL=20240630;SKIP=20240111",
      Line("11242022", "  :  ", '4', "NNYN", "000", "thanks") + ";EVERY=1Y;ON=4TH",
      Line("02292000", "  :  ", '4', "YYNN", "000", "leap") + ";UNTIL=20200301;SKIP=20080229",
  };
  std::vector<std::string_view> views(lines.begin(), lines.end());
  const IcsExport x = ExportIcs(views, {2024, 1, 1}, {});
  ASSERT_TRUE(x.leftOut.empty());
  const IcsImport back = ImportIcs(x.text, EventCategory::kOther);
  std::vector<std::string> imported;
  for (const IcsImported& e : back.events) {
    EXPECT_EQ(e.refusal, "");
    EXPECT_TRUE(e.notes.empty());
    if (!e.line.empty()) imported.push_back(e.line);
  }
  testing::FakeFileSystem fs;
  fs.folders.insert("data");
  EventList fresh{EventFile{"data/Redoviri.ini", fs}};
  ASSERT_TRUE(fresh.LoadEvents().ok());
  std::vector<bool> added;
  ASSERT_TRUE(fresh.AppendEvents(imported, added).ok());
  EventList original{EventFile{"data/original.ini", fs}};
  ASSERT_TRUE(original.AppendEvents(lines, added).ok());
  ASSERT_EQ(fresh.EventCount(), original.EventCount());
  for (int i = 0; i < fresh.EventCount(); ++i) EXPECT_EQ(fresh.EventLineAt(i), original.EventLineAt(i));
}

}  // namespace
}  // namespace redoviri
