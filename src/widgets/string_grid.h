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

  int colCount() const { return static_cast<int>(options_.colWidths.size()); }
  void setColCount(int count);
  int colWidth(int col) const;
  void setColWidth(int col, int width);
  int rowCount() const { return options_.rowCount; }
  // Rows added are empty; rows removed lose their cells.
  void setRowCount(int count);
  int rowHeight() const { return options_.rowHeight; }
  int fixedRows() const { return options_.fixedRows; }

  // Out-of-range cells read as empty and ignore writes.
  std::string cell(int col, int row) const;
  void setCell(int col, int row, const std::string& text);

  // The selected cell; the row is never a fixed one.
  int row() const { return row_; }
  int col() const { return col_; }
  void setRow(int row);
  void setCol(int col);
  // The first scrollable row on screen.
  int topRow() const { return topRow_; }
  void setTopRow(int row);
  // Rows that fit below the fixed ones.
  int visibleRows() const;

  // The row or column at a point of the client area, or -1.
  int rowAt(int y) const;
  int colAt(int x) const;
  // Rectangle of a cell on screen (client coordinates), empty when hidden.
  RECT cellRect(int col, int row) const;

  // The user moved the selection (mouse or keys).
  Handler onSelect;

 protected:
  bool createWindow(const WindowSpec& spec) override;
  WindowSpec windowSpec() const override;
  void realize() override;
  std::optional<COLORREF> defaultColour() const override { return colours::White; }
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  int line() const { return options_.gridLines ? 1 : 0; }
  int rowPitch() const { return options_.rowHeight + line(); }
  int fixedHeight() const { return options_.fixedRows * rowPitch(); }
  int totalWidth() const;
  int colLeft(int col) const;
  void paint(HDC dc);
  void select(int col, int row, bool byUser);
  void scrollIntoView(int row);
  void updateScrollBars();
  void clampScroll();
  bool keyDown(WPARAM key);
  void scrollTo(int bar, int code, int thumb);

  Options options_;
  std::vector<std::vector<std::string>> cells_;  // [row][col]
  int row_;
  int col_ = 0;
  int topRow_;
  int scrollX_ = 0;  // pixels scrolled to the left
  bool tracking_ = false;  // the left button is down on the grid
};

}  // namespace redoviri::widgets
