// Top-level windows (forms) and their timers.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "widgets/font.h"
#include "widgets/widget.h"

namespace redoviri::test {
// The tests' way into a window's widgets and flags (tests/support).
struct WindowAccess;
}  // namespace redoviri::test

namespace redoviri::widgets {

class HintManager;

// The top left corner of `window` moved into `work` as far as needed; a
// window larger than `work` keeps its top left corner inside.
POINT KeptInside(const RECT& window, const RECT& work);

class Form;

struct FormDesc {
  std::string caption{};
  int left = 0, top = 0;  // screen position, unless centred
  int clientWidth = 300, clientHeight = 200;
  bool centered = true;  // on the screen
  COLORREF colour = colours::Silver;
  Font font = Font::Points("MS Sans Serif", 8);
  bool borderless = true;  // no frame and no title bar
  bool topmost = false;
  // Pressing the mouse on the form's own surface, or on a widget lying on
  // it that drags the form, moves the window (see Form::HitTest).
  bool dragBySurface = true;
  bool taskbarButton = false;
  // With a title bar: a fixed dialog (a dialog frame, the close box
  // alone) rather than a window that can be minimised.
  bool dialog = false;
  // The window it belongs to, if any: it stays above its owner, and a
  // window manager treats it as the owner's dialog.
  HWND owner = nullptr;
  HintManager* hints = nullptr;  // the program's hint manager, if any
};

struct TimerDesc {
  UINT interval = 1000;  // ms
  bool enabled = true;
  Handler onTimer{};
};

// A window timer of a form: fires onTimer every interval while enabled.
class Timer {
 public:
  Timer(Form& form, UINT_PTR id, const TimerDesc& desc);
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  ~Timer();

  UINT Interval() const { return interval_; }
  // A new interval restarts the count.
  void SetInterval(UINT ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);

  Handler onTimer;

 private:
  friend class Form;
  void Apply();

  Form& form_;
  UINT_PTR id_;
  UINT interval_;
  bool enabled_;
  bool running_ = false;  // the system's timer is set
};

// Ctrl+Z: false (undo); Ctrl+Y and Ctrl+Shift+Z: true (redo); other keys
// none. For a form's onCtrlKey.
std::optional<bool> UndoKey(UINT key, bool shift);

class Form : public Container {
 public:
  explicit Form(const FormDesc& desc);
  ~Form() override;

  void Show();
  // Shows the form without taking the activation from another window.
  void ShowInactive();
  void Hide();
  void SetVisible(bool visible) override;
  // Screen position and size of the client area.
  void SetBounds(const Bounds& b) override;
  void CenterOnScreen();
  // Unmaps the shown form and maps it again at once, announcing neither
  // (no onHide, no onShow): where a window manager gives the focus only
  // to a window it maps (FocusComesOnlyWithAMap).
  void Remap();
  // Hides the form; when it had the keyboard, the program's window it took
  // the keyboard from (by a click on it) takes it back.
  void HideGivingKeyboardBack();

  // The hit-test rule: HTCAPTION for a point of the form's own surface or
  // of a visible, enabled windowless widget lying directly on the form
  // whose DragsForm() is true (labels, images and shapes by default);
  // HTCLIENT for everything else (panels and what they hold, edits,
  // buttons, the grid, speed buttons) and for every point when the form
  // does not drag by its surface.
  LRESULT HitTest(POINT client) const;

  Timer& AddTimer(const TimerDesc& desc);

  // Moves the focus to the next (or previous) visible, enabled field or
  // button, in the order the widgets were declared; an edit reached this
  // way has its text selected. False when the form has none.
  bool FocusNext(bool backward = false);
  // While this panel of the form shows, Tab moves among its fields only
  // (a panel lying over the rest of the form); none: the whole form.
  void SetTabScope(const Container* panel) { tabScope_ = panel; }

  GdiCache& Gdi() { return gdi_; }
  // The DPI the form is laid out at: the window's, and after a move to a
  // monitor of another scale the new one.
  int FormDpi() const { return dpi_; }
  // Lays the form and its widgets out again at dpi (the fonts of that DPI,
  // every window's place and size scaled anew), then runs onDpiChanged.
  void ApplyDpi(int dpi);
  HintManager* Hints() const { return hints_; }

  // Before the form is shown or after it is hidden.
  Handler onShow;
  Handler onHide;
  // After a change of DPI, for what the window draws in pixels of its own.
  Handler onDpiChanged;

  // Enter and Escape pressed anywhere in the form, as on a dialog (none:
  // the keys go to the focused control).
  Handler onEnter;
  Handler onEscape;
  // A key pressed with Ctrl anywhere in the form, before the focused
  // control sees it: true when the form took it.
  std::function<bool(UINT key, bool shift)> onCtrlKey;
  // The form became the active window (WM_ACTIVATE); run once that is
  // over, when another window may have become active already.
  Handler onActivate;

  // The user, a window manager or the system minimised the form
  // (WM_SYSCOMMAND with SC_MINIMIZE, or WM_SIZE with SIZE_MINIMIZED). A
  // form is never left minimised: it is restored and hidden as Hide()
  // hides it (onHide runs), then this runs.
  Handler onMinimize;
  // News about the machine, broadcast to every top-level window, hidden
  // ones included.
  // The system time or the time zone was changed (WM_TIMECHANGE).
  Handler onTimeChange;
  // Another thread asked the window to wake (PostWake): runs on the
  // window's own thread.
  Handler onWake;
  void PostWake() const;
  // The machine is back from sleep (WM_POWERBROADCAST with
  // PBT_APMRESUMEAUTOMATIC, and PBT_APMRESUMESUSPEND when the user is
  // there too: both may come for the same wake-up).
  Handler onResume;
  // A system setting changed (WM_SETTINGCHANGE); `section` names what
  // changed, as "intl" for the regional settings, and is empty when the
  // message names nothing.
  std::function<void(std::string_view section)> onSettingChange;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool CreateHandle(const WindowSpec& spec) override;
  WindowSpec CreationSpec() const override;
  void ShowChanged(bool visible);
  void MinimizeToHidden();

  GdiCache gdi_;
  int dpi_;
  bool borderless_, topmost_, dragBySurface_, taskbarButton_, dialog_;
  HWND owner_;
  // Every show puts the form where the user last dragged it, else (when
  // centred by design) at the centre: no window manager's move of a hidden
  // window can leave it elsewhere.
  bool centered_;
  std::optional<POINT> userPlace_;  // the window's top left
  // The window's top left where the next show puts it, if anywhere.
  std::optional<POINT> ShowPlace() const;
  // Right after a show, a window manager's placement (or Wine's late echo
  // of an earlier move) can still arrive and move the form away from where
  // the show put it; such a move, not the user's nor the program's, is
  // undone for a few seconds.
  std::optional<POINT> settleAt_;
  DWORD settleSince_ = 0;
  void KeepShowPlace(const WINDOWPOS& pos);
  HintManager* hints_;
  std::vector<std::unique_ptr<Timer>> timers_;
  HWND lastFocus_ = nullptr;
  HWND activatedFrom_ = nullptr;  // the window of this thread active before this one
  bool remapping_ = false;
  const Container* tabScope_ = nullptr;
  const Widget* ncHovered_ = nullptr;  // under the mouse on the dragging surface
};

// A window of the program: it owns its form, and other code sees only
// showing, hiding and the handle. Its widgets, timers and flags stay
// private to the window, which offers named operations for what other
// windows need of it.
class FormWindow {
 public:
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  void Show() { form_.Show(); }
  void Hide() { form_.Hide(); }
  bool Visible() const { return form_.Visible(); }
  HWND Handle() const { return form_.Handle(); }
  // No message reaches the window's handlers any more: the program is
  // going and other windows may be gone already.
  void Detach() { form_.DetachTree(); }
  // What minimising the window does (the program as a whole decides).
  void WhenMinimized(Handler onMinimize) { form_.onMinimize = std::move(onMinimize); }

 protected:
  friend struct test::WindowAccess;
  explicit FormWindow(const FormDesc& desc) : form_(desc) {}
  // The window's own members are gone by now: no message reaches its
  // handlers, nor those of its widgets, while the form goes.
  ~FormWindow() { form_.DetachTree(); }

  Form& GetForm() { return form_; }
  const Form& GetForm() const { return form_; }
  // A window shown for `owner` (a question, a chooser): centred over it (or
  // its monitor's work area when it does not show), inside that work area.
  void PlaceOver(HWND owner);
  // Hides it again: it belongs to no window then (its owner may go before
  // it), and `owner` takes the keyboard back.
  void HideBackTo(HWND owner);

 private:
  Form form_;
};

// For the message loop: Tab and Shift+Tab move between the fields of the
// form that holds msg.hwnd (Form::FocusNext), Enter and Escape run the
// form's onEnter and onEscape. True when the message was used and is not
// to be dispatched.
bool IsFormDialogMessage(MSG& msg);

}  // namespace redoviri::widgets
