#include "events/codepage.h"

#include <array>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

namespace redoviri {
namespace {

// Characters of bytes 0x80..0x9F in Windows-1252. The five bytes it leaves
// undefined map to the control characters of the same number, as Windows
// maps them, so every byte comes back unchanged.
constexpr std::array<char32_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t Windows1252Char(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
}

// The byte of a character in Windows-1252; -1 when it has none.
int Windows1252Byte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == c) return static_cast<int>(0x80 + i);
  }
  return -1;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The next character of UTF-8 text from `pos`, which moves past it; -1 for
// a byte that does not start a well-formed sequence (it moves one byte on).
// Overlong forms, surrogates and values past U+10FFFF are not well formed.
long NextUtf8(std::string_view text, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  int extra = 0;
  char32_t c = 0, least = 0;
  if (lead < 0x80) {
    ++pos;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1, c = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, c = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, c = lead & 0x07, least = 0x10000;
  } else {
    ++pos;
    return -1;
  }
  if (pos + static_cast<std::size_t>(extra) >= text.size()) {
    ++pos;
    return -1;
  }
  for (int k = 1; k <= extra; ++k) {
    if ((byte(pos + k) & 0xC0) != 0x80) {
      ++pos;
      return -1;
    }
    c = (c << 6) | (byte(pos + k) & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++pos;
    return -1;
  }
  pos += static_cast<std::size_t>(extra) + 1;
  return static_cast<long>(c);
}

#ifdef _WIN32
bool SystemIs1252() { return GetACP() == 1252; }

// The byte of one character (one or two UTF-16 units; none for text that
// is no character) in the system's code page, or `unheld` where it has none
// of its own: WC_NO_BEST_FIT_CHARS keeps the system from putting a look-alike
// in its place, and the default character it then uses tells it.
void AppendCodePageByte(CodePageText& result, const wchar_t* wide, int units, char unheld) {
  char bytes[8];
  BOOL defaulted = FALSE;
  const int n = units == 0 ? 0
                           : WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, units, bytes, sizeof bytes, nullptr,
                                                 &defaulted);
  if (n != 1 || defaulted) {
    result.text += unheld;
    ++result.replaced;
  } else {
    result.text += bytes[0];
  }
}

std::wstring Widen(std::string_view text, UINT codePage, DWORD flags) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}
#endif

}  // namespace

std::string Windows1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (char b : text) AppendUtf8(out, Windows1252Char(static_cast<unsigned char>(b)));
  return out;
}

CodePageText Utf8ToWindows1252(std::string_view utf8) {
  CodePageText result;
  result.text.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const long c = NextUtf8(utf8, pos);
    const int b = c < 0 ? -1 : Windows1252Byte(static_cast<char32_t>(c));
    if (b < 0) {
      result.text += '?';
      ++result.replaced;
    } else {
      result.text += static_cast<char>(b);
    }
  }
  return result;
}

#ifdef _WIN32
std::string CodePageToUtf8(std::string_view text) {
  if (SystemIs1252()) return Windows1252ToUtf8(text);
  const std::wstring wide = Widen(text, CP_ACP, 0);
  std::string out;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    char32_t c = wide[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size()) c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
    AppendUtf8(out, c);
  }
  return out;
}

CodePageText Utf8ToCodePage(std::string_view utf8) {
  if (SystemIs1252()) return Utf8ToWindows1252(utf8);
  CodePageText result;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const long c = NextUtf8(utf8, pos);
    wchar_t wide[2];
    int units = 0;
    if (c >= 0x10000) {
      wide[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      wide[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      units = 2;
    } else if (c >= 0) {
      wide[0] = static_cast<wchar_t>(c);
      units = 1;
    }
    AppendCodePageByte(result, wide, units, '?');
  }
  return result;
}

CodePageText WideToCodePage(std::wstring_view wide, char unheld) {
  const bool is1252 = SystemIs1252();
  CodePageText result;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const wchar_t unit = wide[i];
    const bool pair = unit >= 0xD800 && unit < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
                      wide[i + 1] < 0xE000;
    if (is1252) {
      // A character past U+FFFF or half of one has no byte.
      const int b = pair || (unit >= 0xD800 && unit < 0xE000) ? -1 : Windows1252Byte(unit);
      result.text += b < 0 ? unheld : static_cast<char>(b);
      result.replaced += b < 0 ? 1 : 0;
    } else {
      AppendCodePageByte(result, wide.data() + i, pair ? 2 : 1, unheld);
    }
    if (pair) ++i;
  }
  return result;
}

std::string CodePageName() { return "Windows-" + std::to_string(GetACP()); }
#else
std::string CodePageToUtf8(std::string_view text) { return Windows1252ToUtf8(text); }
CodePageText Utf8ToCodePage(std::string_view utf8) { return Utf8ToWindows1252(utf8); }
#endif

}  // namespace redoviri
