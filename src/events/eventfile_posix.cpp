// File operations of the event file on POSIX systems (the command-line tool
// and the native tests).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "events/eventfile.h"

namespace redoviri {
namespace {

// As many links as the system itself follows in one path.
constexpr int kMostLinksFollowed = 40;

std::string ErrorText(int code) {
  switch (code) {
    case ENOENT:
      return std::string(io_text::kFileNotFound);
    case ENOTDIR:
      return std::string(io_text::kPathNotFound);
    case ENAMETOOLONG:
      return std::string(io_text::kInvalidFilename);
    case EMFILE:
    case ENFILE:
      return std::string(io_text::kTooManyOpenFiles);
    case EACCES:
    case EPERM:
    case EROFS:
      return std::string(io_text::kAccessDenied);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:  // past the file size limit: as a full disk to the user
      return std::string(io_text::kDiskFull);
    case EWOULDBLOCK:
      return io_text::IoError(io_text::kLockViolation);
    case ENXIO:  // a pipe without a reader
    case EISDIR:
      return std::string(io_text::kNotAFile);
    default:
      return io_text::IoError(code);
  }
}

IoResult LastError() { return IoResult::Fail(ErrorText(errno)); }
IoResult Failed(int code) { return IoResult::Fail(ErrorText(code)); }

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Hands the descriptor over to another owner.
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  // Closes now so that a failing close (a late write error) is reported.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

IoResult WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return IoResult::Ok();
}

std::int64_t Nanoseconds(const timespec& t) { return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; }

// A file without any write permission is kept as it is, also from a user
// whom the system would let write it (root), as Windows keeps a read-only
// file.
bool ReadOnlyFile(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0;
}

// Flushes the folder entry of a renamed file; a folder that cannot be
// opened for this only loses the extra safety.
void FlushFolder(const std::string& folder) {
  Fd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY));
  if (dir.valid()) ::fsync(dir.get());
}

class PosixWritableFile final : public WritableFile {
 public:
  explicit PosixWritableFile(int fd) : fd_(fd) {}
  IoResult Write(std::string_view bytes) override { return WriteAll(fd_.get(), bytes); }
  IoResult Flush() override { return ::fsync(fd_.get()) == 0 ? IoResult::Ok() : LastError(); }
  IoResult Truncate(std::int64_t size) override {
    return ::ftruncate(fd_.get(), static_cast<off_t>(size)) == 0 ? IoResult::Ok() : LastError();
  }
  IoResult Close() override { return fd_.Close() ? IoResult::Ok() : LastError(); }

 private:
  Fd fd_;
};

// The lock of one byte (kLockedByteOffset) that the Windows code locks too:
// under Wine its lock is a POSIX record lock of that byte held by the
// server. An open file description lock conflicts with it and, unlike a
// classic record lock, also keeps out a second store of the same process
// and is not dropped when some other descriptor of the file is closed.
// Where the system has no such locks, flock keeps native writers apart.
struct flock LockedByte(short type) {
  struct flock range{};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = static_cast<off_t>(kLockedByteOffset);
  range.l_len = 1;
  return range;
}

enum class LockResult { kTaken, kHeld, kFailed };

LockResult TryLock(int fd, bool& byteLocks) {
#ifdef F_OFD_SETLK
  if (byteLocks) {
    struct flock range = LockedByte(F_WRLCK);
    if (::fcntl(fd, F_OFD_SETLK, &range) == 0) return LockResult::kTaken;
    if (errno == EAGAIN || errno == EACCES || errno == EINTR) return LockResult::kHeld;
    if (errno != EINVAL) return LockResult::kFailed;
    byteLocks = false;  // a kernel without them
  }
#else
  byteLocks = false;
#endif
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return LockResult::kTaken;
  return errno == EWOULDBLOCK || errno == EINTR ? LockResult::kHeld : LockResult::kFailed;
}

bool SameInode(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Whether an open file is the one at the path now (not removed or replaced
// since it was opened).
bool IsFileAt(int fd, const std::string& path) {
  struct stat held{}, there{};
  return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &there) == 0 && SameInode(held, there);
}

class PosixFileLock final : public FileLock {
 public:
  PosixFileLock(int fd, bool byteLock, std::string path) : fd_(fd), byteLock_(byteLock), path_(std::move(path)) {}
  ~PosixFileLock() override {
#ifdef F_OFD_SETLK
    if (byteLock_) {
      struct flock range = LockedByte(F_UNLCK);
      ::fcntl(fd_.get(), F_OFD_SETLK, &range);
      return;
    }
#endif
    ::flock(fd_.get(), LOCK_UN);
  }

  IoResult ReadNote(std::string& note) override {
    note.clear();
    char buffer[4096];
    for (;;) {
      const ssize_t n = ::pread(fd_.get(), buffer, sizeof buffer, static_cast<off_t>(note.size()));
      if (n < 0) {
        if (errno == EINTR) continue;
        return LastError();
      }
      if (n == 0) return IoResult::Ok();
      note.append(buffer, static_cast<std::size_t>(n));
    }
  }

  IoResult WriteNote(std::string_view note) override {
    if (::ftruncate(fd_.get(), 0) != 0) return LastError();
    if (note.empty()) return IoResult::Ok();
    // Not flushed: the note is for a writer killed half way, whose writes
    // the system still holds; flushing it would double the cost of a save.
    if (::pwrite(fd_.get(), note.data(), note.size(), 0) != static_cast<ssize_t>(note.size())) return LastError();
    return IoResult::Ok();
  }

  bool StillHeld() override {
    return IsFileAt(fd_.get(), path_);
  }

 private:
  Fd fd_;
  bool byteLock_;
  std::string path_;
};

class PosixFileSystem final : public FileSystem {
 public:
  explicit PosixFileSystem(int lockWaitMs) : lockWaitMs_(lockWaitMs) {}

  bool Exists(const std::string& path) override {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0;
  }

  IoResult Stat(const std::string& path, FileStamp& stamp) override {
    struct stat st{};
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    stamp = {};
    stamp.takenNs = Nanoseconds(now);
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT ? IoResult::Ok() : LastError();
    stamp.exists = true;
    stamp.size = st.st_size;
    stamp.modifiedNs = Nanoseconds(st.st_mtim);
    stamp.changedNs = Nanoseconds(st.st_ctim);
    stamp.volume = static_cast<std::uint64_t>(st.st_dev);
    stamp.fileId = static_cast<std::uint64_t>(st.st_ino);
    return IoResult::Ok();
  }

  IoResult ReadAll(const std::string& path, std::string& bytes) override {
    // Not blocking: a pipe named as the file would wait for a writer.
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK));
    if (!fd.valid()) return LastError();
    struct stat st{};
    if (::fstat(fd.get(), &st) != 0) return LastError();
    if (!S_ISREG(st.st_mode)) return IoResult::Fail(std::string(io_text::kNotAFile));
    // Read into the caller's buffer: a store that compares the file before
    // each save keeps one, and a buffer of 10 MB is costly to get anew.
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t filled = 0;
    for (;;) {
      if (filled == bytes.size()) bytes.resize(bytes.size() + 65536);  // the file grew meanwhile
      const ssize_t n = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
      if (n < 0) {
        if (errno == EINTR) continue;
        bytes.clear();
        return LastError();
      }
      if (n == 0) break;
      filled += static_cast<std::size_t>(n);
    }
    bytes.resize(filled);
    return IoResult::Ok();
  }

  IoResult OpenForAppend(const std::string& path, std::unique_ptr<WritableFile>& file) override {
    if (ReadOnlyFile(path)) return Failed(EACCES);
    Fd fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK));
    if (!fd.valid()) return LastError();
    struct stat st{};
    if (::fstat(fd.get(), &st) != 0) return LastError();
    if (!S_ISREG(st.st_mode)) return IoResult::Fail(std::string(io_text::kNotAFile));
    // Writes past this point may wait for the disk as usual.
    if (::fcntl(fd.get(), F_SETFL, O_APPEND) != 0) return LastError();
    file = std::make_unique<PosixWritableFile>(fd.Release());
    return IoResult::Ok();
  }

  IoResult CreateEmpty(const std::string& path, std::unique_ptr<WritableFile>& file) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) return LastError();
    file = std::make_unique<PosixWritableFile>(fd);
    return IoResult::Ok();
  }

  IoResult Rename(const std::string& from, const std::string& to) override {
    // The new file gets the permissions of the one it replaces.
    struct stat old{};
    if (::stat(to.c_str(), &old) == 0) {
      if (ReadOnlyFile(to)) return Failed(EACCES);
      if (::chmod(from.c_str(), old.st_mode & 07777) != 0) return LastError();
    }
    if (::rename(from.c_str(), to.c_str()) != 0) return LastError();
    FlushFolder(ParentFolder(to));
    return IoResult::Ok();
  }

  IoResult Remove(const std::string& path) override {
    return ::unlink(path.c_str()) == 0 ? IoResult::Ok() : LastError();
  }

  IoResult CreateFolder(const std::string& path) override {
    if (::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST) return IoResult::Ok();
    return LastError();
  }

  std::string FinalPath(const std::string& path) override {
    // Only the file's own links are followed: a link among the folders
    // leads to the same folder whichever way it is named.
    std::string current = path;
    for (int hop = 0; hop < kMostLinksFollowed; ++hop) {
      char target[4096];
      const ssize_t n = ::readlink(current.c_str(), target, sizeof target);
      if (n <= 0 || static_cast<std::size_t>(n) == sizeof target) break;  // no link (or none to follow)
      std::string next(target, static_cast<std::size_t>(n));
      const std::string folder = ParentFolder(current);
      if (next.front() != '/' && !folder.empty()) next = folder + '/' + next;
      current = std::move(next);
    }
    return current;
  }

  bool SameFile(const std::string& a, const std::string& b) override {
    struct stat sa{}, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && SameInode(sa, sb);
  }

  IoResult Lock(const std::string& path, std::unique_ptr<FileLock>& lock) override {
    if (ReadOnlyFile(path)) return Failed(EACCES);
    bool byteLock = true;
    for (int attempt = 1;; ++attempt) {
      // Not blocking, and never a terminal of this process: a pipe or a
      // device in place of the lock file is refused below.
      Fd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_NOCTTY, 0666));
      if (!fd.valid()) return LastError();
      struct stat held{};
      if (::fstat(fd.get(), &held) != 0) return LastError();
      if (!S_ISREG(held.st_mode)) return IoResult::Fail(std::string(io_text::kNotAFile));
      if (::fcntl(fd.get(), F_SETFL, 0) != 0) return LastError();
      const LockResult taken = TryLock(fd.get(), byteLock);
      if (taken == LockResult::kFailed) return LastError();
      if (taken == LockResult::kTaken) {
        // The lock holds only while the locked file is the one at the path:
        // a lock file removed or replaced meanwhile (a sync client, a
        // user) is another writer's to create and lock anew, so take the
        // one there now. (Closing the descriptor drops the lock.)
        if (IsFileAt(fd.get(), path)) {
          lock = std::make_unique<PosixFileLock>(fd.Release(), byteLock, path);
          return IoResult::Ok();
        }
      }
      if (attempt * kLockPollMs >= lockWaitMs_) return Failed(EWOULDBLOCK);
      const timespec pause{0, kLockPollMs * 1'000'000L};
      ::nanosleep(&pause, nullptr);
    }
  }

 private:
  int lockWaitMs_;
};

}  // namespace

std::unique_ptr<FileSystem> MakeSystemFileSystem(int lockWaitMs) {
  return std::make_unique<PosixFileSystem>(lockWaitMs);
}

}  // namespace redoviri
