#include "events/eventlist.h"

#include <algorithm>
#include <compare>
#include <cstdint>

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

IoResult EventList::LoadEvents() {
  if (!file_.Exists()) {
    reservedLine_ = kNewFileLine;
    entries_.clear();
    return IoResult::Ok();
  }
  std::string bytes;
  if (IoResult r = file_.Read(bytes); !r.ok()) return r;
  const EventFileLines content = SplitEventFile(bytes);
  std::vector<Entry> entries;
  entries.reserve(content.eventLines.size());
  for (std::uint32_t index : SortedOrder(content.eventLines)) {
    const std::string_view line = content.eventLines[index];
    entries.push_back({std::string(line), ParseEventLine(line)});
  }
  reservedLine_ = content.reservedLine;
  entries_ = std::move(entries);
  return IoResult::Ok();
}

int EventList::FindEventLine(std::string_view line) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (std::string_view(entries_[i].line).substr(0, kEventLineLength) == line) return static_cast<int>(i);
  }
  return -1;
}

IoResult EventList::AppendEvent(std::string line) {
  if (!StorableLine(line)) return IoResult::Fail("Not an event line");
  const std::string_view views[] = {line};
  IoResult written = file_.Exists() ? file_.AppendLine(line) : file_.Rewrite(reservedLine_, views);
  if (!written.ok()) return written;
  Entry entry{std::move(line), {}};
  entry.parsed = ParseEventLine(entry.line);
  entries_.insert(std::upper_bound(entries_.begin(), entries_.end(), entry, EntryLess), std::move(entry));
  return IoResult::Ok();
}

IoResult EventList::RemoveEvent(int index) {
  if (index < 0 || index >= EventCount()) {
    return IoResult::Fail("List index out of bounds (" + std::to_string(index) + ")");
  }
  std::vector<std::string_view> remaining;
  remaining.reserve(entries_.size() - 1);
  for (int i = 0; i < EventCount(); ++i) {
    if (i != index) remaining.push_back(entries_[static_cast<std::size_t>(i)].line);
  }
  if (IoResult r = file_.Rewrite(reservedLine_, remaining); !r.ok()) return r;
  entries_.erase(entries_.begin() + index);
  return IoResult::Ok();
}

}  // namespace redoviri
