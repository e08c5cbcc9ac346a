// The lines of the event store, held compactly.
//
// All line texts lie back to back in one buffer; each line has an 8-byte
// slot (where its text ends, and where its parsed form is) and only a line
// that falls on days has a parsed form. So the store of a file costs a few
// times the file's size at most, whatever the shape of its lines: a file of
// two-byte lines ("x" and a line end) costs four and a half times its size,
// a file of event lines little more than its size.
//
// A load builds the lines in their order (Builder); a change puts lines in
// or takes one out in place, moving only the text past it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "events/eventrecord.h"

namespace redoviri {

class EventLines {
 public:
  // One line and what matching needs of it. An unreadable line (see
  // ParsedEvent) has the default parsed form: it falls on no day.
  struct Entry {
    std::string_view line;        // valid until the lines change
    const ParsedEvent& parsed;    // the same
  };

  // Puts lines together in their order, then gives them up with Finish.
  class Builder;

  class Iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = Entry;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = Entry;
    Iterator() = default;
    Iterator(const EventLines* lines, std::size_t index) : lines_(lines), index_(index) {}
    Entry operator*() const { return lines_->At(index_); }
    Iterator& operator++() {
      ++index_;
      return *this;
    }
    Iterator operator++(int) {
      Iterator old = *this;
      ++index_;
      return old;
    }
    friend bool operator==(const Iterator& a, const Iterator& b) { return a.index_ == b.index_; }

   private:
    const EventLines* lines_ = nullptr;
    std::size_t index_ = 0;
  };

  // A line to put in, in front of line `before` of the lines as they stand
  // (size() for the end).
  struct Insertion {
    std::string_view line;
    ParsedEvent parsed;
    std::size_t before;
  };
  // Takes the memory that Insert of these lines needs; may throw
  // std::bad_alloc, changing nothing.
  void Reserve(std::span<const Insertion> fresh);
  // Puts the lines in, after Reserve of the same lines; `fresh` in order
  // of `before`, lines of one place in the order they take there.
  void Insert(std::span<const Insertion> fresh) noexcept;
  void Remove(std::size_t index) noexcept;

  std::size_t size() const { return slots_.size(); }
  bool empty() const { return slots_.empty(); }
  std::string_view Line(std::size_t index) const;
  Entry At(std::size_t index) const;
  Iterator begin() const { return {this, 0}; }
  Iterator end() const { return {this, slots_.size()}; }
  // Bytes of memory held: text, slots and parsed forms.
  std::size_t MemoryBytes() const;
  // Bytes of line text (no line ends).
  std::size_t TextBytes() const { return text_.size(); }

 private:
  struct Slot {
    std::uint32_t end;     // where the line's text ends in text_
    std::uint32_t parsed;  // index in parsed_, or kUnreadable
  };
  static constexpr std::uint32_t kUnreadable = 0xFFFFFFFFu;

  std::string text_;
  std::vector<Slot> slots_;
  std::vector<ParsedEvent> parsed_;
};

class EventLines::Builder {
 public:
  // Room for `lines` lines of `textBytes` bytes in all, taken at once.
  Builder(std::size_t lines, std::size_t textBytes);
  void Add(std::string_view line) { Add(line, ParseEventLine(line)); }
  void Add(std::string_view line, const ParsedEvent& parsed);
  EventLines Finish() &&;

 private:
  EventLines lines_;
};

}  // namespace redoviri
