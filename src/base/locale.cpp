#include "base/locale.h"

#include <cstddef>

namespace redoviri {
namespace {

template <std::size_t N>
const std::string& NameAt(const std::array<std::string, N>& names, int number) {
  return names.at(static_cast<std::size_t>(number - 1));
}

}  // namespace

const std::string& DateLocale::ShortDayName(int dayOfWeek) const { return NameAt(shortDayNames, dayOfWeek); }
const std::string& DateLocale::LongDayName(int dayOfWeek) const { return NameAt(longDayNames, dayOfWeek); }
const std::string& DateLocale::LongMonthName(int month) const { return NameAt(longMonthNames, month); }

DateLocale EnglishDateLocale(bool monthFirst) {
  return {monthFirst,
          {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
          {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"},
          {"January", "February", "March", "April", "May", "June", "July", "August", "September", "October",
           "November", "December"}};
}

bool MonthFirstInShortDateFormat(std::string_view format) {
  bool quoted = false;
  for (const char c : format) {
    if (c == '\'') {
      quoted = !quoted;
    } else if (!quoted && c == 'M') {
      return true;
    } else if (!quoted && c == 'd') {
      return false;
    }
  }
  return true;
}

bool MonthFirstInStrftimeFormat(std::string_view format) {
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    // Skip glibc's flags, a field width and the E and O modifiers.
    ++i;
    while (i < format.size() && std::string_view("_-0^#").find(format[i]) != std::string_view::npos) ++i;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') ++i;
    if (i < format.size() && (format[i] == 'E' || format[i] == 'O')) ++i;
    if (i >= format.size()) break;
    switch (format[i]) {
      case 'm': case 'b': case 'B': case 'h':
      case 'D':  // %m/%d/%y
      case 'F':  // %Y-%m-%d
        return true;
      case 'd': case 'e':
        return false;
      default:
        break;
    }
  }
  return true;
}

}  // namespace redoviri
