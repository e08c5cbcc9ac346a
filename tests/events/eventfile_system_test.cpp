// The platform's file operations on a real disk: natively the POSIX ones,
// under Wine the Win32 ones (the same tests run in both builds).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <thread>
#include <tuple>

#include "events/eventfile.h"
#include "events/eventlist.h"
#include "support/disk_files.h"
#include "support/store_wait.h"

#ifdef _WIN32
#include <windows.h>

#include <cstring>

#include "events/eventfile_win.h"
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#endif

namespace redoviri {
namespace {

namespace fsys = std::filesystem;

std::string Line(const std::string& mmddyyyy, const std::string& name) {
  return test::RawEventLine(mmddyyyy + ";09:00;3;N;Y;N;N;000;", name);
}

class EventFileSystemTest : public ::testing::Test {
 protected:
  static void MakeReadOnly(const std::string& file) { test::MakeReadOnly(file); }
  static void MakeWritable(const std::string& file) { test::MakeWritable(file); }
  static void WriteBytes(const std::string& file, const std::string& bytes) { test::WriteBytes(file, bytes); }
  static std::string ReadBytes(const std::string& file) { return test::ReadBytes(file); }

  // Names of the entries of the test folder, sorted.
  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& e : fsys::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // The event file and its lock file, nothing else.
  static std::vector<std::string> JustTheFile() { return {"Redoviri.ini", "Redoviri.ini.lock"}; }

  test::TestFolder dir{"redoviri_events_"};
  // A lock held elsewhere is waited for 0.6 s here, not the program's
  // seconds: the tests that find it held wait that long.
  std::unique_ptr<FileSystem> system = MakeSystemFileSystem(600);
  fsys::path folder = dir.Path();
  std::string path = (folder / "Redoviri.ini").string();
};

TEST_F(EventFileSystemTest, LoadAppendRemoveReloadRoundTrip) {
  const std::string a = Line("01011990", "a \xE9\xFF");
  const std::string b = Line("02021990", "b") + "   ";  // trailing blanks beyond 110 are kept
  const std::string c = Line("03031990", "c");
  WriteBytes(path, "Redoviri\xAE events\r\n" + c + "\r\n\r\n" + a + "\r\n   \r\n" + b + "\r\n");

  EventList list{EventFile{path, *system}};
  ASSERT_TRUE(list.LoadEvents().ok());
  ASSERT_EQ(list.EventCount(), 3);

  const std::string d = Line("01151990", "d");
  ASSERT_TRUE(list.AppendEvent(d).ok());
  EXPECT_EQ(ReadBytes(path), "Redoviri\xAE events\r\n" + c + "\r\n\r\n" + a + "\r\n   \r\n" + b + "\r\n" + d + "\r\n");

  ASSERT_TRUE(list.RemoveEvent(list.FindEventLine(c)).ok());
  EXPECT_EQ(ReadBytes(path), "Redoviri\xAE events\r\n" + a + "\r\n" + d + "\r\n" + b + "\r\n");

  EventList reloaded{EventFile{path, *system}};
  ASSERT_TRUE(reloaded.LoadEvents().ok());
  ASSERT_EQ(reloaded.EventCount(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(reloaded.EventLineAt(i), list.EventLineAt(i));
  EXPECT_EQ(reloaded.ReservedLine(), "Redoviri\xAE events");
  EXPECT_EQ(FolderEntries(), JustTheFile());
}

TEST_F(EventFileSystemTest, WritableFilesCreateAppendCutAndRename) {
  WriteBytes(path, "old content that is longer\r\n");
  const std::string temp = path + ".new";
  std::unique_ptr<WritableFile> file;
  ASSERT_TRUE(system->CreateEmpty(temp, file).ok());
  ASSERT_TRUE(file->Write("new\r\n").ok());
  ASSERT_TRUE(file->Flush().ok());
  ASSERT_TRUE(file->Close().ok());
  ASSERT_TRUE(system->Rename(temp, path).ok());
  EXPECT_EQ(ReadBytes(path), "new\r\n");

  ASSERT_TRUE(system->OpenForAppend(path, file).ok());
  ASSERT_TRUE(file->Write("ab\xFF").ok());
  ASSERT_TRUE(file->Write("cd").ok());
  ASSERT_TRUE(file->Truncate(7).ok());
  ASSERT_TRUE(file->Write("\r\n").ok());  // still at the end
  ASSERT_TRUE(file->Close().ok());
  EXPECT_EQ(ReadBytes(path), "new\r\nab\r\n");

  FileStamp stamp;
  ASSERT_TRUE(system->Stat(path, stamp).ok());
  EXPECT_TRUE(stamp.exists);
  EXPECT_EQ(stamp.size, 9);
  EXPECT_GT(stamp.modifiedNs, 0);
  EXPECT_GE(stamp.takenNs + 2'000'000'000, stamp.modifiedNs);
  ASSERT_TRUE(system->Remove(path).ok());
  ASSERT_TRUE(system->Stat(path, stamp).ok());
  EXPECT_FALSE(stamp.exists);
  EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(EventFileSystemTest, MissingFileIsReportedNotCreated) {
  std::string bytes;
  std::unique_ptr<WritableFile> file;
  EXPECT_EQ(system->ReadAll(path, bytes).error, "File not found");
  EXPECT_EQ(system->OpenForAppend(path, file).error, "File not found");
  EXPECT_EQ(system->Remove(path).error, "File not found");
  EXPECT_FALSE(system->Exists(path));
  EXPECT_TRUE(system->Exists(folder.string()));
  const std::string inMissing = (folder / "missing" / "Redoviri.ini").string();
  EXPECT_FALSE(system->CreateEmpty(inMissing, file).ok());
  EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(EventFileSystemTest, LockKeepsOutASecondHolderAndCarriesTheNote) {
  const std::string lockPath = path + ".lock";
  std::unique_ptr<FileLock> first, second;
  ASSERT_TRUE(system->Lock(lockPath, first).ok());
  ASSERT_TRUE(first->WriteNote("append 10 20").ok());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(system->Lock(lockPath, second).error, "I/O error 33");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));  // waited first
  first.reset();
  ASSERT_TRUE(system->Lock(lockPath, second).ok());
  std::string note;
  ASSERT_TRUE(second->ReadNote(note).ok());
  EXPECT_EQ(note, "append 10 20");
  ASSERT_TRUE(second->WriteNote("").ok());
  ASSERT_TRUE(second->ReadNote(note).ok());
  EXPECT_EQ(note, "");
}

// A sync client or a user removes the lock file, or puts another in its
// place, while a writer holds it: the holder sees that its lock no longer
// holds, a writer after it takes the file there now, and that one keeps the
// next out. (Under Wine a held file is removed or replaced only by a Linux
// program: the cross-writer script does that to the Windows writers.)
#ifndef _WIN32
TEST_F(EventFileSystemTest, ALockFileRemovedOrReplacedUnderItsHolderNoLongerHolds) {
  const std::string lockPath = path + ".lock";
  std::unique_ptr<FileSystem> quick = MakeSystemFileSystem(50);
  struct Way {
    const char* what;
    std::function<void()> outside;
  };
  const std::vector<Way> ways = {
      {"removed", [&] { fsys::remove(lockPath); }},
      {"replaced",
       [&] {
         WriteBytes(lockPath + ".other", "");
         fsys::rename(lockPath + ".other", lockPath);
       }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.what);
    std::unique_ptr<FileLock> first, second, third;
    ASSERT_TRUE(quick->Lock(lockPath, first).ok());
    EXPECT_TRUE(first->StillHeld());
    EXPECT_FALSE(quick->Lock(lockPath, second).ok()) << "kept out while held";
    way.outside();
    EXPECT_FALSE(first->StillHeld());
    ASSERT_TRUE(quick->Lock(lockPath, second).ok()) << "the file there now is free";
    EXPECT_TRUE(second->StillHeld());
    EXPECT_FALSE(quick->Lock(lockPath, third).ok()) << "kept out by the new holder";
  }
}
#endif

// An import into a big file holds the lock for a good part of a second or
// more; a writer of one event meanwhile waits it out instead of failing
// with "I/O error 33" after the second writers used to wait.
TEST_F(EventFileSystemTest, AWriterWaitsOutALongHoldOfTheLock) {
  std::unique_ptr<FileSystem> patient = MakeSystemFileSystem();  // the program's wait
  EventList writer{EventFile{path, *patient}};
  ASSERT_TRUE(writer.LoadEvents().ok());
  std::unique_ptr<FileLock> held;
  ASSERT_TRUE(system->Lock(path + ".lock", held).ok());
  std::future<StoreResult> added = std::async(std::launch::async, [&] { return writer.AppendEvent(Line("05051990", "e")); });
  // The hold of an import: longer than the old wait, well within the new.
  EXPECT_EQ(added.wait_for(std::chrono::milliseconds(1500)), std::future_status::timeout);
  held.reset();
  const StoreResult r = added.get();
  EXPECT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(writer.EventCount(), 1);
}

// Once a save's stamp is confirmed, the next save trusts the stamp, and
// still sees every other writer that came after: an editor's rewrite of the
// same size, another program's save, an editor's delete of the file.
TEST_F(EventFileSystemTest, AConfirmedStampStillSeesEveryLaterWriter) {
  const std::string a = Line("01011990", "a"), mine = Line("02021990", "mine"), next = Line("03031990", "next");
  const std::string other = Line("04041990", "other");
  const std::string sameSize = "r\r\n" + Line("01011990", "A") + "\r\n" + mine + "\r\n";
  struct Case {
    const char* what;
    std::function<void()> write;
    std::vector<std::string> want;  // after the next save, in store order
  };
  const Case cases[] = {
      {"an editor's rewrite of the same size", [&] { WriteBytes(path, sameSize); }, {Line("01011990", "A"), mine, next}},
      {"another program's save",
       [&] {
         EventList tool{EventFile{path, *system}};
         ASSERT_TRUE(tool.LoadEvents().ok());
         ASSERT_TRUE(tool.AppendEvent(other).ok());
       },
       {a, mine, next, other}},
      {"an editor's delete", [&] { fsys::remove(path); }, {a, mine, next}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    WriteBytes(path, "r\r\n" + a + "\r\n");
    EventList list{EventFile{path, *system}};
    ASSERT_TRUE(list.LoadEvents().ok());
    ASSERT_TRUE(list.AppendEvent(mine).ok());
    ASSERT_TRUE(test::WaitForConfirmedStamp(list));
    k.write();
    const StoreResult r = list.AppendEvent(next);
    ASSERT_TRUE(r.ok()) << r.error;
    std::vector<std::string> lines;
    for (int i = 0; i < list.EventCount(); ++i) lines.push_back(list.EventLineAt(i));
    EXPECT_EQ(lines, k.want);
    EventList reread{EventFile{path, *system}};
    ASSERT_TRUE(reread.LoadEvents().ok());
    EXPECT_EQ(reread.EventCount(), list.EventCount());
  }
}

TEST_F(EventFileSystemTest, FirstSaveCreatesTheMissingFolders) {
  const std::string deep = (folder / "program files" / "Redoviri by DUZOVU" / "Redoviri.ini").string();
  EventList list{EventFile{deep, *system}};
  ASSERT_TRUE(list.LoadEvents().ok());
  ASSERT_TRUE(list.AppendEvent(Line("01011990", "a")).ok());
  EXPECT_EQ(ReadBytes(deep), std::string(EventList::kNewFileLine) + "\r\n" + Line("01011990", "a") + "\r\n");
  EXPECT_TRUE(system->CreateFolder((folder / "program files").string()).ok());  // exists already: fine
}

TEST_F(EventFileSystemTest, ReadOnlyFileIsKeptAsItIs) {
  const std::string whole = "r\r\n" + Line("01011990", "a") + "\r\n" + Line("02021990", "b") + "\r\n";
  WriteBytes(path, whole);
  EventList list{EventFile{path, *system}};
  ASSERT_TRUE(list.LoadEvents().ok());
  MakeReadOnly(path);
  EXPECT_EQ(list.AppendEvent(Line("03031990", "c")).error, "File access denied");
  EXPECT_EQ(list.RemoveEvent(0).error, "File access denied");
  EXPECT_EQ(ReadBytes(path), whole);
  EXPECT_EQ(list.EventCount(), 2);
  EXPECT_EQ(FolderEntries(), JustTheFile());
  MakeWritable(path);
  ASSERT_TRUE(list.RemoveEvent(0).ok());
  EXPECT_EQ(ReadBytes(path), "r\r\n" + Line("02021990", "b") + "\r\n");
}

#ifndef _WIN32
// A file size limit stops a write part of the way, as a full disk does.
TEST_F(EventFileSystemTest, AppendStoppedHalfWayIsCutBack) {
  const std::string whole = "r\r\n" + Line("01011990", "a") + "\r\n";
  WriteBytes(path, whole);
  EventList list{EventFile{path, *system}};
  ASSERT_TRUE(list.LoadEvents().ok());

  const StoreResult r = [&] {
    test::FileSizeLimit limit(whole.size() + 50);
    return list.AppendEvent(Line("02021990", "b"));
  }();

  EXPECT_FALSE(r.ok());
  EXPECT_EQ(ReadBytes(path), whole);
  EXPECT_EQ(list.EventCount(), 1);
  ASSERT_TRUE(list.AppendEvent(Line("02021990", "b")).ok());
  EXPECT_EQ(ReadBytes(path), whole + Line("02021990", "b") + "\r\n");
}

// A pipe (or any file that is not a regular one) named as the event file
// is refused at once: no wait for a writer, nothing written.
TEST_F(EventFileSystemTest, PipeIsRefusedWithoutWaiting) {
  ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
  EventList list{EventFile{path, *system}};
  EXPECT_EQ(list.LoadEvents().error, "Not a file");
  EXPECT_EQ(list.AppendEvent(Line("01011990", "a")).error, "Not a file");
  std::unique_ptr<WritableFile> file;
  EXPECT_EQ(system->OpenForAppend(path, file).error, "Not a file");
  EXPECT_TRUE(fsys::is_fifo(path));
}

// After the store trusts its stamp, a same-size outside edit whose write
// time was put back, or a file of the same size and time put in its place,
// is still seen by the next delete; the store's own writes are not.
TEST_F(EventFileSystemTest, AnOutsideEditWithTheOldWriteTimeIsStillSeen) {
  const std::string a = Line("01011990", "a"), b = Line("02021990", "b"), edited = "r\r\n" + Line("01011990", "A") + "\r\n";
  const std::string copy = path + ".copy";
  const auto editedWithTimesOf = [&](const std::string& file, const struct stat& old) {
    WriteBytes(file, edited + b + "\r\n");
    const timespec times[2] = {old.st_atim, old.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  };
  const std::function<void(const struct stat&)> edits[] = {
      [&](const struct stat& old) { editedWithTimesOf(path, old); },  // touch -r
      [&](const struct stat& old) { fsys::remove(path); editedWithTimesOf(path, old); },  // a backup restored
      [&](const struct stat& old) { editedWithTimesOf(copy, old); fsys::rename(copy, path); },  // cp -p, then mv
  };
  for (const auto& edit : edits) {
    WriteBytes(path, "r\r\n" + a + "\r\n" + b + "\r\n");
    EventList list{EventFile{path, *system}};
    ASSERT_TRUE(list.LoadEvents().ok());
    ASSERT_TRUE(test::WaitForConfirmedStamp(list));
    struct stat old{};
    ASSERT_EQ(::stat(path.c_str(), &old), 0);
    edit(old);
    StoreResult r = list.RemoveEvent(list.FindEventLine(b));
    EXPECT_TRUE(r.ok() && r.reloaded) << r.error;
    EXPECT_EQ(ReadBytes(path), edited);
    for (const std::string& line : {b, a}) {  // after the store's own rewrite, then its append
      ASSERT_TRUE(test::WaitForConfirmedStamp(list));
      r = list.AppendEvent(line);
      EXPECT_TRUE(r.ok() && !r.reloaded) << r.error;
    }
  }
}

// A lock file that is no file, or is read-only: a save names it, reading
// goes on.
TEST_F(EventFileSystemTest, LockFileFaultsNameTheLockFile) {
  const std::string lock = path + ".lock", whole = "r\r\n" + Line("01011990", "a") + "\r\n";
  const std::tuple<const char*, std::function<void()>, const char*> cases[] = {
      {"a folder", [&] { fsys::create_directory(lock); }, "Not a file: Redoviri.ini.lock"},
      {"a pipe", [&] { ::mkfifo(lock.c_str(), 0644); }, "Not a file: Redoviri.ini.lock"},
      {"a link to a device", [&] { fsys::create_symlink("/dev/null", lock); }, "Not a file: Redoviri.ini.lock"},
      {"read-only", [&] { WriteBytes(lock, ""); MakeReadOnly(lock); }, "File access denied: Redoviri.ini.lock"},
  };
  for (const auto& [what, harm, message] : cases) {
    SCOPED_TRACE(what);
    WriteBytes(path, whole);
    harm();
    EventList list{EventFile{path, *system}};
    EXPECT_TRUE(list.LoadEvents().ok());
    EXPECT_EQ(list.AppendEvent(Line("02021990", "b")).error, message);
    EXPECT_EQ(list.RemoveEvent(0).error, message);
    EXPECT_EQ(ReadBytes(path), whole);
    fsys::remove_all(lock);
  }
}

// An event file kept elsewhere (a synced folder) behind a link, also a link
// to a link given relative to its folder: every write reaches the file
// itself, the link stays a link, and the lock and the temporary file lie
// beside the file, where a writer that names the file directly looks too.
TEST_F(EventFileSystemTest, LinkedFileIsWrittenWhereItLives) {
  const fsys::path synced = folder / "synced";
  fsys::create_directories(synced);
  const std::string target = (synced / "events.txt").string();
  const std::string a = Line("01011990", "a"), b = Line("02021990", "b");
  WriteBytes(target, "r\r\n" + a + "\r\n");
  fsys::create_symlink("synced/events.txt", folder / "hop.ini");
  fsys::create_symlink(folder / "hop.ini", path);

  EventList list{EventFile{path, *system}};
  ASSERT_TRUE(list.LoadEvents().ok());
  EXPECT_EQ(list.File().Target(), target);
  ASSERT_TRUE(list.AppendEvent(b).ok());
  ASSERT_TRUE(list.RemoveEvent(list.FindEventLine(a)).ok());  // a rewrite
  EXPECT_EQ(ReadBytes(target), "r\r\n" + b + "\r\n");
  EXPECT_TRUE(fsys::is_symlink(path));
  EXPECT_TRUE(fsys::is_symlink(folder / "hop.ini"));
  EXPECT_TRUE(fsys::exists(target + ".lock"));
  EXPECT_FALSE(fsys::exists(path + ".lock"));
  EXPECT_TRUE(system->SameFile(path, target));
  EXPECT_FALSE(system->SameFile(path, target + ".lock"));

  // The lock is one for both names.
  std::unique_ptr<FileLock> held;
  ASSERT_TRUE(system->Lock(target + ".lock", held).ok());
  const StoreResult blocked = list.AppendEvent(a);
  EXPECT_EQ(blocked.error, "I/O error 33");
  held.reset();

  // A link to a file not made yet: the first save creates the file there.
  const std::string later = (synced / "later.txt").string();
  fsys::create_symlink(later, folder / "later.ini");
  EventList fresh{EventFile{(folder / "later.ini").string(), *system}};
  ASSERT_TRUE(fresh.LoadEvents().ok());
  ASSERT_TRUE(fresh.AppendEvent(a).ok());
  EXPECT_TRUE(fsys::is_symlink(folder / "later.ini"));
  EXPECT_EQ(ReadBytes(later), std::string(EventList::kNewFileLine) + "\r\n" + a + "\r\n");
}
#endif

#ifdef _WIN32
// Another program holding the file open without FILE_SHARE_DELETE (a virus
// scanner, a backup tool) makes the replace fail with "File access denied".
class HeldFile {
 public:
  explicit HeldFile(const std::string& path)
      : h_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  ~HeldFile() { Release(); }
  bool held() const { return h_ != INVALID_HANDLE_VALUE; }
  void Release() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE h_;
};

// A link whose target is gone (a synced file briefly away) is written where
// the link leads, read from the link's own data: Wine shows no such link, so
// the data the system would give is made here.
TEST(SymbolicLinkData, TheTargetIsReadFromTheLinkItself) {
  const auto dataOf = [](std::uint32_t tag, const std::wstring& substitute, const std::wstring& print,
                         std::uint32_t flags) {
    const std::size_t namesAt = 20;  // tag, lengths, offsets, flags
    std::vector<unsigned char> data(namesAt + 2 * (substitute.size() + print.size()));
    const auto put16 = [&](std::size_t at, std::size_t v) {
      data[at] = static_cast<unsigned char>(v);
      data[at + 1] = static_cast<unsigned char>(v >> 8);
    };
    std::memcpy(data.data(), &tag, 4);
    put16(4, data.size() - 8);
    put16(8, 0);
    put16(10, 2 * substitute.size());
    put16(12, 2 * substitute.size());
    put16(14, 2 * print.size());
    std::memcpy(data.data() + 16, &flags, 4);
    std::memcpy(data.data() + namesAt, substitute.data(), 2 * substitute.size());
    std::memcpy(data.data() + namesAt + 2 * substitute.size(), print.data(), 2 * print.size());
    return data;
  };
  constexpr std::uint32_t kSymlink = 0xA000000C, kJunction = 0xA0000003;
  const std::string link = "C:\\data\\Redoviri.ini";
  struct Case {
    const char* what;
    std::vector<unsigned char> data;
    std::size_t cut;  // bytes left off the end
    std::string want;
  };
  const Case cases[] = {
      {"the name as given", dataOf(kSymlink, L"\\??\\D:\\sync\\Redoviri.ini", L"D:\\sync\\Redoviri.ini", 0), 0,
       "D:\\sync\\Redoviri.ini"},
      {"only the system's form", dataOf(kSymlink, L"\\??\\D:\\sync\\e.ini", L"", 0), 0, "D:\\sync\\e.ini"},
      {"a share", dataOf(kSymlink, L"\\??\\UNC\\server\\share\\e.ini", L"", 0), 0, "\\\\server\\share\\e.ini"},
      {"relative to the link's folder", dataOf(kSymlink, L"..\\sync\\e.ini", L"..\\sync\\e.ini", 1), 0,
       "C:\\sync\\e.ini"},
      {"not a symbolic link", dataOf(kJunction, L"\\??\\D:\\x", L"D:\\x", 0), 0, ""},
      {"cut short, into both names", dataOf(kSymlink, L"\\??\\D:\\x", L"D:\\x", 0), 10, ""},
      {"a name the code page cannot hold", dataOf(kSymlink, L"D:\\\u0141ukasz.ini", L"D:\\\u0141ukasz.ini", 0), 0, ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    EXPECT_EQ(SymbolicLinkTargetFromData(link, k.data.data(), k.data.size() - k.cut), k.want);
  }
}

TEST_F(EventFileSystemTest, HeldFileKeepsItsOldContent) {
  const std::string a = Line("01011990", "a");
  const std::string b = Line("02021990", "b");
  WriteBytes(path, "r\r\n" + a + "\r\n" + b + "\r\n");
  EventList list{EventFile{path, *system}};
  ASSERT_TRUE(list.LoadEvents().ok());

  HeldFile held(path);
  ASSERT_TRUE(held.held());
  EXPECT_EQ(list.RemoveEvent(0).error, "File access denied");
  held.Release();

  EXPECT_EQ(ReadBytes(path), "r\r\n" + a + "\r\n" + b + "\r\n");
  EXPECT_EQ(list.EventCount(), 2);
  EXPECT_EQ(FolderEntries(), JustTheFile());
}

TEST_F(EventFileSystemTest, BrieflyHeldFileIsWrittenOnceReleased) {
  WriteBytes(path, "r\r\n" + Line("01011990", "a") + "\r\n");
  EventList list{EventFile{path, *system}};
  ASSERT_TRUE(list.LoadEvents().ok());
  HeldFile held(path);
  ASSERT_TRUE(held.held());
  std::thread releaser([&] {
    // The other program holds the file for a moment: less than the
    // writer's retries last.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    held.Release();
  });
  const StoreResult r = list.RemoveEvent(0);
  releaser.join();
  EXPECT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(ReadBytes(path), "r\r\n");
}

// hold_file.exe, beside this test, opens a file without any sharing, says
// so by creating a marker file, and keeps it open for the given time.
class OtherProcessHolding {
 public:
  OtherProcessHolding(const std::string& file, const std::string& marker, int milliseconds) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string helper = (fsys::path(self).parent_path() / "hold_file.exe").string();
    std::string command = "\"" + helper + "\" \"" + file + "\" \"" + marker + "\" " + std::to_string(milliseconds);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_);
    for (int i = 0; started_ && i < 500 && GetFileAttributesA(marker.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
      Sleep(10);
    }
    started_ = started_ && GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  OtherProcessHolding(const OtherProcessHolding&) = delete;
  OtherProcessHolding& operator=(const OtherProcessHolding&) = delete;
  ~OtherProcessHolding() { Wait(); }
  bool started() const { return started_; }
  void Wait() {
    if (pi_.hProcess == nullptr) return;
    WaitForSingleObject(pi_.hProcess, 30000);
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
    pi_ = {};
  }

 private:
  PROCESS_INFORMATION pi_{};
  bool started_ = false;
};

TEST_F(EventFileSystemTest, FileHeldWithoutSharingByAnotherProcess) {
  const std::string a = Line("01011990", "a"), b = Line("02021990", "b");
  const std::string whole = "r\r\n" + a + "\r\n" + b + "\r\n";
  WriteBytes(path, whole);
  const std::string marker = (folder / "held").string();
  OtherProcessHolding holder(path, marker, 4000);
  ASSERT_TRUE(holder.started());

  // Held longer than the retries last: the load fails, the store knows it,
  // and a save is refused with the same message, nothing written.
  EventList list{EventFile{path, *system}};
  const StoreResult loaded = list.LoadEvents();
  EXPECT_EQ(loaded.error, "I/O error 32");
  EXPECT_FALSE(list.Loaded());
  EXPECT_EQ(list.AppendEvent(Line("03031990", "c")).error, "I/O error 32");

  holder.Wait();
  EXPECT_EQ(ReadBytes(path), whole);
  const StoreResult saved = list.AppendEvent(Line("03031990", "c"));
  ASSERT_TRUE(saved.ok()) << saved.error;
  EXPECT_TRUE(saved.reloaded);
  EXPECT_EQ(ReadBytes(path), whole + Line("03031990", "c") + "\r\n");
  EXPECT_EQ(list.EventCount(), 3);
}

TEST_F(EventFileSystemTest, WindowsErrorsInTheRuntimeWording) {
  std::string bytes;
  EXPECT_EQ(system->ReadAll((folder / "no" / "such.ini").string(), bytes).error, "Path not found");
  EXPECT_EQ(system->ReadAll(folder.string(), bytes).error, "File access denied");
}

// The lock file moved away, or replaced by another file, while one writer
// holds it and a second waits on it: the old file keeps nobody out any
// more. Once the holder lets go, the second locks the file at the path,
// which keeps out a third; the first is told it no longer holds the lock.
TEST_F(EventFileSystemTest, ALockFileMovedOrReplacedIsLockedWhereItIsNow) {
  const std::string lockPath = path + ".lock", aside = path + ".aside", other = path + ".other";
  std::unique_ptr<FileSystem> patient = MakeSystemFileSystem(5000);
  for (const bool replaced : {false, true}) {
    SCOPED_TRACE(replaced ? "replaced" : "moved away");
    std::unique_ptr<FileLock> first, second, third;
    ASSERT_TRUE(system->Lock(lockPath, first).ok());
    std::future<IoResult> waiting = std::async(std::launch::async, [&] { return patient->Lock(lockPath, second); });
    ASSERT_EQ(waiting.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    ASSERT_TRUE(MoveFileExA(lockPath.c_str(), aside.c_str(), 0));
    if (replaced) {
      WriteBytes(other, "");
      // The waiting writer may have made a lock file of its own at the
      // path meanwhile: this one takes its place.
      ASSERT_TRUE(MoveFileExA(other.c_str(), lockPath.c_str(), MOVEFILE_REPLACE_EXISTING));
    }
    EXPECT_FALSE(first->StillHeld());
    first.reset();
    ASSERT_TRUE(waiting.get().ok());
    EXPECT_TRUE(second->StillHeld());
    EXPECT_EQ(system->Lock(lockPath, third).error, "I/O error 33");
    second.reset();
    ASSERT_TRUE(DeleteFileA(aside.c_str()));
  }
}
#endif

}  // namespace
}  // namespace redoviri
