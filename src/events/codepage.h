// Text of the event file in the system's single-byte code page, and UTF-8
// for the files other programs read. The code page is Windows-1252 on the
// tool's POSIX side; on Windows it is the system's ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace redoviri {

// UTF-8 of code-page text. Every byte has a character, so nothing is lost.
std::string CodePageToUtf8(std::string_view text);

// What converting UTF-8 to the code page gave.
struct CodePageText {
  std::string text;
  // Characters the code page cannot hold, each written as "?", and bytes
  // that are not UTF-8 (each such byte one "?").
  int replaced = 0;
};
CodePageText Utf8ToCodePage(std::string_view utf8);

#ifdef _WIN32
// UTF-16 text (a command line, a name the system gives) in the code page,
// each character it cannot hold counted and written as `unheld`: never the
// system's "best fit" (Łukasz as "Lukasz", Ωmega as "Omega"), which would
// store or open some other name than the one given.
CodePageText WideToCodePage(std::wstring_view wide, char unheld = '?');
// The code page's name for messages, "Windows-1252".
std::string CodePageName();
#endif

// The same two conversions for Windows-1252, whatever the system's code page.
std::string Windows1252ToUtf8(std::string_view text);
CodePageText Utf8ToWindows1252(std::string_view utf8);

}  // namespace redoviri
