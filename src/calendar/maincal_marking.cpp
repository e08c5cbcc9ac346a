// The main window's marking pass: which event picture and hint each day
// cell gets. The rule of a cell test lives in reminders/marking.h; this is
// the pass over the window's cells.
#include "calendar/colours.h"
#include "calendar/maincal.h"
#include "events/eventlist.h"

namespace redoviri {

void TForm1::Button4Click() {
  for (int k = 1; k <= kDayCellCount; ++k) {
    id[k]->SetTag(kNoEventMark);
    noselClick(k);
  }
  for (int k = 1; k <= kDayCellCount; ++k) {
    eventIndex_ = 0;
    cellMark_ = {};
    ld[k]->SetHint({});
    if (!ReadInteger(ld[k]->Caption())) continue;  // no day in this cell
    const int count = events_ ? events_->EventCount() : 0;
    for (; eventIndex_ < count; ++eventIndex_) checkClick(k);
  }
}

void TForm1::checkClick(int k) {
  if (!events_ || eventIndex_ < 0 || eventIndex_ >= events_->EventCount()) return;
  const std::optional<int> day = ReadInteger(ld[k]->Caption());
  if (!day) return;
  const bool isToday = pd[k]->Colour() == static_cast<COLORREF>(TodayColour);
  const int before = cellMark_.matchCount;
  CheckCell(events_->EntryAt(eventIndex_), MakeMatchDay(calendar_.Year(), calendar_.Month(), *day), isToday,
            cellMark_);
  if (cellMark_.matchCount == before) return;
  id[k]->SetTag(cellMark_.dayMark);
  noselClick(k);
  ld[k]->SetHint(cellMark_.hint);
}

}  // namespace redoviri
