#include "reminders/notices.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <span>
#include <tuple>
#include <utility>

#include "events/eventlist.h"
#include "events/eventrule.h"
#include "reminders/matching.h"

namespace redoviri {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// The time field of a stored line; none for a line too short to hold it.
std::optional<std::string_view> TimeFieldOfLine(std::string_view line) {
  const auto start = static_cast<std::size_t>(kTimeField.position - 1);
  const auto length = static_cast<std::size_t>(kTimeField.length);
  if (line.size() < start + length) return std::nullopt;
  return line.substr(start, length);
}

// The day number of 1 January 1970, where the clock's seconds count from.
std::int32_t EpochDay() {
  static const std::int32_t day = *DayNumber(1970, 1, 1);
  return day;
}

// The filter of today's count in the tray: categories 1..6 only.
bool AlertsAtAll(const ParsedEvent& event) { return event.category >= 1 && event.category <= kCategoryCount; }

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}


bool SameEventAndDay(const Notice& a, const Notice& b) { return a.line == b.line && a.day == b.day; }

}  // namespace

bool SameNotice(const Notice& a, const Notice& b) { return SameEventAndDay(a, b) && a.before == b.before; }

std::int64_t DueMinute(const Notice& n) {
  return std::int64_t{DayNumber(n.day).value_or(0) - EpochDay()} * 1440 + n.minute - n.before;
}

std::vector<DueItem> DueBetween(const EventList& events, std::int64_t from, std::int64_t to,
                                std::optional<std::int64_t> dayItemsFrom) {
  std::vector<DueItem> found;
  const std::int64_t lower = dayItemsFrom ? std::min(from, *dayItemsFrom) : from;
  if (to <= lower) return found;
  // The days an event may fall on: from the day before the first due time
  // to the last one a reminder reaches; each made once.
  const std::int32_t firstDay = EpochDay() + static_cast<std::int32_t>(FloorDiv(lower, kSecondsPerDay)) - 1;
  const std::int32_t lastDay =
      EpochDay() + static_cast<std::int32_t>(FloorDiv(to + std::int64_t{kMaxRemindMinutes} * 60, kSecondsPerDay));
  std::vector<std::optional<MatchDay>> days;
  const auto matchDay = [&](std::int32_t d) -> const std::optional<MatchDay>& {
    const auto i = static_cast<std::size_t>(d - firstDay);
    if (days.size() <= i) days.resize(i + 1);
    if (!days[i]) days[i] = MatchDay{DateOfDayNumber(d), d};
    return days[i];
  };
  // The days an item `before` minutes ahead of minute `minute` may be due
  // on in (after, to]; the events' own notices' ranges made once a minute.
  const auto dayRange = [&](std::int64_t after, std::int64_t shift) {
    return std::pair{static_cast<std::int32_t>(FloorDiv(after + shift, kSecondsPerDay)) + EpochDay(),
                     static_cast<std::int32_t>(FloorDiv(to + shift, kSecondsPerDay)) + EpochDay()};
  };
  std::vector<std::pair<std::int32_t, std::int32_t>> ownRanges(1440);
  for (int m = 0; m < 1440; ++m) ownRanges[static_cast<std::size_t>(m)] = dayRange(from, -std::int64_t{m} * 60);
  const auto dayEventRange = dayRange(lower, -std::int64_t{kDayEventMinute} * 60);
  std::size_t index = 0;
  for (const EventList::Entry& entry : events.Entries()) {
    const std::size_t storeIndex = index++;
    if (!AlertsAtAll(entry.parsed)) continue;
    const std::optional<std::string_view> time = TimeFieldOfLine(entry.line);
    if (!time) continue;
    const std::optional<int> stored = AlertMinute(*time);
    const bool dayEvent = stored ? *stored == 0 : IsDayEventTime(*time);
    if (!stored && !dayEvent) continue;
    const int minute = dayEvent ? kDayEventMinute : *stored;
    const std::span<const std::int32_t> reminders =
        entry.parsed.rule ? std::span<const std::int32_t>(entry.parsed.rule->reminders) : std::span<const std::int32_t>();
    for (std::size_t r = 0; r <= reminders.size(); ++r) {
      const std::int32_t before = r == 0 ? 0 : reminders[r - 1];
      const bool dayItem = dayEvent && before % 1440 == 0;
      const std::int64_t after = dayItem ? lower : from;
      // The event's moment lies `before` minutes past the due time.
      const std::int64_t shift = std::int64_t{before - minute} * 60;
      const auto [lo, hi] = r > 0       ? dayRange(after, shift)
                            : dayEvent ? dayEventRange
                                       : ownRanges[static_cast<std::size_t>(minute)];
      for (std::int32_t d = std::max(lo, firstDay); d <= std::min(hi, lastDay); ++d) {
        const std::int64_t due = std::int64_t{d - EpochDay()} * kSecondsPerDay - shift;
        if (due <= after || due > to) continue;
        const std::optional<MatchDay>& day = matchDay(d);
        if (!FallsOn(entry.parsed, *day)) continue;
        Notice notice{std::string(entry.line), day->date, minute, false, false, before, dayEvent};
        found.push_back({std::move(notice), due, storeIndex});
      }
    }
  }
  std::stable_sort(found.begin(), found.end(), [](const DueItem& a, const DueItem& b) {
    return std::tuple(a.due, a.storeIndex, -a.notice.before) < std::tuple(b.due, b.storeIndex, -b.notice.before);
  });
  return found;
}

std::vector<Notice> NoticeScheduler::Look(const EventList& events, const ClockReading& now) {
  const bool first = std::exchange(firstLook_, false);
  if (!last_) last_ = now;
  const ClockReading last = *last_;
  last_ = now;

  // A notice found, with what orders it among the others.
  struct Found {
    Notice notice;
    std::int64_t due;
    std::size_t storeIndex;
  };
  std::vector<Found> found;

  const std::optional<std::int32_t> today = DayNumber(now.local.date);
  const std::int64_t from = SecondsSince1970(last.local);
  const std::int64_t to = SecondsSince1970(now.local);
  const std::int64_t utcSinceLast = now.utcSeconds - last.utcSeconds;

  if (today && (to > from || first)) {
    const std::int64_t since = std::max(from, to - kLookBackSeconds);
    // The first look also gives today's day items due since 00:00.
    std::optional<std::int64_t> dayItemsFrom;
    if (first) dayItemsFrom = SecondsSince1970({now.local.date, {}}) - 1;
    for (DueItem& item : DueBetween(events, since, to, dayItemsFrom)) {
      const auto dueDay = static_cast<std::int32_t>(FloorDiv(item.due, kSecondsPerDay)) + EpochDay();
      Shown key{item.notice.line, DayNumber(item.notice.day).value_or(0), item.notice.before, dueDay};
      if (shown_.contains(key)) continue;
      item.notice.late = item.notice.DayItem() ? dueDay < *today
                                               : std::min(to - item.due, utcSinceLast) > kLateAfterSeconds;
      shown_.insert(std::move(key));
      found.push_back({std::move(item.notice), item.due, item.storeIndex});
    }
  }

  // The snoozes that ran out come back while their event is still stored.
  std::vector<Snoozed> back;
  std::erase_if(snoozes_, [&](const Snoozed& s) {
    if (s.backAtUtc > now.utcSeconds) return false;
    back.push_back(s);
    return true;
  });
  if (!back.empty()) {
    std::vector<bool> stored(back.size(), false);
    std::size_t index = 0;
    for (const EventList::Entry& entry : events.Entries()) {
      const std::size_t storeIndex = index++;
      for (std::size_t i = 0; i < back.size(); ++i) {
        if (stored[i] || entry.line != back[i].notice.line) continue;
        stored[i] = true;
        Notice notice = back[i].notice;
        notice.snoozed = true;
        notice.late = std::min(now.utcSeconds - back[i].backAtUtc, utcSinceLast) > kLateAfterSeconds;
        const std::int64_t due = DueMinute(notice) * 60;
        found.push_back({std::move(notice), due, storeIndex});
      }
    }
  }

  std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return std::tuple(a.due, !a.notice.snoozed, a.storeIndex) < std::tuple(b.due, !b.notice.snoozed, b.storeIndex);
  });

  // Only the days a look can still reach are kept.
  if (today) std::erase_if(shown_, [&](const Shown& s) { return s.dueDay < *today - 2; });

  std::vector<Notice> notices;
  notices.reserve(found.size());
  for (Found& f : found) notices.push_back(std::move(f.notice));
  return notices;
}

void NoticeScheduler::Snooze(const Notice& notice, int minutes, const ClockReading& now) {
  Snoozed snoozed{notice, now.utcSeconds + std::int64_t{minutes} * 60};
  snoozed.notice.late = false;
  snoozed.notice.snoozed = false;
  const auto same = std::find_if(snoozes_.begin(), snoozes_.end(),
                                 [&](const Snoozed& s) { return SameNotice(s.notice, notice); });
  if (same != snoozes_.end()) {
    *same = std::move(snoozed);
  } else {
    snoozes_.push_back(std::move(snoozed));
  }
}

void NoticeBoard::Add(std::vector<Notice> notices) {
  for (Notice& notice : notices) {
    std::erase_if(notices_, [&](const Notice& n) { return SameNotice(n, notice); });
    const auto place = std::upper_bound(notices_.begin(), notices_.end(), notice,
                                        [](const Notice& a, const Notice& b) { return DueMinute(a) < DueMinute(b); });
    notices_.insert(place, std::move(notice));
  }
}

Notice NoticeBoard::Take(std::size_t i) {
  if (i >= notices_.size()) throw std::out_of_range("no such notice");
  Notice notice = std::move(notices_[i]);
  notices_.erase(notices_.begin() + static_cast<std::ptrdiff_t>(i));
  return notice;
}

std::size_t NoticeBoard::RowsShown() const { return std::min(notices_.size(), kNoticeRowsShown); }

std::string NoticeBoard::MoreText() const {
  if (notices_.size() <= kNoticeRowsShown) return {};
  // 0x85 is the ellipsis of the Windows ANSI code pages.
  return "\x85 " + std::to_string(notices_.size() - kNoticeRowsShown) + " more";
}

std::string MinuteText(int minute) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", minute / 60, minute % 60);
  return text;
}

std::string AheadText(const Notice& n) {
  const std::string at = n.dayEvent ? std::string() : MinuteText(n.minute);
  if (n.before == 0) return n.dayEvent ? "today" : "";
  if (n.before < 1440) {
    if (n.dayEvent) return "today";
    std::string ahead = "in ";
    if (n.before >= 60) ahead += std::to_string(n.before / 60) + " h";
    if (n.before % 60 != 0) ahead += (n.before >= 60 ? " " : "") + std::to_string(n.before % 60) + " min";
    return ahead + " (" + at + ")";
  }
  const std::int64_t days = DayNumber(n.day).value_or(0) - EpochDay() - FloorDiv(DueMinute(n), 1440);
  if (days <= 1) return at.empty() ? "tomorrow" : "tomorrow (" + at + ")";
  const int weekday = DayOfWeek(n.day);  // 1 = Sunday
  static constexpr const char* kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  static constexpr const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                            "July",    "August",   "September", "October", "November", "December"};
  std::string when = std::string(kWeekdays[weekday - 1]) + ", " + kMonths[n.day.month - 1] + " " + std::to_string(n.day.day);
  if (!at.empty()) when += ", " + at;
  return "in " + std::to_string(days) + " days (" + when + ")";
}

std::string NoticeTimeText(const Notice& n) { return n.dayEvent ? std::string() : MinuteText(n.minute); }

namespace {
// "09:30 Dentist", "Anna, tomorrow", "Dentist, in 15 min (10:30)".
std::string Headline(const Notice& n) {
  std::string text = n.before == 0 && !n.dayEvent ? MinuteText(n.minute) + " " : std::string();
  text += ReadName(n.line);
  if (const std::string ahead = AheadText(n); !ahead.empty()) text += ", " + ahead;
  return text;
}
}  // namespace

std::string NoticeSpokenText(const Notice& notice) {
  std::string text = Headline(notice);
  const std::string comment = ReadComment(notice.line);
  if (!comment.empty()) text += ", " + comment;
  if (notice.late) text += ", late";
  return text;
}

std::string BalloonText(const std::vector<Notice>& notices) {
  if (notices.empty()) return {};
  std::string text = Headline(notices.front());
  if (notices.size() > 1) text += "\n+" + std::to_string(notices.size() - 1) + " more";
  return text;
}

}  // namespace redoviri
