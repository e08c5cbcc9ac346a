#include "events/eventfile.h"

#include <algorithm>
#include <cstring>

#include "events/eventrecord.h"

namespace redoviri {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// A rewrite hands the file system pieces of about this size, so a file of
// 100,000 events is never held twice in memory.
constexpr std::size_t kWriteChunkBytes = 64 * 1024;

// The note of an append under way: "append <old size> <new size>".
constexpr std::string_view kAppendNote = "append ";

std::string AppendNote(std::int64_t oldSize, std::int64_t newSize) {
  return std::string(kAppendNote) + std::to_string(oldSize) + ' ' + std::to_string(newSize);
}

bool ParseAppendNote(std::string_view note, std::int64_t& oldSize, std::int64_t& newSize) {
  if (note.substr(0, kAppendNote.size()) != kAppendNote) return false;
  note.remove_prefix(kAppendNote.size());
  const std::size_t gap = note.find(' ');
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
  return number(note.substr(0, gap), oldSize) && number(TrimBlanks(note.substr(gap + 1)), newSize) &&
         oldSize < newSize;
}

std::uint64_t Rotate(std::uint64_t x, int bits) { return (x << bits) | (x >> (64 - bits)); }

}  // namespace

std::string io_text::IoError(long code) { return "I/O error " + std::to_string(code); }

std::string ParentFolder(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\/");
  return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut));
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

EventFileLines SplitEventFile(std::string_view bytes) {
  EventFileLines content;
  bool first = true;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = pos;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    const std::string_view line = bytes.substr(pos, end - pos);
    pos = end;
    if (pos < bytes.size()) pos += bytes.compare(pos, kLineEnd.size(), kLineEnd) == 0 ? kLineEnd.size() : 1;
    if (first) {
      content.reservedLine = line;
      first = false;
    } else if (!TrimBlanks(line).empty()) {
      content.eventLines.push_back(line);
    }
  }
  return content;
}

IoResult EventFile::Lock(std::unique_ptr<FileLock>& lock, bool createFolder) const {
  if (createFolder) {
    if (IoResult r = EnsureFolder(ParentFolder(path_)); !r.ok()) return r;
  }
  std::unique_ptr<FileLock> taken;
  if (IoResult r = fs_->Lock(LockPath(), taken); !r.ok()) return r;
  if (IoResult r = Recover(*taken); !r.ok()) return r;
  lock = std::move(taken);
  return IoResult::Ok();
}

IoResult EventFile::Recover(FileLock& lock) const {
  std::string note;
  if (IoResult r = lock.ReadNote(note); !r.ok()) return r;
  std::int64_t oldSize = 0, newSize = 0;
  if (ParseAppendNote(note, oldSize, newSize)) {
    FileStamp stamp;
    if (IoResult r = Stat(stamp); !r.ok()) return r;
    // Only a size between the two is a half-done append; any other size
    // means the append finished, never began, or someone else has written
    // the file since, and then it is left alone.
    if (stamp.exists && stamp.size > oldSize && stamp.size < newSize) {
      std::unique_ptr<WritableFile> file;
      if (IoResult r = fs_->OpenForAppend(path_, file); !r.ok()) return r;
      if (IoResult r = file->Truncate(oldSize); !r.ok()) return r;
      if (IoResult r = file->Flush(); !r.ok()) return r;
      if (IoResult r = file->Close(); !r.ok()) return r;
    }
  }
  if (!note.empty()) {
    if (IoResult r = lock.WriteNote({}); !r.ok()) return r;
  }
  // A temporary file left by a killed rewrite: the next rewrite would empty
  // it anyway, so a failure here is no reason to stop.
  if (fs_->Exists(TemporaryPath())) (void)fs_->Remove(TemporaryPath());
  return IoResult::Ok();
}

IoResult EventFile::Stat(FileStamp& stamp) const { return fs_->Stat(path_, stamp); }

IoResult EventFile::Read(std::string& bytes) const { return fs_->ReadAll(path_, bytes); }

IoResult EventFile::Append(FileLock& lock, std::int64_t oldSize, std::string_view bytes) const {
  const auto newSize = oldSize + static_cast<std::int64_t>(bytes.size());
  if (IoResult r = lock.WriteNote(AppendNote(oldSize, newSize)); !r.ok()) return r;
  std::unique_ptr<WritableFile> file;
  IoResult written = fs_->OpenForAppend(path_, file);
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
      if (!fs_->OpenForAppend(path_, cut).ok() || !cut->Truncate(oldSize).ok() || !cut->Flush().ok() ||
          !cut->Close().ok()) {
        return written;
      }
    }
  }
  // The line is in the file (or, after a failure, nothing is): the note
  // has served. A note that stays is harmless, as the size tells.
  (void)lock.WriteNote({});
  return written;
}

IoResult EventFile::Rewrite(std::string_view reservedLine, std::span<const std::string_view> lines,
                            ContentHash& hash) const {
  if (IoResult r = EnsureFolder(ParentFolder(path_)); !r.ok()) return r;
  IoResult written = WriteTemporary(reservedLine, lines, hash);
  if (written.ok()) written = fs_->Rename(TemporaryPath(), path_);
  if (!written.ok()) {
    // Should the removal fail, the next holder of the lock removes it.
    (void)fs_->Remove(TemporaryPath());
  }
  return written;
}

IoResult EventFile::WriteTemporary(std::string_view reservedLine, std::span<const std::string_view> lines,
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
  for (std::string_view line : lines) {
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
