// Text helpers that every layer reads fields and captions with.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace redoviri {

// Removes blanks (and control characters) at both ends.
std::string_view TrimBlanks(std::string_view text);

// ASCII letters in upper case; every other byte as it is.
std::string UpperCaseAscii(std::string_view text);

// Decimal integer with an optional sign, blanks trimmed; nullopt when the
// text is anything else (an empty text, a second sign, a value past the
// range of int).
std::optional<int> ReadInteger(std::string_view text);

// The text whole when it has at most `limit` characters; else cut after
// the last blank or comma that leaves room for "...", which follows the
// cut (a text with neither is cut at that room).
std::string Abbreviated(std::string_view text, std::size_t limit);

}  // namespace redoviri
