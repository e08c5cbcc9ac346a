// The reminder window's choice: one check box for the notice at the event's
// time (always given), one for each usual time ahead, and one for each
// other reminder the event has (set by the tool, 45 minutes say), checked
// so that it is kept unless unchecked. The reminders of the checked boxes
// are what OK hands back.
#pragma once

#include <string>
#include <vector>

namespace redoviri {

// The usual times ahead, in minutes: 5, 10, 15, 30 minutes, 1 and 2 hours,
// 1, 2 and 3 days, 1 and 2 weeks.
inline constexpr int kUsualReminders[] = {5, 10, 15, 30, 60, 120, 1440, 2880, 4320, 10080, 20160};

struct ReminderBox {
  int minutes = 0;      // ahead of the event; 0: the notice at its time
  std::string caption;  // "1 &hour before": "&" marks the letter Alt goes with
  bool checked = false;
};

// The boxes for an event's reminders, in rising order: "At the time"
// (checked), the usual times and the event's others.
std::vector<ReminderBox> ReminderBoxes(const std::vector<int>& current);

struct ReminderOutcome {
  std::vector<int> reminders;  // rising
  std::string words;           // for the preview line, or why not
  bool ok = true;
};
// The reminders of the checked boxes, and their words ("Reminders: 1 day
// and 15 minutes before"), or why they cannot be kept (too many).
ReminderOutcome ChosenReminders(const std::vector<ReminderBox>& boxes);

}  // namespace redoviri
