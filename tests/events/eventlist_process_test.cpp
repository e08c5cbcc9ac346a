// The event store across processes on a real disk (POSIX): two writers at
// once, and writers killed at random moments.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <thread>

#include "events/eventlist.h"
#include "support/disk_files.h"

namespace redoviri {
namespace {

namespace fsys = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string Line(int writer, int n, const std::string& what) {
  char date[16];
  std::snprintf(date, sizeof date, "%02d%02d19%02d", 1 + n % 12, 1 + n % 28, n % 100);
  return test::RawEventLine(std::string(date) + ";09:00;" + std::to_string(1 + writer % 6) + ";Y;N;N;N;000;",
                            what + " " + std::to_string(writer) + "/" + std::to_string(n));
}

class EventListProcessTest : public ::testing::Test {
 protected:
  static void WriteBytes(const std::string& file, const std::string& bytes) { test::WriteBytes(file, bytes); }
  static std::string ReadBytes(const std::string& file) { return test::ReadBytes(file); }
  // Runs `work` in a child process; its exit status says whether it did.
  template <class Work>
  static pid_t Start(Work work) {
    const pid_t pid = ::fork();
    if (pid == 0) _exit(work() ? 0 : 1);
    return pid;
  }
  static bool Finished(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

  test::TestFolder dir{"redoviri_process_"};
  std::unique_ptr<FileSystem> system = MakeSystemFileSystem();
  fsys::path folder = dir.Path();
  std::string path = (folder / "Redoviri.ini").string();
};

// Two long-lived stores in two processes (the tray program and a second
// copy, or the tool) save 100 events each at the same time, and now and then
// save and delete a scratch event, which rewrites the file from the store.
TEST_F(EventListProcessTest, TwoWritersKeepEachOthersEvents) {
  WriteBytes(path, "r\r\n");
  constexpr int kEach = 100;
  const auto writer = [&](int w) {
    return [&, w] {
      EventList list{EventFile{path, *system}};
      if (!list.LoadEvents().ok()) return false;
      for (int n = 0; n < kEach; ++n) {
        if (!list.AppendEvent(Line(w, n, "keep")).ok()) return false;
        if (n % 5 == 0) {
          const std::string scratch = Line(w, n, "scratch");
          if (!list.AppendEvent(scratch).ok()) return false;
          if (!list.RemoveEvent(list.FindEventLine(scratch)).ok()) return false;
        }
      }
      return true;
    };
  };
  const pid_t first = Start(writer(1));
  const pid_t second = Start(writer(2));
  EXPECT_TRUE(Finished(first));
  EXPECT_TRUE(Finished(second));

  std::multiset<std::string> want;
  for (int w : {1, 2})
    for (int n = 0; n < kEach; ++n) want.insert(Line(w, n, "keep"));
  const std::string bytes = ReadBytes(path);
  const EventFileLines content = SplitEventFile(bytes);
  const std::multiset<std::string> got(content.eventLines.begin(), content.eventLines.end());
  EXPECT_EQ(got.size(), 2u * kEach);
  EXPECT_TRUE(got == want);
  EXPECT_EQ(content.reservedLine, "r");
}

// An editor saves 40,000 events in place (it empties the file and writes it
// back in 4 KB pieces over some 140 ms, as a stdio editor or a slow network
// disk does) while a store deletes an event or adds one. The store never
// puts less in the file than the editor wrote, except the line it removes,
// and an add keeps its own line (or is refused, writing nothing).
TEST_F(EventListProcessTest, AnEditorSavingInPlaceLosesNothingToADeleteOrAnAdd) {
  constexpr int kEvents = 40000;
  std::string whole = "r\r\n";
  for (int n = 0; n < kEvents; ++n) whole += Line(1, n, "edited") + "\r\n";
  std::string original = "r\r\n";
  for (int n = 0; n < kEvents; ++n) original += Line(1, n, "first") + "\r\n";
  for (const bool remove : {true, false}) {
    for (int round = 0; round < 6; ++round) {
      SCOPED_TRACE(std::string(remove ? "delete" : "add") + ", round " + std::to_string(round));
      WriteBytes(path, original);
      EventList list{EventFile{path, *system}};
      ASSERT_TRUE(list.LoadEvents().ok());
      const std::string doomed = Line(1, 7, "first"), mine = Line(2, round, "mine");
      const pid_t editor = Start([&] {
        std::FILE* f = std::fopen(path.c_str(), "r+b");
        if (f == nullptr || ::ftruncate(::fileno(f), 0) != 0) return false;
        constexpr std::size_t kPiece = 4096;
        const std::size_t pieces = (whole.size() + kPiece - 1) / kPiece;
        for (std::size_t i = 0; i < pieces; ++i) {
          const std::string_view piece = std::string_view(whole).substr(i * kPiece, kPiece);
          if (std::fwrite(piece.data(), 1, piece.size(), f) != piece.size() || std::fflush(f) != 0) return false;
          std::this_thread::sleep_for(std::chrono::microseconds(140'000 / pieces));
        }
        return std::fclose(f) == 0;
      });
      // The store's write lands somewhere in the editor's save.
      std::this_thread::sleep_for(std::chrono::milliseconds(10 + 20 * round));
      const StoreResult r = remove ? list.RemoveEvent(list.FindEventLine(doomed)) : list.AppendEvent(mine);
      ASSERT_TRUE(Finished(editor));
      const std::string bytes = ReadBytes(path);
      const EventFileLines content = SplitEventFile(bytes);
      const std::set<std::string> got(content.eventLines.begin(), content.eventLines.end());
      // What the editor wrote is all there: the delete's line was the
      // first version's, gone with the editor's save (refused, or the file
      // kept whole).
      int edited = 0;
      for (int n = 0; n < kEvents; ++n) edited += got.count(Line(1, n, "edited")) ? 1 : 0;
      if (r.ok() || !r.refused || r.error != EventList::kFileChanging) {
        // A write that went through came before the editor's or after it.
        EXPECT_TRUE(edited == kEvents || got.count(Line(1, 0, "first"))) << r.error;
      }
      EXPECT_TRUE(edited == kEvents || edited == 0) << edited << " of the editor's lines; " << r.error;
      if (edited == kEvents && !remove && r.ok()) {
        EXPECT_EQ(got.count(mine) + got.size(), kEvents + 2u) << "the added line, once, beside the editor's";
      }
    }
  }
}

// A writer killed at a random moment of its write leaves the file exactly
// as it was or exactly as it would have been, never a mix, a torn line or
// an empty file. A torn append is cut back by the next holder of the lock;
// a leftover temporary file is removed by the next write.
TEST_F(EventListProcessTest, KilledWriterLeavesOldOrNewContent) {
  constexpr int kEvents = 10000;
  constexpr int kRounds = 100;  // per kind of write
  std::string bytes = "reserved\r\n";
  for (int n = 0; n < kEvents; ++n) bytes += Line(0, n, "event") + "\r\n";
  WriteBytes(path, bytes);
  std::mt19937 rng(20030510);

  for (bool append : {true, false}) {
    SCOPED_TRACE(append ? "append" : "rewrite");
    // How long a write takes here, from the moment the child is ready.
    Clock::duration writeTime{};
    int oldSeen = 0, newSeen = 0, leftovers = 0;
    // Three rounds are not killed: the quickest of them measures the write.
    constexpr int kMeasured = 3;
    writeTime = Clock::duration::max();
    for (int round = -kMeasured; round < kRounds; ++round) {
      const std::string before = ReadBytes(path);
      EventList mine{EventFile{path, *system}};
      ASSERT_TRUE(mine.LoadEvents().ok());
      const int index = static_cast<int>(rng() % static_cast<unsigned>(mine.EventCount() - 1));
      const std::string added = Line(append ? 1 : 2, round + 1000, "added");
      // Rewrites take turns: a delete, a replace by the added line, and two
      // lines replaced by it (a series split taken back).
      const int turn = (round + kMeasured) % 3;
      const bool replace = !append && turn != 0;
      const bool joined = !append && turn == 2;
      // What the file holds once the write is done.
      std::string after;
      if (append) {
        after = before + added + "\r\n";
      } else {
        after = mine.ReservedLine() + "\r\n";
        for (int i = 0; i < mine.EventCount(); ++i) {
          if (i != index && !(joined && i == index + 1)) after += mine.EventLineAt(i) + "\r\n";
          if (i == index && replace) after += added + "\r\n";
        }
      }
      int ready[2];
      ASSERT_EQ(::pipe(ready), 0);
      const pid_t child = Start([&] {
        EventList list{EventFile{path, *system}};
        if (!list.LoadEvents().ok()) return false;
        const char go = 'g';
        if (::write(ready[1], &go, 1) != 1) return false;
        const std::vector<std::string> olds = {list.EventLineAt(index), list.EventLineAt(index + 1)};
        return (append    ? list.AppendEvent(added)
                : joined  ? list.ReplaceEvents(olds, {added})
                : replace ? list.ReplaceEvent(index, added)
                          : list.RemoveEvent(index))
            .ok();
      });
      char go = 0;
      ASSERT_EQ(::read(ready[0], &go, 1), 1);
      const Clock::time_point start = Clock::now();
      ::close(ready[0]);
      ::close(ready[1]);
      if (round < 0) {
        // The first rounds are not killed: they measure the write.
        ASSERT_TRUE(Finished(child));
        writeTime = std::min(writeTime, Clock::now() - start);
        ASSERT_EQ(ReadBytes(path), after);
        continue;
      }
      std::uniform_int_distribution<long long> delay(0, std::chrono::duration_cast<std::chrono::microseconds>(
                                                             writeTime * 3 / 2).count());
      std::this_thread::sleep_until(start + std::chrono::microseconds(delay(rng)));
      ::kill(child, SIGKILL);
      int status = 0;
      ::waitpid(child, &status, 0);

      if (fsys::exists(path + ".new")) ++leftovers;
      if (append) {
        // The next holder of the lock puts a half-done append right.
        EventList next{EventFile{path, *system}};
        ASSERT_TRUE(next.LoadEvents().ok());
      }
      const std::string now = ReadBytes(path);
      ASSERT_TRUE(now == before || now == after) << "round " << round << ": " << now.size() << " bytes, "
                                                  << before.size() << " before, " << after.size() << " after";
      (now == before ? oldSeen : newSeen)++;
    }
    // The kills fell before and after the file changed.
    EXPECT_GT(oldSeen, 0);
    EXPECT_GT(newSeen, 0);
    // The next write cleans up after the killed ones.
    EventList last{EventFile{path, *system}};
    ASSERT_TRUE(last.LoadEvents().ok());
    ASSERT_TRUE(last.RemoveEvent(0).ok());
    EXPECT_FALSE(fsys::exists(path + ".new"));
    std::printf("%s: %d old, %d new, %d temporary files left, write %.1f ms\n", append ? "append" : "rewrite",
                oldSeen, newSeen, leftovers, std::chrono::duration<double, std::milli>(writeTime).count());
  }
}

}  // namespace
}  // namespace redoviri
