#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/cli_run.h"
#include "support/disk_files.h"

namespace redoviri::cli {
namespace {

using testing::RunTool;
using test::ReadBytes;
using test::WriteBytes;

std::string Line(const std::string& head, const std::string& name, const std::string& comment = "") {
  std::string line = head + name;
  line.resize(59, ' ');
  line += ';' + comment;
  line.resize(110, ' ');
  return line;
}

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

// The text without its DTSTAMP lines, which carry the moment of the export.
std::string WithoutStamps(const std::string& ics) {
  std::string out;
  for (const std::string& l : LinesOf(ics)) {
    if (l.rfind("DTSTAMP:", 0) != 0) out += l + '\n';
  }
  return out;
}

class CliIcalTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return (folder_.Path() / name).string(); }
  test::TestFolder folder_{"redoviri_cli_ical_"};
};

const std::string kAnn = Line("05101990;08:30;2;Y;N;N;N;000;", "Ann; Bo", "caf\xE9");
const std::string kApril31 = Line("04312003;12:00;1;Y;N;N;N;000;", "April 31");

TEST_F(CliIcalTest, ExportWritesTheCalendarAndReportsWhatIsLeftOut) {
  const std::string file = Path("Redoviri.ini"), ics = Path("out.ics");
  WriteBytes(file, "reserved\r\n" + kAnn + "\r\n" + kApril31 + "\r\n");
  const auto toStdout = RunTool({"export-ics", "--file", file});
  EXPECT_EQ(toStdout.code, 1);  // something was left out
  EXPECT_EQ(toStdout.err, "left out\tthe first date 04/31/2003 does not exist\t" + kApril31 + "\n");
  EXPECT_NE(toStdout.out.find("\r\nSUMMARY:Ann\\; Bo\r\nDESCRIPTION:caf\xC3\xA9\r\n"), std::string::npos);

  const auto toFile = RunTool({"export-ics", "--file", file, "--output", ics});
  EXPECT_EQ(toFile.code, 1);
  EXPECT_EQ(toFile.out, "");
  EXPECT_EQ(WithoutStamps(ReadBytes(ics)), WithoutStamps(toStdout.out));

  WriteBytes(file, "reserved\r\n" + kAnn + "\r\n");
  EXPECT_EQ(RunTool({"export-ics", "--file", file}).code, 0);
  EXPECT_EQ(RunTool({"export-ics", "--file", file, "--output", Path("no/such/folder.ics")}).code, 3);
  EXPECT_EQ(RunTool({"export-ics"}).code, 2);
}

// The event file is never the export's output, by whatever name it is
// reached; an export that cannot be written whole leaves the old output.
TEST_F(CliIcalTest, ExportNeverReplacesTheEventFileAndWritesWholeOrNothing) {
  const std::string file = Path("Redoviri.ini"), ics = Path("out.ics");
  const std::string events = "reserved\r\n" + kAnn + "\r\n";
  WriteBytes(file, events);
  std::vector<std::string> sameFile = {file, (folder_.Path() / "." / "Redoviri.ini").string()};
#ifndef _WIN32
  std::filesystem::create_symlink(file, Path("link.ini"));
  std::filesystem::create_hard_link(file, Path("hard.ini"));
  sameFile.push_back(Path("link.ini"));
  sameFile.push_back(Path("hard.ini"));
#endif
  for (const std::string& output : sameFile) {
    SCOPED_TRACE(output);
    const auto r = RunTool({"export-ics", "--file", file, "--output", output});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "redoviri-cli: export-ics: '" + output + "' is the event file\n");
    EXPECT_EQ(ReadBytes(file), events);
  }
  ASSERT_EQ(RunTool({"export-ics", "--file", file, "--output", ics}).code, 0);
  const std::string exported = ReadBytes(ics);
#ifndef _WIN32
  WriteBytes(file, events + Line("05111990;08:30;2;Y;N;N;N;000;", std::string(40, 'x')) + "\r\n");
  const auto full = [&] {
    test::FileSizeLimit limit(exported.size() / 2);
    return RunTool({"export-ics", "--file", file, "--output", ics});
  }();
  EXPECT_EQ(full.code, 3);
  EXPECT_EQ(full.err, "redoviri-cli: export-ics: cannot write '" + ics + "': Disk full\n");
  EXPECT_EQ(ReadBytes(ics), exported);
  EXPECT_FALSE(std::filesystem::exists(ics + ".new"));
#endif
}

const std::string kIcs =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:test\r\n"
    "BEGIN:VEVENT\r\nUID:1\r\nDTSTART;VALUE=DATE:20240229\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Leap\r\n"
    "CATEGORIES:BIRTHDAY\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:2\r\nDTSTART:20240301T100000\r\nRRULE:FREQ=HOURLY;COUNT=5\r\nSUMMARY:Course\r\n"
    "END:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:3\r\nDTSTART:20240302T100000\r\nSUMMARY:A name much longer than thirty characters\r\n"
    "END:VEVENT\r\n"
    "END:VCALENDAR\r\n";

TEST_F(CliIcalTest, ImportAddsOnceReportsEachVeventAndSkipsDuplicates) {
  const std::string file = Path("Redoviri.ini"), from = Path("in.ics");
  WriteBytes(from, kIcs);
  WriteBytes(file, "reserved\r\n" + kAnn + "\r\n");
  const std::string leap = Line("02292024;  :  ;2;Y;N;N;N;000;", "Leap");
  const std::string longName = Line("03022024;10:00;5;N;N;Y;N;000;", "A name much longer than thirty");

  // A dry run tells the same and writes nothing.
  const auto dry = RunTool({"import-ics", "--file", file, "--from", from, "--category", "5", "--dry-run"});
  EXPECT_EQ(ReadBytes(file), "reserved\r\n" + kAnn + "\r\n");

  const auto run = RunTool({"import-ics", "--file", file, "--from", from, "--category", "5"});
  EXPECT_EQ(run.code, 1);  // one VEVENT refused
  EXPECT_EQ(run.out, leap + "\n" + longName + "\n");
  EXPECT_EQ(run.err,
            "vevent 2\trefused\tRRULE FREQ=HOURLY\tCourse\n"
            "vevent 3\tchanged\tname: cut to 30 characters (was 41)\tA name much longer than thirty characters\n");
  EXPECT_EQ(ReadBytes(file), "reserved\r\n" + kAnn + "\r\n" + leap + "\r\n" + longName + "\r\n");
  EXPECT_EQ(dry.code, run.code);
  EXPECT_EQ(dry.out, run.out);
  EXPECT_EQ(dry.err, run.err);

  const auto again = RunTool({"import-ics", "--file", file, "--from", from, "--category", "5"});
  EXPECT_EQ(again.out, "");
  EXPECT_NE(again.err.find("vevent 1\tduplicate\tthe same event is saved already\tLeap\n"), std::string::npos);
  EXPECT_NE(again.err.find("vevent 3\tduplicate\t"), std::string::npos);
  EXPECT_EQ(ReadBytes(file), "reserved\r\n" + kAnn + "\r\n" + leap + "\r\n" + longName + "\r\n");
}

TEST_F(CliIcalTest, ImportRefusesBadInput) {
  const std::string file = Path("Redoviri.ini"), from = Path("in.ics"), card = Path("card.vcf");
  WriteBytes(from, kIcs);
  WriteBytes(card, "BEGIN:VCARD\r\nEND:VCARD\r\n");
  EXPECT_EQ(RunTool({"import-ics", "--file", file, "--from", from, "--category", "7"}).code, 2);
  EXPECT_EQ(RunTool({"import-ics", "--file", file}).code, 2);
  EXPECT_EQ(RunTool({"import-ics", "--file", file, "--from", card}).code, 2);
  EXPECT_EQ(RunTool({"import-ics", "--file", file, "--from", Path("missing.ics")}).code, 3);
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(CliIcalTest, AddedEventsExportAndImportIntoAnEmptyFileAsTheSameStore) {
  const std::string file = Path("Redoviri.ini"), ics = Path("out.ics"), copy = Path("copy.ini");
  // "été": the Windows tool's arguments are in the code page, the native
  // tool's in UTF-8.
#ifdef _WIN32
  const std::string ete = "\xE9t\xE9";
#else
  const std::string ete = "\xC3\xA9t\xC3\xA9";
#endif
  const std::vector<Args> adds{
      {"--category", "2", "--date", "2004-02-29", "--time", "07:15", "--name", "Leap; " + ete, "--each-year"},
      {"--category", "1", "--date", "2003-01-31", "--time", "00:00", "--name", "Month end", "--comment", "a, b",
       "--each-month", "--remind", "1d,9h,615m"},
      {"--category", "3", "--date", "1900-03-01", "--time", "23:59", "--name", "All", "--each-year", "--each-month",
       "--every", "999", "--remind", "4w"},
      {"--category", "6", "--date", "2090-12-31", "--time", "12:00", "--name", "Once", "--once", "--remind", "1w,25h"},
  };
  for (Args a : adds) {
    a.insert(a.begin(), {"add", "--file", file});
    ASSERT_EQ(RunTool(a).code, 0);
  }
  ASSERT_EQ(RunTool({"export-ics", "--file", file, "--output", ics}).code, 0);
  const std::string text = ReadBytes(ics);  // a day event's DTSTART is 00:00, its notice 09:00
  for (std::string t : {"-P1DT1H", "-P7D", "-PT15H", "PT0S", "-PT1H15M", "-P28D"})
    EXPECT_NE(text.find("\r\nTRIGGER:" + t + "\r\n"), std::string::npos) << t;
  const auto imported = RunTool({"import-ics", "--file", copy, "--from", ics});
  EXPECT_EQ(imported.code, 0) << imported.err;
  EXPECT_EQ(RunTool({"list", "--file", copy}).out, RunTool({"list", "--file", file}).out);
}

// Alarms become reminders; one the line cannot hold is reported and dropped.
TEST_F(CliIcalTest, ImportTakesAlarmsAsReminders) {
  const auto alarm = [](std::string trigger, std::string action = "DISPLAY", std::string more = "") {
    return "BEGIN:VALARM\r\nACTION:" + action + "\r\nTRIGGER" + trigger + "\r\n" + more + "END:VALARM\r\n";
  };
  const struct {
    std::string vevent, time, tail, report;  // the notes, each ended by "|"
    int many = 0;                            // more alarms, 1 to `many` minutes ahead
  } rows[] = {
      {"DTSTART:20270301T100000\r\nDTEND:20270301T113000\r\n" + alarm(":-PT15M") + alarm(";RELATED=START:-P1D", "AUDIO")
           + alarm(";RELATED=END:-PT2H", "EMAIL") + alarm(":PT0S", "DISPLAY", "REPEAT:2\r\nDURATION:PT5M\r\n") +
           alarm(":-P4W1D") + alarm(":-PT5M", "PROCEDURE") + alarm(":soon") + alarm(";RELATED=END:-PT1H"),
       "10:00", ";REMIND=15,30,1440",
       "alarm 4: REPEAT:2 dropped, its first alert kept|alarm 5: TRIGGER -P4W1D is more than 4 weeks ahead, dropped|"
       "alarm 6: ACTION:PROCEDURE, dropped|alarm 7: TRIGGER soon is not understood, dropped|"
       "alarm 8: TRIGGER -PT1H (RELATED=END) comes after the event's notice, dropped|"},
      {"DTSTART:20270301T100000Z\r\n" + alarm(";VALUE=DATE-TIME:20270228T094500Z") +
           alarm(";VALUE=DATE-TIME;TZID=Europe/Berlin:20270301T090000"), "10:00", ";REMIND=1455",
       "alarm 2: TRIGGER 20270301T090000: how far ahead it is depends on the UTC offset of Europe/Berlin, dropped|"},
      {"DTSTART;VALUE=DATE:20270301\r\n" + alarm(":-PT15H") + alarm(":PT0S") + alarm(":PT9H") + alarm(":PT10H") +
           alarm(";RELATED=END:-PT1M") + alarm(":-PT1M", "NONE"), "  :  ", ";REMIND=540,1440",
       "alarm 4: TRIGGER PT10H comes after the event's notice (09:00), dropped|"
       "alarm 5: TRIGGER -PT1M (RELATED=END) without DTEND or DURATION, dropped|"},
      {"DTSTART:20270301T000000\r\n", "00:00", ";REMIND=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20",
       "2 alarm(s) beyond 20 reminders dropped, the farthest ahead|", 22},
  };
  for (const auto& row : rows) {
    std::string vevent = row.vevent, report;
    for (int m = row.many; m > 0; --m) vevent += alarm(":PT" + std::to_string(540 - m) + "M");
    WriteBytes(Path("a.ics"), "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:A\r\n" + vevent + "END:VEVENT\r\n");
    const auto r = RunTool({"import-ics", "--file", Path("a.ini"), "--from", Path("a.ics"), "--dry-run"});
    EXPECT_EQ(r.out, Line("03012027;" + row.time + ";6;N;N;Y;N;000;", "A") + row.tail + "\n") << vevent;
    for (std::size_t at = 0, bar; (bar = row.report.find('|', at)) != std::string::npos; at = bar + 1)
      report += "vevent 1\tchanged\t" + row.report.substr(at, bar - at) + "\tA\n";
    EXPECT_EQ(r.err, report);
  }
}

}  // namespace
}  // namespace redoviri::cli
