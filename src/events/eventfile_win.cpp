// File operations of the event file on Windows (ANSI functions: the path is
// in the system code page).
#include <windows.h>
#include <winioctl.h>

#include <cstddef>
#include <vector>

#include "events/codepage.h"
#include "events/eventfile.h"
#include "events/eventfile_win.h"

namespace redoviri {
namespace {

// A virus scanner or backup tool may hold the file for a moment: such a
// refusal is tried again a few times over about a second.
constexpr int kAttempts = 5;
constexpr DWORD kRetryDelayMs = 250;
constexpr DWORD kNoError = 0;
// 100 ns ticks from 1601-01-01 to 1970-01-01.
constexpr LONGLONG kUnixEpochTicks = 116444736000000000LL;
// As many links as the native code follows in one path.
constexpr int kMostLinksFollowed = 40;
// A symbolic link's target given relative to the link's folder.
constexpr ULONG kRelativeLink = 1;

std::string ErrorText(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
      return std::string(io_text::kFileNotFound);
    case ERROR_PATH_NOT_FOUND:
      return std::string(io_text::kPathNotFound);
    case ERROR_INVALID_NAME:
      return std::string(io_text::kInvalidFilename);
    case ERROR_TOO_MANY_OPEN_FILES:
      return std::string(io_text::kTooManyOpenFiles);
    case ERROR_ACCESS_DENIED:
      return std::string(io_text::kAccessDenied);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::string(io_text::kDiskFull);
    default:
      return io_text::IoError(static_cast<long>(code));
  }
}

IoResult Result(DWORD code) { return code == kNoError ? IoResult::Ok() : IoResult::Fail(ErrorText(code)); }

bool HeldByAnotherProgram(DWORD code) {
  return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION || code == ERROR_ACCESS_DENIED;
}

// Runs `attempt` (which returns a Win32 error code, 0 on success) again while
// the file seems held by another program.
template <class Attempt>
DWORD WithRetry(Attempt attempt) {
  DWORD code = attempt();
  for (int i = 1; i < kAttempts && HeldByAnotherProgram(code); ++i) {
    Sleep(kRetryDelayMs);
    code = attempt();
  }
  return code;
}

class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE h) : h_(h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Reset(INVALID_HANDLE_VALUE); }
  HANDLE get() const { return h_; }
  void Reset(HANDLE h) {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    h_ = h;
  }
  HANDLE Release() {
    const HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return h;
  }
  // Closes now so that a failing close is reported.
  DWORD Close() {
    const HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return CloseHandle(h) ? kNoError : GetLastError();
  }

 private:
  HANDLE h_ = INVALID_HANDLE_VALUE;
};

DWORD OpenFile(const std::string& path, DWORD access, DWORD share, DWORD disposition, Handle& file) {
  return WithRetry([&]() -> DWORD {
    const HANDLE h = CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError();
    file.Reset(h);
    return kNoError;
  });
}

// Opens a file (or folder) only to ask about it, whoever else holds it:
// reading its attributes is no access that sharing keeps out.
DWORD OpenToAsk(const std::string& path, Handle& file) {
  const HANDLE h = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError();
  file.Reset(h);
  return kNoError;
}

bool SameFileId(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

// Whether the file open as `held` is the one at `path` now (the same volume
// and file number): a file removed, or another put in its place, is not.
// Where the system does not tell, it is taken as the same.
bool IsFileAt(HANDLE held, const std::string& path) {
  Handle there;
  if (OpenToAsk(path, there) != kNoError) return false;
  BY_HANDLE_FILE_INFORMATION a{}, b{};
  if (!GetFileInformationByHandle(held, &a) || !GetFileInformationByHandle(there.get(), &b)) return true;
  return SameFileId(a, b);
}

// A device (NUL, CON, COM1, also "nul.txt") or a pipe where a file should
// be: by the name the system turns the path into ("\\.\NUL", a pipe's
// "\\.\pipe\..."), which is not opened, or else by what it opens as (a
// FIFO under Wine).
bool NotADiskFile(const std::string& path) {
  char full[MAX_PATH];
  const DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  const std::string_view name(full, n < sizeof full ? n : 0);
  constexpr std::string_view kDevice = "\\\\.\\", kPipes = "pipe\\";
  if (name.substr(0, kDevice.size()) == kDevice) {
    const std::string_view rest = name.substr(kDevice.size());
    if (rest.find('\\') == std::string_view::npos) return true;
    if (_strnicmp(rest.data(), kPipes.data(), kPipes.size()) == 0) return true;
  }
  Handle file;
  return OpenToAsk(path, file) == kNoError && GetFileType(file.get()) != FILE_TYPE_DISK;
}

// The fault of a file that could not be asked about or opened: a pipe or a
// device there is not a file (the system's own faults for them, as 87 and
// 66, would tell the user nothing).
IoResult OpenFault(const std::string& path, DWORD code) {
  if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND && NotADiskFile(path)) {
    return IoResult::Fail(std::string(io_text::kNotAFile));
  }
  return Result(code);
}

// The layout of a symbolic link's reparse data (the system's
// REPARSE_DATA_BUFFER for IO_REPARSE_TAG_SYMLINK). Offsets and lengths are
// in bytes, from `names`.
struct SymbolicLinkData {
  DWORD tag;
  WORD dataLength;
  WORD reserved;
  WORD substituteOffset, substituteLength, printOffset, printLength;
  ULONG flags;
  WCHAR names[1];
};

// The path a symbolic link names, read from the link itself and not from
// its target, which need not be there (a synced file briefly gone). Empty
// when the path is no symbolic link.
std::string SymbolicLinkTarget(const std::string& link) {
  const HANDLE h = CreateFileA(link.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  Handle file(h);
  std::vector<BYTE> data(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
  DWORD got = 0;
  if (!DeviceIoControl(file.get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, data.data(), static_cast<DWORD>(data.size()),
                       &got, nullptr)) {
    return {};
  }
  return SymbolicLinkTargetFromData(link, data.data(), got);
}

DWORD WriteAll(HANDLE h, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) return GetLastError();
    bytes.remove_prefix(written);
  }
  return kNoError;
}

DWORD FileSize(HANDLE h, LONGLONG& size) {
  LARGE_INTEGER li{};
  if (!GetFileSizeEx(h, &li)) return GetLastError();
  size = li.QuadPart;
  return kNoError;
}

DWORD MoveTo(HANDLE h, LONGLONG offset, DWORD from) {
  LARGE_INTEGER at{};
  at.QuadPart = offset;
  return SetFilePointerEx(h, at, nullptr, from) ? kNoError : GetLastError();
}

// A read-only file is refused at once rather than after the retries meant
// for a file held by another program, and also where the file system
// would let it be written (Wine run as root).
bool ReadOnlyFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::int64_t UnixNanoseconds(LONGLONG ticks) { return (ticks - kUnixEpochTicks) * 100; }

std::int64_t UnixNanoseconds(const FILETIME& t) {
  return UnixNanoseconds((static_cast<LONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
}

// What the stamp holds beyond the size and the write time: the change
// time (0 where the file system keeps none, as FAT) and the file's
// identity. Left at zero when the file cannot be asked, as a stamp of a
// file that vanished meanwhile.
void AddChangeAndIdentity(const std::string& path, FileStamp& stamp) {
  Handle file;
  if (OpenToAsk(path, file) != kNoError) return;
  FILE_BASIC_INFO basic{};
  if (GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic) && basic.ChangeTime.QuadPart != 0) {
    stamp.changedNs = UnixNanoseconds(basic.ChangeTime.QuadPart);
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(file.get(), &info)) {
    stamp.volume = info.dwVolumeSerialNumber;
    stamp.fileId = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  }
}

class Win32WritableFile final : public WritableFile {
 public:
  explicit Win32WritableFile(HANDLE h, bool atEnd) : file_(h), atEnd_(atEnd) {}

  IoResult Write(std::string_view bytes) override {
    if (atEnd_) {
      if (DWORD e = MoveTo(file_.get(), 0, FILE_END)) return Result(e);
    }
    return Result(WriteAll(file_.get(), bytes));
  }
  IoResult Flush() override { return FlushFileBuffers(file_.get()) ? IoResult::Ok() : Result(GetLastError()); }
  IoResult Truncate(std::int64_t size) override {
    if (DWORD e = MoveTo(file_.get(), size, FILE_BEGIN)) return Result(e);
    return SetEndOfFile(file_.get()) ? IoResult::Ok() : Result(GetLastError());
  }
  IoResult Close() override { return Result(file_.Close()); }

 private:
  Handle file_;
  bool atEnd_;
};

class Win32FileLock final : public FileLock {
 public:
  Win32FileLock(HANDLE h, std::string path) : file_(h), path_(std::move(path)) {}
  ~Win32FileLock() override {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(kLockedByteOffset);
    UnlockFileEx(file_.get(), 0, 1, 0, &at);
  }

  IoResult ReadNote(std::string& note) override {
    if (DWORD e = MoveTo(file_.get(), 0, FILE_BEGIN)) return Result(e);
    note.clear();
    char buffer[4096];
    for (;;) {
      DWORD read = 0;
      if (!ReadFile(file_.get(), buffer, sizeof buffer, &read, nullptr)) return Result(GetLastError());
      if (read == 0) return IoResult::Ok();
      note.append(buffer, read);
    }
  }

  IoResult WriteNote(std::string_view note) override {
    if (DWORD e = MoveTo(file_.get(), 0, FILE_BEGIN)) return Result(e);
    if (!SetEndOfFile(file_.get())) return Result(GetLastError());
    if (note.empty()) return IoResult::Ok();
    // Not flushed: the note is for a writer killed half way, whose writes
    // the system still holds; flushing it would double the cost of a save.
    return Result(WriteAll(file_.get(), note));
  }

  bool StillHeld() override { return IsFileAt(file_.get(), path_); }

 private:
  Handle file_;
  std::string path_;
};

class Win32FileSystem final : public FileSystem {
 public:
  explicit Win32FileSystem(int lockWaitMs) : lockWaitMs_(lockWaitMs) {}

  bool Exists(const std::string& path) override { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

  IoResult Stat(const std::string& path, FileStamp& stamp) override {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    stamp = {};
    stamp.takenNs = UnixNanoseconds(now);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
      const DWORD code = GetLastError();
      // A missing folder means a missing file too.
      return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? IoResult::Ok() : OpenFault(path, code);
    }
    stamp.exists = true;
    stamp.size = (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.modifiedNs = UnixNanoseconds(data.ftLastWriteTime);
    AddChangeAndIdentity(path, stamp);
    return IoResult::Ok();
  }

  IoResult ReadAll(const std::string& path, std::string& bytes) override {
    Handle file;
    if (DWORD e = OpenFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, file)) {
      return OpenFault(path, e);
    }
    // A device (CON, NUL, a pipe) would be read without end.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return IoResult::Fail(std::string(io_text::kNotAFile));
    LONGLONG size = 0;
    if (DWORD e = FileSize(file.get(), size)) return Result(e);
    std::string out(static_cast<std::size_t>(size), '\0');
    std::size_t filled = 0;
    while (filled < out.size()) {
      DWORD read = 0;
      if (!ReadFile(file.get(), out.data() + filled, static_cast<DWORD>(out.size() - filled), &read, nullptr)) {
        return Result(GetLastError());
      }
      if (read == 0) break;  // the file shrank meanwhile
      filled += read;
    }
    out.resize(filled);
    bytes = std::move(out);
    return IoResult::Ok();
  }

  IoResult OpenForAppend(const std::string& path, std::unique_ptr<WritableFile>& file) override {
    // Write access (not only append access): a failed append is cut back.
    if (ReadOnlyFile(path)) return Result(ERROR_ACCESS_DENIED);
    Handle h;
    if (DWORD e = OpenFile(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING, h)) return OpenFault(path, e);
    if (GetFileType(h.get()) != FILE_TYPE_DISK) return IoResult::Fail(std::string(io_text::kNotAFile));
    file = std::make_unique<Win32WritableFile>(h.Release(), true);
    return IoResult::Ok();
  }

  IoResult CreateEmpty(const std::string& path, std::unique_ptr<WritableFile>& file) override {
    Handle h;
    if (DWORD e = OpenFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS, h)) return Result(e);
    file = std::make_unique<Win32WritableFile>(h.Release(), false);
    return IoResult::Ok();
  }

  IoResult Rename(const std::string& from, const std::string& to) override {
    if (ReadOnlyFile(to)) return Result(ERROR_ACCESS_DENIED);
    return Result(WithRetry([&]() -> DWORD {
      return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                 ? kNoError
                 : GetLastError();
    }));
  }

  IoResult Remove(const std::string& path) override {
    return DeleteFileA(path.c_str()) ? IoResult::Ok() : Result(GetLastError());
  }

  IoResult CreateFolder(const std::string& path) override {
    if (CreateDirectoryA(path.c_str(), nullptr)) return IoResult::Ok();
    const DWORD code = GetLastError();
    return Result(code == ERROR_ALREADY_EXISTS ? kNoError : code);
  }

  std::string FinalPath(const std::string& path) override {
    Handle file;
    if (OpenToAsk(path, file) != kNoError) {
      // No file there: a link is followed by the names it holds, so that a
      // link whose target is briefly gone stays a link and the file is
      // written where it lives.
      std::string current = path;
      for (int hop = 0; hop < kMostLinksFollowed; ++hop) {
        std::string next = SymbolicLinkTarget(current);
        if (next.empty()) break;
        current = std::move(next);
      }
      return current;
    }
    char final[MAX_PATH * 4];
    const DWORD n = GetFinalPathNameByHandleA(file.get(), final, sizeof final, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0 || n >= sizeof final) return path;
    std::string found(final, n);
    // "\\?\C:\..." and "\\?\UNC\server\share\...": the plain form of the path.
    constexpr std::string_view kLong = "\\\\?\\", kLongUnc = "\\\\?\\UNC\\";
    if (found.compare(0, kLongUnc.size(), kLongUnc) == 0) return "\\\\" + found.substr(kLongUnc.size());
    if (found.compare(0, kLong.size(), kLong) == 0) return found.substr(kLong.size());
    return found;
  }

  bool SameFile(const std::string& a, const std::string& b) override {
    Handle fa, fb;
    BY_HANDLE_FILE_INFORMATION ia{}, ib{};
    return OpenToAsk(a, fa) == kNoError && OpenToAsk(b, fb) == kNoError && GetFileInformationByHandle(fa.get(), &ia) &&
           GetFileInformationByHandle(fb.get(), &ib) && SameFileId(ia, ib);
  }

  IoResult Lock(const std::string& path, std::unique_ptr<FileLock>& lock) override {
    // Refused at once rather than after the retries meant for a file held
    // by another program.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return IoResult::Fail(std::string(io_text::kNotAFile));
    }
    if (ReadOnlyFile(path)) return Result(ERROR_ACCESS_DENIED);
    for (int attempt = 1;; ++attempt) {
      // Opened anew each time: the file waited for may have been removed
      // or replaced meanwhile.
      Handle file;
      if (DWORD e = OpenFile(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             OPEN_ALWAYS, file)) {
        return Result(e);
      }
      if (GetFileType(file.get()) != FILE_TYPE_DISK) return IoResult::Fail(std::string(io_text::kNotAFile));
      OVERLAPPED at{};
      at.Offset = static_cast<DWORD>(kLockedByteOffset);
      if (LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        // The lock keeps others out only while the locked file is the one
        // at the path: one removed or replaced since it was opened (by a
        // sync client, a user) is not the file the next writer locks, so
        // the one there now is taken instead.
        if (IsFileAt(file.get(), path)) {
          lock = std::make_unique<Win32FileLock>(file.Release(), path);
          return IoResult::Ok();
        }
        UnlockFileEx(file.get(), 0, 1, 0, &at);
      } else if (const DWORD code = GetLastError(); code != ERROR_LOCK_VIOLATION && code != ERROR_IO_PENDING) {
        return Result(code);
      }
      if (attempt * kLockPollMs >= lockWaitMs_) return Result(ERROR_LOCK_VIOLATION);
      Sleep(kLockPollMs);
    }
  }

 private:
  int lockWaitMs_;
};

}  // namespace

std::unique_ptr<FileSystem> MakeSystemFileSystem(int lockWaitMs) {
  return std::make_unique<Win32FileSystem>(lockWaitMs);
}

std::string SymbolicLinkTargetFromData(const std::string& link, const unsigned char* data, std::size_t got) {
  if (got < offsetof(SymbolicLinkData, names)) return {};
  SymbolicLinkData head{};
  std::memcpy(&head, data, offsetof(SymbolicLinkData, names));
  if (head.tag != IO_REPARSE_TAG_SYMLINK) return {};
  const std::size_t names = offsetof(SymbolicLinkData, names);
  const auto name = [&](WORD offset, WORD length) -> std::wstring {
    if (names + offset + length > got) return {};
    std::wstring text(length / sizeof(WCHAR), L'\0');
    std::memcpy(text.data(), data + names + offset, text.size() * sizeof(WCHAR));
    return text;
  };
  // The name as the user gave it; else the system's form, "\??\C:\...".
  std::wstring target = name(head.printOffset, head.printLength);
  if (target.empty()) {
    target = name(head.substituteOffset, head.substituteLength);
    constexpr std::wstring_view kNt = L"\\??\\", kNtUnc = L"\\??\\UNC\\";
    if (target.compare(0, kNtUnc.size(), kNtUnc) == 0) {
      target = L"\\\\" + target.substr(kNtUnc.size());
    } else if (target.compare(0, kNt.size(), kNt) == 0) {
      target.erase(0, kNt.size());
    }
  }
  const CodePageText named = WideToCodePage(target);
  if (named.text.empty() || named.replaced > 0) return {};
  const std::string folder = ParentFolder(link);
  const std::string joined = (head.flags & kRelativeLink) != 0 && !folder.empty() ? folder + '\\' + named.text : named.text;
  // "..\" resolved by name, as the system resolves it when it opens the path.
  char full[MAX_PATH * 4];
  const DWORD n = GetFullPathNameA(joined.c_str(), sizeof full, full, nullptr);
  return n == 0 || n >= sizeof full ? joined : std::string(full, n);
}

}  // namespace redoviri
