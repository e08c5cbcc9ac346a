// An in-memory file system for the event store's tests: files and folders in
// maps, every step recorded, and any step made to fail on demand. It behaves
// as Windows does where systems differ: a read-only file cannot be replaced.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "events/eventfile.h"

namespace redoviri::testing {

class FakeFileSystem final : public FileSystem {
 public:
  // The steps of the file operations; reading a file is an open and a read.
  enum class Op {
    kStat,
    kOpen,
    kRead,
    kWrite,
    kFlush,
    kTruncate,
    kClose,
    kCreate,
    kRename,
    kRemove,
    kCreateFolder,
    kLock,
    kReadNote,
    kWriteNote,
  };

  std::map<std::string, std::string> files;
  std::map<std::string, std::int64_t> modified;  // ns; 0 for a file without an entry
  std::set<std::string> folders;  // the empty folder (no separator) always exists
  std::set<std::string> readOnly;
  std::map<std::string, std::string> notes;  // the notes of lock files
  std::map<std::string, std::string> links;  // a link's path and the path it leads to
  std::set<std::string> heldLocks;
  std::vector<std::string> appended;  // bytes of each write at the end of an existing file
  int replaceCount = 0;               // renames over a file
  std::vector<Op> trace;              // every step, in order
  // The clock. Left at 0 every stamp is fresh, so the store compares
  // content; tests that move it on see the stamps trusted.
  std::int64_t nowNs = 0;
  // Bytes the disk still takes; writes past them fail with "Disk full".
  std::optional<std::int64_t> freeBytes;
  // Reads that find no memory for the bytes (throw std::bad_alloc), from
  // the next one on.
  int readsWithoutMemory = 0;
  // Runs at the next read once its bytes are taken: another writer right
  // after the reader looked.
  std::function<void()> afterNextRead;

  // The next call of `op` fails with `message`. A failing write writes
  // half its bytes first.
  void FailNext(Op op, std::string message) { failures_[op] = std::move(message); }
  // Step number `n` from now (0: the next step, whatever it is) fails.
  void FailStep(std::size_t n, std::string message) {
    stepFailure_ = {trace.size() + n, std::move(message)};
  }

  // A change made by another program: new bytes and a new time.
  void Edit(const std::string& path, std::string bytes) {
    files[path] = std::move(bytes);
    modified[path] = nowNs;
  }

  bool Exists(const std::string& path) override { return files.count(path) || folders.count(path); }

  std::string FinalPath(const std::string& path) override {
    const auto it = links.find(path);
    return it == links.end() ? path : FinalPath(it->second);
  }

  bool SameFile(const std::string& a, const std::string& b) override {
    return files.count(FinalPath(a)) && FinalPath(a) == FinalPath(b);
  }

  IoResult Stat(const std::string& path, FileStamp& stamp) override {
    if (IoResult r = Step(Op::kStat); !r.ok()) return r;
    stamp = {};
    stamp.takenNs = nowNs;
    const auto it = files.find(path);
    if (it == files.end()) return IoResult::Ok();
    stamp.exists = true;
    stamp.size = static_cast<std::int64_t>(it->second.size());
    stamp.modifiedNs = modified.count(path) ? modified.at(path) : 0;
    if (const auto hook = afterNextStatOf.find(path); hook != afterNextStatOf.end()) {
      const std::function<void()> run = std::move(hook->second);
      afterNextStatOf.erase(hook);
      run();
    }
    return IoResult::Ok();
  }

  IoResult ReadAll(const std::string& path, std::string& bytes) override {
    if (IoResult r = Step(Op::kOpen); !r.ok()) return r;
    if (!files.count(path)) return Fail(io_text::kFileNotFound);
    if (IoResult r = Step(Op::kRead); !r.ok()) return r;
    if (readsWithoutMemory > 0) {
      --readsWithoutMemory;
      throw std::bad_alloc();
    }
    bytes = files.at(path);
    if (afterNextRead) std::exchange(afterNextRead, nullptr)();
    return IoResult::Ok();
  }

  IoResult OpenForAppend(const std::string& path, std::unique_ptr<WritableFile>& file) override {
    if (IoResult r = Step(Op::kOpen); !r.ok()) return r;
    if (!files.count(path)) return Fail(io_text::kFileNotFound);
    if (readOnly.count(path)) return Fail(io_text::kAccessDenied);
    file = std::make_unique<File>(*this, path, true);
    return IoResult::Ok();
  }

  IoResult CreateEmpty(const std::string& path, std::unique_ptr<WritableFile>& file) override {
    if (IoResult r = Step(Op::kCreate); !r.ok()) return r;
    if (!FolderExists(ParentFolder(path))) return Fail(io_text::kPathNotFound);
    if (readOnly.count(path)) return Fail(io_text::kAccessDenied);
    Edit(path, {});
    file = std::make_unique<File>(*this, path, false);
    if (onNextCreate) std::exchange(onNextCreate, nullptr)();
    return IoResult::Ok();
  }

  IoResult Rename(const std::string& from, const std::string& to) override {
    if (IoResult r = Step(Op::kRename); !r.ok()) return r;
    if (!files.count(from)) return Fail(io_text::kFileNotFound);
    if (readOnly.count(to)) return Fail(io_text::kAccessDenied);
    if (files.count(to)) ++replaceCount;
    Edit(to, files.at(from));
    files.erase(from);
    modified.erase(from);
    return IoResult::Ok();
  }

  IoResult Remove(const std::string& path) override {
    if (IoResult r = Step(Op::kRemove); !r.ok()) return r;
    if (!files.erase(path)) return Fail(io_text::kFileNotFound);
    modified.erase(path);
    return IoResult::Ok();
  }

  IoResult CreateFolder(const std::string& path) override {
    if (IoResult r = Step(Op::kCreateFolder); !r.ok()) return r;
    if (!FolderExists(ParentFolder(path))) return Fail(io_text::kPathNotFound);
    folders.insert(path);
    return IoResult::Ok();
  }

  IoResult Lock(const std::string& path, std::unique_ptr<FileLock>& lock) override {
    if (IoResult r = Step(Op::kLock); !r.ok()) return r;
    if (!FolderExists(ParentFolder(path))) return Fail(io_text::kPathNotFound);
    if (heldLocks.count(path)) return IoResult::Fail(io_text::IoError(io_text::kLockViolation));
    heldLocks.insert(path);
    lock = std::make_unique<HeldLock>(*this, path);
    return IoResult::Ok();
  }

  // The clock moves on by the pause.
  void Pause(int ms) override {
    pausedMs += ms;
    nowNs += static_cast<std::int64_t>(ms) * 1'000'000;
  }
  int pausedMs = 0;

  // Another program removes (or replaces) the lock file while it is held:
  // the holder's lock no longer keeps anyone out.
  void RemoveLockFile(const std::string& path) {
    heldLocks.erase(path);
    ++lockGeneration[path];
  }
  std::map<std::string, int> lockGeneration;
  // Runs when the next file is created (the temporary file of a rewrite).
  std::function<void()> onNextCreate;
  // Runs once the next stamp of that path is taken.
  std::map<std::string, std::function<void()>> afterNextStatOf;

 private:
  class File final : public WritableFile {
   public:
    File(FakeFileSystem& fs, std::string path, bool appending) : fs_(fs), path_(std::move(path)), appending_(appending) {}
    IoResult Write(std::string_view bytes) override {
      const IoResult injected = fs_.Step(Op::kWrite);
      std::string& content = fs_.files[path_];
      std::size_t fits = bytes.size();
      if (!injected.ok()) fits = bytes.size() / 2;
      if (fs_.freeBytes) fits = std::min<std::size_t>(fits, static_cast<std::size_t>(std::max<std::int64_t>(*fs_.freeBytes, 0)));
      content.append(bytes.substr(0, fits));
      if (fs_.freeBytes) *fs_.freeBytes -= static_cast<std::int64_t>(fits);
      fs_.modified[path_] = fs_.nowNs;
      if (!injected.ok()) return injected;
      if (fits < bytes.size()) return Fail(io_text::kDiskFull);
      if (appending_) fs_.appended.emplace_back(bytes);
      return IoResult::Ok();
    }
    IoResult Flush() override { return fs_.Step(Op::kFlush); }
    IoResult Truncate(std::int64_t size) override {
      if (IoResult r = fs_.Step(Op::kTruncate); !r.ok()) return r;
      std::string& content = fs_.files[path_];
      if (fs_.freeBytes && size < static_cast<std::int64_t>(content.size())) {
        *fs_.freeBytes += static_cast<std::int64_t>(content.size()) - size;
      }
      content.resize(static_cast<std::size_t>(size));
      fs_.modified[path_] = fs_.nowNs;
      return IoResult::Ok();
    }
    IoResult Close() override { return fs_.Step(Op::kClose); }

   private:
    FakeFileSystem& fs_;
    std::string path_;
    bool appending_;
  };

  class HeldLock final : public FileLock {
   public:
    HeldLock(FakeFileSystem& fs, std::string path)
        : fs_(fs), path_(std::move(path)), generation_(fs_.lockGeneration[path_]) {}
    ~HeldLock() override {
      if (StillHeld()) fs_.heldLocks.erase(path_);
    }
    bool StillHeld() override { return fs_.lockGeneration[path_] == generation_; }
    IoResult ReadNote(std::string& note) override {
      if (IoResult r = fs_.Step(Op::kReadNote); !r.ok()) return r;
      note = fs_.notes[path_];
      return IoResult::Ok();
    }
    IoResult WriteNote(std::string_view note) override {
      if (IoResult r = fs_.Step(Op::kWriteNote); !r.ok()) return r;
      fs_.notes[path_] = note;
      return IoResult::Ok();
    }

   private:
    FakeFileSystem& fs_;
    std::string path_;
    int generation_;
  };

  static IoResult Fail(std::string_view message) { return IoResult::Fail(std::string(message)); }

  bool FolderExists(const std::string& folder) const { return folder.empty() || folders.count(folder); }

  // Records the step and answers with an injected failure, if one is due.
  IoResult Step(Op op) {
    trace.push_back(op);
    if (stepFailure_ && stepFailure_->first + 1 == trace.size()) {
      IoResult r = IoResult::Fail(stepFailure_->second);
      stepFailure_.reset();
      return r;
    }
    const auto it = failures_.find(op);
    if (it == failures_.end()) return IoResult::Ok();
    IoResult r = IoResult::Fail(it->second);
    failures_.erase(it);
    return r;
  }

  std::map<Op, std::string> failures_;
  std::optional<std::pair<std::size_t, std::string>> stepFailure_;
};

}  // namespace redoviri::testing
