#include "events/eventlist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <random>

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

// An editor's "Unicode" (UTF-16) save of the file: nothing read as events,
// the user told, and nothing written into it.
TEST_F(EventListTest, Utf16FileIsRefusedAndNeverWritten) {
  const auto utf16 = [](const std::string& text, bool bigEndian) {
    std::string out;
    for (char c : text) out += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return out;
  };
  const std::string text = "reserved\r\n" + Line("01011990", "a") + "\r\n";
  const std::string files[] = {"\xFF\xFE" + utf16(text, false), "\xFE\xFF" + utf16(text, true),
                               utf16(text, false), utf16(text, true)};
  for (const std::string& bytes : files) {
    SCOPED_TRACE(::testing::PrintToString(bytes.substr(0, 6)));
    fs.files[kPath] = bytes;
    EventList store{EventFile{kPath, fs}};
    const StoreResult loaded = store.LoadEvents();
    EXPECT_EQ(loaded.error, EventList::kUtf16File);
    EXPECT_EQ(store.EventCount(), 0);
    EXPECT_FALSE(store.AppendEvent(Line("02021990", "b")).ok());
    EXPECT_EQ(fs.files[kPath], bytes);
  }
  // Code-page text with a NUL here and there is still the program's file,
  // also a short first line of NULs and letters by turns.
  for (const std::string& bytes : {"r\r\n" + Line("01011990", std::string("a\0b", 3)) + "\r\n", std::string("\xFF\r\n"),
                                   std::string("\0\x08\0\x05\0\r\n", 7)}) {
    fs.files[kPath] = bytes;
    EventList store{EventFile{kPath, fs}};
    EXPECT_TRUE(store.LoadEvents().ok());
  }
}

// Without a byte-order mark, UTF-16 is told by its whole first line: short
// files, letters above U+00FF (U+010D, U+040A hold a CR or LF byte), LF line
// ends. Code-page text stays the program's file, also after its own writes.
TEST_F(EventListTest, Utf16WithoutMarkIsToldByItsWholeFirstLine) {
  const std::u16string e = u"01011990;00:00;2;Y;N;N;N;000;a\r\n";
  for (const std::u16string& text : {std::u16string(u"r"), std::u16string(u"reserved\r\n"), u"\r\n" + e,
                                     u"Doga\u0111aji\r\n" + e, u"\u040A\u010D\u0402\r\n" + e, std::u16string(u"\u0402\u0443\r"),
                                     std::u16string(u"abc\ndef\n"), u"A first line of letters, longer than 64 bytes: \u0402\r\n" + e}) {
    for (const bool bigEndian : {false, true}) {
      std::string bytes;
      for (const char16_t c : text) bytes += {static_cast<char>(bigEndian ? c >> 8 : c), static_cast<char>(bigEndian ? c : c >> 8)};
      fs.files[kPath] = bytes;
      EXPECT_EQ(EventList(EventFile{kPath, fs}).LoadEvents().error, EventList::kUtf16File) << ::testing::PrintToString(bytes);
    }
  }
  const std::string a = Line("01011990", "a"), b = Line("02021990", "b");
  for (const std::string& bytes : {"r\r\n" + a + "\r\n", "r\n" + a + "\n", "Doga\xF0" "aji \xE8\r\n" + Line("01011990", "\x8A\x9E") + "\r\n",
                                   std::string("\r\n"), std::string("rr\0\r\n", 5) + a, std::string("rr\0\n", 4) + a + "\n", std::string("r")}) {
    SCOPED_TRACE(::testing::PrintToString(bytes));
    fs.files[kPath] = bytes;
    EventList store{EventFile{kPath, fs}};
    ASSERT_TRUE(store.LoadEvents().ok());
    ASSERT_TRUE(store.AppendEvent(b).ok());
    ASSERT_TRUE(store.RemoveEvent(store.FindEventLine(b)).ok());
    EXPECT_TRUE((EventList{EventFile{kPath, fs}}.LoadEvents().ok()));
  }
}

// A file emptied outside the program cannot be told apart from one a user
// cleared on purpose in an editor: it is taken as cleared, and the next save
// writes only its own event. A file that is gone, on the other hand, is
// written back whole from the store (nobody deletes events that way).
TEST_F(EventListTest, EmptiedFileIsTakenAsClearedAndAVanishedOneIsWrittenBack) {
  const std::string a = Line("01011990", "a"), b = Line("02021990", "b"), c = Line("03031990", "c");
  Load("r\r\n" + a + "\r\n" + b + "\r\n");
  fs.Edit(kPath, "");
  StoreResult r = list.AppendEvent(c);
  ASSERT_TRUE(r.ok());
  EXPECT_TRUE(r.reloaded);
  EXPECT_EQ(fs.files[kPath], "\r\n" + c + "\r\n");
  EXPECT_EQ(Lines(list), std::vector<std::string>{c});

  Load("r\r\n" + a + "\r\n" + b + "\r\n");
  fs.files.erase(kPath);
  r = list.AppendEvent(c);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(fs.files[kPath], "r\r\n" + a + "\r\n" + b + "\r\n" + c + "\r\n");
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

TEST_F(EventListTest, FindEventLineComparesWholeLines) {
  const std::string ann = Line("03151990", "Ann");
  Load("r\r\n" + Line("01011990", "x") + "\r\n" + ann + ";UNTIL=20300101\r\n" + ann + "  \r\n");
  // The store keeps its lines sorted.
  EXPECT_EQ(list.EventLineAt(list.FindEventLine(ann)), ann + "  ");
  EXPECT_EQ(list.EventLineAt(list.FindEventLine(ann + ";UNTIL=20300101")), ann + ";UNTIL=20300101");
  EXPECT_EQ(list.FindEventLine(ann + ";UNTIL=20300102"), -1);
  EXPECT_EQ(list.NewLines(std::vector<std::string>{ann + ";UNTIL=20300101", ann + ";SKIP=20300101"}),
            (std::vector<bool>{false, true}));
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

TEST_F(EventListTest, RemoveOutsideTheListChangesNothing) {
  Load("r\r\n" + Line("01011990", "a") + "\r\n");
  EXPECT_EQ(list.RemoveEvent(1).error, "List index out of bounds (1)");
  EXPECT_EQ(list.RemoveEvent(-1).error, "List index out of bounds (-1)");
  EXPECT_EQ(list.EventCount(), 1);
  EXPECT_EQ(fs.replaceCount, 0);
}

TEST_F(EventListTest, FailedLoadKeepsTheStoreAndKnowsIt) {
  Load("r\r\n" + Line("01011990", "a") + "\r\n");
  EXPECT_TRUE(list.Loaded());
  fs.FailNext(Op::kRead, "File access denied");
  EXPECT_EQ(list.LoadEvents().error, "File access denied");
  EXPECT_EQ(list.EventCount(), 1);
  EXPECT_EQ(list.ReservedLine(), "r");
  EXPECT_FALSE(list.Loaded());
  EXPECT_TRUE(list.LoadEvents().ok());
  EXPECT_TRUE(list.Loaded());
}

TEST_F(EventListTest, UnreadableLinesStayInStoreAndFile) {
  const std::string april31 = Line("04312003", "bad date");
  Load("r\r\n" + april31 + "\r\n" + Line("01011990", "a") + "\r\n");
  EXPECT_EQ(list.FindEventLine(april31), 1);
  EXPECT_FALSE(list.EntryAt(1).parsed.readable);
  ASSERT_TRUE(list.RemoveEvent(0).ok());
  EXPECT_EQ(fs.files[kPath], "r\r\n" + april31 + "\r\n");
}

TEST(ContentHashTest, SameBytesHowEverCutDifferentBytesApart) {
  std::string bytes;
  for (int i = 0; i < 300; ++i) bytes += static_cast<char>(i * 37);
  ContentHash whole;
  whole.Add(bytes);
  for (std::size_t piece : {1u, 3u, 7u, 8u, 31u, 32u, 33u, 100u}) {
    ContentHash cut;
    for (std::size_t at = 0; at < bytes.size(); at += piece) cut.Add(std::string_view(bytes).substr(at, piece));
    EXPECT_EQ(cut.Value(), whole.Value()) << piece;
  }
  // One byte changed anywhere, or one more zero byte at the end.
  for (std::size_t at : {0u, 31u, 32u, 299u}) {
    std::string other = bytes;
    other[at] = static_cast<char>(other[at] ^ 1);
    ContentHash changed;
    changed.Add(other);
    EXPECT_NE(changed.Value(), whole.Value()) << at;
  }
  ContentHash longer;
  longer.Add(bytes + std::string(1, '\0'));
  EXPECT_NE(longer.Value(), whole.Value());
}

// The lines of an event file as a fresh store loads them.
std::vector<std::string> LinesOfFile(FakeFileSystem& fs, const std::string& path) {
  EventList fresh{EventFile{path, fs}};
  EXPECT_TRUE(fresh.LoadEvents().ok());
  return Lines(fresh);
}

// Each way the store used to lose an event.

TEST_F(EventListTest, AppendIntoAnEmptyFileWritesTheReservedLineFirst) {
  Load("");
  const std::string anna = Line("03152003", "Anna");
  ASSERT_TRUE(list.AppendEvent(anna).ok());
  EXPECT_EQ(fs.files[kPath], "\r\n" + anna + "\r\n");
  EXPECT_EQ(LinesOfFile(fs, kPath), std::vector<std::string>{anna});
  // Saving it again is refused: the store holds it.
  EXPECT_FALSE(list.AppendEvent(anna).ok());
  EXPECT_EQ(LinesOfFile(fs, kPath), std::vector<std::string>{anna});
}

TEST_F(EventListTest, AppendAfterTheFileVanishedWritesTheWholeStore) {
  const std::string a = Line("01011990", "a"), b = Line("02021990", "b"), c = Line("03031990", "c");
  Load("r\r\n" + b + "\r\n" + a + "\r\n");
  fs.files.erase(kPath);  // a sync tool moved it away
  ASSERT_TRUE(list.AppendEvent(c).ok());
  EXPECT_EQ(fs.files[kPath], "r\r\n" + a + "\r\n" + b + "\r\n" + c + "\r\n");
  EXPECT_EQ(LinesOfFile(fs, kPath), Lines(list));
}

TEST_F(EventListTest, StoreThatFailedToLoadNeverWritesOverTheFile) {
  const std::string a = Line("01011990", "a"), b = Line("02021990", "b"), c = Line("03031990", "c");
  fs.files[kPath] = "r\r\n" + a + "\r\n" + b + "\r\n";
  fs.FailNext(Op::kRead, "I/O error 32");
  EXPECT_EQ(list.LoadEvents().error, "I/O error 32");
  EXPECT_EQ(list.EventCount(), 0);
  // While the file cannot be read, a save is refused with the same message
  // and nothing is written.
  fs.FailNext(Op::kRead, "I/O error 32");
  EXPECT_EQ(list.AppendEvent(c).error, "I/O error 32");
  EXPECT_EQ(fs.files[kPath], "r\r\n" + a + "\r\n" + b + "\r\n");
  // Once it can, the save loads it first; the delete that follows keeps the
  // events the failed load missed.
  ASSERT_TRUE(list.AppendEvent(c).ok());
  ASSERT_TRUE(list.RemoveEvent(list.FindEventLine(c)).ok());
  EXPECT_EQ(LinesOfFile(fs, kPath), (std::vector<std::string>{a, b}));
  EXPECT_EQ(Lines(list), (std::vector<std::string>{a, b}));
}

TEST_F(EventListTest, StrippedLineIsTheSameEvent) {
  // An editor stripped the trailing blanks: the duplicate test finds the
  // line, and the delete removes it.
  const std::string ann = Line("03151990", "Ann");
  const std::string stripped = ann.substr(0, ann.find_last_not_of(' ') + 1);
  Load("r\r\n" + stripped + "\r\n" + Line("01011990", "x") + "\r\n");
  EXPECT_EQ(list.FindEventLine(ann), 1);
  EXPECT_FALSE(list.AppendEvent(ann).ok());
  EXPECT_EQ(list.EventCount(), 2);
  ASSERT_TRUE(list.RemoveEvent(list.FindEventLine(ann)).ok());
  EXPECT_EQ(LinesOfFile(fs, kPath), std::vector<std::string>{Line("01011990", "x")});
  // Only blanks count as padding.
  Load("r\r\n" + stripped + "x\r\n");
  EXPECT_EQ(list.FindEventLine(ann), -1);
}

TEST_F(EventListTest, TornAppendIsCutBack) {
  const std::string a = Line("01011990", "a");
  Load("r\r\n" + a + "\r\n");
  const std::string before = fs.files[kPath];
  fs.FailNext(Op::kWrite, "I/O error 1117");  // half the line gets written
  EXPECT_EQ(list.AppendEvent(Line("02021990", "b")).error, "I/O error 1117");
  EXPECT_EQ(fs.files[kPath], before);
  EXPECT_EQ(Lines(list), std::vector<std::string>{a});
}

// Edits made elsewhere between the store's operations are kept.
TEST_F(EventListTest, OutsideEditsAreKept) {
  const std::string a = Line("01011990", "a"), b = Line("02021990", "b"), c = Line("03031990", "c");
  const std::string mine = Line("04041990", "mine");
  const std::string original = "r\r\n" + a + "\r\n" + b + "\r\n";
  struct Case {
    const char* what;
    std::optional<std::string> edited;      // the file after the edit; nullopt: deleted
    std::vector<std::string> afterAppend;   // the events after saving `mine`
    std::vector<std::string> afterRemove;   // ... and after deleting `a` (or refused: empty)
    bool reloaded;
  };
  const std::string bSameSize = Line("02021990", "B");  // same size, same time, other content
  const Case cases[] = {
      {"line added", "r\r\n" + a + "\r\n" + b + "\r\n" + c + "\r\n", {a, b, c, mine}, {b, c, mine}, true},
      {"line deleted", "r\r\n" + a + "\r\n", {a, mine}, {mine}, true},
      {"same size", "r\r\n" + a + "\r\n" + bSameSize + "\r\n", {a, bSameSize, mine}, {bSameSize, mine}, true},
      {"file deleted", std::nullopt, {a, b, mine}, {b, mine}, false},
      {"nothing", original, {a, b, mine}, {b, mine}, false},
  };
  for (const Case& k : cases) {
    for (bool append : {true, false}) {
      SCOPED_TRACE(std::string(k.what) + (append ? ", save" : ", delete"));
      Load(original);
      if (k.edited) {
        fs.Edit(kPath, *k.edited);
      } else {
        fs.files.erase(kPath);
      }
      const StoreResult r = append ? list.AppendEvent(mine) : list.RemoveEvent(list.FindEventLine(a));
      ASSERT_TRUE(r.ok()) << r.error;
      EXPECT_EQ(r.reloaded, k.reloaded);
      std::vector<std::string> want = append ? k.afterAppend : k.afterRemove;
      if (!append) std::erase(want, mine);
      EXPECT_EQ(Lines(list), want);
      EXPECT_EQ(LinesOfFile(fs, kPath), want);
    }
  }
}

TEST_F(EventListTest, ChangedFileDecidesTheDuplicateTestAndTheDelete) {
  const std::string a = Line("01011990", "a"), b = Line("02021990", "b");
  Load("r\r\n" + a + "\r\n");
  // The tool saved b meanwhile: saving it here too is refused.
  fs.Edit(kPath, "r\r\n" + a + "\r\n" + b + "\r\n");
  StoreResult r = list.AppendEvent(b);
  EXPECT_TRUE(r.refused);
  EXPECT_TRUE(r.reloaded);
  EXPECT_EQ(r.error, EventList::kSameEventSaved);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{a, b}));
  // Another copy deleted a meanwhile: deleting it here is refused, and
  // nothing is written.
  fs.Edit(kPath, "r\r\n" + b + "\r\n");
  const int replaced = fs.replaceCount;
  r = list.RemoveEvent(0);
  EXPECT_TRUE(r.refused);
  EXPECT_EQ(r.error, EventList::kEventGone);
  EXPECT_EQ(fs.files[kPath], "r\r\n" + b + "\r\n");
  EXPECT_EQ(fs.replaceCount, replaced);
  EXPECT_EQ(Lines(list), std::vector<std::string>{b});
}

TEST_F(EventListTest, SettledUnchangedFileIsNotReadBeforeASave) {
  // Read long after its last write: the stamp alone tells that nothing
  // changed since.
  fs.nowNs = 3'000'000'000;
  Load("r\r\n" + Line("01011990", "a") + "\r\n");
  fs.trace.clear();
  ASSERT_TRUE(list.AppendEvent(Line("02021990", "b")).ok());
  EXPECT_EQ(std::count(fs.trace.begin(), fs.trace.end(), Op::kRead), 0);
  // Right after a write it cannot: the content is compared.
  fs.trace.clear();
  ASSERT_TRUE(list.AppendEvent(Line("03031990", "c")).ok());
  EXPECT_EQ(std::count(fs.trace.begin(), fs.trace.end(), Op::kRead), 1);
}

// After a write the next save compares the content, until the store
// confirms the stamp: once the stamp's resolution has passed, one look at
// the stamp and then the content lets later saves trust the stamp. Whatever
// happens around that look, the store's lines stay as they were and the
// next save keeps every outside change.
TEST_F(EventListTest, ConfirmedStampSparesTheNextSaveItsReadAndMissesNoOutsideWrite) {
  constexpr std::int64_t kMs = 1'000'000;
  constexpr std::int64_t kFine = 5'000'000'123;  // a stamp with a fraction of a second
  constexpr std::int64_t kCoarse = 7'000'000'000;
  const std::string a = Line("01011990", "a"), mine = Line("02021990", "mine"), next = Line("03031990", "next");
  const std::string sameSize = "r\r\n" + Line("01011990", "A") + "\r\n" + mine + "\r\n";
  using Step = std::function<void(FakeFileSystem&)>;
  const Step nothing = [](FakeFileSystem&) {};
  const auto editNow = [&](FakeFileSystem& f) { f.Edit(kPath, sameSize); };
  struct Case {
    const char* what;
    std::int64_t writtenAtNs;
    std::int64_t confirmAfterNs;  // after the write
    Step atConfirm;               // before the look
    Step afterRead;               // right after the look read the file (none: nullptr)
    Step afterConfirm;
    long long wantWaitMs;
    bool confirmed;
    bool nextReloads;
    int nextReads;  // the content compare, the load (twice for an edit of this moment: read
                    // again once it has held still)
  };
  const Case cases[] = {
      {"settled", kFine, 60 * kMs, nothing, nullptr, nothing, 0, true, false, 0},
      {"too early", kFine, 20 * kMs, nothing, nullptr, nothing, 31, false, false, 1},
      {"coarse stamp, too early", kCoarse, 500 * kMs, nothing, nullptr, nothing, 1501, false, false, 1},
      {"coarse stamp, settled", kCoarse, 2000 * kMs, nothing, nullptr, nothing, 0, true, false, 0},
      // Another writer within the resolution: same size, same time.
      {"same stamp, other content",
       kFine,
       60 * kMs,
       [&](FakeFileSystem& f) {
         f.files[kPath] = sameSize;
         f.modified[kPath] = kFine;
       },
       nullptr, nothing, 0, false, true, 2},
      {"edited before the look", kFine, 60 * kMs, editNow, nullptr, nothing, 0, false, true, 2},
      // The look saw what the store wrote; the stamp tells of the edit.
      {"edited right after the look's read", kFine, 60 * kMs, nothing, editNow, nothing, 0, true, true, 2},
      {"edited after the look", kFine, 60 * kMs, nothing, nullptr,
       [&](FakeFileSystem& f) {
         f.nowNs += kMs;
         f.Edit(kPath, sameSize);
       },
       0, true, true, 2},
      {"stamp unreadable", kFine, 60 * kMs, [](FakeFileSystem& f) { f.FailNext(Op::kStat, "I/O error 5"); }, nullptr,
       nothing, 0, false, false, 1},
      {"file unreadable", kFine, 60 * kMs, [](FakeFileSystem& f) { f.FailNext(Op::kRead, "I/O error 5"); }, nullptr,
       nothing, 0, false, false, 1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    fs.nowNs = 0;
    Load("r\r\n" + a + "\r\n");
    fs.nowNs = k.writtenAtNs;
    ASSERT_TRUE(list.AppendEvent(mine).ok());
    EXPECT_FALSE(list.StampConfirmed()) << "right after a write";
    const std::vector<std::string> held = Lines(list);

    fs.nowNs = k.writtenAtNs + k.confirmAfterNs;
    k.atConfirm(fs);
    if (k.afterRead) fs.afterNextRead = [&] { k.afterRead(fs); };
    EXPECT_EQ(list.ConfirmStamp().count(), k.wantWaitMs);
    fs.afterNextRead = nullptr;
    EXPECT_EQ(list.StampConfirmed(), k.confirmed);
    EXPECT_EQ(Lines(list), held) << "the look never changes the store";
    k.afterConfirm(fs);

    std::vector<std::string> want = LinesOfFile(fs, kPath);
    want.push_back(next);
    std::sort(want.begin(), want.end(), LessIgnoringCase);
    fs.trace.clear();
    const StoreResult r = list.AppendEvent(next);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.reloaded, k.nextReloads);
    EXPECT_EQ(std::count(fs.trace.begin(), fs.trace.end(), Op::kRead), k.nextReads);
    EXPECT_EQ(Lines(list), want);
    EXPECT_EQ(LinesOfFile(fs, kPath), want);
  }
}

TEST_F(EventListTest, LockHeldElsewhereRefusesTheWrite) {
  Load("r\r\n" + Line("01011990", "a") + "\r\n");
  const std::string before = fs.files[kPath];
  EventList other{EventFile{kPath, fs}};
  fs.heldLocks.insert(kPath + ".lock");
  EXPECT_EQ(list.AppendEvent(Line("02021990", "b")).error, "I/O error 33");
  EXPECT_EQ(list.RemoveEvent(0).error, "I/O error 33");
  EXPECT_EQ(fs.files[kPath], before);
  // Reading goes on without the lock.
  EXPECT_TRUE(other.LoadEvents().ok());
  EXPECT_EQ(other.EventCount(), 1);
}

// A reader holds the writers' lock only for a moment after its read, never
// while reading; a write between, or a killed writer's half-done append put
// right in that moment, makes it read again.
TEST_F(EventListTest, ReaderReadsBesideTheWritersAndAgainAfterAWrite) {
  const std::string a = Line("01011990", "a"), b = Line("02021990", "b"), file = "r\r\n" + a + "\r\n";
  const std::string half = file + b.substr(0, 40), note = "append " + std::to_string(file.size()) + " " +
                                                        std::to_string(file.size() + b.size() + 2) + "\n" + b + "\r\n";
  struct Case {
    std::string file, note, afterRead;  // the file, the lock's note, the file right after the first read
    std::vector<std::string> want;
  };
  const Case cases[] = {{file, "", file, {a}}, {file, "", file + b + "\r\n", {a, b}}, {half, note, half, {a}}};
  for (const Case& k : cases) {
    fs.files[kPath] = k.file;
    fs.notes[kPath + ".lock"] = k.note;
    bool held = true;
    fs.afterNextRead = [&] {
      held = !fs.heldLocks.empty();
      fs.files[kPath] = k.afterRead;
    };
    ASSERT_TRUE(list.LoadEvents().ok());
    EXPECT_FALSE(held);
    EXPECT_EQ(Lines(list), k.want);
  }
}

// Every step of each kind of write fails in turn. After each failure the
// file is byte for byte as it was, the store equals the file (or, when the
// failure stopped a reload, what it held), the error is the step's own
// message (with the lock file's name, for a step of the lock), and the same
// operation then succeeds. A failure of the few steps that only tidy up
// after the file is written does not fail the operation.
TEST_F(EventListTest, EveryStepFailsInTurn) {
  std::vector<std::string> many;
  for (int i = 0; i < 700; ++i) many.push_back(Line("05051990", "event " + std::to_string(i)));  // > 64 KiB
  const std::string a = Line("01011990", "a"), b = Line("02021990", "b"), added = Line("03031990", "added");
  const auto fileOf = [](std::string reserved, const std::vector<std::string>& lines) {
    std::string bytes = reserved + "\r\n";
    for (const std::string& line : lines) bytes += line + "\r\n";
    return bytes;
  };
  struct Scenario {
    std::string what;
    std::function<void(FakeFileSystem&)> before;  // before the load
    std::function<void(FakeFileSystem&)> between;  // between the load and the write
    std::function<StoreResult(EventList&)> write;
  };
  const auto withFile = [](std::string bytes) {
    return [bytes](FakeFileSystem& fs) { fs.files[kPath] = bytes; };
  };
  const auto nothing = [](FakeFileSystem&) {};
  const auto save = [added](EventList& l) { return l.AppendEvent(added); };
  const auto removeFirst = [](EventList& l) { return l.RemoveEvent(0); };
  const std::vector<std::string> several{Line("04041990", "x"), added, a, Line("06061990", "y")};
  const auto saveSeveral = [several](EventList& l) {
    std::vector<bool> taken;
    return l.AppendEvents(several, taken);
  };
  const Scenario scenarios[] = {
      {"append", withFile(fileOf("r", {b, a})), nothing, save},
      {"append into an empty file", withFile(""), nothing, save},
      {"append after the file vanished", withFile(fileOf("r", {a})),
       [](FakeFileSystem& fs) { fs.files.erase(kPath); }, save},
      {"first save, folders created", [](FakeFileSystem& fs) { fs.folders.clear(); }, nothing, save},
      {"append after an outside edit", withFile(fileOf("r", {a})),
       [&](FakeFileSystem& fs) { fs.Edit(kPath, fileOf("r", {a, b})); }, save},
      {"append several", withFile(fileOf("r", {b, a})), nothing, saveSeveral},
      {"append several into an empty file", withFile(""), nothing, saveSeveral},
      {"append several after the file vanished", withFile(fileOf("r", {a})),
       [](FakeFileSystem& fs) { fs.files.erase(kPath); }, saveSeveral},
      {"append several after an outside edit", withFile(fileOf("r", {b})),
       [&](FakeFileSystem& fs) { fs.Edit(kPath, fileOf("r", {b, a})); }, saveSeveral},
      {"delete", withFile(fileOf("r", many)), nothing, removeFirst},
      {"delete after an outside edit", withFile(fileOf("r", {a, b})),
       [&](FakeFileSystem& fs) { fs.Edit(kPath, fileOf("r", {b, a, added})); }, removeFirst},
  };
  for (const Scenario& scenario : scenarios) {
    // A run without failure counts the steps of the write.
    std::size_t steps = 0;
    std::optional<std::string> expected;
    {
      FakeFileSystem clean;
      clean.folders.insert(kFolder);
      scenario.before(clean);
      EventList store{EventFile{kPath, clean}};
      ASSERT_TRUE(store.LoadEvents().ok()) << scenario.what;
      scenario.between(clean);
      clean.trace.clear();
      const StoreResult r = scenario.write(store);
      ASSERT_TRUE(r.ok()) << scenario.what << ": " << r.error;
      steps = clean.trace.size();
      expected = clean.files.at(kPath);
    }
    int failed = 0;
    for (std::size_t step = 0; step < steps; ++step) {
      SCOPED_TRACE(scenario.what + ", step " + std::to_string(step));
      FakeFileSystem faulty;
      faulty.folders.insert(kFolder);
      scenario.before(faulty);
      EventList store{EventFile{kPath, faulty}};
      ASSERT_TRUE(store.LoadEvents().ok());
      scenario.between(faulty);
      const auto fileBefore = faulty.files.count(kPath) ? std::optional(faulty.files.at(kPath)) : std::nullopt;
      const std::vector<std::string> storeBefore = Lines(store);
      const std::string message = "I/O error " + std::to_string(1000 + step);
      faulty.trace.clear();
      faulty.FailStep(step, message);
      const StoreResult r = scenario.write(store);
      const Op failedOp = faulty.trace.at(step);
      if (r.ok()) {
        // Only tidying may fail unnoticed: the stamp after the write, the
        // note cleared, a leftover temporary file.
        EXPECT_TRUE(failedOp == Op::kStat || failedOp == Op::kWriteNote || failedOp == Op::kRemove)
            << static_cast<int>(failedOp);
        EXPECT_EQ(faulty.files.at(kPath), *expected);
        EXPECT_EQ(Lines(store), LinesOfFile(faulty, kPath));
        continue;
      }
      ++failed;
      // A fault of the lock file names it.
      const bool ofTheLock = failedOp == Op::kLock || failedOp == Op::kReadNote || failedOp == Op::kWriteNote;
      EXPECT_EQ(r.error, ofTheLock ? message + ": Redoviri.ini.lock" : message);
      const auto fileAfter = faulty.files.count(kPath) ? std::optional(faulty.files.at(kPath)) : std::nullopt;
      EXPECT_EQ(fileAfter, fileBefore);
      if (!fileAfter || Lines(store) == storeBefore) {
        // Still what it held: a reload that failed, or no change needed.
      } else {
        EXPECT_EQ(Lines(store), LinesOfFile(faulty, kPath));
      }
      if (!fileAfter) {
        EXPECT_EQ(Lines(store), storeBefore);
      }
      // The same write goes through now, and leaves nothing behind.
      const StoreResult again = scenario.write(store);
      ASSERT_TRUE(again.ok()) << again.error;
      EXPECT_EQ(faulty.files.at(kPath), *expected);
      EXPECT_EQ(Lines(store), LinesOfFile(faulty, kPath));
      EXPECT_FALSE(faulty.files.count(kPath + ".new"));
      EXPECT_EQ(faulty.notes[kPath + ".lock"], "");
    }
    EXPECT_GT(failed, static_cast<int>(steps) / 2) << scenario.what;
  }
}

TEST_F(EventListTest, FullDiskAndReadOnlyFileKeepTheOldFile) {
  std::vector<std::string> many;
  std::string bytes = "r\r\n";
  for (int i = 0; i < 100; ++i) bytes += Line("05051990", "event " + std::to_string(i)) + "\r\n";
  struct Case {
    const char* what;
    std::function<void(FakeFileSystem&)> harm;
    std::function<void(FakeFileSystem&)> heal;
    std::string message;
  };
  const Case cases[] = {
      {"full disk", [](FakeFileSystem& fs) { fs.freeBytes = 50; }, [](FakeFileSystem& fs) { fs.freeBytes.reset(); },
       "Disk full"},
      {"read-only file", [](FakeFileSystem& fs) { fs.readOnly.insert(kPath); },
       [](FakeFileSystem& fs) { fs.readOnly.clear(); }, "File access denied"},
  };
  for (const Case& k : cases) {
    for (bool append : {true, false}) {
      SCOPED_TRACE(std::string(k.what) + (append ? ", save" : ", delete"));
      Load(bytes);
      k.harm(fs);
      const auto write = [&] { return append ? list.AppendEvent(Line("01011990", "new")) : list.RemoveEvent(0); };
      EXPECT_EQ(write().error, k.message);
      EXPECT_EQ(fs.files[kPath], bytes);
      EXPECT_EQ(list.EventCount(), 100);
      EXPECT_FALSE(fs.files.count(kPath + ".new"));
      k.heal(fs);
      ASSERT_TRUE(write().ok());
      EXPECT_EQ(LinesOfFile(fs, kPath), Lines(list));
      EXPECT_EQ(list.EventCount(), append ? 101 : 99);
    }
  }
}

TEST_F(EventListTest, HalfDoneAppendIsCutBackByTheNextHolderOfTheLock) {
  // The append fails and so does cutting it back (or the writer was
  // killed): the note left with the lock lets the next reader or writer
  // finish the job.
  const std::string a = Line("01011990", "a");
  const std::string whole = "r\r\n" + a + "\r\n";
  for (bool nextIsWrite : {false, true}) {
    SCOPED_TRACE(nextIsWrite ? "next is a save" : "next is a load");
    Load(whole);
    fs.FailNext(Op::kWrite, "I/O error 1117");
    fs.FailNext(Op::kTruncate, "I/O error 1117");
    EXPECT_FALSE(list.AppendEvent(Line("02021990", "b")).ok());
    ASSERT_GT(fs.files[kPath].size(), whole.size());  // torn
    ASSERT_NE(fs.notes[kPath + ".lock"], "");
    EventList next{EventFile{kPath, fs}};
    if (nextIsWrite) {
      ASSERT_TRUE(list.AppendEvent(Line("03031990", "c")).ok());
      EXPECT_EQ(fs.files[kPath], whole + Line("03031990", "c") + "\r\n");
    } else {
      ASSERT_TRUE(next.LoadEvents().ok());
      EXPECT_EQ(fs.files[kPath], whole);
      EXPECT_EQ(Lines(next), std::vector<std::string>{a});
    }
    EXPECT_EQ(fs.notes[kPath + ".lock"], "");
  }
}

TEST_F(EventListTest, StaleAppendNoteNeverCutsAnotherWritersBytes) {
  // A writer killed around its append leaves its note; before the next
  // holder of the lock reads it, the file may have been written by others
  // (an editor, an older tool). Only the noted writer's own bytes are cut.
  const std::string a = Line("01011990", "a");
  const std::string whole = "r\r\n" + a + "\r\n";
  const std::string mine = Line("02021990", "mine") + "\r\n";
  const std::string theirs = Line("03031990", "theirs") + "\r\n";
  const auto noteOf = [&](std::size_t oldSize, const std::string& bytes) {
    return "append " + std::to_string(oldSize) + " " + std::to_string(oldSize + bytes.size()) + "\n" + bytes;
  };
  struct Case {
    const char* what;
    std::string note;
    std::string fileThen;
    std::string fileAfter;
  } cases[] = {
      {"half of mine stands", noteOf(whole.size(), mine), whole + mine.substr(0, 40), whole},
      {"mine never began, a shorter outside line followed", noteOf(whole.size(), mine + mine),
       whole + theirs, whole + theirs},
      {"mine never began, an outside line of the same length", noteOf(whole.size(), mine), whole + theirs,
       whole + theirs},
      {"half of mine, then an outside line", noteOf(whole.size(), mine + mine + mine),
       whole + mine.substr(0, 40) + theirs, whole + mine.substr(0, 40) + theirs},
      {"all of mine stands", noteOf(whole.size(), mine), whole + mine, whole + mine},
      {"an older note without the bytes", "append " + std::to_string(whole.size()) + " 999",
       whole + theirs, whole + theirs},
      {"sizes that no longer fit", "append 1 2\nx", whole, whole},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs.files[kPath] = c.fileThen;
    fs.notes[kPath + ".lock"] = c.note;
    EventList next{EventFile{kPath, fs}};
    ASSERT_TRUE(next.LoadEvents().ok());
    EXPECT_EQ(fs.files[kPath], c.fileAfter);
    EXPECT_EQ(fs.notes[kPath + ".lock"], "");
  }
}

}  // namespace
}  // namespace redoviri

namespace redoviri {
namespace {

TEST_F(EventListTest, AppendEventsSkipsDuplicatesAndWritesOnce) {
  const std::string a = Line("01011990", "a"), b = Line("02021990", "b"), c = Line("03031990", "c");
  Load("r\r\n" + a + "\r\n");
  fs.trace.clear();
  std::vector<bool> added;
  const StoreResult r = list.AppendEvents({c, a.substr(0, 60), b, c}, added);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(added, (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(fs.appended, std::vector<std::string>{c + "\r\n" + b + "\r\n"});  // one write, in the order given
  EXPECT_EQ(std::count(fs.trace.begin(), fs.trace.end(), Op::kLock), 1);
  EXPECT_EQ(fs.files[kPath], "r\r\n" + a + "\r\n" + c + "\r\n" + b + "\r\n");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{a, b, c}));

  // Nothing new: nothing written.
  fs.appended.clear();
  ASSERT_TRUE(list.AppendEvents({b, c}, added).ok());
  EXPECT_EQ(added, (std::vector<bool>{false, false}));
  EXPECT_TRUE(fs.appended.empty());
}

TEST_F(EventListTest, AppendEventsKeepsAnOutsideEditAndTestsAgainstIt) {
  const std::string a = Line("01011990", "a"), b = Line("02021990", "b"), x = Line("09091990", "x");
  Load("r\r\n" + a + "\r\n");
  fs.Edit(kPath, "r\r\n" + a + "\r\n" + x + "\r\n");  // another program added x meanwhile
  std::vector<bool> added;
  const StoreResult r = list.AppendEvents({x, b}, added);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_TRUE(r.reloaded);
  EXPECT_EQ(added, (std::vector<bool>{false, true}));
  EXPECT_EQ(fs.files[kPath], "r\r\n" + a + "\r\n" + x + "\r\n" + b + "\r\n");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{a, b, x}));
}

TEST_F(EventListTest, AppendEventsIsRefusedWhole) {
  const std::string a = Line("01011990", "a"), b = Line("02021990", "b");
  Load("r\r\n" + a + "\r\n");
  const std::string before = fs.files[kPath];
  std::vector<bool> added;
  // A line the file could not give back spoils the whole call.
  StoreResult r = list.AppendEvents({b, "two\r\nlines"}, added);
  EXPECT_TRUE(r.refused);
  // The lock held by another writer.
  fs.heldLocks.insert(kPath + ".lock");
  r = list.AppendEvents({b}, added);
  EXPECT_EQ(r.error, "I/O error 33");
  fs.heldLocks.clear();
  // A write that fails half way.
  fs.FailNext(Op::kWrite, "I/O error 1117");
  r = list.AppendEvents({b, Line("03031990", "c")}, added);
  EXPECT_EQ(r.error, "I/O error 1117");
  EXPECT_EQ(added, (std::vector<bool>{false, false}));
  EXPECT_EQ(fs.files[kPath], before);
  EXPECT_EQ(Lines(list), std::vector<std::string>{a});
}

// The store of a file costs a few times the file's size whatever the shape
// of its lines; before, each line cost a string and its heap block, some
// sixty bytes for a one-letter line.
TEST_F(EventListTest, MemoryIsASmallMultipleOfTheFileWhateverItsLines) {
  struct Shape {
    const char* what;
    std::string line;  // with its line end
    double bound;      // memory per file byte
  };
  const Shape kShapes[] = {
      {"one letter, LF", "x\n", 5.0},
      {"one letter, CR LF", "y\r\n", 4.0},
      {"a date alone", "01012024\n", 4.0},
      {"event lines", Line("01011990", "a") + "\r\n", 1.5},
  };
  for (const Shape& shape : kShapes) {
    std::string bytes = "r\r\n";
    while (bytes.size() < 2'000'000) bytes += shape.line;
    Load(bytes);
    const double perByte = static_cast<double>(list.MemoryBytes()) / static_cast<double>(bytes.size());
    EXPECT_LE(perByte, shape.bound) << shape.what;
    EXPECT_EQ(list.EventCount(), static_cast<int>((bytes.size() - 3) / shape.line.size())) << shape.what;
  }
}

TEST_F(EventListTest, FileLargerThanTheStoreHoldsIsRefusedAndNeverWritten) {
  const std::string a = Line("01011990", "a"), b = Line("02021990", "b");
  // Lines of a thousand bytes: the size counts, not their number.
  std::string longLine(998, 'q');
  std::string bytes = "r\r\n" + a + "\r\n";
  while (bytes.size() + 1000 <= static_cast<std::size_t>(EventList::kLargestFileBytes)) bytes += longLine + "\r\n";
  bytes.resize(static_cast<std::size_t>(EventList::kLargestFileBytes), 'q');
  Load(bytes);  // just the largest size
  // One line more would make it larger.
  StoreResult r = list.AppendEvent(b);
  EXPECT_TRUE(r.refused);
  EXPECT_EQ(r.error, EventList::kWouldBeTooLarge);
  EXPECT_EQ(fs.files[kPath].size(), bytes.size());

  fs.Edit(kPath, bytes + "\r\n");
  r = list.LoadEvents();
  EXPECT_EQ(r.error, EventList::kFileTooLarge);
  EXPECT_FALSE(list.Loaded());
  r = list.AppendEvent(b);
  EXPECT_EQ(r.error, EventList::kFileTooLarge);
  ASSERT_TRUE(list.RemoveEvent(0).error == EventList::kFileTooLarge);
  EXPECT_EQ(fs.files[kPath], bytes + "\r\n");
}

// A delete writes CR LF line ends, so a file of LF ones may grow past the
// limit: refused, the file kept; a rewrite of just the limit goes through.
TEST_F(EventListTest, DeleteThatWouldGrowTheFilePastTheLimitIsRefused) {
  const std::string a = Line("01011990", "a");
  for (const std::int64_t rewrite : {EventList::kLargestFileBytes + 1, EventList::kLargestFileBytes}) {
    // "r", `a`, lines of 998 bytes and a last one, LF ended: `rewrite` bytes
    // with CR LF ends and without `a`.
    std::string file = "r\n" + a + "\n";
    std::int64_t rest = rewrite - 3;
    for (; rest > 3000; rest -= 1000) file += std::string(998, 'q') + "\n";
    file += std::string(static_cast<std::size_t>(rest - 2), 'z') + "\n";
    Load(file);
    const bool fits = rewrite <= EventList::kLargestFileBytes;
    const StoreResult r = list.RemoveEvent(list.FindEventLine(a));
    EXPECT_EQ(r.error, fits ? "" : EventList::kWouldBeTooLarge);
    EXPECT_EQ(list.FindEventLine(a) < 0, fits);
    EXPECT_TRUE(fits ? fs.files[kPath].size() == static_cast<std::size_t>(rewrite) : fs.files[kPath] == file);
  }
}

// A read that finds no memory fails the load or the change with a message:
// nothing is written, the store keeps what it held, and the program goes on.
TEST_F(EventListTest, NoMemoryForTheFileFailsWithAMessageAndChangesNothing) {
  const std::string a = Line("01011990", "a"), b = Line("02021990", "b"), c = Line("03031990", "c");
  fs.files[kPath] = "r\r\n" + a + "\r\n";
  fs.readsWithoutMemory = 1;
  StoreResult r = list.LoadEvents();
  EXPECT_EQ(r.error, EventList::kOutOfMemory);
  EXPECT_FALSE(list.Loaded());
  EXPECT_EQ(list.EventCount(), 0);

  ASSERT_TRUE(list.LoadEvents().ok());
  fs.Edit(kPath, "r\r\n" + a + "\r\n" + b + "\r\n");  // the save must load it again
  const std::string before = fs.files[kPath];
  fs.readsWithoutMemory = 1;
  r = list.AppendEvent(c);
  EXPECT_EQ(r.error, EventList::kOutOfMemory);
  EXPECT_TRUE(r.reloaded);
  EXPECT_EQ(fs.files[kPath], before);
  EXPECT_EQ(Lines(list), std::vector<std::string>{a});
  EXPECT_TRUE(fs.heldLocks.empty());

  r = list.AppendEvent(c);  // memory again: the edit is kept
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(Lines(list), (std::vector<std::string>{a, b, c}));
}

// The duplicate test of many lines at once agrees with FindEventLine over
// lines that differ only past the first sixteen characters, in their case,
// in trailing blanks, or past 110 characters.
TEST_F(EventListTest, NewLinesAgreeWithFindEventLine) {
  std::mt19937 rng(5);
  const auto any = [&] {
    static const std::string kStarts[] = {"01011990;00:00;2", "01011990;00:00;3", "x", ""};
    std::string line = kStarts[rng() % 4];
    const std::size_t more = rng() % 4 == 0 ? 100 + rng() % 20 : rng() % 8;
    static const char kLetters[] = "aA ";
    while (line.size() < more) line += kLetters[rng() % 3];
    return line.empty() || line.back() == ' ' ? line + "z" : line;
  };
  std::string bytes = "r\r\n";
  for (int i = 0; i < 300; ++i) bytes += any() + (rng() % 3 == 0 ? std::string("   ") : std::string()) + "\r\n";
  Load(bytes);
  std::vector<std::string> lines;
  for (int i = 0; i < 300; ++i) lines.push_back(any());
  std::vector<bool> expected;
  std::vector<std::string> earlier;
  for (const std::string& l : lines) {
    const auto padded = [](std::string t) {
      if (t.size() < 110) t.resize(110, ' ');
      return t;
    };
    const bool twin = std::any_of(earlier.begin(), earlier.end(), [&](const std::string& e) { return padded(e) == padded(l); });
    expected.push_back(list.FindEventLine(l) < 0 && !twin);
    earlier.push_back(l);
  }
  EXPECT_EQ(list.NewLines(lines), expected);
  EXPECT_GT(std::count(expected.begin(), expected.end(), false), 20);
  EXPECT_GT(std::count(expected.begin(), expected.end(), true), 20);
}

// Writers that take no lock: an editor saving in place while the store
// writes, a lock file removed under its holder, a killed append's note
// meeting an editor's save of its line. The store never replaces the file
// with less than it holds, except the line it removes.
TEST_F(EventListTest, WritersThatTakeNoLockLoseNothing) {
  const std::string a = Line("01011990", "a"), b = Line("02021990", "b"), c = Line("03031990", "c"),
                    d = Line("04041990", "d"), x = Line("05051990", "x");
  const auto fileOf = [](std::vector<std::string> lines) {
    std::string bytes = "r\r\n";
    for (const std::string& l : lines) bytes += l + "\r\n";
    return bytes;
  };
  const std::string full = fileOf({a, b, c, d});
  const std::string lock = kPath + ".lock";
  using Hook = std::function<void(FakeFileSystem&)>;
  struct Case {
    const char* what;
    Hook before;  // after the load, before the write
    Hook atRead;    // at each read of the file (another program still writing it)
    Hook atCreate;  // when the temporary file of a rewrite is made
    Hook atWritten;  // once the temporary file is written
    bool remove;    // else add x
    std::vector<std::string> want;  // the file's events after; empty: refused, the file as the editor left it
  };
  // The editor writes the file in four pieces, one more while the store
  // reads it each time, then stops.
  int pieces = 0;
  const Hook editorStarts = [&](FakeFileSystem& f) {
    pieces = 1;
    f.Edit(kPath, full.substr(0, 40));
  };
  const Hook editorWritesOn = [&](FakeFileSystem& f) {
    if (pieces == 4) return;
    ++pieces;
    f.Edit(kPath, full.substr(0, full.size() * static_cast<std::size_t>(pieces) / 4));
  };
  const Hook editorNeverStops = [&](FakeFileSystem& f) { f.Edit(kPath, full.substr(0, 40 + pieces++ % 7)); };
  const Hook editorSavesAll = [&](FakeFileSystem& f) { f.Edit(kPath, full); };
  const Hook otherWriterTakesTheNewLock = [&](FakeFileSystem& f) {
    f.RemoveLockFile(lock);
    EventList other{EventFile{kPath, f}};
    ASSERT_TRUE(other.LoadEvents().ok());
    ASSERT_TRUE(other.AppendEvent(d).ok());
  };
  // A writer whose lock file was removed under it writes its own temporary
  // file in place of the store's before the replace.
  const Hook otherWriterTakesTheTemporaryFile = [&](FakeFileSystem& f) {
    f.RemoveLockFile(lock);
    f.Edit(kPath + ".new", fileOf({a}));
  };
  const Hook none = nullptr;
  const Case cases[] = {
      {"an editor writing the file in place while a delete reads it", editorStarts, editorWritesOn, none, none, true,
       {b, c, d}},
      {"the same while an add reads it", editorStarts, editorWritesOn, none, none, false, {a, b, c, d, x}},
      {"an editor that does not stop: refused, nothing written", editorStarts, editorNeverStops, none, none, true, {}},
      {"an editor saving while the delete writes its temporary file", none, none, editorSavesAll, none, true, {b, c, d}},
      {"the lock file removed and another writer done meanwhile", none, none, otherWriterTakesTheNewLock, none, true,
       {b, c, d}},
      {"another writer's temporary file in place of the store's: never renamed, the delete done anew", none,
       none, none, otherWriterTakesTheTemporaryFile, true, {b, c}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    FakeFileSystem f;
    f.folders.insert(kFolder);
    f.files[kPath] = fileOf({a, b, c});
    EventList store{EventFile{kPath, f}};
    ASSERT_TRUE(store.LoadEvents().ok());
    f.nowNs = 10'000'000'000;
    if (k.before) k.before(f);
    std::function<void()> readsOn = [&] {
      f.afterNextRead = [&] {
        k.atRead(f);
        readsOn();
      };
    };
    if (k.atRead) readsOn();
    if (k.atCreate) f.onNextCreate = [&] { k.atCreate(f); };
    if (k.atWritten) f.afterNextStatOf[kPath + ".new"] = [&] { k.atWritten(f); };
    const std::string editorLeft = f.files[kPath];
    const StoreResult r = k.remove ? store.RemoveEvent(store.FindEventLine(a)) : store.AppendEvent(x);
    f.afterNextRead = nullptr;
    if (k.want.empty()) {
      EXPECT_EQ(r.error, EventList::kFileChanging);
      EXPECT_TRUE(r.refused);
      EXPECT_LE(f.pausedMs, EventList::kSettleWaitMs);
      EXPECT_EQ(f.files[kPath].substr(0, 40), full.substr(0, 40)) << "the editor's bytes stay";
      EXPECT_FALSE(f.files.count(kPath + ".new"));
      continue;
    }
    ASSERT_TRUE(r.ok()) << r.error;
    std::vector<std::string> want = k.want;
    std::sort(want.begin(), want.end(), LessIgnoringCase);
    std::vector<std::string> inFile = LinesOfFile(f, kPath);
    std::sort(inFile.begin(), inFile.end(), LessIgnoringCase);
    EXPECT_EQ(inFile, want);
    EXPECT_EQ(Lines(store), want);
    EXPECT_TRUE(f.heldLocks.empty()) << "the lock taken anew is given back";
  }
}

// A killed append leaves its note; an editor later saves the finished line
// without its line end or with its trailing blanks stripped. The note's
// time tells that the file changed long after the append: nothing is cut.
TEST_F(EventListTest, AStaleAppendNoteNeverCutsAnEditorsLaterSave) {
  const std::string a = Line("01011990", "a"), x = Line("05051990", "x"), z = Line("06061990", "z");
  const std::string old = "r\r\n" + a + "\r\n";
  const std::string appended = x + "\r\n";
  const std::string note = "append " + std::to_string(old.size()) + " " +
                           std::to_string(old.size() + appended.size()) + " 1000000000\n" + appended;
  struct Case {
    const char* what;
    std::string file;
    std::int64_t changedAtNs;
    bool cut;
  };
  const std::string stripped = x.substr(0, x.find_last_not_of(' ') + 1);
  const Case cases[] = {
      {"killed half way: cut back", old + appended.substr(0, 50), 1'000'000'000, true},
      {"an editor's save without the last line end", old + x, 900'000'000'000, false},
      {"an editor's save of the line stripped, without its line end", old + stripped, 900'000'000'000, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    FakeFileSystem f;
    f.folders.insert(kFolder);
    f.nowNs = k.changedAtNs;
    f.Edit(kPath, k.file);
    f.notes[kPath + ".lock"] = note;
    f.nowNs += 1'000'000'000'000;
    EventList store{EventFile{kPath, f}};
    ASSERT_TRUE(store.LoadEvents().ok());
    ASSERT_TRUE(store.AppendEvent(z).ok());
    const std::vector<std::string> inFile = LinesOfFile(f, kPath);
    const bool hasX = std::any_of(inFile.begin(), inFile.end(),
                                  [&](const std::string& l) { return l.rfind(stripped, 0) == 0; });
    EXPECT_EQ(hasX, !k.cut);
    EXPECT_EQ(inFile.size(), k.cut ? 2u : 3u);
    EXPECT_EQ(f.notes[kPath + ".lock"], "");
  }
}

}  // namespace
}  // namespace redoviri
