// The platform's file operations on a real disk: natively the POSIX ones,
// under Wine the Win32 ones (the same tests run in both builds).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "events/eventfile.h"
#include "events/eventlist.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace redoviri {
namespace {

namespace fsys = std::filesystem;

std::string Line(const std::string& mmddyyyy, const std::string& name) {
  std::string line = mmddyyyy + ";09:00;3;N;Y;N;N;000;" + name;
  line.resize(59, ' ');
  line += ';';
  line.resize(110, ' ');
  return line;
}

class EventFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = fsys::temp_directory_path() / (std::string("redoviri_events_") + info->name());
    fsys::remove_all(folder);
    fsys::create_directories(folder);
    path = (folder / "Redoviri.ini").string();
  }
  void TearDown() override {
    std::error_code ec;
    fsys::remove_all(folder, ec);
  }

  static void WriteBytes(const std::string& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
  }
  static std::string ReadBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // Names of the entries of the test folder.
  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& e : fsys::directory_iterator(folder)) names.push_back(e.path().filename().string());
    return names;
  }

  std::unique_ptr<FileSystem> system = MakeSystemFileSystem();
  fsys::path folder;
  std::string path;
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
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"Redoviri.ini"});
}

TEST_F(EventFileSystemTest, ReplaceOverAnExistingFileLeavesNoTemporaryFile) {
  WriteBytes(path, "old content that is longer\r\n");
  ASSERT_TRUE(system->Replace(path, "new\r\n").ok());
  EXPECT_EQ(ReadBytes(path), "new\r\n");
  ASSERT_TRUE(system->Replace(path, "").ok());
  EXPECT_EQ(ReadBytes(path), "");
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"Redoviri.ini"});
}

TEST_F(EventFileSystemTest, AppendAndLastByte) {
  WriteBytes(path, "");
  int last = 0;
  ASSERT_TRUE(system->LastByte(path, last).ok());
  EXPECT_EQ(last, -1);
  ASSERT_TRUE(system->Append(path, "ab\xFF").ok());
  ASSERT_TRUE(system->LastByte(path, last).ok());
  EXPECT_EQ(last, 0xFF);
  ASSERT_TRUE(system->Append(path, "\r\n").ok());
  EXPECT_EQ(ReadBytes(path), "ab\xFF\r\n");
}

TEST_F(EventFileSystemTest, MissingFileIsReportedNotCreated) {
  std::string bytes;
  int last = 0;
  EXPECT_EQ(system->ReadAll(path, bytes).error, "File not found");
  EXPECT_EQ(system->LastByte(path, last).error, "File not found");
  EXPECT_EQ(system->Append(path, "x").error, "File not found");
  EXPECT_FALSE(system->Exists(path));
  EXPECT_TRUE(system->Exists(folder.string()));
  EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(EventFileSystemTest, ReplaceIntoAMissingFolderFails) {
  const std::string inMissing = (folder / "missing" / "Redoviri.ini").string();
  EXPECT_FALSE(system->Replace(inMissing, "x").ok());
  EXPECT_FALSE(fsys::exists(folder / "missing"));
}

TEST_F(EventFileSystemTest, FirstSaveCreatesTheMissingFolders) {
  const std::string deep = (folder / "program files" / "Redoviri by DUZOVU" / "Redoviri.ini").string();
  EventList list{EventFile{deep, *system}};
  ASSERT_TRUE(list.LoadEvents().ok());
  ASSERT_TRUE(list.AppendEvent(Line("01011990", "a")).ok());
  EXPECT_EQ(ReadBytes(deep), std::string(EventList::kNewFileLine) + "\r\n" + Line("01011990", "a") + "\r\n");
  EXPECT_TRUE(system->CreateFolder((folder / "program files").string()).ok());  // exists already: fine
}

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
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"Redoviri.ini"});
}

TEST_F(EventFileSystemTest, BrieflyHeldFileIsWrittenOnceReleased) {
  WriteBytes(path, "old\r\n");
  HeldFile held(path);
  ASSERT_TRUE(held.held());
  std::thread releaser([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    held.Release();
  });
  const IoResult r = system->Replace(path, "new\r\n");
  releaser.join();
  EXPECT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(ReadBytes(path), "new\r\n");
}

TEST_F(EventFileSystemTest, WindowsErrorsInTheRuntimeWording) {
  std::string bytes;
  EXPECT_EQ(system->ReadAll((folder / "no" / "such.ini").string(), bytes).error, "Path not found");
  EXPECT_EQ(system->ReadAll(folder.string(), bytes).error, "File access denied");
}
#endif

}  // namespace
}  // namespace redoviri
