#include "events/eventfile.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "events/eventrecord.h"

namespace redoviri {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// A rewrite hands the file system pieces of about this size, so a file of
// 100,000 events is never held twice in memory.
constexpr std::size_t kWriteChunkBytes = 64 * 1024;

// The note of an append under way: "append <old size> <new size> <time>",
// a line end, then the bytes appended; the time (ns since 1970, the system
// clock) is when the append began. A later holder cuts the file back only
// when what stands past the old size is the start of those bytes, and the
// file's last change came within kAppendWindowNs of that time: anything else
// was written by someone else since (an editor that saved the whole file,
// the line without its line end, say). Notes of older versions hold no time.
constexpr std::string_view kAppendNote = "append ";

// Longer than any append takes, the largest import included.
constexpr std::int64_t kAppendWindowNs = 10'000'000'000;

std::string AppendNote(std::int64_t oldSize, std::string_view bytes, std::int64_t beganNs) {
  std::string note = std::string(kAppendNote) + std::to_string(oldSize) + ' ' +
                     std::to_string(oldSize + static_cast<std::int64_t>(bytes.size())) + ' ' +
                     std::to_string(beganNs) + '\n';
  note += bytes;
  return note;
}

struct AppendUnderWay {
  std::int64_t oldSize = 0;
  std::string_view bytes;
  std::int64_t beganNs = -1;  // -1: a note without a time
};

bool ParseAppendNote(std::string_view note, AppendUnderWay& append) {
  if (note.substr(0, kAppendNote.size()) != kAppendNote) return false;
  note.remove_prefix(kAppendNote.size());
  const std::size_t lineEnd = note.find('\n');
  if (lineEnd == std::string_view::npos) return false;  // a note of an older version: no bytes to compare
  std::string_view sizes = note.substr(0, lineEnd);
  const std::size_t gap = sizes.find(' ');
  if (gap == std::string_view::npos) return false;
  const auto number = [](std::string_view text, std::int64_t& value) {
    if (text.empty() || text.size() > 18) return false;
    value = 0;
    for (char c : text) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    return true;
  };
  std::int64_t newSize = 0;
  append.bytes = note.substr(lineEnd + 1);
  append.beganNs = -1;
  if (const std::size_t timeGap = sizes.find(' ', gap + 1); timeGap != std::string_view::npos) {
    if (!number(sizes.substr(timeGap + 1), append.beganNs)) return false;
    sizes = sizes.substr(0, timeGap);
  }
  return number(sizes.substr(0, gap), append.oldSize) && number(sizes.substr(gap + 1), newSize) &&
         newSize - append.oldSize == static_cast<std::int64_t>(append.bytes.size()) && !append.bytes.empty();
}

std::uint64_t Rotate(std::uint64_t x, int bits) { return (x << bits) | (x >> (64 - bits)); }

std::string_view FileName(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\/");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

}  // namespace

std::string io_text::IoError(long code) { return "I/O error " + std::to_string(code); }

void FileSystem::Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string ParentFolder(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\/");
  return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut));
}

IoResult WriteFileAnew(FileSystem& fs, const std::string& path, std::string_view bytes) {
  const std::string target = fs.FinalPath(path);
  const std::string temporary = target + ".new";
  std::unique_ptr<WritableFile> file;
  IoResult written = fs.CreateEmpty(temporary, file);
  if (!written.ok()) return written;
  written = file->Write(bytes);
  if (written.ok()) written = file->Flush();
  if (written.ok()) written = file->Close();
  file.reset();
  if (written.ok()) written = fs.Rename(temporary, target);
  if (!written.ok()) (void)fs.Remove(temporary);
  return written;
}

void ContentHash::MixBlock(const char* block) {
  for (std::size_t lane = 0; lane < 4; ++lane) {
    std::uint64_t word;
    std::memcpy(&word, block + 8 * lane, 8);  // little-endian on every target of the program
    lanes_[lane] = Rotate(lanes_[lane] ^ (word * 0x87C37B91114253D5u), 31) * 0x4CF5AD432745937Fu;
  }
}

void ContentHash::Add(std::string_view bytes) {
  length_ += bytes.size();
  if (pendingCount_ != 0) {
    const std::size_t take = std::min(kBlock - pendingCount_, bytes.size());
    std::memcpy(pending_ + pendingCount_, bytes.data(), take);
    pendingCount_ += take;
    bytes.remove_prefix(take);
    if (pendingCount_ < kBlock) return;
    MixBlock(pending_);
    pendingCount_ = 0;
  }
  while (bytes.size() >= kBlock) {
    MixBlock(bytes.data());
    bytes.remove_prefix(kBlock);
  }
  std::memcpy(pending_, bytes.data(), bytes.size());
  pendingCount_ = bytes.size();
}

std::uint64_t ContentHash::Value() const {
  ContentHash last = *this;
  if (last.pendingCount_ != 0) {
    std::memset(last.pending_ + last.pendingCount_, 0, kBlock - last.pendingCount_);
    last.MixBlock(last.pending_);
  }
  std::uint64_t h = length_;
  for (std::uint64_t lane : last.lanes_) h = Rotate(h ^ lane, 27) * 0x9E3779B97F4A7C15u;
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDu;
  h ^= h >> 33;
  return h;
}

bool BlankFileLine(std::string_view line) { return TrimBlanks(line).empty(); }

EventFileLines SplitEventFile(std::string_view bytes) {
  EventFileLines content;
  bool first = true;
  ForEachFileLine(bytes, [&](std::string_view line) {
    if (first) {
      content.reservedLine = line;
      first = false;
    } else if (!BlankFileLine(line)) {
      content.eventLines.push_back(line);
    }
  });
  return content;
}

IoResult EventFile::Lock(std::unique_ptr<FileLock>& lock, bool createFolder) const {
  target_ = fs_->FinalPath(path_);
  if (createFolder) {
    if (IoResult r = EnsureFolder(ParentFolder(target_)); !r.ok()) return r;
  }
  std::unique_ptr<FileLock> taken;
  if (IoResult r = fs_->Lock(LockPath(), taken); !r.ok()) return LockFault(std::move(r));
  if (IoResult r = Recover(*taken); !r.ok()) return r;
  lock = std::move(taken);
  return IoResult::Ok();
}

IoResult EventFile::LockFault(IoResult result) const {
  if (result.ok() || result.error == io_text::IoError(io_text::kLockViolation)) return result;
  result.error += ": ";
  result.error += FileName(LockPath());
  return result;
}

IoResult EventFile::Recover(FileLock& lock) const {
  std::string note;
  if (IoResult r = lock.ReadNote(note); !r.ok()) return LockFault(std::move(r));
  if (AppendUnderWay append; lock.StillHeld() && ParseAppendNote(note, append)) {
    if (IoResult r = CutBackHalfDoneAppend(append.oldSize, append.bytes, append.beganNs); !r.ok()) return r;
  }
  // The append is complete, cut back, never begun, or overtaken by another
  // writer: in every case the note has served.
  if (!note.empty()) {
    if (IoResult r = lock.WriteNote({}); !r.ok()) return LockFault(std::move(r));
  }
  // A temporary file left by a killed rewrite: the next rewrite would empty
  // it anyway, so a failure here is no reason to stop. Never under a lock
  // whose file was removed meanwhile: the temporary file may be the writing
  // of the one who holds the lock now.
  if (lock.StillHeld() && fs_->Exists(TemporaryPath())) (void)fs_->Remove(TemporaryPath());
  return IoResult::Ok();
}

IoResult EventFile::CutBackHalfDoneAppend(std::int64_t oldSize, std::string_view bytes, std::int64_t beganNs) const {
  FileStamp stamp;
  if (IoResult r = Stat(stamp); !r.ok()) return r;
  const std::int64_t newSize = oldSize + static_cast<std::int64_t>(bytes.size());
  // Only a size between the two can be a half-done append; and only when
  // the bytes past the old size are the first of the noted ones and the
  // file changed last while the append could be under way: then no one
  // else has written the file since.
  if (!stamp.exists || stamp.size <= oldSize || stamp.size >= newSize) return IoResult::Ok();
  if (beganNs >= 0 && stamp.LatestNs() > beganNs + kAppendWindowNs) return IoResult::Ok();
  std::string content;
  if (IoResult r = Read(content); !r.ok()) return r;
  if (static_cast<std::int64_t>(content.size()) != stamp.size ||
      std::string_view(content).substr(static_cast<std::size_t>(oldSize)) !=
          bytes.substr(0, static_cast<std::size_t>(stamp.size - oldSize))) {
    return IoResult::Ok();
  }
  std::unique_ptr<WritableFile> file;
  if (IoResult r = fs_->OpenForAppend(target_, file); !r.ok()) return r;
  if (IoResult r = file->Truncate(oldSize); !r.ok()) return r;
  if (IoResult r = file->Flush(); !r.ok()) return r;
  return file->Close();
}

IoResult EventFile::Stat(FileStamp& stamp) const { return fs_->Stat(target_, stamp); }

void EventFile::Pause(int ms) const { fs_->Pause(ms); }

IoResult EventFile::Read(std::string& bytes) const { return fs_->ReadAll(target_, bytes); }

IoResult EventFile::Append(FileLock& lock, std::int64_t oldSize, std::string_view bytes, std::int64_t nowNs) const {
  if (IoResult r = lock.WriteNote(AppendNote(oldSize, bytes, nowNs)); !r.ok()) return LockFault(std::move(r));
  std::unique_ptr<WritableFile> file;
  IoResult written = fs_->OpenForAppend(target_, file);
  if (written.ok()) written = file->Write(bytes);
  if (written.ok()) written = file->Flush();
  if (written.ok()) written = file->Close();
  file.reset();
  if (!written.ok()) {
    // Cut back what part of the line got written. Should that fail too, the
    // note stays, and the next holder of the lock cuts it back.
    FileStamp stamp;
    if (!Stat(stamp).ok() || (stamp.exists && stamp.size != oldSize)) {
      std::unique_ptr<WritableFile> cut;
      if (!fs_->OpenForAppend(target_, cut).ok() || !cut->Truncate(oldSize).ok() || !cut->Flush().ok() ||
          !cut->Close().ok()) {
        return written;
      }
    }
  }
  // The line is in the file (or, after a failure, nothing is): the note
  // has served. A note that stays is harmless: the bytes it holds tell
  // whether the file still ends in a part of them.
  (void)lock.WriteNote({});
  return written;
}

IoResult EventFile::Rewrite(std::string_view reservedLine, std::size_t count, const NextLine& lines,
                            ContentHash& hash, const std::function<bool()>& unchanged, bool& moved) const {
  moved = false;
  if (IoResult r = EnsureFolder(ParentFolder(target_)); !r.ok()) return r;
  IoResult written = WriteTemporary(reservedLine, count, lines, hash);
  // The temporary file as this writer left it: a writer whose lock file was
  // removed under it may take it for a leftover, remove it and write its own
  // in its place, which must never be the one renamed here.
  FileStamp mine;
  if (written.ok()) written = fs_->Stat(TemporaryPath(), mine);
  if (written.ok() && !unchanged()) {
    moved = true;
    (void)fs_->Remove(TemporaryPath());
    return written;
  }
  if (written.ok()) {
    FileStamp now;
    if (!fs_->Stat(TemporaryPath(), now).ok() || !now.SameFile(mine) || !mine.exists) {
      // Not this writer's any more: it is left to the one who wrote it.
      moved = true;
      return IoResult::Ok();
    }
    written = fs_->Rename(TemporaryPath(), target_);
    // The temporary file gone (a writer whose lock file was removed under
    // it took it for a leftover): nothing was replaced; the change is done
    // anew.
    if (!written.ok() && !fs_->Exists(TemporaryPath())) {
      moved = true;
      return IoResult::Ok();
    }
  }
  if (!written.ok()) {
    // Should the removal fail, the next holder of the lock removes it.
    (void)fs_->Remove(TemporaryPath());
  }
  return written;
}

IoResult EventFile::WriteTemporary(std::string_view reservedLine, std::size_t count, const NextLine& lines,
                                   ContentHash& hash) const {
  std::unique_ptr<WritableFile> file;
  if (IoResult r = fs_->CreateEmpty(TemporaryPath(), file); !r.ok()) return r;
  std::string chunk;
  chunk.reserve(kWriteChunkBytes + kEventLineLength + 2 * kLineEnd.size());
  const auto flushChunk = [&]() -> IoResult {
    hash.Add(chunk);
    IoResult r = file->Write(chunk);
    chunk.clear();
    return r;
  };
  chunk += reservedLine;
  chunk += kLineEnd;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view line = lines();
    if (chunk.size() + line.size() > kWriteChunkBytes && !chunk.empty()) {
      if (IoResult r = flushChunk(); !r.ok()) return r;
    }
    chunk += line;
    chunk += kLineEnd;
  }
  if (IoResult r = flushChunk(); !r.ok()) return r;
  if (IoResult r = file->Flush(); !r.ok()) return r;
  return file->Close();
}

IoResult EventFile::EnsureFolder(const std::string& folder) const {
  if (folder.empty() || fs_->Exists(folder)) return IoResult::Ok();
  if (IoResult r = EnsureFolder(ParentFolder(folder)); !r.ok()) return r;
  return fs_->CreateFolder(folder);
}

}  // namespace redoviri
