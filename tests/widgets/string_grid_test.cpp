#include "widgets/string_grid.h"

#include <gtest/gtest.h>

#include "widget_test_support.h"
#include "widgets/widgets.h"

namespace redoviri::widgets {
namespace {

using test::PumpUntil;

using test::Click;
using test::PumpFor;
using test::Snapshot;
using test::TestForm;

constexpr COLORREF kBackground = RGB(255, 255, 221);

// Rows 19 pixels apart (18 high and a grid line), one heading row.
class StringGridTest : public ::testing::Test {
 protected:
  StringGridTest() : form(TestForm(300, 200)) {
    grid = &form.Add<StringGrid>({.left = 0, .top = 0, .width = 250, .height = 150, .colour = kBackground},
                                 {.colWidths = {100, 60, 0, 50}, .rowCount = 6, .rowHeight = 18,
                                  .rowSelect = true, .scrollBars = ScrollBars::Vertical, .border = false});
    for (int r = 1; r < 6; ++r) grid->SetCell(0, r, "row " + std::to_string(r));
  }
  // A point in the middle of a row's first cell.
  static int RowY(int row) { return row * 19 + 9; }

  Form form;
  StringGrid* grid;
};

TEST_F(StringGridTest, KeepsCellsWhileRowsComeAndGo) {
  grid->SetCell(3, 2, "birthday");
  EXPECT_EQ(grid->Cell(3, 2), "birthday");
  EXPECT_EQ(grid->Cell(0, 5), "row 5");
  EXPECT_EQ(grid->Cell(9, 2), "");   // no such column
  EXPECT_EQ(grid->Cell(0, 99), "");  // no such row
  grid->SetCell(0, 99, "lost");      // ignored
  EXPECT_EQ(grid->RowCount(), 6);

  grid->SetRowCount(8);
  EXPECT_EQ(grid->Cell(3, 2), "birthday");
  EXPECT_EQ(grid->Cell(0, 7), "");
  grid->SetRowCount(2);
  EXPECT_EQ(grid->RowCount(), 2);
  EXPECT_EQ(grid->Cell(0, 1), "row 1");
  grid->SetRowCount(4);
  EXPECT_EQ(grid->Cell(0, 2), "");  // a removed row comes back empty
  EXPECT_EQ(grid->ColCount(), 4);
}

// A fill between BeginUpdate and EndUpdate keeps every cell; the scroll
// bar and the screen follow once, at the end.
TEST_F(StringGridTest, AnUpdateShowsItsChangesOnceAtTheEnd) {
  form.ShowInactive();
  ASSERT_TRUE(PumpUntil([&] { return GetUpdateRect(grid->Handle(), nullptr, FALSE) == FALSE; }));
  const auto scrollMax = [&] {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE;
    GetScrollInfo(grid->Handle(), SB_VERT, &si);
    return si.nMax;
  };
  const int before = scrollMax();
  {
    const StringGrid::Update outer(*grid);
    {
      const StringGrid::Update inner(*grid);
      grid->SetRowCount(201);
      for (int r = 1; r <= 200; ++r) grid->SetCell(0, r, "event " + std::to_string(r));
    }
    EXPECT_EQ(scrollMax(), before) << "still inside the outer update";
    EXPECT_EQ(GetUpdateRect(grid->Handle(), nullptr, FALSE), FALSE) << "nothing repainted yet";
  }
  EXPECT_GT(scrollMax(), before);
  EXPECT_NE(GetUpdateRect(grid->Handle(), nullptr, FALSE), FALSE);
  EXPECT_EQ(grid->RowCount(), 201);
  EXPECT_EQ(grid->Cell(0, 200), "event 200");
  // Outside an update each change shows at once again.
  ASSERT_TRUE(PumpUntil([&] { return GetUpdateRect(grid->Handle(), nullptr, FALSE) == FALSE; }));
  grid->SetCell(0, 1, "changed");
  EXPECT_NE(GetUpdateRect(grid->Handle(), nullptr, FALSE), FALSE);
}

TEST_F(StringGridTest, AClickSelectsTheRowUnderTheMouse) {
  EXPECT_EQ(grid->Row(), 1);  // the first row below the heading
  int rowAtMouseUp = -1, clicks = 0, selects = 0;
  grid->onMouseUp = [&](const MouseEvent&) { rowAtMouseUp = grid->Row(); };
  grid->onClick = [&] { ++clicks; };
  grid->onSelect = [&] { ++selects; };

  Click(grid->Handle(), 20, RowY(3));
  EXPECT_EQ(grid->Row(), 3);
  EXPECT_EQ(rowAtMouseUp, 3);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(selects, 1);

  // The heading row and the space below the last row select nothing.
  Click(grid->Handle(), 20, RowY(0));
  EXPECT_EQ(grid->Row(), 3);
  Click(grid->Handle(), 20, RowY(7));
  EXPECT_EQ(grid->Row(), 3);
  EXPECT_EQ(selects, 1);
}

TEST_F(StringGridTest, ADoubleClickRunsItsHandlerOnTheClickedRow) {
  int rowAtDouble = -1;
  grid->onDblClick = [&] { rowAtDouble = grid->Row(); };
  Click(grid->Handle(), 20, RowY(4));
  SendMessageA(grid->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, RowY(4)));
  SendMessageA(grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, RowY(4)));
  EXPECT_EQ(rowAtDouble, 4);
}

TEST_F(StringGridTest, HiddenColumnsTakeNoRoom) {
  EXPECT_EQ(grid->ColAt(50), 0);
  EXPECT_EQ(grid->ColAt(130), 1);
  EXPECT_EQ(grid->ColAt(170), 3);  // column 2 has width 0
  EXPECT_EQ(grid->ColAt(240), -1);
  RECT hidden = grid->CellRect(2, 1);
  EXPECT_TRUE(IsRectEmpty(&hidden));
}

TEST_F(StringGridTest, KeysMoveTheSelectionAndScrollItIntoView) {
  grid->SetRowCount(40);
  const int visible = grid->VisibleRows();
  EXPECT_EQ(visible, (150 - 19) / 19);
  for (int i = 0; i < visible + 2; ++i) SendMessageA(grid->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(grid->Row(), 1 + visible + 2);
  EXPECT_EQ(grid->TopRow(), grid->Row() - visible + 1);
  SendMessageA(grid->Handle(), WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(grid->Row(), 39);
  EXPECT_EQ(grid->TopRow(), 40 - visible);
  SendMessageA(grid->Handle(), WM_KEYDOWN, VK_HOME, 0);
  EXPECT_EQ(grid->Row(), 1);
  EXPECT_EQ(grid->TopRow(), 1);
  // A click on a scrolled grid selects the row shown there.
  grid->SetTopRow(10);
  Click(grid->Handle(), 20, RowY(2));
  EXPECT_EQ(grid->Row(), 11);
}

TEST_F(StringGridTest, DrawsHeadingSelectionAndBackground) {
  grid->SetRow(2);
  const Snapshot s(form);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_EQ(s.at(90, 5), colours::Silver);      // heading row
  EXPECT_EQ(s.at(90, RowY(1)), kBackground);   // a normal row
  EXPECT_EQ(s.at(90, RowY(2)), highlight);     // the selected row, whole
  EXPECT_EQ(s.at(200, RowY(2)), highlight);
  EXPECT_EQ(s.at(90, RowY(7)), kBackground);   // below the last row
  // The first cell's text is drawn in its row.
  EXPECT_GT(s.count({2, RowY(3) - 7, 60, RowY(3) + 7}, colours::Black), 5);
}

TEST(StringGridChooser, SelectsTheChosenMonthWithoutScrollBars) {
  // A month chooser: 12 rows, no heading, no scroll bars.
  Form form(TestForm(200, 260));
  StringGrid& chooser = form.Add<StringGrid>(
      {.left = 0, .top = 0, .width = 184, .height = 245, .font = Font::Arial(16).Bold()},
      {.colWidths = {40, 140}, .rowCount = 12, .rowHeight = 19, .fixedRows = 0, .rowSelect = true,
       .scrollBars = ScrollBars::None});
  EXPECT_FALSE(GetWindowLongA(chooser.Handle(), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL));
  EXPECT_EQ(chooser.Row(), 0);
  int chosen = -1;
  chooser.onMouseUp = [&](const MouseEvent&) { chosen = chooser.Row(); };
  Click(chooser.Handle(), 100, 20 * 11 + 5);
  EXPECT_EQ(chosen, 11);
}

}  // namespace
}  // namespace redoviri::widgets
