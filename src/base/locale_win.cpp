// The user's locale through the ANSI locale functions.
#include <windows.h>

#include "base/locale.h"

namespace redoviri {
namespace {

// One locale string in the locale's ANSI code page; empty when the system
// does not know it.
std::string LocaleString(LCTYPE type) {
  const int size = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, nullptr, 0);
  if (size <= 0) return {};
  std::string text(static_cast<std::size_t>(size), '\0');
  const int written = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text.data(), size);
  if (written <= 0) return {};
  text.resize(static_cast<std::size_t>(written - 1));  // drop the terminating zero
  return text;
}

// Keeps the English name where the system gives none.
void Take(std::string& name, LCTYPE type) {
  std::string text = LocaleString(type);
  if (!text.empty()) name = std::move(text);
}

}  // namespace

DateLocale UserDateLocale() {
  DateLocale locale = EnglishDateLocale(true);
  locale.monthFirst = MonthFirstInShortDateFormat(LocaleString(LOCALE_SSHORTDATE));
  // The locale numbers its day names from Monday (1) to Sunday (7); ours run
  // from Sunday (index 0) to Saturday.
  for (int i = 0; i < 7; ++i) {
    const int fromMonday = (i + 6) % 7;  // Sunday -> 6, Monday -> 0
    Take(locale.shortDayNames[i], LOCALE_SABBREVDAYNAME1 + fromMonday);
    Take(locale.longDayNames[i], LOCALE_SDAYNAME1 + fromMonday);
  }
  for (int i = 0; i < 12; ++i) Take(locale.longMonthNames[i], LOCALE_SMONTHNAME1 + i);
  return locale;
}

}  // namespace redoviri
