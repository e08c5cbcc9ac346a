// The in-memory store of event lines (the event list window's `eventlist`).
//
// The store keeps every event line exactly as read or built, sorted in
// ascending order of the whole line with letter case ignored, and beside
// each line its parsed form, so matching never re-reads text. The event file
// follows the store: an append adds one line at its end, a removal rewrites
// it. A write that fails leaves the store as it was, so what the program
// shows is always what the file holds.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "events/eventfile.h"
#include "events/eventrecord.h"

namespace redoviri {

// Ordering of the store: the whole line, ASCII letters compared without case.
bool LessIgnoringCase(std::string_view a, std::string_view b);

class EventList {
 public:
  struct Entry {
    std::string line;
    ParsedEvent parsed;
  };

  // First line of a file the program creates.
  static constexpr std::string_view kNewFileLine = "Redoviri by DUZOVU event file";

  explicit EventList(EventFile file) : file_(std::move(file)) {}

  // Fills the store from the event file and holds its reserved first line.
  // No file: an empty store and the new-file line. On a read failure the
  // store stays as it was.
  IoResult LoadEvents();
  // Index of the first entry whose first 110 characters equal `line`
  // exactly (letter case counts), or -1.
  int FindEventLine(std::string_view line) const;
  // Adds the line at its sorted place, after any entries equal to it, and at
  // the end of the file (a file that does not exist yet is created with the
  // reserved line). A line that is blank or holds a line break is refused.
  IoResult AppendEvent(std::string line);
  // Removes entry `index` and writes the file anew from the store, also when
  // the file has vanished meanwhile.
  IoResult RemoveEvent(int index);

  int EventCount() const { return static_cast<int>(entries_.size()); }
  const std::string& EventLineAt(int index) const { return EntryAt(index).line; }
  const Entry& EntryAt(int index) const { return entries_.at(static_cast<std::size_t>(index)); }
  std::span<const Entry> Entries() const { return entries_; }
  const std::string& ReservedLine() const { return reservedLine_; }
  const EventFile& File() const { return file_; }

 private:
  EventFile file_;
  std::string reservedLine_{kNewFileLine};
  std::vector<Entry> entries_;
};

}  // namespace redoviri
