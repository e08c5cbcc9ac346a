#include "events/eventlist.h"

#include <algorithm>
#include <compare>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>
#include <unordered_map>
#include <utility>

namespace redoviri {
namespace {

unsigned char FoldCase(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

// <0, 0 or >0 as `a` sorts before, with or after `b`.
int CompareIgnoringCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  std::size_t i = 0;
  // Equal bytes fold equal: skip them eight at a time (a file may hold one
  // long line many times over).
  for (; i + 8 <= n; i += 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a.data() + i, 8);
    std::memcpy(&y, b.data() + i, 8);
    if (x != y) break;
  }
  for (; i < n; ++i) {
    const unsigned char x = FoldCase(a[i]), y = FoldCase(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// The first eight folded bytes as two numbers, short lines padded with
// NULs: lines whose numbers differ sort as their numbers do. So most
// comparisons of a load stop there (an event line's date).
struct SortPrefix {
  static constexpr std::size_t kBytes = 8;
  std::uint32_t high = 0, low = 0;
  explicit SortPrefix(std::string_view line) {
    for (std::size_t i = 0; i < kBytes; ++i) {
      std::uint32_t& part = i < 4 ? high : low;
      part = part << 8 | (i < line.size() ? FoldCase(line[i]) : 0u);
    }
  }
  auto operator<=>(const SortPrefix&) const = default;
};

// The event lines of file bytes in the store's order: the whole line
// ignoring case, equal lines in file order (as inserting them one by one
// after their equals). Sorting takes 16 bytes a line beside the bytes.
EventLines SortedLines(std::string_view bytes, std::string_view& reservedLine) {
  struct Key {
    SortPrefix prefix;
    std::uint32_t start;
    std::uint32_t length;
  };
  std::size_t count = 0, textBytes = 0;
  bool first = true;
  ForEachFileLine(bytes, [&](std::string_view line) {
    if (first) {
      reservedLine = line;
      first = false;
    } else if (!BlankFileLine(line)) {
      ++count;
      textBytes += line.size();
    }
  });
  std::vector<Key> keys;
  keys.reserve(count);
  first = true;
  ForEachFileLine(bytes, [&](std::string_view line) {
    if (!std::exchange(first, false) && !BlankFileLine(line)) {
      keys.push_back({SortPrefix(line), static_cast<std::uint32_t>(line.data() - bytes.data()),
                      static_cast<std::uint32_t>(line.size())});
    }
  });
  const auto lineOf = [&](const Key& key) { return bytes.substr(key.start, key.length); };
  std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    // Equal prefixes of lines no longer than the prefix: the lines differ
    // at most in their length.
    const int c = a.length <= SortPrefix::kBytes && b.length <= SortPrefix::kBytes
                      ? (a.length < b.length ? -1 : (a.length > b.length ? 1 : 0))
                      : CompareIgnoringCase(lineOf(a), lineOf(b));
    return c != 0 ? c < 0 : a.start < b.start;
  });
  EventLines::Builder sorted(count, textBytes);
  for (const Key& key : keys) sorted.Add(lineOf(key));
  return std::move(sorted).Finish();
}

// Runs a store operation; one that finds no memory fails with a message,
// and the windows refresh what they show, as the store may have loaded
// the file again before.
template <class Operation>
StoreResult WithinMemory(Operation operation) {
  try {
    return operation();
  } catch (const std::bad_alloc&) {
    StoreResult result;
    result.error = std::string(EventList::kOutOfMemory);
    result.reloaded = true;
    return result;
  }
}

// A line the file could not give back as the same single event line.
bool StorableLine(std::string_view line) {
  return !TrimBlanks(line).empty() && line.find_first_of("\r\n") == std::string_view::npos;
}

}  // namespace

bool LessIgnoringCase(std::string_view a, std::string_view b) { return CompareIgnoringCase(a, b) < 0; }

StoreResult EventList::LoadEvents() {
  return WithinMemory([&] {
    loaded_ = false;
    StoreResult result = LoadBesideWriters();
    result.reloaded = false;
    return result;
  });
}

StoreResult EventList::LoadBesideWriters() {
  // Rarely more than one: a write that came between.
  constexpr int kReadAttempts = 3;
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    FileStamp before, after;
    std::string bytes;
    StoreResult result = ReadFile(before, bytes);
    {
      // The lock for a moment after the read: a writer under way is waited
      // for, and what a killed one left is put right. A reader that cannot
      // have the lock (a folder it may not write in) still reads: a rewrite
      // replaces the file in one step, and the stamp tells of an append.
      std::unique_ptr<FileLock> lock;
      (void)file_.Lock(lock, false);
      if (!file_.Stat(after).ok()) continue;
    }
    if (!after.SameFile(before) || (result.ok() && static_cast<std::int64_t>(bytes.size()) != before.size)) continue;
    if (!result.ok()) return result;
    Fill(before, bytes);
    result.reloaded = true;
    return result;
  }
  // Written again and again meanwhile: read under the writers' lock.
  std::unique_ptr<FileLock> lock;
  (void)file_.Lock(lock, false);
  return Load();
}

namespace {

// Whether file bytes without a byte-order mark read as UTF-16 text in one
// byte order, judged by the first line as UTF-16 reads it: the units (two
// bytes each) up to the first CR or LF unit, or the whole file when it has
// none. Code-page text gives such a line end only where a NUL stands right
// beside a line end; and its own line ends give units that hold CR or LF
// in their high byte, where UTF-16 text has them only in a few scripts
// (U+0A00..U+0AFF, U+0D00..U+0DFF), which the check gives up. Letters such
// as U+010D or U+040A do hold a CR or LF byte, in the low byte.
bool Utf16WithoutMark(std::string_view bytes, bool bigEndian) {
  const std::size_t units = bytes.size() / 2;
  const auto high = [&](std::size_t i) { return static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 0 : 1)]); };
  const auto low = [&](std::size_t i) { return static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 1 : 0)]); };
  const auto isUnit = [&](std::size_t i, unsigned char c) { return i < units && high(i) == 0 && low(i) == c; };
  // A letter of ASCII or Latin-1, as the dates that start event lines.
  const auto latin = [&](std::size_t i) { return high(i) == 0 && low(i) != 0; };
  bool allLatin = true;
  for (std::size_t i = 0; i < units; ++i) {
    if (isUnit(i, '\r') || isUnit(i, '\n')) {
      // The line end: CR LF, LF, or a CR that ends the file; then the end
      // of the file or the next line's first letter. Where a byte is left
      // over, it must be able to start what is needed.
      std::size_t next = i + 1;
      if (isUnit(i, '\r') && next < units) {
        if (!isUnit(next, '\n')) return false;
        ++next;
      }
      if (next < units) return latin(next);
      const bool leftOver = bytes.size() % 2 != 0;
      if (!leftOver) return true;
      const unsigned char last = static_cast<unsigned char>(bytes.back());
      // Of a CR: an LF to come, in its first byte; of a line end: a letter.
      const bool afterCr = isUnit(i, '\r') && next == i + 1;
      if (afterCr) return bigEndian ? last == 0 : last == '\n';
      return bigEndian ? last == 0 : last != 0;
    }
    const unsigned char h = high(i);
    if ((h == 0 && low(i) == 0) || h == '\r' || h == '\n') return false;
    allLatin = allLatin && latin(i);
  }
  // One line without a line end: ASCII or Latin-1 text only, as code-page
  // text would give only with a NUL in every other byte.
  return units > 0 && allLatin;
}

}  // namespace

bool LooksLikeUtf16(std::string_view bytes) {
  if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") return true;
  // A file taken stays taken after the store's own writes: a rewrite keeps
  // the reserved line and ends it with CR LF, and an append starts with CR
  // LF or a line ended by one; in either byte order CR LF ends the search
  // without UTF-16 found (a unit with CR or LF in its high byte, or a CR
  // unit that no LF unit follows), and no unit before it changes.
  return Utf16WithoutMark(bytes, false) || Utf16WithoutMark(bytes, true);
}

StoreResult EventList::ReadFile(FileStamp& stamp, std::string& bytes) {
  StoreResult result;
  if (IoResult r = file_.Stat(stamp); !r.ok()) {
    result.error = std::move(r.error);
  } else if (stamp.exists && stamp.size > kLargestFileBytes) {
    result.error = std::string(kFileTooLarge);
  } else if (stamp.exists) {
    if (IoResult r = file_.Read(bytes); !r.ok()) {
      result.error = std::move(r.error);
    } else if (static_cast<std::int64_t>(bytes.size()) > kLargestFileBytes) {
      result.error = std::string(kFileTooLarge);  // it grew meanwhile
    } else if (LooksLikeUtf16(bytes)) {
      // Each of its lines would read as a broken event, and a line added
      // in the code page would spoil the text for the editor too.
      result.error = std::string(kUtf16File);
    }
  }
  return result;
}

namespace {

// Within the time stamp's resolution of a write, another write of the same
// size can leave the same stamp. A stamp with a fraction of a second comes
// from a file system that keeps fine times (the clock tick: a few ms, 16 ms
// on Windows); one without may keep whole seconds, or two (FAT). The change
// time tells best, as no tool sets it (a write time put back to a whole
// second says nothing of the file system).
std::int64_t ResolutionNs(const FileStamp& stamp) {
  constexpr std::int64_t kFineResolutionNs = 50'000'000;
  constexpr std::int64_t kCoarseResolutionNs = 2'000'000'000;
  const std::int64_t told = stamp.changedNs != 0 ? stamp.changedNs : stamp.modifiedNs;
  return told % 1'000'000'000 != 0 ? kFineResolutionNs : kCoarseResolutionNs;
}

// Whether an unchanged stamp means unchanged content: it was taken after
// the resolution of the last write or change it shows had passed, so any
// later one leaves another time.
bool StampTells(const FileStamp& stamp) {
  return stamp.modifiedNs >= 0 && stamp.takenNs - stamp.LatestNs() >= ResolutionNs(stamp);
}

}  // namespace

StoreResult EventList::ReadSettled(FileStamp& stamp, std::string& bytes) {
  int waitedMs = 0;
  for (;;) {
    StoreResult result = ReadFile(stamp, bytes);
    if (!result.ok() || !stamp.exists) return result;
    FileStamp after;
    if (IoResult r = file_.Stat(after); !r.ok()) {
      result.error = std::move(r.error);
      return result;
    }
    // The same stamp after the read as before it, all of it read, and no
    // change for a moment before: no write came between, and none is under
    // way in pieces (an editor that emptied the file and writes it back).
    int pauseMs = kSettlePollMs;
    if (after.SameFile(stamp) && static_cast<std::int64_t>(bytes.size()) == stamp.size) {
      const std::int64_t quietNs = after.takenNs - after.LatestNs();
      if (quietNs >= kSettleQuietMs * 1'000'000LL) return result;
      pauseMs = static_cast<int>((kSettleQuietMs * 1'000'000LL - quietNs) / 1'000'000 + 1);
    }
    if (waitedMs + pauseMs > kSettleWaitMs) {
      result.error = std::string(kFileChanging);
      result.refused = true;
      return result;
    }
    file_.Pause(pauseMs);
    waitedMs += pauseMs;
  }
}

StoreResult EventList::Load() {
  FileStamp stamp;
  std::string bytes;
  StoreResult result = ReadSettled(stamp, bytes);
  if (!result.ok()) {
    loaded_ = false;
    return result;
  }
  stamp.size = static_cast<std::int64_t>(bytes.size());
  Fill(stamp, bytes);
  result.reloaded = true;
  return result;
}

void EventList::Fill(const FileStamp& stamp, std::string_view bytes) {
  std::string_view reserved;
  EventLines lines = SortedLines(bytes, reserved);
  std::string reservedLine = stamp.exists ? std::string(reserved) : std::string(kNewFileLine);
  // Nothing past this point fails.
  lines_ = std::move(lines);
  reservedLine_ = std::move(reservedLine);
  stamp_ = stamp;
  hash_ = {};
  hash_.Add(bytes);
  lastByte_ = bytes.empty() ? '\0' : bytes.back();
  loaded_ = true;
}


StoreResult EventList::LookForChange(bool& changed) {
  changed = false;
  return WithinMemory([&] {
    FileStamp now;
    StoreResult result;
    if (IoResult r = file_.Stat(now); !r.ok()) {
      result.error = std::move(r.error);
      return result;
    }
    if (loaded_) {
      // Gone (a sync client between its delete and its write, a user):
      // what the store holds stays shown, and a write puts it all back.
      if (!now.exists && stamp_.exists) return result;
      if (now.SameFile(stamp_)) {
        if (StampTells(stamp_)) return result;
        // Within the resolution of the store's own last write the stamp
        // cannot tell; once that has passed, its content can.
        const std::int64_t waitNs = stamp_.LatestNs() + ResolutionNs(stamp_) - now.takenNs;
        if (waitNs > 0) return result;
        bool same = false;
        if (IoResult r = ReadMatches(same); !r.ok()) {
          result.error = std::move(r.error);
          return result;
        }
        if (same) {
          stamp_.takenNs = now.takenNs;
          return result;
        }
      }
    }
    // A file changed a moment ago may be in the middle of a write by one
    // that takes no lock (an editor saving in pieces): the next look reads it.
    if (now.exists && now.takenNs - now.LatestNs() < kSettleQuietMs * 1'000'000LL) return result;
    const ContentHash before = hash_;
    const bool wasLoaded = loaded_;
    StoreResult read = LoadBesideWriters();
    // On a failure the lines read last stay; the next look reads again.
    if (!read.ok()) return read;
    changed = !wasLoaded || !(hash_ == before);
    read.reloaded = changed;
    return read;
  });
}

bool EventList::StampConfirmed() const { return !stamp_.exists || StampTells(stamp_); }

std::chrono::milliseconds EventList::ConfirmStamp() {
  using std::chrono::milliseconds;
  if (!loaded_ || StampConfirmed()) return milliseconds(0);
  FileStamp before;
  // Changed or out of sight: the next write loads the file.
  if (!file_.Stat(before).ok() || !before.SameFile(stamp_)) return milliseconds(0);
  const std::int64_t waitNs = stamp_.LatestNs() + ResolutionNs(stamp_) - before.takenNs;
  if (waitNs > 0) return milliseconds(waitNs / 1'000'000 + 1);
  // Read after `before` was taken: any write after that leaves another
  // time, which the next write sees in the stamp.
  if (bool same = false; ReadMatches(same).ok() && same) stamp_.takenNs = before.takenNs;
  return milliseconds(0);
}

IoResult EventList::ReadMatches(bool& same) {
  std::string& bytes = readBuffer_;
  if (IoResult r = file_.Read(bytes); !r.ok()) return r;
  ContentHash hash;
  hash.Add(bytes);
  same = hash == hash_;
  return IoResult::Ok();
}

StoreResult EventList::BeginWrite(std::unique_ptr<FileLock>& lock) {
  StoreResult result;
  if (IoResult r = file_.Lock(lock, true); !r.ok()) {
    result.error = std::move(r.error);
    return result;
  }
  if (!loaded_) return Load();
  FileStamp now;
  bool gone = false;
  if (StoreResult r = LookForVanished(now, gone); !r.ok() || gone) return r;
  if (!now.SameFile(stamp_)) return Load();
  if (!StampTells(stamp_)) {
    bool same = false;
    if (IoResult r = ReadMatches(same); !r.ok()) {
      result.error = std::move(r.error);
      return result;
    }
    if (!same) return Load();
  }
  stamp_ = now;
  return result;
}

EventList::Entry EventList::EntryAt(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= lines_.size()) {
    throw std::out_of_range("event index " + std::to_string(index));
  }
  return lines_.At(static_cast<std::size_t>(index));
}

int EventList::FindEventLine(std::string_view line) const {
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (SameEventLine(lines_.Line(i), line)) return static_cast<int>(i);
  return -1;
}

std::vector<bool> EventList::NewLines(std::span<const std::string> lines) const {
  // The keys a saved line may equal; a saved line is keyed and looked up
  // only when its first sixteen bytes are among theirs.
  std::vector<std::string> keys(lines.size());
  std::unordered_map<std::string_view, std::size_t> firstOf;
  firstOf.reserve(lines.size());
  std::vector<bool> fresh(lines.size(), false);
  using Start = std::pair<std::uint64_t, std::uint64_t>;
  const auto startOf = [](std::string_view key) {
    Start start;
    std::memcpy(&start.first, key.data(), 8);
    std::memcpy(&start.second, key.data() + 8, 8);
    return start;
  };
  std::vector<Start> starts;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    keys[i] = EventKey(lines[i]);
    fresh[i] = firstOf.emplace(keys[i], i).second;
    if (fresh[i]) starts.push_back(startOf(keys[i]));
  }
  std::sort(starts.begin(), starts.end());
  if (starts.empty()) return fresh;
  char head[16];
  for (const Entry entry : lines_) {
    const std::size_t n = std::min<std::size_t>(entry.line.size(), 16);
    std::memcpy(head, entry.line.data(), n);
    std::memset(head + n, ' ', 16 - n);
    if (!std::binary_search(starts.begin(), starts.end(), startOf({head, 16}))) continue;
    if (auto it = firstOf.find(EventKey(entry.line)); it != firstOf.end()) fresh[it->second] = false;
  }
  return fresh;
}

StoreResult EventList::AppendEvent(std::string line) {
  std::vector<std::string> one;
  one.push_back(std::move(line));
  std::vector<bool> added;
  StoreResult result = AppendEvents(std::move(one), added);
  if (result.ok() && !added.front()) {
    result.error = kSameEventSaved;
    result.refused = true;
  }
  return result;
}

StoreResult EventList::AppendEvents(std::vector<std::string> lines, std::vector<bool>& added) {
  added.assign(lines.size(), false);
  if (!std::all_of(lines.begin(), lines.end(), [](const std::string& l) { return StorableLine(l); })) {
    StoreResult result;
    result.error = "Not an event line";
    result.refused = true;
    return result;
  }
  return WithinMemory([&] {
    std::unique_ptr<FileLock> lock;
    StoreResult result = BeginWrite(lock);
    if (!result.ok()) return result;
    for (int round = 0;; ++round) {
      if (round > 0) {
        if (StoreResult again = LoadAgain(round, lock); !again.ok()) return again;
        result.reloaded = true;
      }
      const std::vector<bool> fresh = NewLines(lines);
      // The new lines in the order they take among themselves: a line after
      // the lines equal to it, earlier lines of the call first.
      std::vector<std::size_t> order;
      for (std::size_t i = 0; i < lines.size(); ++i) {
        if (fresh[i]) order.push_back(i);
      }
      if (order.empty()) return result;
      // The file takes the lines in the order they were given.
      std::string bytes;
      if (stamp_.exists) {
        if (stamp_.size == 0) {
          // Line 1 of the file is the reserved line, never an event.
          bytes += reservedLine_;
          bytes += "\r\n";
        } else if (lastByte_ != '\n' && lastByte_ != '\r') {
          // A last line left without its line end (a hand-edited file) is
          // ended first, so the new line never joins it.
          bytes += "\r\n";
        }
        for (std::size_t i : order) {
          bytes += lines[i];
          bytes += "\r\n";
        }
      }
      std::stable_sort(order.begin(), order.end(),
                       [&](std::size_t a, std::size_t b) { return LessIgnoringCase(lines[a], lines[b]); });
      std::vector<EventLines::Insertion> insertions;
      insertions.reserve(order.size());
      std::size_t textBytes = 0;
      for (std::size_t i : order) {
        insertions.push_back({lines[i], ParseEventLine(lines[i]), PlaceAfterEquals(lines[i])});
        textBytes += lines[i].size();
      }
      const std::size_t count = lines_.size() + insertions.size();
      const auto size = stamp_.exists ? stamp_.size + static_cast<std::int64_t>(bytes.size())
                                      : RewriteBytes(count, lines_.TextBytes() + textBytes);
      if (size > kLargestFileBytes) {
        result.error = std::string(kWouldBeTooLarge);
        result.refused = true;
        return result;
      }
      lines_.Reserve(insertions);
      if (!stamp_.exists) {
        std::size_t next = 0, f = 0;
        const auto merged = [&]() -> std::string_view {
          if (f < insertions.size() && insertions[f].before <= next) return insertions[f++].line;
          return lines_.Line(next++);
        };
        bool moved = false;
        if (IoResult r = WriteAnew(count, merged, *lock, moved); !r.ok()) {
          result.error = std::move(r.error);
          return result;
        }
        if (moved) continue;
      } else {
        // The last look before the bytes go in: a writer that takes no lock
        // may have changed the file since it was read.
        FileStamp now;
        if (!Unchanged(*lock, now)) continue;
        if (IoResult r = file_.Append(*lock, stamp_.size, bytes, now.takenNs); !r.ok()) {
          result.error = std::move(r.error);
          return result;
        }
        ContentHash hash = hash_;
        hash.Add(bytes);
        WrittenNow(hash);
      }
      lines_.Insert(insertions);
      added = fresh;
      return result;
    }
  });
}

std::size_t EventList::PlaceAfterEquals(std::string_view line) const {
  std::size_t low = 0, high = lines_.size();
  while (low < high) {
    const std::size_t mid = low + (high - low) / 2;
    if (LessIgnoringCase(line, lines_.Line(mid))) {
      high = mid;
    } else {
      low = mid + 1;
    }
  }
  return low;
}

bool EventList::Holds(std::string_view line) const {
  // The entries equal to it but for letter case lie just before its place.
  for (std::size_t i = PlaceAfterEquals(line); i > 0 && !LessIgnoringCase(lines_.Line(i - 1), line); --i)
    if (lines_.Line(i - 1) == line) return true;
  return false;
}

StoreResult EventList::RemoveEvent(int index) { return ReplaceEvent(index, std::vector<std::string>{}); }

StoreResult EventList::ReplaceEvent(int index, std::string line) {
  std::vector<std::string> one;
  one.push_back(std::move(line));
  return ReplaceEvent(index, std::move(one));
}

StoreResult EventList::ReplaceEvent(int index, std::vector<std::string> replacement) {
  if (index < 0 || index >= EventCount()) {
    StoreResult result;
    result.error = "List index out of bounds (" + std::to_string(index) + ")";
    return result;
  }
  return ReplaceLines({index}, {EventLineAt(index)}, std::move(replacement));
}

StoreResult EventList::ReplaceEvents(std::vector<std::string> olds, std::vector<std::string> replacement) {
  std::vector<int> indices;
  for (const std::string& old : olds) indices.push_back(FindEventLine(old));
  return ReplaceLines(std::move(indices), std::move(olds), std::move(replacement));
}

StoreResult EventList::ReplaceLines(std::vector<int> indices, std::vector<std::string> olds,
                                    std::vector<std::string> replacement) {
  StoreResult result;
  if (!std::all_of(replacement.begin(), replacement.end(), [](const std::string& l) { return StorableLine(l); })) {
    result.error = "Not an event line";
    result.refused = true;
    return result;
  }
  const auto twiceIn = [](const std::vector<std::string>& lines, std::size_t i) {
    return std::any_of(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(i),
                       [&](const std::string& l) { return SameEventLine(l, lines[i]); });
  };
  return WithinMemory([&] {
    StoreResult result;
    if (olds.empty()) {
      result.error = kEventGone;
      result.refused = true;
      return result;
    }
    // An unchanged event writes nothing.
    if (olds.size() == 1 && replacement.size() == 1 && SameEventLine(olds.front(), replacement.front())) return result;
    std::unique_ptr<FileLock> lock;
    result = BeginWrite(lock);
    if (!result.ok()) return result;
    for (int round = 0;; ++round) {
      if (round > 0) {
        if (StoreResult again = LoadAgain(round, lock); !again.ok()) return again;
        result.reloaded = true;
      }
      // The lines are found by their whole content in the file as it is now.
      for (std::size_t i = 0; i < olds.size(); ++i) {
        if (result.reloaded) indices[i] = FindEventLine(olds[i]);
        if (indices[i] < 0 || twiceIn(olds, i)) {
          result.error = kEventGone;
          result.refused = true;
          return result;
        }
      }
      const auto replaced = [&](int index) { return std::find(indices.begin(), indices.end(), index) != indices.end(); };
      // No new line may be another saved event, nor come twice.
      for (std::size_t i = 0; i < replacement.size(); ++i) {
        const int found = FindEventLine(replacement[i]);
        if ((found >= 0 && !replaced(found)) || twiceIn(replacement, i)) {
          result.error = kSameEventSaved;
          result.refused = true;
          return result;
        }
      }
      std::vector<std::size_t> at(indices.begin(), indices.end());
      std::sort(at.begin(), at.end());
      std::size_t textBytes = lines_.TextBytes();
      for (std::size_t i : at) textBytes -= lines_.Line(i).size();
      for (const std::string& l : replacement) textBytes += l.size();
      const std::size_t count = lines_.size() - at.size() + replacement.size();
      // A file of LF line ends grows by the CR the rewrite puts before each.
      if (RewriteBytes(count, textBytes) > kLargestFileBytes) {
        result.error = std::string(kWouldBeTooLarge);
        result.refused = true;
        return result;
      }
      std::vector<EventLines::Insertion> insertions;
      for (const std::string& l : replacement) insertions.push_back({l, ParseEventLine(l), PlaceAfterEquals(l)});
      lines_.Reserve(insertions);
      // The new lines take the place of the first old one in the file, and
      // the others go: one write holds the old lines or the new ones.
      std::size_t next = 0, fresh = 0;
      const auto remaining = [&]() -> std::string_view {
        for (;;) {
          if (next == at.front() && fresh < replacement.size()) return replacement[fresh++];
          if (!std::binary_search(at.begin(), at.end(), next)) return lines_.Line(next++);
          ++next;
        }
      };
      bool moved = false;
      if (IoResult r = WriteAnew(count, remaining, *lock, moved); !r.ok()) {
        result.error = std::move(r.error);
        return result;
      }
      if (moved) continue;
      for (auto i = at.rbegin(); i != at.rend(); ++i) lines_.Remove(*i);
      for (EventLines::Insertion& i : insertions)
        i.before -= static_cast<std::size_t>(std::lower_bound(at.begin(), at.end(), i.before) - at.begin());
      std::stable_sort(insertions.begin(), insertions.end(), [](const auto& a, const auto& b) {
        return a.before != b.before ? a.before < b.before : LessIgnoringCase(a.line, b.line);
      });
      lines_.Insert(insertions);
      return result;
    }
  });
}

std::int64_t EventList::RewriteBytes(std::size_t count, std::size_t textBytes) const {
  return static_cast<std::int64_t>(reservedLine_.size() + textBytes + 2 * (count + 1));
}

IoResult EventList::WriteAnew(std::size_t count, const NextLine& lines, FileLock& lock, bool& moved) {
  ContentHash hash;
  FileStamp now;
  const auto unchanged = [&] { return Unchanged(lock, now); };
  if (IoResult r = file_.Rewrite(reservedLine_, count, lines, hash, unchanged, moved); !r.ok()) return r;
  if (!moved) WrittenNow(hash);
  return IoResult::Ok();
}

bool EventList::Unchanged(FileLock& lock, FileStamp& now) {
  if (!lock.StillHeld() || !file_.Stat(now).ok()) return false;
  return stamp_.exists ? now.SameFile(stamp_) : !now.exists;
}

StoreResult EventList::LoadAgain(int round, std::unique_ptr<FileLock>& lock) {
  StoreResult result;
  if (round > kRedoRounds) {
    result.error = std::string(kFileChanging);
    result.refused = true;
    return result;
  }
  if (!lock->StillHeld()) {
    // Its lock file was removed or replaced: the lock of the one there now
    // waits for whoever took it meanwhile.
    lock.reset();
    if (IoResult r = file_.Lock(lock, true); !r.ok()) {
      result.error = std::move(r.error);
      return result;
    }
  }
  FileStamp now;
  bool gone = false;
  if (StoreResult r = LookForVanished(now, gone); !r.ok() || gone) return r;
  return Load();
}

StoreResult EventList::LookForVanished(FileStamp& now, bool& gone) {
  StoreResult result;
  gone = false;
  if (IoResult r = file_.Stat(now); !r.ok()) {
    result.error = std::move(r.error);
    return result;
  }
  if (!now.exists) {
    // Vanished (or never there): the write puts the whole store back.
    stamp_ = now;
    gone = true;
  }
  return result;
}

void EventList::WrittenNow(const ContentHash& hash) {
  FileStamp stamp;
  if (file_.Stat(stamp).ok() && stamp.exists) {
    stamp_ = stamp;
  } else {
    // The file was written but could not be looked at afterwards: the next
    // write will not trust the stamp and loads the file again.
    stamp_.modifiedNs = -1;
  }
  hash_ = hash;
  lastByte_ = '\n';
}

}  // namespace redoviri
