#include "events/eventlines.h"

#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace redoviri {

EventLines::Builder::Builder(std::size_t lines, std::size_t textBytes) {
  lines_.slots_.reserve(lines);
  lines_.text_.reserve(textBytes);
}

void EventLines::Builder::Add(std::string_view line, const ParsedEvent& parsed) {
  // Offsets are 32-bit: the store refuses files long before 4 GB.
  if (lines_.text_.size() + line.size() > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
  lines_.text_ += line;
  std::uint32_t parsedIndex = kUnreadable;
  if (parsed.readable) {
    parsedIndex = static_cast<std::uint32_t>(lines_.parsed_.size());
    lines_.parsed_.push_back(parsed);
  }
  lines_.slots_.push_back({static_cast<std::uint32_t>(lines_.text_.size()), parsedIndex});
}

EventLines EventLines::Builder::Finish() && {
  // The number of parsed forms was not known beforehand: give back what
  // their growth took beyond a quarter more.
  if (lines_.parsed_.capacity() > lines_.parsed_.size() + lines_.parsed_.size() / 4) lines_.parsed_.shrink_to_fit();
  return std::move(lines_);
}

void EventLines::Reserve(std::span<const Insertion> fresh) {
  std::size_t textBytes = 0, readable = 0;
  for (const Insertion& f : fresh) {
    textBytes += f.line.size();
    readable += f.parsed.readable ? 1 : 0;
  }
  if (text_.size() + textBytes > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
  text_.reserve(text_.size() + textBytes);
  slots_.reserve(slots_.size() + fresh.size());
  parsed_.reserve(parsed_.size() + readable);
}

void EventLines::Insert(std::span<const Insertion> fresh) noexcept {
  std::size_t textBytes = 0;
  for (const Insertion& f : fresh) textBytes += f.line.size();
  const std::size_t oldText = text_.size();
  text_.resize(oldText + textBytes);
  std::size_t src = slots_.size();  // lines [0, src) are still where they were
  slots_.resize(slots_.size() + fresh.size());
  // From the back: each line moves up by the text of the fresh lines in
  // front of it, and no line is overwritten before it has moved.
  std::size_t dst = slots_.size();
  std::size_t textEnd = text_.size();
  char* const text = text_.data();
  for (std::size_t j = fresh.size(); j-- > 0;) {
    const Insertion& f = fresh[j];
    for (; src > f.before; --src) {
      const std::size_t start = src > 1 ? slots_[src - 2].end : 0;
      const std::size_t length = slots_[src - 1].end - start;
      textEnd -= length;
      std::memmove(text + textEnd, text + start, length);
      slots_[--dst] = {static_cast<std::uint32_t>(textEnd + length), slots_[src - 1].parsed};
    }
    std::uint32_t parsedIndex = kUnreadable;
    if (f.parsed.readable) {
      parsedIndex = static_cast<std::uint32_t>(parsed_.size());
      parsed_.push_back(f.parsed);
    }
    textEnd -= f.line.size();
    std::memcpy(text + textEnd, f.line.data(), f.line.size());
    slots_[--dst] = {static_cast<std::uint32_t>(textEnd + f.line.size()), parsedIndex};
  }
}

void EventLines::Remove(std::size_t index) noexcept {
  const std::size_t start = index == 0 ? 0 : slots_[index - 1].end;
  const std::size_t length = slots_[index].end - start;
  const std::uint32_t parsed = slots_[index].parsed;
  text_.erase(start, length);
  slots_.erase(slots_.begin() + static_cast<std::ptrdiff_t>(index));
  for (std::size_t i = index; i < slots_.size(); ++i) slots_[i].end -= static_cast<std::uint32_t>(length);
  if (parsed != kUnreadable) {
    parsed_.erase(parsed_.begin() + parsed);
    for (Slot& slot : slots_) {
      if (slot.parsed != kUnreadable && slot.parsed > parsed) --slot.parsed;
    }
  }
}

std::string_view EventLines::Line(std::size_t index) const {
  const std::size_t start = index == 0 ? 0 : slots_[index - 1].end;
  return {text_.data() + start, slots_[index].end - start};
}

EventLines::Entry EventLines::At(std::size_t index) const {
  static const ParsedEvent kNone{};
  const std::uint32_t parsed = slots_[index].parsed;
  return {Line(index), parsed == kUnreadable ? kNone : parsed_[parsed]};
}

std::size_t EventLines::MemoryBytes() const {
  return text_.capacity() + slots_.capacity() * sizeof(Slot) + parsed_.capacity() * sizeof(ParsedEvent);
}

}  // namespace redoviri
