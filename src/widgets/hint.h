// Hints: the text a widget shows when the mouse rests on it.
//
// One HintManager serves every form of the program: the forms report which
// widget the mouse is over, the manager waits for the pause, asks the
// widget for its hint text and shows it in its HintWindow. The window is
// replaceable (a balloon, a fake in tests) without the forms knowing.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "widgets/font.h"
#include "widgets/window.h"

namespace redoviri::widgets {

class Widget;
class Form;

// The application's hint colour: the background of hints.
inline COLORREF HintColour() { return GetSysColor(COLOR_INFOBK); }

class HintWindow {
 public:
  virtual ~HintWindow() = default;
  // Shows text for the mouse cursor at a screen point (its hot spot).
  virtual void Show(const std::string& text, POINT cursor) = 0;
  virtual void Hide() = 0;

  // The manager that owns the window hears through this when the window
  // refuses a hint or takes it away early (a mouse button went down).
  void SetOnCancel(std::function<void()> cancel) { onCancel_ = std::move(cancel); }

 protected:
  // Hides the hint and shows no more until the mouse reaches another
  // widget; may be called from inside Show.
  void CancelHint() {
    if (onCancel_) {
      onCancel_();
    } else {
      Hide();
    }
  }

 private:
  std::function<void()> onCancel_;
};

// The standard hint: a small pale yellow box with a black frame just below
// the cursor, kept on the screen.
class StandardHintWindow : public HintWindow, private MessageWindow {
 public:
  StandardHintWindow();
  void Show(const std::string& text, POINT cursor) override;
  void Hide() override;
  using MessageWindow::Handle;

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void Paint(HDC dc);

  GdiCache gdi_;
  Font font_ = Font::Points("MS Sans Serif", 8);
  std::string text_;
};

struct HintTiming {
  UINT pauseMs = 500;       // mouse at rest until the hint appears
  UINT shortPauseMs = 50;   // the same, right after another hint was shown
  UINT hidePauseMs = 2500;  // how long a hint stays
};

class HintManager : private MessageWindow {
 public:
  // Characters of a hint shown at most; a longer one ends in "...".
  static constexpr std::size_t kLongestHint = 1000;

  // A null window means the standard hint window.
  explicit HintManager(std::unique_ptr<HintWindow> window = nullptr);
  ~HintManager() override;

  void SetWindow(std::unique_ptr<HintWindow> window);

  // The program-wide switch: off hides the current hint and shows no more.
  void SetEnabled(bool on);
  bool Enabled() const { return enabled_; }
  void SetTiming(const HintTiming& timing) { timing_ = timing; }

  // Reports from the forms. The mouse is over a widget (null: over none of
  // ours) at a screen point.
  void MouseOver(const Widget* widget, POINT screen);
  // The mouse left a widget (ignored when another one is current already).
  void MouseLeft(const Widget* widget);
  // A button was pressed or a form hidden: hide, and show nothing until the
  // mouse reaches another widget.
  void Cancel();
  // A form goes away: forget its widgets.
  void Forget(const Form& form);

  const Widget* Current() const { return current_; }
  bool Showing() const { return shown_; }

 private:
  enum : UINT_PTR { kShowTimer = 1, kHideTimer = 2 };
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void HideNow();
  void ShowNow();

  std::unique_ptr<HintWindow> window_;
  HintTiming timing_;
  bool enabled_ = true;
  const Widget* current_ = nullptr;
  const Form* currentForm_ = nullptr;
  POINT point_{};
  bool shown_ = false;
  bool done_ = false;  // shown or cancelled for the current widget
};

}  // namespace redoviri::widgets
