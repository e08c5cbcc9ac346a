// File operations of the event file on Windows (ANSI functions: the path is
// in the system code page).
#include <windows.h>

#include "events/eventfile.h"

namespace redoviri {
namespace {

// A virus scanner or backup tool may hold the file for a moment: such a
// refusal is tried again a few times over about a second.
constexpr int kAttempts = 5;
constexpr DWORD kRetryDelayMs = 250;
constexpr DWORD kNoError = 0;

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
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Reset(INVALID_HANDLE_VALUE); }
  HANDLE get() const { return h_; }
  void Reset(HANDLE h) {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    h_ = h;
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

class Win32FileSystem final : public FileSystem {
 public:
  bool Exists(const std::string& path) override { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

  IoResult ReadAll(const std::string& path, std::string& bytes) override {
    Handle file;
    if (DWORD e = OpenFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, file)) {
      return Result(e);
    }
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

  IoResult LastByte(const std::string& path, int& last) override {
    Handle file;
    if (DWORD e = OpenFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, file)) {
      return Result(e);
    }
    LONGLONG size = 0;
    if (DWORD e = FileSize(file.get(), size)) return Result(e);
    if (size == 0) {
      last = -1;
      return IoResult::Ok();
    }
    LARGE_INTEGER at{};
    at.QuadPart = size - 1;
    unsigned char byte = 0;
    DWORD read = 0;
    if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) || !ReadFile(file.get(), &byte, 1, &read, nullptr)) {
      return Result(GetLastError());
    }
    if (read != 1) return Result(ERROR_HANDLE_EOF);
    last = byte;
    return IoResult::Ok();
  }

  IoResult Append(const std::string& path, std::string_view bytes) override {
    Handle file;
    if (DWORD e = OpenFile(path, FILE_APPEND_DATA, FILE_SHARE_READ, OPEN_EXISTING, file)) return Result(e);
    if (DWORD e = WriteAll(file.get(), bytes)) return Result(e);
    if (!FlushFileBuffers(file.get())) return Result(GetLastError());
    return Result(file.Close());
  }

  IoResult Replace(const std::string& path, std::string_view bytes) override {
    const std::string folder = ParentFolder(path);
    char temp[MAX_PATH];
    if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "rdv", 0, temp)) return Result(GetLastError());
    const DWORD code = WriteAndMove(temp, path, bytes);
    if (code != kNoError) DeleteFileA(temp);
    return Result(code);
  }

  IoResult CreateFolder(const std::string& path) override {
    if (CreateDirectoryA(path.c_str(), nullptr)) return IoResult::Ok();
    const DWORD code = GetLastError();
    return Result(code == ERROR_ALREADY_EXISTS ? kNoError : code);
  }

 private:
  static DWORD WriteAndMove(const char* temp, const std::string& path, std::string_view bytes) {
    Handle file;
    if (DWORD e = OpenFile(temp, GENERIC_WRITE, 0, CREATE_ALWAYS, file)) return e;
    if (DWORD e = WriteAll(file.get(), bytes)) return e;
    if (!FlushFileBuffers(file.get())) return GetLastError();
    if (DWORD e = file.Close()) return e;
    return WithRetry([&]() -> DWORD {
      return MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? kNoError
                                                                                                : GetLastError();
    });
  }
};

}  // namespace

std::unique_ptr<FileSystem> MakeSystemFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace redoviri
