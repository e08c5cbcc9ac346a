// An in-memory file system for the event store's tests: files and folders in
// maps, every write recorded, and any operation made to fail on demand.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "events/eventfile.h"

namespace redoviri::testing {

class FakeFileSystem final : public FileSystem {
 public:
  enum class Op { kRead, kLastByte, kAppend, kReplace, kCreateFolder };

  std::map<std::string, std::string> files;
  std::set<std::string> folders;  // the empty folder (no separator) always exists
  std::vector<std::string> appended;  // bytes of each successful append, in order
  int replaceCount = 0;

  // The next call of `op` fails with `message` and changes nothing.
  void FailNext(Op op, std::string message) { failures_[op] = std::move(message); }

  bool Exists(const std::string& path) override { return files.count(path) || folders.count(path); }

  IoResult ReadAll(const std::string& path, std::string& bytes) override {
    if (IoResult r = Check(Op::kRead, path); !r.ok()) return r;
    bytes = files.at(path);
    return IoResult::Ok();
  }

  IoResult LastByte(const std::string& path, int& last) override {
    if (IoResult r = Check(Op::kLastByte, path); !r.ok()) return r;
    const std::string& bytes = files.at(path);
    last = bytes.empty() ? -1 : static_cast<unsigned char>(bytes.back());
    return IoResult::Ok();
  }

  IoResult Append(const std::string& path, std::string_view bytes) override {
    if (IoResult r = Check(Op::kAppend, path); !r.ok()) return r;
    files.at(path) += bytes;
    appended.emplace_back(bytes);
    return IoResult::Ok();
  }

  IoResult Replace(const std::string& path, std::string_view bytes) override {
    if (IoResult r = Injected(Op::kReplace); !r.ok()) return r;
    if (!FolderExists(ParentFolder(path))) return IoResult::Fail(std::string(io_text::kPathNotFound));
    files[path] = bytes;
    ++replaceCount;
    return IoResult::Ok();
  }

  IoResult CreateFolder(const std::string& path) override {
    if (IoResult r = Injected(Op::kCreateFolder); !r.ok()) return r;
    if (!FolderExists(ParentFolder(path))) return IoResult::Fail(std::string(io_text::kPathNotFound));
    folders.insert(path);
    return IoResult::Ok();
  }

 private:
  bool FolderExists(const std::string& folder) const { return folder.empty() || folders.count(folder); }

  IoResult Injected(Op op) {
    const auto it = failures_.find(op);
    if (it == failures_.end()) return IoResult::Ok();
    IoResult r = IoResult::Fail(it->second);
    failures_.erase(it);
    return r;
  }

  // An injected failure, else "File not found" for a missing file.
  IoResult Check(Op op, const std::string& path) {
    if (IoResult r = Injected(op); !r.ok()) return r;
    if (!files.count(path)) return IoResult::Fail(std::string(io_text::kFileNotFound));
    return IoResult::Ok();
  }

  std::map<Op, std::string> failures_;
};

}  // namespace redoviri::testing
