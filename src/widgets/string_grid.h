// A grid of text cells, drawn by itself: columns of set widths, rows of
// one height, optional fixed heading rows, a selected cell or whole row.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "widgets/widget.h"

namespace redoviri::widgets {

enum class ScrollBars { None, Vertical, Horizontal, Both };

class StringGrid : public WindowedWidget {
 public:
  struct Options {
    std::vector<int> colWidths = {64, 64, 64, 64, 64};  // one per column; 0 hides one
    int rowCount = 5;
    int rowHeight = 24;
    int fixedRows = 1;  // heading rows at the top, never scrolled nor selected
    bool rowSelect = false;  // the selection is the whole row
    ScrollBars scrollBars = ScrollBars::Both;  // each shown only when needed
    bool gridLines = true;
    bool border = true;
    COLORREF fixedColour = colours::Silver;
  };
  StringGrid(Container* parent, const Props& props, const Options& options);

  int ColCount() const { return static_cast<int>(options_.colWidths.size()); }
  int ColWidth(int col) const;
  int RowCount() const { return options_.rowCount; }
  // Rows added are empty; rows removed lose their cells.
  void SetRowCount(int count);
  int RowHeight() const { return options_.rowHeight; }
  int FixedRows() const { return options_.fixedRows; }

  // Out-of-range cells read as empty and ignore writes.
  std::string Cell(int col, int row) const;
  void SetCell(int col, int row, const std::string& text);

  // Between BeginUpdate and EndUpdate (they nest) changes of the cells and
  // the row count are kept and shown once, at the end: a fill of many rows
  // costs one repaint and one scroll-bar update instead of one per cell.
  void BeginUpdate() { ++updating_; }
  void EndUpdate();
  // BeginUpdate for a scope.
  class Update {
   public:
    explicit Update(StringGrid& grid) : grid_(grid) { grid_.BeginUpdate(); }
    ~Update() { grid_.EndUpdate(); }
    Update(const Update&) = delete;
    Update& operator=(const Update&) = delete;

   private:
    StringGrid& grid_;
  };

  // The selected cell; the row is never a fixed one.
  int Row() const { return row_; }
  int Col() const { return col_; }
  void SetRow(int row);
  // The first scrollable row on screen.
  int TopRow() const { return topRow_; }
  void SetTopRow(int row);
  // Rows that fit below the fixed ones.
  int VisibleRows() const;

  // The row or column at a point of the client area, or -1.
  int RowAt(int y) const;
  int ColAt(int x) const;
  // Rectangle of a cell on screen (client coordinates), empty when hidden.
  RECT CellRect(int col, int row) const;

  // The user moved the selection (mouse or keys).
  Handler onSelect;
  // A key the grid does not use itself; true when it was used.
  std::function<bool(UINT key)> onKey;

 protected:
  bool CreateHandle(const WindowSpec& spec) override;
  WindowSpec CreationSpec() const override;
  void Realize() override;
  std::optional<COLORREF> DefaultColour() const override { return colours::White; }
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  int Line() const { return options_.gridLines ? 1 : 0; }
  int RowPitch() const { return options_.rowHeight + Line(); }
  int FixedHeight() const { return options_.fixedRows * RowPitch(); }
  int TotalWidth() const;
  int ColLeft(int col) const;
  void Paint(HDC dc);
  void Select(int col, int row, bool byUser);
  void ScrollIntoView(int row);
  void UpdateScrollBars();
  void ClampScroll();
  bool KeyDown(WPARAM key);
  void ScrollTo(int bar, int code, int thumb);

  Options options_;
  std::vector<std::vector<std::string>> cells_;  // [row][col]
  int row_;
  int col_ = 0;
  int topRow_;
  int scrollX_ = 0;  // pixels scrolled to the left
  bool tracking_ = false;  // the left button is down on the grid
  int updating_ = 0;
};

}  // namespace redoviri::widgets
