#include "base/text.h"

#include <algorithm>
#include <limits>

namespace redoviri {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string UpperCaseAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::optional<int> ReadInteger(std::string_view text) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || !std::all_of(text.begin(), text.end(), IsDigit)) return std::nullopt;
  long long value = 0;
  for (char c : text) {
    value = value * 10 + (c - '0');
    if (value > static_cast<long long>(std::numeric_limits<int>::max()) + (negative ? 1 : 0)) return std::nullopt;
  }
  return static_cast<int>(negative ? -value : value);
}

std::string Abbreviated(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return std::string(text);
  constexpr std::string_view kEllipsis = "...";
  const std::size_t room = limit > kEllipsis.size() ? limit - kEllipsis.size() : 0;
  // A blank or a comma is never the second byte of a double-byte
  // character, so the cut after one splits no character.
  const std::size_t boundary = text.substr(0, room).find_last_of(" ,");
  const std::size_t cut = boundary == std::string_view::npos ? room : boundary + 1;
  std::string shown(text.substr(0, cut));
  shown += kEllipsis;
  return shown;
}

}  // namespace redoviri
