// The environment's LC_TIME locale through the C library.
#include <langinfo.h>
#include <locale.h>

#include "base/locale.h"

namespace redoviri {
namespace {

class LocaleHandle {
 public:
  // "" takes the locale from LC_ALL, LC_TIME or LANG.
  LocaleHandle() : handle_(newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0))) {}
  ~LocaleHandle() {
    if (handle_ != static_cast<locale_t>(0)) freelocale(handle_);
  }
  LocaleHandle(const LocaleHandle&) = delete;
  LocaleHandle& operator=(const LocaleHandle&) = delete;

  bool ok() const { return handle_ != static_cast<locale_t>(0); }
  std::string Item(nl_item item) const {
    const char* text = nl_langinfo_l(item, handle_);
    return text ? text : "";
  }

 private:
  locale_t handle_;
};

// Keeps the English name where the library gives none.
void Take(std::string& name, const LocaleHandle& handle, nl_item item) {
  std::string text = handle.Item(item);
  if (!text.empty()) name = std::move(text);
}

constexpr nl_item kShortDays[7] = {ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4, ABDAY_5, ABDAY_6, ABDAY_7};
constexpr nl_item kLongDays[7] = {DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};
constexpr nl_item kMonths[12] = {MON_1, MON_2, MON_3, MON_4, MON_5, MON_6,
                                 MON_7, MON_8, MON_9, MON_10, MON_11, MON_12};

}  // namespace

DateLocale UserDateLocale() {
  DateLocale locale = EnglishDateLocale(true);
  const LocaleHandle handle;
  if (!handle.ok()) return locale;
  locale.monthFirst = MonthFirstInStrftimeFormat(handle.Item(D_FMT));
  // ABDAY_1 and DAY_1 are Sunday, as our index 0.
  for (int i = 0; i < 7; ++i) {
    Take(locale.shortDayNames[i], handle, kShortDays[i]);
    Take(locale.longDayNames[i], handle, kLongDays[i]);
  }
  for (int i = 0; i < 12; ++i) Take(locale.longMonthNames[i], handle, kMonths[i]);
  return locale;
}

}  // namespace redoviri
