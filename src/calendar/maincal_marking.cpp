// The main window's marking pass: which event picture and hint each day
// cell gets. The month view computes the marks; the cells show them.
#include "calendar/maincal.h"

namespace redoviri {

void TForm1::Button4Click() {
  view_.Mark(events_);
  for (int k = 1; k <= kDayCellCount; ++k) checkClick(k);
}

void TForm1::checkClick(int k) {
  const MonthCell& cell = view_.Cell(k);
  id[k]->SetTag(cell.dayMark);
  noselClick(k);
  ld[k]->SetHint(cell.hint);
}

}  // namespace redoviri
