// A scrolled list of rows drawn in one pass, each a line with buttons of its
// own (the notice window's lines, with "Snooze" and "Dismiss"): a colour
// strip and a picture at the left, a bold first column and title, a tag in
// red under the first column, a grey second line, the row's buttons at the
// right; below the rows an optional "more" line. Up and Down (Home, End,
// Page Up, Page Down) choose a row; Enter runs the row's line, Space its
// first button, Delete its second. A click runs what was pressed and
// released on, and does not take the keyboard from where the user types.
// The window's text is the chosen row's spoken text, for screen readers.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "widgets/bitmap.h"
#include "widgets/widget.h"

namespace redoviri::widgets {

struct ActionRow {
  std::optional<COLORREF> strip{};  // along the left edge
  Bitmap picture{};               // beside the strip; none: nothing
  std::string first;              // the first column, bold ("09:30")
  std::string title;              // bold, cut with "..." where it does not fit
  std::string tag;                // under the first column, in red ("late")
  std::string detail;             // the second line, grey
  std::string spoken;             // what a screen reader says of the row
};

class ActionList : public WindowedWidget {
 public:
  // What a click or a key runs on a row: its line, or button 0, 1, ...
  static constexpr int kLine = -1;
  struct Options {
    std::vector<std::string> buttons;  // each row's buttons, from the left
    int rowHeight = 36;
    int rowsVisible = 4;
    COLORREF chosenColour = RGB(255, 255, 255);  // the chosen row's, while the list has the keyboard
    std::optional<COLORREF> pictureKey{};        // pictures' pixels of this colour are not drawn
    std::function<void(std::size_t row, int part)> onRow{};
  };
  ActionList(Container* parent, const Props& props, Options options);

  // The rows and the line below them ("" for none).
  void SetRows(std::vector<ActionRow> rows, std::string more);
  int Current() const { return current_; }

  // Whether the last line or button run was clicked (not chosen by a key).
  bool LastRunByMouse() const { return lastRunByMouse_; }

 protected:
  bool CreateHandle(const WindowSpec& window) override;
  WindowSpec CreationSpec() const override;
  void Realize() override;
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool lastRunByMouse_ = false;
  struct Hit {
    int row;
    int part;
  };
  int RowCount() const { return static_cast<int>(rows_.size()); }
  int Lines() const { return RowCount() + (more_.empty() ? 0 : 1); }
  void Run(const Hit& hit, bool byMouse = false);
  bool Key(UINT key);
  void Choose(int row);
  void ShowSpokenText();
  void ClampTop();
  void ScrollTo(int top);
  void UpdateScrollBar();
  RECT ButtonRect(int line, int button) const;
  std::optional<Hit> HitAt(POINT p) const;
  void Paint(HDC dc, const RECT& deviceClient);

  Options options_;
  std::vector<ActionRow> rows_;
  std::string more_;
  int top_ = 0;      // the first line on the screen
  int current_ = 0;  // the line the keys act on
  std::optional<Hit> pressed_;
};

}  // namespace redoviri::widgets
