#include "widgets/form.h"

#include <windowsx.h>

#include <algorithm>

#include "widgets/activation.h"
#include "widgets/controls.h"
#include "widgets/edit.h"
#include "widgets/hint.h"

namespace redoviri::widgets {

namespace {

// Posted to put the form back where its show placed it.
constexpr UINT kSettleMessage = WM_APP + 2;
// Posted when the form was minimised, to hide it instead once the
// minimise is over.
constexpr UINT kMinimizedMessage = WM_APP + 3;
// Posted by PostWake, from any thread.
constexpr UINT kWakeMessage = WM_APP + 4;
constexpr UINT kActivatedMessage = WM_APP + 5;

Props FormProps(const FormDesc& d) {
  return {.left = d.left,
          .top = d.top,
          .width = d.clientWidth,
          .height = d.clientHeight,
          .caption = d.caption,
          .font = d.font,
          .colour = d.colour,
          .visible = false};
}

}  // namespace

// ----------------------------------------------------------------- Timer

Timer::Timer(Form& form, UINT_PTR id, const TimerDesc& desc)
    : onTimer(desc.onTimer), form_(form), id_(id), interval_(desc.interval), enabled_(desc.enabled) {
  Apply();
}

Timer::~Timer() {
  if (form_.Handle()) KillTimer(form_.Handle(), id_);
  if (running_) --Held().timers;
}

void Timer::SetInterval(UINT ms) {
  interval_ = ms;
  Apply();
}

void Timer::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  Apply();
}

void Timer::Apply() {
  // An interval of 0 stops the timer, like disabling it.
  const bool run = enabled_ && interval_ > 0;
  if (run)
    SetTimer(form_.Handle(), id_, interval_, nullptr);
  else
    KillTimer(form_.Handle(), id_);
  if (run != running_) Held().timers += run ? 1 : -1;
  running_ = run;
}

// ------------------------------------------------------------------ Form

Form::Form(const FormDesc& desc)
    : Container(nullptr, FormProps(desc)),
      dpi_(ScreenDpi()),
      borderless_(desc.borderless),
      topmost_(desc.topmost),
      dragBySurface_(desc.dragBySurface),
      taskbarButton_(desc.taskbarButton),
      dialog_(desc.dialog),
      owner_(desc.owner),
      centered_(desc.centered),
      hints_(desc.hints) {
  Realize();
  // A window made on a monitor of another scale than the system's.
  if (const int dpi = DpiOf(Handle()); dpi != dpi_) ApplyDpi(dpi);
  if (desc.centered) CenterOnScreen();
}

Form::~Form() {
  if (hints_) hints_->Forget(*this);
  timers_.clear();
  // The children go before the font and brush cache they use.
  DestroyChildren();
}

WindowSpec Form::CreationSpec() const {
  WindowSpec s;
  s.style = WS_POPUP | WS_CLIPCHILDREN;
  // The minimise box lets a window manager minimise the form: Wine passes
  // the manager's minimise on (WM_SYSCOMMAND) only to windows that have
  // one. Without a title bar it shows nowhere.
  if (borderless_) s.style |= WS_MINIMIZEBOX;
  else s.style |= WS_CAPTION | WS_SYSMENU | (dialog_ ? 0 : WS_MINIMIZEBOX);
  s.exStyle = (topmost_ ? WS_EX_TOPMOST : 0) | WS_EX_CONTROLPARENT |
              (taskbarButton_ ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW) |
              (dialog_ && !borderless_ ? WS_EX_DLGMODALFRAME : 0);
  s.parent = owner_;
  const Bounds& b = GetBounds();
  RECT r{b.left, b.top, b.left + Scale(b.width, dpi_), b.top + Scale(b.height, dpi_)};
  AdjustWindowRectAt(r, s.style, s.exStyle, dpi_);
  s.left = r.left;
  s.top = r.top;
  s.width = r.right - r.left;
  s.height = r.bottom - r.top;
  s.text = caption_.c_str();
  return s;
}

bool Form::CreateHandle(const WindowSpec& spec) { return Create(kWidgetClass, spec); }

void Form::Show() { SetVisible(true); }

void Form::ShowInactive() {
  ShowWindow(Handle(), SW_SHOWNA);
  visible_ = true;
}
void Form::Hide() { SetVisible(false); }

void FormWindow::PlaceOver(HWND owner) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromWindow(owner ? owner : Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
  RECT over = monitor.rcWork, mine{};
  if (owner && IsWindowVisible(owner)) GetWindowRect(owner, &over);
  GetWindowRect(Handle(), &mine);
  const LONG width = mine.right - mine.left, height = mine.bottom - mine.top;
  const LONG left = over.left + (over.right - over.left - width) / 2;
  const LONG top = over.top + (over.bottom - over.top - height) / 2;
  const POINT at = KeptInside({left, top, left + width, top + height}, monitor.rcWork);
  const Bounds b = form_.GetBounds();
  form_.SetBounds({static_cast<int>(at.x), static_cast<int>(at.y), b.width, b.height});
}

void FormWindow::HideBackTo(HWND owner) {
  Hide();
  SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, 0);
  GiveKeyboardBack(owner);
}

POINT KeptInside(const RECT& window, const RECT& work) {
  const LONG width = window.right - window.left, height = window.bottom - window.top;
  return {std::max(work.left, std::min(window.left, work.right - width)),
          std::max(work.top, std::min(window.top, work.bottom - height))};
}

std::optional<POINT> Form::ShowPlace() const {
  // The restored size, also while minimised.
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(Handle(), &wp);
  const RECT& r = wp.rcNormalPosition;
  const LONG width = r.right - r.left, height = r.bottom - r.top;
  RECT now{};
  GetWindowRect(Handle(), &now);
  POINT at{now.left, now.top};
  if (userPlace_) {
    at = *userPlace_;
  } else if (centered_) {
    // The client area centred, as CenterOnScreen places it.
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)) & ~WS_MINIMIZE, FALSE,
                       static_cast<DWORD>(GetWindowLongA(Handle(), GWL_EXSTYLE)));
    const int clientW = width - (frame.right - frame.left);
    const int clientH = height - (frame.bottom - frame.top);
    at = {(GetSystemMetrics(SM_CXSCREEN) - clientW) / 2 + frame.left,
          (GetSystemMetrics(SM_CYSCREEN) - clientH) / 2 + frame.top};
  }
  // Inside the work area of its monitor: moved, never cut.
  const RECT placed{at.x, at.y, at.x + width, at.y + height};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromRect(&placed, MONITOR_DEFAULTTONEAREST), &monitor);
  const POINT inside = KeptInside(placed, monitor.rcWork);
  // A window placed by its own design stays where it is when it fits.
  if (!userPlace_ && !centered_ && inside.x == at.x && inside.y == at.y) return std::nullopt;
  return inside;
}

void Form::SetVisible(bool visible) {
  if (!Handle()) return;
  const std::optional<POINT> place = visible && !IsWindowVisible(Handle()) ? ShowPlace() : std::nullopt;
  if (visible && IsIconic(Handle())) {
    // A minimised form comes back restored at its size, at its place.
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(Handle(), &wp);
    if (place) {
      RECT& r = wp.rcNormalPosition;
      r = {place->x, place->y, place->x + (r.right - r.left), place->y + (r.bottom - r.top)};
    }
    wp.showCmd = SW_RESTORE;
    SetWindowPlacement(Handle(), &wp);
  } else {
    if (place) SetWindowPos(Handle(), nullptr, place->x, place->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(Handle(), visible ? SW_SHOW : SW_HIDE);
  }
  if (!visible) {
    settleAt_.reset();
  } else if (place) {
    settleAt_ = place;
    settleSince_ = GetTickCount();
  }
  visible_ = visible;
}

void Form::KeepShowPlace(const WINDOWPOS& pos) {
  constexpr DWORD kSettleMs = 3000;
  if (!settleAt_ || (pos.flags & SWP_NOMOVE) || IsIconic(Handle())) return;
  if (GetTickCount() - settleSince_ > kSettleMs) {
    settleAt_.reset();
    return;
  }
  if (pos.x != settleAt_->x || pos.y != settleAt_->y) PostMessageA(Handle(), kSettleMessage, 0, 0);
}

void Form::Remap() {
  if (!Handle() || !IsWindowVisible(Handle())) return;
  remapping_ = true;
  ShowWindow(Handle(), SW_HIDE);
  ShowWindow(Handle(), SW_SHOW);
  remapping_ = false;
}

void Form::HideGivingKeyboardBack() {
  const bool hadKeyboard = GetForegroundWindow() == Handle();
  const HWND back = activatedFrom_;
  Hide();
  if (hadKeyboard && back && back != Handle()) GiveKeyboardBack(back);
}

void Form::ShowChanged(bool visible) {
  visible_ = visible;
  if (visible) {
    if (onShow) onShow();
  } else {
    if (hints_) hints_->Cancel();
    if (onHide) onHide();
  }
}

void Form::MinimizeToHidden() {
  // Restored first, while still shown (no show or hide is announced), so
  // that the form is hidden at its normal size and a later show brings it
  // back as it was.
  if (IsIconic(Handle()) && IsWindowVisible(Handle())) ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  Hide();
  if (onMinimize) onMinimize();
}

void Form::SetBounds(const Bounds& b) {
  settleAt_.reset();  // the program's own move
  Widget::SetBounds(b);
  if (!Handle()) return;
  const WindowSpec s = CreationSpec();
  SetWindowPos(Handle(), nullptr, s.left, s.top, s.width, s.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::ApplyDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  // The old fonts live until every window has the new ones.
  const auto retired = gdi_.SetDpi(dpi);
  DpiChangedTree();
  if (Handle()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
  if (onDpiChanged) onDpiChanged();
}

void Form::CenterOnScreen() {
  const Bounds b = GetBounds();
  SetBounds({(GetSystemMetrics(SM_CXSCREEN) - Scale(b.width, dpi_)) / 2,
             (GetSystemMetrics(SM_CYSCREEN) - Scale(b.height, dpi_)) / 2, b.width, b.height});
}

LRESULT Form::HitTest(POINT client) const {
  if (!dragBySurface_) return HTCLIENT;
  const Widget* w = ChildAt(client);
  if (!w) return HTCAPTION;
  return !w->IsWindowed() && w->DragsForm() ? HTCAPTION : HTCLIENT;
}

Timer& Form::AddTimer(const TimerDesc& desc) {
  // Ids from 1; a timer lives as long as its form.
  timers_.push_back(std::make_unique<Timer>(*this, timers_.size() + 1, desc));
  return *timers_.back();
}

LRESULT Form::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCHITTEST: {
      const LRESULT r = DefaultProc(msg, wp, lp);
      if (r != HTCLIENT) return r;
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      ScreenToClient(Handle(), &p);
      return HitTest(p);
    }
    case WM_NCMOUSEMOVE:
      if (wp == HTCAPTION && hints_) {
        // The dragging surface and what lies on it get no client mouse
        // messages, but their hints show all the same.
        POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ScreenToClient(Handle(), &p);
        const Widget* w = ChildAt(p);
        ncHovered_ = w ? w : this;
        hints_->MouseOver(ncHovered_, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        TRACKMOUSEEVENT t{};
        t.cbSize = sizeof t;
        t.dwFlags = TME_LEAVE | TME_NONCLIENT;
        t.hwndTrack = Handle();
        TrackMouseEvent(&t);
      }
      break;
    case WM_NCMOUSELEAVE:
      if (hints_) hints_->MouseLeft(ncHovered_);
      ncHovered_ = nullptr;
      return 0;
    case WM_WINDOWPOSCHANGED: {
      // Keep the bounds true when the user drags the form.
      RECT client;
      GetClientRect(Handle(), &client);
      POINT origin{0, 0};
      ClientToScreen(Handle(), &origin);
      // The layout size stays as declared while the window has its size.
      const bool laidOut = client.right == Scale(bounds_.width, dpi_) && client.bottom == Scale(bounds_.height, dpi_);
      bounds_ = {origin.x, origin.y, laidOut ? bounds_.width : Unscale(client.right, dpi_),
                 laidOut ? bounds_.height : Unscale(client.bottom, dpi_)};
      KeepShowPlace(*reinterpret_cast<const WINDOWPOS*>(lp));
      break;
    }
    case kSettleMessage:
      if (settleAt_ && IsWindowVisible(Handle()) && !IsIconic(Handle())) {
        RECT r{};
        GetWindowRect(Handle(), &r);
        if (r.left != settleAt_->x || r.top != settleAt_->y)
          SetWindowPos(Handle(), nullptr, settleAt_->x, settleAt_->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return 0;
    case WM_ENTERSIZEMOVE:
      settleAt_.reset();  // the user moves it: where it ends, it stays
      break;
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN:
      if (hints_) hints_->Cancel();
      if (msg == WM_NCRBUTTONDOWN && wp == HTCAPTION) return 0;
      break;
    case WM_EXITSIZEMOVE: {
      // It stays where the user put it.
      RECT r{};
      GetWindowRect(Handle(), &r);
      userPlace_ = POINT{r.left, r.top};
      break;
    }
    case WM_NCLBUTTONDBLCLK:
      if (wp == HTCAPTION) return 0;  // the surface is no title bar: no maximising
      break;
    case WM_NCRBUTTONUP:
      if (wp == HTCAPTION) {
        // A right click on the dragging surface asks for the context menu,
        // as it would on the client area.
        SendMessageA(Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()), lp);
        return 0;
      }
      break;
    case WM_TIMER:
      if (wp >= 1 && wp <= timers_.size()) {
        Timer& t = *timers_[wp - 1];
        if (t.enabled_ && t.onTimer) t.onTimer();
        return 0;
      }
      break;
    case WM_SHOWWINDOW:
      if (!remapping_) ShowChanged(wp != 0);
      break;
    case WM_SYSCOMMAND:
      // A form is hidden rather than minimised (a window manager's minimise
      // comes this way too).
      if ((wp & 0xFFF0) == SC_MINIMIZE) {
        MinimizeToHidden();
        return 0;
      }
      break;
    case WM_SIZE:
      // Minimised some other way (ShowWindow): hidden as soon as the
      // minimise is done with the window.
      if (wp == SIZE_MINIMIZED) PostMessageA(Handle(), kMinimizedMessage, 0, 0);
      break;
    case kMinimizedMessage:
      if (IsIconic(Handle())) MinimizeToHidden();
      return 0;
    case WM_CLOSE:
      Hide();  // forms are hidden, never closed by the user
      return 0;
    case WM_DPICHANGED: {
      // Moved to a monitor of another scale: laid out again there, at the
      // place the system suggests (where the window stays under the mouse),
      // at the size of the layout at the new DPI.
      const RECT suggested = *reinterpret_cast<const RECT*>(lp);
      settleAt_.reset();
      ApplyDpi(HIWORD(wp));
      const WindowSpec laidOut = CreationSpec();
      SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, laidOut.width, laidOut.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_TIMECHANGE:
      if (onTimeChange) onTimeChange();
      return 0;
    case kWakeMessage:
      if (onWake) onWake();
      return 0;
    case kActivatedMessage:
      if (onActivate) onActivate();
      return 0;
    case WM_POWERBROADCAST:
      if ((wp == PBT_APMRESUMEAUTOMATIC || wp == PBT_APMRESUMESUSPEND) && onResume) onResume();
      return TRUE;
    case WM_SETTINGCHANGE:
      if (onSettingChange) onSettingChange(lp ? std::string_view(reinterpret_cast<const char*>(lp)) : std::string_view());
      break;
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE) {
        activatedFrom_ = reinterpret_cast<HWND>(lp);
        // Posted: the activation is over when the handler acts on it.
        if (onActivate) PostMessageA(Handle(), kActivatedMessage, 0, 0);
      }
      if (LOWORD(wp) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
      } else if (lastFocus_ && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_)) {
        ::SetFocus(lastFocus_);
        return 0;
      }
      break;
    default:
      // A registered message cannot be a case label.
      if (msg == KeyboardBackMessage()) {
        GiveKeyboardBack(Handle());
        return 0;
      }
      break;
  }
  return Container::OnMessage(msg, wp, lp);
}

namespace {

// Fields and buttons in declaration order, depth first. (The windows' own
// order is the other way round: later siblings lie above earlier ones.)
// A place Tab stops at: a window, or a windowless widget of a container.
struct TabStopPlace {
  WindowedWidget* window;
  Widget* windowless = nullptr;  // in window, a Container
};

void CollectTabStops(const Container& c, std::vector<TabStopPlace>& out) {
  for (const auto& child : c.Children()) {
    if (!child->IsWindowed()) {
      if (child->TabStop() && IsWindowVisible(c.Handle()))
        out.push_back({const_cast<Container*>(&c), child.get()});
      continue;
    }
    auto* w = static_cast<WindowedWidget*>(child.get());
    if (!IsWindowVisible(w->Handle()) || !IsWindowEnabled(w->Handle())) continue;
    if (GetWindowLongA(w->Handle(), GWL_STYLE) & WS_TABSTOP) out.push_back({w});
    if (const auto* inner = dynamic_cast<const Container*>(w)) CollectTabStops(*inner, out);
  }
}

// The container of the windowless widget with the keyboard, if any.
Container* KeyFocusContainer(HWND focus) {
  auto* c = dynamic_cast<Container*>(MessageWindow::FromHandle(focus));
  return c && c->KeyFocusChild() ? c : nullptr;
}

}  // namespace

bool Form::FocusNext(bool backward) {
  std::vector<TabStopPlace> stops;
  const bool scoped = tabScope_ && IsWindowVisible(tabScope_->Handle());
  CollectTabStops(scoped ? *tabScope_ : static_cast<const Container&>(*this), stops);
  if (stops.empty()) return false;
  const HWND focus = GetFocus();
  const auto n = stops.size();
  size_t next = backward ? n - 1 : 0;
  const Container* holder = KeyFocusContainer(focus);
  const Widget* focusedChild = holder ? holder->KeyFocusChild() : nullptr;
  for (size_t i = 0; i < n; ++i) {
    if (stops[i].window->Handle() == focus && stops[i].windowless == focusedChild) {
      next = backward ? (i + n - 1) % n : (i + 1) % n;
      break;
    }
  }
  const TabStopPlace& target = stops[next];
  if (target.windowless) {
    static_cast<Container*>(target.window)->KeyFocus(target.windowless);
    return true;
  }
  target.window->SetFocus();
  if (auto* edit = dynamic_cast<Edit*>(target.window)) edit->SelectAll();
  return true;
}

std::optional<bool> UndoKey(UINT key, bool shift) {
  if (key == 'Z') return shift;
  if (key == 'Y' && !shift) return true;
  return std::nullopt;
}

bool IsFormDialogMessage(MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  auto* form = dynamic_cast<Form*>(MessageWindow::FromHandle(GetAncestor(msg.hwnd, GA_ROOT)));
  if (!form) return false;
  if (GetKeyState(VK_CONTROL) < 0 && form->onCtrlKey &&
      form->onCtrlKey(static_cast<UINT>(msg.wParam), GetKeyState(VK_SHIFT) < 0)) {
    return true;
  }
  switch (msg.wParam) {
    case VK_TAB:
      return form->FocusNext(GetKeyState(VK_SHIFT) < 0);
    case VK_RETURN: case VK_ESCAPE: {
      // Enter on a focused button presses it, windowless or not.
      if (msg.wParam == VK_RETURN) {
        const HWND focus = GetFocus();
        if (Container* c = KeyFocusContainer(focus); c && c->ClickKeyFocusChild()) return true;
        if (dynamic_cast<Button*>(MessageWindow::FromHandle(focus))) {
          SendMessageA(focus, BM_CLICK, 0, 0);
          return true;
        }
      }
      const Handler& key = msg.wParam == VK_RETURN ? form->onEnter : form->onEscape;
      if (!key) return false;
      key();
      return true;
    }
    default:
      return false;
  }
}

void Form::PostWake() const { PostMessageA(Handle(), kWakeMessage, 0, 0); }

}  // namespace redoviri::widgets
