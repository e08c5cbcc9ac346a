#include "reminders/notices.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <tuple>

#include "events/eventlist.h"
#include "reminders/matching.h"

namespace redoviri {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// One or two digits with blanks around them.
std::optional<int> TimePart(std::string_view part) {
  const std::size_t first = part.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t last = part.find_last_not_of(' ');
  const std::string_view digits = part.substr(first, last - first + 1);
  if (digits.size() > 2) return std::nullopt;
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// The alert minute of a stored line; none for a line too short to hold
// its whole time.
std::optional<int> AlertMinuteOfLine(std::string_view line) {
  const auto start = static_cast<std::size_t>(kTimeField.position - 1);
  const auto length = static_cast<std::size_t>(kTimeField.length);
  if (line.size() < start + length) return std::nullopt;
  return AlertMinute(line.substr(start, length));
}

// The filter of today's count in the tray: categories 1..6 only.
bool AlertsAtAll(const ParsedEvent& event) { return event.category >= 1 && event.category <= kCategoryCount; }

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The board's order: the day, then the time.
auto TimeOrder(const Notice& n) { return std::tuple(n.day.year, n.day.month, n.day.day, n.minute); }

bool SameEventAndDay(const Notice& a, const Notice& b) { return a.line == b.line && a.day == b.day; }

}  // namespace

std::optional<int> AlertMinute(std::string_view time) {
  const std::size_t colon = time.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::optional<int> hour = TimePart(time.substr(0, colon));
  const std::optional<int> minute = TimePart(time.substr(colon + 1));
  if (!hour || !minute || *hour > 23 || *minute > 59) return std::nullopt;
  return *hour * 60 + *minute;
}

std::vector<Notice> NoticeScheduler::Look(const EventList& events, const ClockReading& now) {
  if (!last_) {
    last_ = now;
    return {};
  }
  const ClockReading last = *last_;
  last_ = now;

  // A notice found, with what orders it among the others.
  struct Found {
    Notice notice;
    std::int32_t dayNumber;
    std::size_t storeIndex;
  };
  std::vector<Found> found;

  const std::optional<std::int32_t> today = DayNumber(now.local.date);
  const std::int64_t from = SecondsSince1970(last.local);
  const std::int64_t to = SecondsSince1970(now.local);
  const std::int64_t utcSinceLast = now.utcSeconds - last.utcSeconds;

  if (today && to > from) {
    // Days are counted from the start of today's local date, so that no
    // day number needs the epoch of the seconds.
    const std::int64_t todayStart = SecondsSince1970({now.local.date, {}});
    const std::int64_t since = std::max(from, to - kLookBackSeconds);
    const auto firstDay = static_cast<std::int32_t>(*today + FloorDiv(since - todayStart, kSecondsPerDay));
    std::vector<MatchDay> days;
    for (std::int32_t d = firstDay; d <= *today; ++d) days.push_back({DateOfDayNumber(d), d});

    std::size_t index = 0;
    for (const EventList::Entry& entry : events.Entries()) {
      const std::size_t storeIndex = index++;
      if (!AlertsAtAll(entry.parsed)) continue;
      const std::optional<int> minute = AlertMinuteOfLine(entry.line);
      if (!minute) continue;
      for (const MatchDay& day : days) {
        const std::int64_t due = todayStart + (day.dayNumber - *today) * kSecondsPerDay + *minute * 60;
        if (due <= since || due > to || !FallsOn(entry.parsed, day)) continue;
        std::pair<std::string, std::int32_t> key{std::string(entry.line), day.dayNumber};
        if (shown_.contains(key)) continue;
        const bool late = std::min(to - due, utcSinceLast) > kLateAfterSeconds;
        found.push_back({Notice{key.first, day.date, *minute, late, false}, day.dayNumber, storeIndex});
        shown_.insert(std::move(key));
      }
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
        const std::int32_t dayNumber = DayNumber(notice.day).value_or(0);
        found.push_back({std::move(notice), dayNumber, storeIndex});
      }
    }
  }

  std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return std::tuple(a.dayNumber, a.notice.minute, !a.notice.snoozed, a.storeIndex) <
           std::tuple(b.dayNumber, b.notice.minute, !b.notice.snoozed, b.storeIndex);
  });

  // Only the days a look can still reach are kept.
  if (today) {
    std::erase_if(shown_, [&](const std::pair<std::string, std::int32_t>& s) { return s.second < *today - 2; });
  }

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
                                 [&](const Snoozed& s) { return SameEventAndDay(s.notice, notice); });
  if (same != snoozes_.end()) {
    *same = std::move(snoozed);
  } else {
    snoozes_.push_back(std::move(snoozed));
  }
}

void NoticeBoard::Add(std::vector<Notice> notices) {
  for (Notice& notice : notices) {
    std::erase_if(notices_, [&](const Notice& n) { return SameEventAndDay(n, notice); });
    const auto place = std::upper_bound(notices_.begin(), notices_.end(), notice,
                                        [](const Notice& a, const Notice& b) { return TimeOrder(a) < TimeOrder(b); });
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

std::string NoticeSpokenText(const Notice& notice) {
  std::string text = MinuteText(notice.minute) + " " + ReadName(notice.line);
  const std::string comment = ReadComment(notice.line);
  if (!comment.empty()) text += ", " + comment;
  if (notice.late) text += ", late";
  return text;
}

std::string BalloonText(const std::vector<Notice>& notices) {
  if (notices.empty()) return {};
  std::string text = MinuteText(notices.front().minute) + " " + ReadName(notices.front().line);
  if (notices.size() > 1) text += "\n+" + std::to_string(notices.size() - 1) + " more";
  return text;
}

}  // namespace redoviri
