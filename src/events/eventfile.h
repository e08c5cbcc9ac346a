// The event file and the few file operations it needs.
//
// The file is single-byte text with CR LF line ends: a reserved first line,
// then one event line per event. Every operation reports failure with the
// message the user sees ("File not found", "File access denied",
// "I/O error 32" ...) and never throws.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace redoviri {

// Result of a file operation: an empty error on success.
struct [[nodiscard]] IoResult {
  std::string error;
  bool ok() const { return error.empty(); }
  static IoResult Ok() { return {}; }
  static IoResult Fail(std::string message) { return {std::move(message)}; }
};

// The runtime's wording of file errors.
namespace io_text {
inline constexpr std::string_view kFileNotFound = "File not found";
inline constexpr std::string_view kPathNotFound = "Path not found";
inline constexpr std::string_view kInvalidFilename = "Invalid filename";
inline constexpr std::string_view kTooManyOpenFiles = "Too many open files";
inline constexpr std::string_view kAccessDenied = "File access denied";
inline constexpr std::string_view kDiskFull = "Disk full";
// "I/O error %d"
std::string IoError(long code);
}  // namespace io_text

// The file operations of the event file, one implementation per platform
// (eventfile_posix.cpp, eventfile_win.cpp) and a fake in the tests.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // True when a file or folder of that name exists.
  virtual bool Exists(const std::string& path) = 0;
  virtual IoResult ReadAll(const std::string& path, std::string& bytes) = 0;
  // The last byte of an existing file, or -1 when the file is empty.
  virtual IoResult LastByte(const std::string& path, int& last) = 0;
  // Adds the bytes at the end of an existing file in one write and flushes
  // them to disk.
  virtual IoResult Append(const std::string& path, std::string_view bytes) = 0;
  // Writes the bytes to a temporary file in the same folder, flushes it and
  // puts it in place of `path` in one step; `path` need not exist. On any
  // failure `path` keeps its old content and the temporary file is removed.
  virtual IoResult Replace(const std::string& path, std::string_view bytes) = 0;
  // Creates one folder whose parent exists; succeeds when it exists already.
  virtual IoResult CreateFolder(const std::string& path) = 0;
};

// The platform's file system.
std::unique_ptr<FileSystem> MakeSystemFileSystem();

// The text before the last "\" or "/" of a path; empty when it has none.
std::string ParentFolder(std::string_view path);

// The lines of an event file, as views into the bytes read.
struct EventFileLines {
  std::string_view reservedLine;
  std::vector<std::string_view> eventLines;  // raw, blank lines left out
};

// Splits file bytes into the reserved line and the event lines. A line ends
// at CR LF, LF or a lone CR; lines that hold only blanks are left out.
EventFileLines SplitEventFile(std::string_view bytes);

// The event file at a fixed path. Does not own the file system.
class EventFile {
 public:
  EventFile(std::string path, FileSystem& fs) : path_(std::move(path)), fs_(&fs) {}

  const std::string& Path() const { return path_; }
  bool Exists() const;
  // The whole file; SplitEventFile cuts it into lines.
  IoResult Read(std::string& bytes) const;
  // Adds one event line at the end of the existing file. A last line left
  // without its line end (a hand-edited file) is ended first, so the new
  // line never joins it.
  IoResult AppendLine(std::string_view line) const;
  // Writes the whole file anew: the reserved line, then the event lines, each
  // ended by CR LF. Missing folders of the path are created first.
  IoResult Rewrite(std::string_view reservedLine, std::span<const std::string_view> lines) const;

 private:
  IoResult EnsureFolder(const std::string& folder) const;

  std::string path_;
  FileSystem* fs_;
};

}  // namespace redoviri
