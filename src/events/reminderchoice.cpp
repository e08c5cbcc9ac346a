#include "events/reminderchoice.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>
#include <utility>

#include "events/eventrule.h"

namespace redoviri {

namespace {

// The usual times' captions: "&" comes before the letter Alt goes with.
constexpr struct {
  int minutes;
  const char* caption;
} kUsualCaptions[] = {{5, "&5 minutes before"}, {10, "1&0 minutes before"}, {15, "&15 minutes before"},
                      {30, "&30 minutes before"}, {60, "1 &hour before"},     {120, "&2 hours before"},
                      {1440, "1 &day before"},    {2880, "2 d&ays before"},   {4320, "3 da&ys before"},
                      {10080, "1 &week before"},  {20160, "2 wee&ks before"}};
static_assert(std::size(kUsualCaptions) == std::size(kUsualReminders));

}  // namespace

std::vector<ReminderBox> ReminderBoxes(const std::vector<int>& current) {
  const auto among = [](const auto& list, int minutes) {
    return std::find(std::begin(list), std::end(list), minutes) != std::end(list);
  };
  std::vector<ReminderBox> boxes{{0, "At the time", true}};
  for (const auto& [minutes, caption] : kUsualCaptions) boxes.push_back({minutes, caption, among(current, minutes)});
  // The event's other reminders, checked: kept unless unchecked.
  for (const int minutes : SortedReminders(current))
    if (minutes > 0 && !among(kUsualReminders, minutes))
      boxes.push_back({minutes, AheadInWords(minutes) + " before", true});
  std::stable_sort(boxes.begin(), boxes.end(),
                   [](const ReminderBox& a, const ReminderBox& b) { return a.minutes < b.minutes; });
  return boxes;
}

ReminderOutcome ChosenReminders(const std::vector<ReminderBox>& boxes) {
  ReminderOutcome out;
  for (const ReminderBox& box : boxes)
    if (box.checked && box.minutes > 0) out.reminders.push_back(box.minutes);
  out.reminders = SortedReminders(std::move(out.reminders));
  static_assert(kMaxReminders == 20);
  if (static_cast<int>(out.reminders.size()) > kMaxReminders) {
    out.ok = false;
    out.words = "No more than 20 reminders: uncheck ";
    out.words += std::to_string(out.reminders.size() - kMaxReminders);
    return out;
  }
  out.words = out.reminders.empty() ? "Only the notice at the event's time" : RemindersInWords(out.reminders);
  out.words[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(out.words[0])));
  return out;
}

}  // namespace redoviri
