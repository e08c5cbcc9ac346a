// Files on the real disk for the event file's system tests: a folder of the
// running test's own, emptied and removed with what it holds (read-only
// files included), whole-file bytes, and event lines laid out by hand.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#endif

namespace redoviri::test {

inline void MakeReadOnly(const std::string& file) {
#ifdef _WIN32
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
#else
  ::chmod(file.c_str(), 0444);
#endif
}

inline void MakeWritable(const std::string& file) {
#ifdef _WIN32
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
#else
  ::chmod(file.c_str(), 0644);
#endif
}

// <temp>/<prefix><test name>_<process id>, new and empty; removed when it
// goes. The process id keeps two runs of the suites at once (two checkouts,
// two builds) out of each other's files.
class TestFolder {
 public:
  explicit TestFolder(const std::string& prefix)
      : path_(std::filesystem::temp_directory_path() /
              (prefix + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
               std::to_string(ProcessId()))) {
    Remove();
    std::filesystem::create_directories(path_);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;
  ~TestFolder() { Remove(); }

  const std::filesystem::path& Path() const { return path_; }

 private:
  static unsigned long ProcessId() {
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(::getpid());
#endif
  }
  void Remove() {
    std::error_code ec;
    // Never through a link: it may lead out of the folder (to a device).
    for (const auto& e : std::filesystem::directory_iterator(path_, ec)) {
      if (!e.is_symlink(ec)) MakeWritable(e.path().string());
    }
    std::filesystem::remove_all(path_, ec);
  }

  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary);
  out << bytes;
}

inline std::string ReadBytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// An event line from its fields up to the name (dates, time, category,
// flags, day count) and the name: the name field ends at 59, the comment
// field is blank up to 110.
inline std::string RawEventLine(const std::string& head, const std::string& name) {
  std::string line = head + name;
  line.resize(59, ' ');
  line += ';';
  line.resize(110, ' ');
  return line;
}

#ifndef _WIN32
// While it lives, a file of this process cannot grow past `bytes`: writes
// fail part of the way, as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(std::uint64_t bytes) : oldHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    rlimit tight = old_;
    tight.rlim_cur = static_cast<rlim_t>(bytes);
    ::setrlimit(RLIMIT_FSIZE, &tight);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit old_{};
  void (*oldHandler_)(int);
};
#endif

}  // namespace redoviri::test
