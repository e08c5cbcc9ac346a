// The event file and the few file operations it needs.
//
// The file is single-byte text with CR LF line ends: a reserved first line,
// then one event line per event. Every operation reports failure with the
// message the user sees ("File not found", "File access denied",
// "I/O error 32" ...) and never throws.
//
// Writers take a lock on a small file beside the event file
// ("Redoviri.ini.lock") for the whole read-check-write sequence: a lock of
// one byte of it, the same for the Windows code and the native one (Wine
// turns a Windows lock into a POSIX record lock of the same byte), so the
// program, its tool and the native tool exclude each other. The lock
// file also holds a note while an append is under way, so that the next
// holder can cut back an append that a killed process left half done.
// A rewrite goes through "Redoviri.ini.new", which replaces the file in one
// step; a leftover one is removed by the next holder of the lock.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
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
// A pipe, a device or a folder where the event file should be.
inline constexpr std::string_view kNotAFile = "Not a file";
// "I/O error %d"
std::string IoError(long code);
// The file is locked by another program (Windows' lock violation).
inline constexpr long kLockViolation = 33;
}  // namespace io_text

// The byte of the lock file that writers lock. It lies far past the note,
// which other writers read and write while waiting is none of their
// business.
inline constexpr std::int64_t kLockedByteOffset = 0x100000;

// What a stat of the event file tells: enough to notice most changes
// without reading the file. The time of the last write can be set back by
// any tool (touch -r, cp -p, a backup restored); the change time and the
// file's identity cannot: the system sets the change time to now at every
// change, a time set back included, and a file put in place of the old one
// is another file. Zero where the system does not tell them.
struct FileStamp {
  bool exists = false;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;  // last write, ns since 1970 (the file system's resolution)
  std::int64_t changedNs = 0;   // last change of the content or of the file's own data (times, rights)
  std::uint64_t volume = 0;     // the device or volume the file lies on
  std::uint64_t fileId = 0;     // the file's number on it
  std::int64_t takenNs = 0;     // the system clock when the stamp was taken, ns since 1970
  bool SameFile(const FileStamp& o) const {
    return exists == o.exists && size == o.size && modifiedNs == o.modifiedNs && changedNs == o.changedNs &&
           volume == o.volume && fileId == o.fileId;
  }
  // The later of the two times: a write shows in both.
  std::int64_t LatestNs() const { return modifiedNs > changedNs ? modifiedNs : changedNs; }
};

// A file open for writing.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  // Writes all the bytes; on failure part of them may stand in the file.
  virtual IoResult Write(std::string_view bytes) = 0;
  // Puts what was written on the disk.
  virtual IoResult Flush() = 0;
  // Cuts the file to `size` bytes.
  virtual IoResult Truncate(std::int64_t size) = 0;
  // Closes now so that a late write error is reported; the destructor of an
  // unclosed file closes it without a word.
  virtual IoResult Close() = 0;
};

// The lock of the event file, held while the object lives.
class FileLock {
 public:
  virtual ~FileLock() = default;
  // The note the last holder left; empty when none.
  virtual IoResult ReadNote(std::string& note) = 0;
  // Replaces the note; an empty note clears it.
  virtual IoResult WriteNote(std::string_view note) = 0;
  // Whether the locked file is still the lock file at its path: one removed
  // or replaced meanwhile (by a sync client, a user) no longer keeps the
  // other writers out, who lock the file there now.
  virtual bool StillHeld() { return true; }
};

// The file operations of the event file, one implementation per platform
// (eventfile_posix.cpp, eventfile_win.cpp) and a fake in the tests.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // True when a file or folder of that name exists.
  virtual bool Exists(const std::string& path) = 0;
  // A missing file is no error: its stamp says it does not exist.
  virtual IoResult Stat(const std::string& path, FileStamp& stamp) = 0;
  virtual IoResult ReadAll(const std::string& path, std::string& bytes) = 0;
  // Opens an existing file for writing at its end.
  virtual IoResult OpenForAppend(const std::string& path, std::unique_ptr<WritableFile>& file) = 0;
  // Creates the file, or empties it when it exists.
  virtual IoResult CreateEmpty(const std::string& path, std::unique_ptr<WritableFile>& file) = 0;
  // Puts `from` in place of `to` in one step; `to` need not exist.
  virtual IoResult Rename(const std::string& from, const std::string& to) = 0;
  virtual IoResult Remove(const std::string& path) = 0;
  // Creates one folder whose parent exists; succeeds when it exists already.
  virtual IoResult CreateFolder(const std::string& path) = 0;
  // The file a path leads to when the path is a link (also a link to a
  // file not there yet); else the path itself.
  virtual std::string FinalPath(const std::string& path) = 0;
  // Whether two paths name one existing file (also through links).
  virtual bool SameFile(const std::string& a, const std::string& b) = 0;
  // Takes the lock file `path`, creating it when needed. Another holder is
  // waited for (kLockWaitMs unless the file system was made with another
  // wait), then the lock fails with "I/O error 33". Anything but a file
  // (a folder, a pipe, a device) is refused as kNotAFile, a read-only file
  // as access denied.
  virtual IoResult Lock(const std::string& path, std::unique_ptr<FileLock>& lock) = 0;
  // Waits a while: for a file that another program is still writing.
  virtual void Pause(int ms);
};

// How long a writer waits for another holder of the lock, polling it
// every kLockPollMs: long enough for the longest hold, an import of
// thousands of events into a file near the largest the store holds (a
// writer of one event holds it for a few milliseconds).
inline constexpr int kLockWaitMs = 5000;
inline constexpr int kLockPollMs = 10;

// The platform's file system.
std::unique_ptr<FileSystem> MakeSystemFileSystem(int lockWaitMs = kLockWaitMs);

// Writes a whole file anew through "<file>.new" beside the file the path
// leads to, then one replace: on any failure the old file stays as it was
// and no temporary file is left.
IoResult WriteFileAnew(FileSystem& fs, const std::string& path, std::string_view bytes);

// The text before the last "\" or "/" of a path; empty when it has none.
std::string ParentFolder(std::string_view path);

// A 64-bit hash of file bytes, fed in pieces: equal for equal bytes
// however they were cut.
class ContentHash {
 public:
  void Add(std::string_view bytes);
  std::uint64_t Value() const;
  friend bool operator==(const ContentHash& a, const ContentHash& b) { return a.Value() == b.Value(); }

 private:
  // Four independent lanes of 8 bytes each: a 10 MB file hashes in about a
  // millisecond.
  static constexpr std::size_t kBlock = 32;
  void MixBlock(const char* block);
  std::uint64_t lanes_[4] = {0x9E3779B97F4A7C15u, 0xC2B2AE3D27D4EB4Fu, 0x165667B19E3779F9u, 0x85EBCA77C2B2AE63u};
  std::uint64_t length_ = 0;
  char pending_[kBlock] = {};  // bytes of an unfinished block
  std::size_t pendingCount_ = 0;
};

// Calls visit(line) for each line of file bytes in turn, the reserved
// line first. A line ends at CR LF, LF or a lone CR.
template <class Visit>
void ForEachFileLine(std::string_view bytes, Visit&& visit) {
  // The next CR and the next LF at or past `pos`, each looked for again
  // only once passed: two fast scans of the bytes in all.
  const char* const data = bytes.data();
  const std::size_t size = bytes.size();
  const auto next = [&](char c, std::size_t from) {
    const void* at = from < size ? std::memchr(data + from, c, size - from) : nullptr;
    return at == nullptr ? size : static_cast<std::size_t>(static_cast<const char*>(at) - data);
  };
  std::size_t cr = next('\r', 0), lf = next('\n', 0);
  std::size_t pos = 0;
  while (pos < size) {
    if (cr < pos) cr = next('\r', pos);
    if (lf < pos) lf = next('\n', pos);
    const std::size_t end = cr < lf ? cr : lf;
    visit(bytes.substr(pos, end - pos));
    pos = end;
    if (pos < size) pos += data[pos] == '\r' && pos + 1 < size && data[pos + 1] == '\n' ? 2 : 1;
  }
}

// Whether a line of the event file holds only blanks: it is no event.
bool BlankFileLine(std::string_view line);

// The lines of an event file, as views into the bytes read.
struct EventFileLines {
  std::string_view reservedLine;
  std::vector<std::string_view> eventLines;  // raw, blank lines left out
};

// Splits file bytes into the reserved line and the event lines; lines that
// hold only blanks are left out.
EventFileLines SplitEventFile(std::string_view bytes);

// The event lines of a rewrite, one after the other: each call gives the
// next line.
using NextLine = std::function<std::string_view()>;

// The event file at a fixed path. Does not own the file system.
class EventFile {
 public:
  // A path that is a link stands for the file it leads to: the file is
  // read and written there, and its lock and temporary file lie beside it,
  // so a rewrite replaces the file and not the link.
  EventFile(std::string path, FileSystem& fs) : path_(std::move(path)), fs_(&fs), target_(fs.FinalPath(path_)) {}

  const std::string& Path() const { return path_; }
  // The file the path leads to, as found at the last lock.
  const std::string& Target() const { return target_; }
  std::string LockPath() const { return target_ + ".lock"; }
  std::string TemporaryPath() const { return target_ + ".new"; }

  // Follows the path to its file again, takes the lock and puts right what
  // a killed holder left: cuts back a half-done append and removes a
  // leftover temporary file. The folder of the file is created first when
  // `createFolder` is set.
  IoResult Lock(std::unique_ptr<FileLock>& lock, bool createFolder) const;
  IoResult Stat(FileStamp& stamp) const;
  // Waits a while (the file system's pause).
  void Pause(int ms) const;
  // The whole file; SplitEventFile cuts it into lines.
  IoResult Read(std::string& bytes) const;
  // Adds the bytes at the end of the file, which was `oldSize` bytes long:
  // all of them or, on any failure, none (the file is cut back). Needs the
  // lock.
  // `nowNs`: the system clock now (a stamp's takenNs), kept in the note.
  IoResult Append(FileLock& lock, std::int64_t oldSize, std::string_view bytes, std::int64_t nowNs) const;
  // Writes the whole file anew through the temporary file: the reserved
  // line, then the event lines, each ended by CR LF. On any failure the
  // file keeps its old content. Needs the lock. The bytes written are
  // hashed into `hash`.
  // `unchanged` is asked last, just before the new file replaces the old:
  // when it says the file moved meanwhile (a writer that takes no lock),
  // nothing is replaced and `moved` is set.
  IoResult Rewrite(std::string_view reservedLine, std::size_t count, const NextLine& lines, ContentHash& hash,
                   const std::function<bool()>& unchanged, bool& moved) const;

 private:
  IoResult EnsureFolder(const std::string& folder) const;
  // A failure of the lock file, its name added ("Not a file:
  // Redoviri.ini.lock"), so that it is not taken for one of the event file;
  // a lock held by another writer keeps its message.
  IoResult LockFault(IoResult result) const;
  IoResult Recover(FileLock& lock) const;
  // `beganNs`: when the append began, -1 when the note does not tell.
  IoResult CutBackHalfDoneAppend(std::int64_t oldSize, std::string_view bytes, std::int64_t beganNs) const;
  IoResult WriteTemporary(std::string_view reservedLine, std::size_t count, const NextLine& lines,
                          ContentHash& hash) const;

  std::string path_;
  FileSystem* fs_;
  mutable std::string target_;
};

}  // namespace redoviri
