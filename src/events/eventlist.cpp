#include "events/eventlist.h"

#include <algorithm>
#include <compare>
#include <iterator>
#include <unordered_set>
#include <cstdint>
#include <utility>

namespace redoviri {
namespace {

unsigned char FoldCase(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

bool EntryLess(const EventList::Entry& a, const EventList::Entry& b) { return LessIgnoringCase(a.line, b.line); }

// <0, 0 or >0 as `a` sorts before, with or after `b`.
int CompareIgnoringCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = FoldCase(a[i]), y = FoldCase(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// The first sixteen folded bytes as two numbers: lines whose numbers differ
// sort as their numbers do, so most comparisons of a load stop there.
struct SortPrefix {
  std::uint64_t high = 0, low = 0;
  explicit SortPrefix(std::string_view line) {
    for (std::size_t i = 0; i < 16; ++i) {
      std::uint64_t& part = i < 8 ? high : low;
      part = part << 8 | (i < line.size() ? FoldCase(line[i]) : 0u);
    }
  }
  auto operator<=>(const SortPrefix&) const = default;
};

// The order of the lines in the store: the whole line ignoring case, equal
// lines in file order (as inserting them one by one after their equals).
std::vector<std::uint32_t> SortedOrder(const std::vector<std::string_view>& lines) {
  struct Key {
    SortPrefix prefix;
    std::uint32_t index;
  };
  std::vector<Key> keys;
  keys.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) keys.push_back({SortPrefix(lines[i]), static_cast<std::uint32_t>(i)});
  std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    const int c = CompareIgnoringCase(lines[a.index], lines[b.index]);
    return c != 0 ? c < 0 : a.index < b.index;
  });
  std::vector<std::uint32_t> order(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) order[i] = keys[i].index;
  return order;
}

// A line the file could not give back as the same single event line.
bool StorableLine(std::string_view line) {
  return !TrimBlanks(line).empty() && line.find_first_of("\r\n") == std::string_view::npos;
}

}  // namespace

bool LessIgnoringCase(std::string_view a, std::string_view b) { return CompareIgnoringCase(a, b) < 0; }

StoreResult EventList::LoadEvents() {
  // A reader that cannot have the lock (a folder it may not write in)
  // still reads: a rewrite replaces the file in one step, so it sees the
  // old or the new content.
  std::unique_ptr<FileLock> lock;
  (void)file_.Lock(lock, false);
  return Load();
}

bool LooksLikeUtf16(std::string_view bytes) {
  if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") return true;
  // Without the byte-order mark: text of ASCII letters has a NUL in every
  // other byte. 64 such bytes hold no CR LF, so they lie within the
  // reserved line, which a rewrite keeps: a file the store accepted never
  // becomes one it refuses by its own writing.
  constexpr std::size_t kLooked = 64;
  if (bytes.size() < kLooked) return false;
  const std::string_view start = bytes.substr(0, kLooked);
  int evenNuls = 0, oddNuls = 0;
  for (std::size_t i = 0; i < start.size(); ++i) (i % 2 == 0 ? evenNuls : oddNuls) += start[i] == '\0';
  const int half = static_cast<int>(start.size() / 2);
  return (oddNuls == half && evenNuls == 0) || (evenNuls == half && oddNuls == 0);
}

StoreResult EventList::Load() {
  StoreResult result;
  FileStamp stamp;
  std::string bytes;
  if (IoResult r = file_.Stat(stamp); !r.ok()) {
    result.error = std::move(r.error);
  } else if (stamp.exists) {
    if (IoResult r = file_.Read(bytes); !r.ok()) {
      result.error = std::move(r.error);
    } else if (LooksLikeUtf16(bytes)) {
      // Each of its lines would read as a broken event, and a line added
      // in the code page would spoil the text for the editor too.
      result.error = std::string(kUtf16File);
    }
  }
  if (!result.ok()) {
    loaded_ = false;
    return result;
  }
  Fill(stamp, std::move(bytes));
  return result;
}

void EventList::Fill(const FileStamp& stamp, std::string bytes) {
  const EventFileLines content = SplitEventFile(bytes);
  std::vector<Entry> entries;
  entries.reserve(content.eventLines.size());
  for (std::uint32_t index : SortedOrder(content.eventLines)) {
    const std::string_view line = content.eventLines[index];
    entries.push_back({std::string(line), ParseEventLine(line)});
  }
  reservedLine_ = stamp.exists ? std::string(content.reservedLine) : std::string(kNewFileLine);
  entries_ = std::move(entries);
  stamp_ = stamp;
  hash_ = {};
  hash_.Add(bytes);
  lastByte_ = bytes.empty() ? '\0' : bytes.back();
  loaded_ = true;
}

StoreResult EventList::BeginWrite(std::unique_ptr<FileLock>& lock) {
  StoreResult result;
  if (IoResult r = file_.Lock(lock, true); !r.ok()) {
    result.error = std::move(r.error);
    return result;
  }
  if (!loaded_) {
    result = Load();
    result.reloaded = result.ok();
    return result;
  }
  FileStamp now;
  if (IoResult r = file_.Stat(now); !r.ok()) {
    result.error = std::move(r.error);
    return result;
  }
  if (!now.exists) {
    // Vanished (or never there): the write puts the whole store back.
    stamp_ = now;
    return result;
  }
  std::string& bytes = readBuffer_;
  bool changed = !now.SameFile(stamp_);
  // Within the time stamp's resolution of the last write, another write of
  // the same size can leave the same stamp: only the content tells then.
  // A stamp with a fraction of a second comes from a file system that keeps
  // fine times (the clock tick: a few ms, 16 ms on Windows); one without
  // may keep whole seconds, or two (FAT).
  constexpr std::int64_t kFineResolutionNs = 50'000'000;
  constexpr std::int64_t kCoarseResolutionNs = 2'000'000'000;
  const std::int64_t resolution =
      stamp_.modifiedNs % 1'000'000'000 != 0 ? kFineResolutionNs : kCoarseResolutionNs;
  if (!changed && stamp_.takenNs - stamp_.modifiedNs < resolution) {
    if (IoResult r = file_.Read(bytes); !r.ok()) {
      result.error = std::move(r.error);
      return result;
    }
    ContentHash hash;
    hash.Add(bytes);
    changed = !(hash == hash_);
  } else if (changed) {
    if (IoResult r = file_.Read(bytes); !r.ok()) {
      result.error = std::move(r.error);
      return result;
    }
  }
  if (changed) {
    now.size = static_cast<std::int64_t>(bytes.size());
    Fill(now, std::exchange(bytes, {}));
    result.reloaded = true;
  } else {
    stamp_ = now;
  }
  return result;
}

int EventList::FindEventLine(std::string_view line) const {
  constexpr auto kLength = static_cast<std::size_t>(kEventLineLength);
  if (line.size() > kLength) return -1;
  const auto at = [](std::string_view text, std::size_t i) { return i < text.size() ? text[i] : ' '; };
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::string_view stored = entries_[i].line;
    std::size_t k = 0;
    while (k < kLength && at(stored, k) == at(line, k)) ++k;
    if (k == kLength) return static_cast<int>(i);
  }
  return -1;
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
  StoreResult result;
  added.assign(lines.size(), false);
  if (!std::all_of(lines.begin(), lines.end(), [](const std::string& l) { return StorableLine(l); })) {
    result.error = "Not an event line";
    result.refused = true;
    return result;
  }
  std::unique_ptr<FileLock> lock;
  result = BeginWrite(lock);
  if (!result.ok()) return result;

  // The new entries in the order they take among themselves: a line after
  // the lines equal to it, earlier lines of the call first.
  std::vector<Entry> fresh;
  // Lines of the call seen so far, padded as FindEventLine compares them.
  std::unordered_set<std::string> seen;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (FindEventLine(lines[i]) >= 0) continue;
    std::string padded = lines[i];
    if (padded.size() < static_cast<std::size_t>(kEventLineLength)) padded.resize(kEventLineLength, ' ');
    if (!seen.insert(std::move(padded)).second) continue;
    added[i] = true;
    Entry entry{std::move(lines[i]), {}};
    entry.parsed = ParseEventLine(entry.line);
    fresh.push_back(std::move(entry));
  }
  if (fresh.empty()) return result;
  // The file takes the lines in the order they were given.
  std::string body;
  if (stamp_.exists) {
    body.reserve(fresh.size() * (kEventLineLength + 2));
    for (const Entry& e : fresh) {
      body += e.line;
      body += "\r\n";
    }
  }
  std::stable_sort(fresh.begin(), fresh.end(), EntryLess);

  if (!stamp_.exists) {
    // Store order: a new line after the saved lines equal to it.
    std::vector<std::string_view> all;
    all.reserve(entries_.size() + fresh.size());
    std::size_t f = 0;
    for (const Entry& e : entries_) {
      while (f < fresh.size() && EntryLess(fresh[f], e)) all.push_back(fresh[f++].line);
      all.push_back(e.line);
    }
    while (f < fresh.size()) all.push_back(fresh[f++].line);
    if (IoResult r = WriteAnew(all); !r.ok()) {
      added.assign(added.size(), false);
      result.error = std::move(r.error);
      return result;
    }
  } else {
    std::string bytes;
    if (stamp_.size == 0) {
      // Line 1 of the file is the reserved line, never an event.
      bytes += reservedLine_;
      bytes += "\r\n";
    } else if (lastByte_ != '\n' && lastByte_ != '\r') {
      // A last line left without its line end (a hand-edited file) is
      // ended first, so the new line never joins it.
      bytes += "\r\n";
    }
    bytes += body;
    if (IoResult r = file_.Append(*lock, stamp_.size, bytes); !r.ok()) {
      added.assign(added.size(), false);
      result.error = std::move(r.error);
      return result;
    }
    ContentHash hash = hash_;
    hash.Add(bytes);
    WrittenNow(hash);
  }
  std::vector<Entry> merged;
  merged.reserve(entries_.size() + fresh.size());
  std::merge(std::make_move_iterator(entries_.begin()), std::make_move_iterator(entries_.end()),
             std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()), std::back_inserter(merged),
             EntryLess);
  entries_ = std::move(merged);
  return result;
}

StoreResult EventList::RemoveEvent(int index) {
  StoreResult result;
  if (index < 0 || index >= EventCount()) {
    result.error = "List index out of bounds (" + std::to_string(index) + ")";
    return result;
  }
  std::string removed = EventLineAt(index);
  std::unique_ptr<FileLock> lock;
  result = BeginWrite(lock);
  if (!result.ok()) return result;
  if (result.reloaded) {
    const std::string_view wanted = std::string_view(removed).substr(0, kEventLineLength);
    index = FindEventLine(wanted);
    if (index < 0) {
      result.error = kEventGone;
      result.refused = true;
      return result;
    }
  }

  std::vector<std::string_view> remaining;
  remaining.reserve(entries_.size() - 1);
  for (int i = 0; i < EventCount(); ++i) {
    if (i != index) remaining.push_back(entries_[static_cast<std::size_t>(i)].line);
  }
  if (IoResult r = WriteAnew(remaining); !r.ok()) {
    result.error = std::move(r.error);
    return result;
  }
  entries_.erase(entries_.begin() + index);
  return result;
}

IoResult EventList::WriteAnew(std::span<const std::string_view> lines) {
  ContentHash hash;
  if (IoResult r = file_.Rewrite(reservedLine_, lines, hash); !r.ok()) return r;
  WrittenNow(hash);
  return IoResult::Ok();
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
