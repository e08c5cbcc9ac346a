// Text fields: the system's EDIT control (caret, selection, clipboard),
// plain or with an input mask.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "widgets/edit_mask.h"
#include "widgets/widget.h"

namespace redoviri::widgets {

// A one-line edit. Its caption is its text; onChange runs whenever the
// text changes, typed or set (setting the same text again is no change).
class Edit : public WindowedWidget {
 public:
  struct Options {
    bool readOnly = false;
    int maxLength = 0;  // characters the user may type; 0: no limit
    bool border = true;  // the sunken frame
    bool tabStop = true;  // Tab reaches it
    Handler onChange{};
  };
  Edit(Container* parent, const Props& props, const Options& options);

  std::string Text() const { return Caption(); }
  void SetText(const std::string& text) { SetCaption(text); }
  bool ReadOnly() const { return options_.readOnly; }
  void SetReadOnly(bool readOnly);
  void SetMaxLength(int maxLength);
  // Selection as character positions [start, end).
  std::pair<int, int> Selection() const;
  void SetSelection(int start, int end);
  void SelectAll() { SetSelection(0, -1); }

  Handler onChange;

 protected:
  bool CreateHandle(const WindowSpec& spec) override;
  WindowSpec CreationSpec() const override;
  void Realize() override;
  void FontChanged() override;
  void Command(WORD code) override;
  std::optional<LRESULT> CtlColour(HDC dc) override;
  std::optional<COLORREF> DefaultColour() const override { return colours::White; }
  // The text sits in the middle of a field taller than its line (a field
  // laid out at a larger scale than its font grows): the space above and
  // below it is the field's own frame, painted in its colour.
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void SetMargins();
  // Half the room the field has beyond one line of its font, in pixels.
  int VerticalPad() const;
  // Paints that room on a device context of the whole window.
  void PaintPad(HDC dc);
  Options options_;
};

// An edit that keeps its text in the shape of an input mask (see
// EditMask): it shows the literals and blanks, typing fills the blanks and
// skips the literals, refused characters beep. Moving the focus from it to
// another control of its window after a change that left a required
// position blank reports "Invalid input value.  Use escape key to abandon
// changes" and takes the focus back; Escape puts back the text it had when
// it got the focus. The program losing activation (to another program, to
// a message box, to nothing) is not leaving the field: no report then, and
// the focus coming back keeps the text that Escape returns to.
class MaskEdit : public Edit {
 public:
  struct Options {
    std::string mask{};  // e.g. "!99/99/0000;1;_"
    bool readOnly = false;
    Handler onChange{};
  };
  MaskEdit(Container* parent, const Props& props, const Options& options);

  const EditMask& Mask() const { return mask_; }
  // The text value: blanks as spaces, literals as the mask says.
  std::string Text() const { return mask_.Text(Caption()); }
  // The text as shown, blanks included ("12/__/2003").
  std::string EditText() const { return Caption(); }
  // A text set by the program is no change of the user's: Escape comes
  // back to it.
  void SetText(const std::string& text);
  bool IsComplete() const { return mask_.IsComplete(Caption()); }

  // How an incomplete field is reported when the user leaves it; unset, a
  // message box with the text below over the field's form.
  std::function<void(MaskEdit&, const std::string& message)> onInvalid;
  static constexpr const char* kInvalidMessage = "Invalid input value.  Use escape key to abandon changes";

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Apply(const EditMask::State& state);
  // Whether the focus going to `to` leaves the field for another control of
  // its own window (not the window itself, nothing, or another window).
  bool IsSiblingControl(HWND to) const;
  void Validate();

  EditMask mask_;
  std::string entryText_;   // the text when the field got the focus
  bool modified_ = false;   // changed by the user since then
  bool reporting_ = false;  // showing the invalid-input message
  bool away_ = false;       // the focus went out of the window, not to a sibling
};

}  // namespace redoviri::widgets
