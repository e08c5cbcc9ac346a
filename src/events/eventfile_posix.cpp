// File operations of the event file on POSIX systems (the command-line tool
// and the native tests).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "events/eventfile.h"

namespace redoviri {
namespace {

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
      return std::string(io_text::kDiskFull);
    default:
      return io_text::IoError(code);
  }
}

IoResult LastError() { return IoResult::Fail(ErrorText(errno)); }

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

// Flushes the folder entry of a renamed file; a folder that cannot be
// opened for this only loses the extra safety.
void FlushFolder(const std::string& folder) {
  Fd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY));
  if (dir.valid()) ::fsync(dir.get());
}

class PosixFileSystem final : public FileSystem {
 public:
  bool Exists(const std::string& path) override {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0;
  }

  IoResult ReadAll(const std::string& path, std::string& bytes) override {
    Fd fd(::open(path.c_str(), O_RDONLY));
    if (!fd.valid()) return LastError();
    struct stat st{};
    if (::fstat(fd.get(), &st) != 0) return LastError();
    std::string out(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t filled = 0;
    for (;;) {
      if (filled == out.size()) out.resize(out.size() + 65536);  // the file grew meanwhile
      const ssize_t n = ::read(fd.get(), out.data() + filled, out.size() - filled);
      if (n < 0) {
        if (errno == EINTR) continue;
        return LastError();
      }
      if (n == 0) break;
      filled += static_cast<std::size_t>(n);
    }
    out.resize(filled);
    bytes = std::move(out);
    return IoResult::Ok();
  }

  IoResult LastByte(const std::string& path, int& last) override {
    Fd fd(::open(path.c_str(), O_RDONLY));
    if (!fd.valid()) return LastError();
    struct stat st{};
    if (::fstat(fd.get(), &st) != 0) return LastError();
    if (st.st_size == 0) {
      last = -1;
      return IoResult::Ok();
    }
    unsigned char byte = 0;
    if (::pread(fd.get(), &byte, 1, st.st_size - 1) != 1) return LastError();
    last = byte;
    return IoResult::Ok();
  }

  IoResult Append(const std::string& path, std::string_view bytes) override {
    Fd fd(::open(path.c_str(), O_WRONLY | O_APPEND));
    if (!fd.valid()) return LastError();
    if (IoResult r = WriteAll(fd.get(), bytes); !r.ok()) return r;
    if (::fsync(fd.get()) != 0 || !fd.Close()) return LastError();
    return IoResult::Ok();
  }

  IoResult Replace(const std::string& path, std::string_view bytes) override {
    std::string temp = path + ".XXXXXX";
    Fd fd(::mkstemp(temp.data()));
    if (!fd.valid()) return LastError();
    IoResult result = WriteTemp(fd, path, bytes);
    if (result.ok() && ::rename(temp.c_str(), path.c_str()) != 0) result = LastError();
    if (!result.ok()) {
      ::unlink(temp.c_str());
      return result;
    }
    FlushFolder(ParentFolder(path));
    return result;
  }

  IoResult CreateFolder(const std::string& path) override {
    if (::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST) return IoResult::Ok();
    return LastError();
  }

 private:
  // Fills the temporary file and gives it the permissions of the file it
  // replaces (mkstemp makes it private to the owner).
  static IoResult WriteTemp(Fd& fd, const std::string& path, std::string_view bytes) {
    struct stat old{};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    if (::fchmod(fd.get(), mode) != 0) return LastError();
    if (IoResult r = WriteAll(fd.get(), bytes); !r.ok()) return r;
    if (::fsync(fd.get()) != 0 || !fd.Close()) return LastError();
    return IoResult::Ok();
  }
};

}  // namespace

std::unique_ptr<FileSystem> MakeSystemFileSystem() { return std::make_unique<PosixFileSystem>(); }

}  // namespace redoviri
