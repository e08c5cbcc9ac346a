// The main window's marking pass: which event picture and hint each day
// cell gets. The month view computes the marks; the cells show them.
#include "calendar/maincal.h"

namespace redoviri {

void TForm1::Button4Click() { Command([](CalendarPresenter& p) { return p.Remark(); }); }

void TForm1::checkClick(int k) {
  const MonthCell& cell = Calendar1().View().Cell(k);
  id[k]->SetTag(cell.dayMark);
  ShowPicture(k);
  ld[k]->SetHint(cell.hint);
}

}  // namespace redoviri
