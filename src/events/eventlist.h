// The in-memory store of event lines (the event list window's `eventlist`).
//
// The store keeps every event line exactly as read or built, sorted in
// ascending order of the whole line with letter case ignored, and beside
// each line its parsed form, so matching never re-reads text. It holds
// files up to 64 MB of any shape, in a few times their size of memory
// (EventLines); a larger file is refused, as is a change that would make
// the file larger, and a load or change that finds no memory fails with
// "Out of memory", leaving the store and the file as they were. The event file
// follows the store: an append adds one line at its end, a removal rewrites
// it.
//
// Every write runs one sequence under the file's lock: compare the file with
// what the store last read or wrote (size, times of the write and of the
// change, the file's identity and, while the times cannot tell, a hash of
// the content); load it again when it changed, so edits made elsewhere are
// kept; apply the change; write; record what was written.
// A write that fails leaves both the file and the store as they were, and a
// store that could not read its file never writes it.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "events/eventfile.h"
#include "events/eventlines.h"
#include "events/eventrecord.h"

namespace redoviri {

// Whether file bytes are UTF-16 text (an editor's "Unicode"), with or
// without a byte-order mark: the store refuses to load such a file.
bool LooksLikeUtf16(std::string_view bytes);

// Ordering of the store: the whole line, ASCII letters compared without case.
bool LessIgnoringCase(std::string_view a, std::string_view b);

// The outcome of a store operation. `reloaded` is set when the file had
// changed outside the program and the store loaded it again before the
// change: the windows then refresh everything they show from the store.
// `refused` is set when the change was not made for a reason of the
// store's own (the event is there already, or is gone); `error` then holds
// the message for the user.
struct [[nodiscard]] StoreResult : IoResult {
  bool reloaded = false;
  bool refused = false;
};

class EventList {
 public:
  using Entry = EventLines::Entry;

  // First line of a file the program creates.
  static constexpr std::string_view kNewFileLine = "Redoviri by DUZOVU event file";
  static constexpr std::string_view kSameEventSaved = "There is the same event already saved..";
  static constexpr std::string_view kEventGone = "That event is no longer in the event file..";
  static constexpr std::string_view kUtf16File =
      "The event file is UTF-16 (\"Unicode\") text: save it as ANSI text to use it";
  // The largest event file the store holds.
  static constexpr std::int64_t kLargestFileBytes = std::int64_t{64} << 20;
  static constexpr std::string_view kFileTooLarge =
      "The event file is larger than 64 MB, more than the program holds";
  static constexpr std::string_view kWouldBeTooLarge =
      "The event file would grow past 64 MB, more than the program holds";
  static constexpr std::string_view kOutOfMemory = "Out of memory";
  // A file that another program (an editor saving in place, a sync client)
  // keeps changing while the store would write it: nothing is written.
  static constexpr std::string_view kFileChanging =
      "The event file is being changed by another program: try again in a moment";
  static constexpr int kSettleWaitMs = 3000;
  static constexpr int kSettlePollMs = 10;
  // How long a file must have held still (by its stamp's times) to be taken.
  static constexpr int kSettleQuietMs = 20;
  static constexpr int kRedoRounds = 8;

  explicit EventList(EventFile file) : file_(std::move(file)) {}

  // Fills the store from the event file and holds its reserved first line.
  // No file: an empty store and the new-file line. On a read failure the
  // store keeps what it held but knows it failed: every later write loads
  // again first and is refused while the file cannot be read. Writers are
  // not kept waiting while the file is read and sorted: the lock is taken
  // only for a moment after the read, and a file whose stamp changed
  // meanwhile is read again.
  StoreResult LoadEvents();
  // Index of the first entry that is the same event as `line`
  // (SameEventLine: whole lines, a short one padded with blanks to 110
  // columns, letter case counting); or -1.
  int FindEventLine(std::string_view line) const;
  // Which of `lines` an AppendEvents would add: those equal (as
  // FindEventLine compares) to no saved line and to no earlier one of
  // them. One pass over the store, whatever the number of lines.
  std::vector<bool> NewLines(std::span<const std::string> lines) const;
  // Adds the line at its sorted place, after any entries equal to it, and at
  // the end of the file. A file that does not exist (any more) is written
  // anew with the reserved line and the whole store; an empty file gets its
  // (empty) reserved line first. Refused when an equal line is saved
  // already, also one that appeared in the file meanwhile, and for a line
  // that is blank or holds a line break.
  StoreResult AppendEvent(std::string line);
  // Adds several lines in one write, under one lock and one change check:
  // each at its sorted place and all together at the end of the file (or
  // the file written anew, as for one line). A line equal to a saved one,
  // or to an earlier line of the same call, is skipped: `added[i]` tells
  // whether line i was added. All or nothing: on a failure neither the file
  // nor the store changes. Refused as a whole when any line is one the
  // file could not give back.
  StoreResult AppendEvents(std::vector<std::string> lines, std::vector<bool>& added);
  // Removes entry `index` and writes the file anew from the store, also when
  // the file has vanished meanwhile. When the file changed meanwhile, the
  // same line is looked for in the file as it is now; refused when it is no
  // longer there, and when the file written anew would be larger than the
  // store holds (a file of LF line ends gets CR LF ones).
  StoreResult RemoveEvent(int index);
  // Replaces entry `index` by `line` in one rewrite of the file, as
  // RemoveEvent writes: the file holds the old line or the new one, never
  // both, never neither; the new line stands where the old one stood in
  // the file and at its sorted place in the store. The old line is found
  // again by its whole content when the file changed; refused when it is
  // gone (kEventGone) or when `line` is another saved event
  // (kSameEventSaved). The same event again writes nothing.
  StoreResult ReplaceEvent(int index, std::string line);
  // The same with any number of lines in the old one's place (none: a
  // delete; a series split: the series and a day of its own).
  StoreResult ReplaceEvent(int index, std::vector<std::string> lines);
  // Several saved lines, each found by its whole content, replaced by
  // `lines` in one write (taking back a series split: the series and its
  // day become the one line again). Refused with kEventGone when any of
  // `olds` is not saved.
  StoreResult ReplaceEvents(std::vector<std::string> olds, std::vector<std::string> lines);

  // Another program's change, seen without writing: when the file's stamp
  // differs from what the store last read or wrote, the file is read again
  // (`changed` set when its events differ). An unchanged stamp costs no
  // read of the content, once the stamp of the store's last write could be
  // trusted (see ConfirmStamp). A file that cannot be read now, or has
  // vanished, leaves the store as it is; the next look tries again.
  StoreResult LookForChange(bool& changed);

  // Right after a write the file's time stamp cannot tell another write
  // of the same size within its resolution (up to 2 s), so the next write
  // reads and compares the whole file first. Once that time has passed,
  // one look (the stamp, then the content) confirms the file is what the store
  // wrote, and the writes after it trust the stamp until the next write.
  // Returns how long to wait before asking again; zero when nothing is
  // left to confirm (confirmed, or the file changed: the next write loads
  // it). The store's lines never change here.
  std::chrono::milliseconds ConfirmStamp();
  // True when the next write tells from the file's stamp alone whether the
  // file changed (or there is no file).
  bool StampConfirmed() const;

  // False after a load that failed, until one succeeds.
  bool Loaded() const { return loaded_; }

  // Whether an entry is exactly `line`; a search of the sorted store.
  bool Holds(std::string_view line) const;
  // Where AppendEvent put `line`: the index of the last entry equal to it.
  std::size_t IndexOfAdded(std::string_view line) const { return PlaceAfterEquals(line) - 1; }

  int EventCount() const { return static_cast<int>(lines_.size()); }
  std::string EventLineAt(int index) const { return std::string(EntryAt(index).line); }
  // The entry's line stays valid until the store changes. Throws
  // std::out_of_range for an index outside the store.
  Entry EntryAt(int index) const;
  const EventLines& Entries() const { return lines_; }
  // Memory the store holds for its lines, and the buffer it compares the
  // file with.
  std::size_t MemoryBytes() const { return lines_.MemoryBytes() + readBuffer_.capacity(); }
  const std::string& ReservedLine() const { return reservedLine_; }
  const EventFile& File() const { return file_; }

 private:
  // Loads under a lock already held (or none that could be had).
  StoreResult Load();
  // ReplaceEvent(s): entries `indices` (lines `olds`) give way to `lines`.
  StoreResult ReplaceLines(std::vector<int> indices, std::vector<std::string> olds, std::vector<std::string> lines);
  // Loads without holding the lock while reading (LoadEvents).
  StoreResult LoadBesideWriters();
  // Stats and reads the file and checks what it holds; `stamp` is the one
  // taken before the read.
  StoreResult ReadFile(FileStamp& stamp, std::string& bytes);
  // Reads the file: `same` when it holds what the store last read or wrote.
  IoResult ReadMatches(bool& same);
  // Takes the lock and brings the store up to date with the file.
  StoreResult BeginWrite(std::unique_ptr<FileLock>& lock);
  // Fills the store from file bytes of the given stamp; on a failure (out
  // of memory) the store stays as it was.
  void Fill(const FileStamp& stamp, std::string_view bytes);
  // The size of a rewrite of the reserved line and `count` lines of
  // `textBytes` bytes in all, each line ended by CR LF.
  std::int64_t RewriteBytes(std::size_t count, std::size_t textBytes) const;
  // Writes the file anew from the reserved line and `count` lines, then
  // records it.
  // `moved`: the file changed before the replace (nothing was written).
  IoResult WriteAnew(std::size_t count, const NextLine& lines, FileLock& lock, bool& moved);
  // Whether the lock still holds and the file is still as the store last
  // saw it; `now` is its stamp.
  bool Unchanged(FileLock& lock, FileStamp& now);
  // Loads the file once more to redo a change (round 1, 2, ...) after the
  // file or the lock moved under it, taking the lock anew when it no longer
  // holds; refused as kFileChanging after kRedoRounds.
  StoreResult LoadAgain(int round, std::unique_ptr<FileLock>& lock);
  // Stats the file; when it is gone, the store stays as it is (a write puts
  // it all back) and `gone` is set.
  StoreResult LookForVanished(FileStamp& now, bool& gone);
  // Stats and reads the file until it holds still: the same stamp before
  // and after the read, and no change in the kSettleQuietMs before.
  // Refused as kFileChanging when it does not within kSettleWaitMs.
  StoreResult ReadSettled(FileStamp& stamp, std::string& bytes);
  // Index of the first entry that sorts after `line`.
  std::size_t PlaceAfterEquals(std::string_view line) const;
  // Records what the store knows of the file just written (ending in a
  // line end) of that content: its stamp, the hash, the last byte.
  void WrittenNow(const ContentHash& hash);

  EventFile file_;
  std::string reservedLine_{kNewFileLine};
  EventLines lines_;
  bool loaded_ = false;
  // The file as last read or written: its stamp, a hash of its bytes and
  // its last byte (0 when empty).
  FileStamp stamp_;
  ContentHash hash_;
  char lastByte_ = 0;
  std::string readBuffer_;  // kept for comparing the file before each save
};

}  // namespace redoviri
