#include "events/eventlist.h"

#include <gtest/gtest.h>

#include "events/fake_filesystem.h"

namespace redoviri {
namespace {

using testing::FakeFileSystem;
using Op = FakeFileSystem::Op;

const std::string kFolder = "data";
const std::string kPath = "data/Redoviri.ini";

// An event line of the given date and name (category 2, each year).
std::string Line(const std::string& mmddyyyy, const std::string& name) {
  std::string line = mmddyyyy + ";00:00;2;Y;N;N;N;000;" + name;
  line.resize(59, ' ');
  line += ';';
  line.resize(110, ' ');
  return line;
}

std::vector<std::string> Lines(const EventList& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.EventCount(); ++i) lines.push_back(list.EventLineAt(i));
  return lines;
}

class EventListTest : public ::testing::Test {
 protected:
  void SetUp() override { fs.folders.insert(kFolder); }

  // Writes the file and loads it.
  void Load(const std::string& bytes) {
    fs.files[kPath] = bytes;
    ASSERT_TRUE(list.LoadEvents().ok());
  }

  FakeFileSystem fs;
  EventList list{EventFile{kPath, fs}};
};

TEST_F(EventListTest, MissingFileGivesNoEventsAndTheNewFileLine) {
  EXPECT_TRUE(list.LoadEvents().ok());
  EXPECT_EQ(list.EventCount(), 0);
  EXPECT_EQ(list.ReservedLine(), EventList::kNewFileLine);
}

TEST_F(EventListTest, EmptyFileGivesAnEmptyReservedLine) {
  Load("");
  EXPECT_EQ(list.EventCount(), 0);
  EXPECT_EQ(list.ReservedLine(), "");
}

TEST_F(EventListTest, FirstLineIsHeldAndNeverAnEvent) {
  const std::string looksLikeEvent = Line("01011990", "First");
  Load(looksLikeEvent + "\r\n" + Line("02022000", "Second") + "\r\n");
  EXPECT_EQ(list.ReservedLine(), looksLikeEvent);
  EXPECT_EQ(Lines(list), std::vector<std::string>{Line("02022000", "Second")});
}

TEST_F(EventListTest, BlankLinesAreSkippedAndRawLinesKept) {
  // Trailing blanks and code-page bytes stay as they are; LF-only and
  // lone-CR line ends of a hand-edited file end lines too.
  const std::string accented = Line("05051995", "Ren\xE9\xE9 \x80\xFF");
  const std::string shortLine = "06061996;x   ";
  Load("reserved\r\n\r\n   \r\n" + accented + "\r\n\t\r\n" + shortLine + "\n" + Line("07071997", "c") + "\r");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{accented, shortLine, Line("07071997", "c")}));
  EXPECT_EQ(list.ReservedLine(), "reserved");
}

TEST_F(EventListTest, SortedByWholeLineIgnoringCase) {
  Load("r\r\n" + Line("02011990", "feb") + "\r\n" + Line("01152003", "b") + "\r\n" + Line("01152001", "a") +
       "\r\n" + Line("01152001", "A") + "\r\n" + Line("01152001", "B") + "\r\n");
  // Month, then day, then year, then the rest; "a" and "A" are equal and
  // stay in file order.
  EXPECT_EQ(Lines(list), (std::vector<std::string>{Line("01152001", "a"), Line("01152001", "A"),
                                                   Line("01152001", "B"), Line("01152003", "b"),
                                                   Line("02011990", "feb")}));
  EXPECT_TRUE(LessIgnoringCase("abc", "ABD"));
  EXPECT_FALSE(LessIgnoringCase("ABC", "abc"));
  EXPECT_TRUE(LessIgnoringCase("ab", "abc"));
  EXPECT_TRUE(LessIgnoringCase("z", "\xE9"));  // code-page bytes after ASCII
}

TEST_F(EventListTest, ParsedFormFollowsEachLine) {
  Load("r\r\n" + Line("12251990", "Xmas") + "\r\n" + Line("01011990", "New") + "\r\n");
  EXPECT_EQ(list.EntryAt(0).parsed.month, 1);
  EXPECT_EQ(list.EntryAt(1).parsed.month, 12);
  ASSERT_TRUE(list.AppendEvent(Line("06061990", "Mid")).ok());
  EXPECT_EQ(list.EntryAt(1).parsed.month, 6);
  EXPECT_EQ(list.EntryAt(1).parsed.day, 6);
}

TEST_F(EventListTest, FindEventLineFindsTheLowestEqualIndex) {
  const std::string ann = Line("03151990", "Ann");
  Load("r\r\n" + Line("01011990", "x") + "\r\n" + ann + "\r\n" + ann + "\r\n");
  EXPECT_EQ(list.FindEventLine(ann), 1);
  EXPECT_EQ(list.FindEventLine(Line("03151990", "ANN")), -1);  // letter case counts
  EXPECT_EQ(list.FindEventLine(Line("03151990", "Bob")), -1);
  EXPECT_EQ(list.FindEventLine(Line("01011990", "x")), 0);
}

TEST_F(EventListTest, FindEventLineComparesTheFirst110Characters) {
  const std::string ann = Line("03151990", "Ann");
  Load("r\r\n" + Line("01011990", "x") + "\r\n" + ann + "hand-typed tail\r\n");
  EXPECT_EQ(list.FindEventLine(ann), 1);
}

TEST_F(EventListTest, AppendWritesOneLineAtTheEnd) {
  Load("r\r\n" + Line("05051990", "b") + "\r\n");
  const std::string added = Line("01011990", "a");
  ASSERT_TRUE(list.AppendEvent(added).ok());
  EXPECT_EQ(fs.appended, std::vector<std::string>{added + "\r\n"});
  EXPECT_EQ(fs.files[kPath], "r\r\n" + Line("05051990", "b") + "\r\n" + added + "\r\n");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{added, Line("05051990", "b")}));
}

TEST_F(EventListTest, AppendPutsALineAfterItsEquals) {
  Load("r\r\n" + Line("01011990", "a") + "\r\n" + Line("01011990", "c") + "\r\n");
  ASSERT_TRUE(list.AppendEvent(Line("01011990", "A")).ok());
  EXPECT_EQ(Lines(list), (std::vector<std::string>{Line("01011990", "a"), Line("01011990", "A"),
                                                   Line("01011990", "c")}));
}

TEST_F(EventListTest, AppendEndsAnUnendedLastLineFirst) {
  const std::string last = Line("02021990", "hand edited");
  Load("r\r\n" + last);
  ASSERT_TRUE(list.AppendEvent(Line("03031990", "new")).ok());
  EXPECT_EQ(fs.files[kPath], "r\r\n" + last + "\r\n" + Line("03031990", "new") + "\r\n");
  // Reloading gives the same events as the store holds.
  EventList reloaded{EventFile{kPath, fs}};
  ASSERT_TRUE(reloaded.LoadEvents().ok());
  EXPECT_EQ(Lines(reloaded), Lines(list));
}

TEST_F(EventListTest, FirstAppendCreatesFileAndFolders) {
  fs.folders.clear();
  EventList fresh{EventFile{"c:/program files/Redoviri by DUZOVU/Redoviri.ini", fs}};
  ASSERT_TRUE(fresh.LoadEvents().ok());
  const std::string line = Line("01011990", "a");
  ASSERT_TRUE(fresh.AppendEvent(line).ok());
  EXPECT_TRUE(fs.folders.count("c:/program files/Redoviri by DUZOVU"));
  EXPECT_EQ(fs.files["c:/program files/Redoviri by DUZOVU/Redoviri.ini"],
            std::string(EventList::kNewFileLine) + "\r\n" + line + "\r\n");
  EXPECT_EQ(fresh.EventCount(), 1);
}

TEST_F(EventListTest, EmptyFileKeepsItsEmptyReservedLineOnRewrite) {
  Load("");
  ASSERT_TRUE(list.AppendEvent(Line("01011990", "a")).ok());
  ASSERT_TRUE(list.AppendEvent(Line("02011990", "b")).ok());
  ASSERT_TRUE(list.RemoveEvent(0).ok());
  EXPECT_EQ(fs.files[kPath], "\r\n" + Line("02011990", "b") + "\r\n");
}

TEST_F(EventListTest, FailedAppendLeavesStoreAndFileAsTheyWere) {
  Load("r\r\n" + Line("05051990", "b") + "\r\n");
  const std::string before = fs.files[kPath];
  fs.FailNext(Op::kAppend, "File access denied");
  const IoResult r = list.AppendEvent(Line("01011990", "a"));
  EXPECT_EQ(r.error, "File access denied");
  EXPECT_EQ(list.EventCount(), 1);
  EXPECT_EQ(list.FindEventLine(Line("01011990", "a")), -1);
  EXPECT_EQ(fs.files[kPath], before);

  fs.FailNext(Op::kLastByte, "I/O error 32");
  EXPECT_EQ(list.AppendEvent(Line("01011990", "a")).error, "I/O error 32");
  EXPECT_EQ(list.EventCount(), 1);
}

TEST_F(EventListTest, FailedCreationLeavesStoreEmpty) {
  ASSERT_TRUE(list.LoadEvents().ok());
  fs.FailNext(Op::kReplace, "Disk full");
  EXPECT_EQ(list.AppendEvent(Line("01011990", "a")).error, "Disk full");
  EXPECT_EQ(list.EventCount(), 0);
  EXPECT_FALSE(fs.files.count(kPath));

  fs.folders.clear();
  fs.FailNext(Op::kCreateFolder, "File access denied");
  EXPECT_EQ(list.AppendEvent(Line("01011990", "a")).error, "File access denied");
  EXPECT_EQ(list.EventCount(), 0);
}

TEST_F(EventListTest, AppendRefusesLinesTheFileCouldNotGiveBack) {
  Load("r\r\n");
  EXPECT_FALSE(list.AppendEvent("   ").ok());
  EXPECT_FALSE(list.AppendEvent(Line("01011990", "a") + "\r\n" + Line("02021990", "b")).ok());
  EXPECT_FALSE(list.AppendEvent("01011990\nx").ok());
  EXPECT_EQ(list.EventCount(), 0);
  EXPECT_EQ(fs.files[kPath], "r\r\n");
}

TEST_F(EventListTest, RemoveRewritesReservedLineAndStoreOrder) {
  Load("reserved line  \r\n" + Line("03031990", "c") + "\r\n\r\n" + Line("01011990", "a") + "\r\n  \r\n" +
       Line("02021990", "b") + "\r\n");
  ASSERT_TRUE(list.RemoveEvent(1).ok());
  EXPECT_EQ(fs.files[kPath],
            "reserved line  \r\n" + Line("01011990", "a") + "\r\n" + Line("03031990", "c") + "\r\n");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{Line("01011990", "a"), Line("03031990", "c")}));
}

TEST_F(EventListTest, RemoveOfTwoEqualLinesTakesTheFirst) {
  const std::string ann = Line("03151990", "Ann");
  Load("r\r\n" + ann + "\r\n" + ann + "  \r\n");  // the second has extra trailing blanks
  ASSERT_TRUE(list.RemoveEvent(list.FindEventLine(ann)).ok());
  EXPECT_EQ(Lines(list), std::vector<std::string>{ann + "  "});
}

TEST_F(EventListTest, RemoveWhenTheFileVanishedWritesItAnew) {
  Load("r\r\n" + Line("01011990", "a") + "\r\n" + Line("02021990", "b") + "\r\n");
  fs.files.clear();
  fs.folders.clear();
  ASSERT_TRUE(list.RemoveEvent(0).ok());
  EXPECT_EQ(fs.files[kPath], "r\r\n" + Line("02021990", "b") + "\r\n");
}

TEST_F(EventListTest, FailedRemoveLeavesStoreAndFileAsTheyWere) {
  Load("r\r\n" + Line("01011990", "a") + "\r\n" + Line("02021990", "b") + "\r\n");
  const std::string before = fs.files[kPath];
  fs.FailNext(Op::kReplace, "File access denied");
  EXPECT_EQ(list.RemoveEvent(0).error, "File access denied");
  EXPECT_EQ(list.EventCount(), 2);
  EXPECT_EQ(fs.files[kPath], before);
  // The same delete works once the file can be written again.
  ASSERT_TRUE(list.RemoveEvent(0).ok());
  EXPECT_EQ(fs.files[kPath], "r\r\n" + Line("02021990", "b") + "\r\n");
}

TEST_F(EventListTest, RemoveOutsideTheListChangesNothing) {
  Load("r\r\n" + Line("01011990", "a") + "\r\n");
  EXPECT_EQ(list.RemoveEvent(1).error, "List index out of bounds (1)");
  EXPECT_EQ(list.RemoveEvent(-1).error, "List index out of bounds (-1)");
  EXPECT_EQ(list.EventCount(), 1);
  EXPECT_EQ(fs.replaceCount, 0);
}

TEST_F(EventListTest, FailedLoadKeepsTheStore) {
  Load("r\r\n" + Line("01011990", "a") + "\r\n");
  fs.FailNext(Op::kRead, "File access denied");
  EXPECT_EQ(list.LoadEvents().error, "File access denied");
  EXPECT_EQ(list.EventCount(), 1);
  EXPECT_EQ(list.ReservedLine(), "r");
}

TEST_F(EventListTest, UnreadableLinesStayInStoreAndFile) {
  const std::string april31 = Line("04312003", "bad date");
  Load("r\r\n" + april31 + "\r\n" + Line("01011990", "a") + "\r\n");
  EXPECT_EQ(list.FindEventLine(april31), 1);
  EXPECT_FALSE(list.EntryAt(1).parsed.readable);
  ASSERT_TRUE(list.RemoveEvent(0).ok());
  EXPECT_EQ(fs.files[kPath], "r\r\n" + april31 + "\r\n");
}

}  // namespace
}  // namespace redoviri
