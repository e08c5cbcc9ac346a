#include "widgets/widget.h"

#include <windowsx.h>

#include <algorithm>

#include "widgets/form.h"
#include "widgets/hint.h"

namespace redoviri::widgets {

namespace {

// A mouse message's event, relative to a widget at origin (in the
// message's coordinates), in layout pixels.
MouseEvent MakeMouseEvent(UINT msg, WPARAM wp, LPARAM lp, int dpi, POINT origin = {0, 0}) {
  MouseEvent e;
  switch (msg) {
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
      e.button = MouseButton::Right;
      break;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
      e.button = MouseButton::Middle;
      break;
    default:
      e.button = MouseButton::Left;
  }
  e.x = Unscale(GET_X_LPARAM(lp) - origin.x, dpi);
  e.y = Unscale(GET_Y_LPARAM(lp) - origin.y, dpi);
  e.shift = (wp & MK_SHIFT) != 0;
  e.ctrl = (wp & MK_CONTROL) != 0;
  return e;
}

bool Contains(const RECT& r, POINT p) { return PtInRect(&r, p) != FALSE; }

}  // namespace

// ---------------------------------------------------------------- Widget

Widget::Widget(Container* parent, const Props& p)
    : onClick(p.onClick),
      onDblClick(p.onDblClick),
      onMouseDown(p.onMouseDown),
      onMouseUp(p.onMouseUp),
      onContextMenu(p.onContextMenu),
      caption_(p.caption),
      parent_(parent),
      bounds_{p.left, p.top, p.width, p.height},
      hint_(p.hint),
      font_(p.font),
      fontColour_(p.fontColour),
      colour_(p.colour),
      tag_(p.tag),
      visible_(p.visible),
      enabled_(p.enabled),
      dragsForm_(p.dragsForm) {}

Form& Widget::GetForm() {
  Widget* w = this;
  while (w->parent_) w = w->parent_;
  return static_cast<Form&>(*w);
}

const Form& Widget::GetForm() const { return const_cast<Widget*>(this)->GetForm(); }

int Widget::Dpi() const { return GetForm().FormDpi(); }

RECT Widget::DeviceRect() const { return Scale(bounds_.Rect(), Dpi()); }

void Widget::SetBounds(const Bounds& b) {
  if (b == bounds_) return;
  Invalidate();
  bounds_ = b;
  Invalidate();
}

void Widget::SetCaption(const std::string& text) {
  if (text == caption_) return;
  caption_ = text;
  Invalidate();
}

std::string Widget::EffectiveHint() const {
  for (const Widget* w = this; w; w = w->parent_)
    if (!w->hint_.empty()) return w->hint_;
  return {};
}

Font Widget::GetFont() const {
  for (const Widget* w = this; w; w = w->parent_)
    if (w->font_) return *w->font_;
  return Font{};
}

void Widget::SetFont(const Font& f) {
  if (font_ == f) return;
  font_ = f;
  FontChanged();
}

HFONT Widget::FontHandle() const { return const_cast<Widget*>(this)->GetForm().Gdi().GetFont(GetFont()); }

void Widget::SetFontColour(COLORREF c) {
  if (c == fontColour_) return;
  fontColour_ = c;
  Invalidate();
}

COLORREF Widget::Colour() const {
  if (colour_) return *colour_;
  if (auto d = DefaultColour()) return *d;
  return parent_ ? parent_->Colour() : colours::Silver;
}

void Widget::SetColour(COLORREF c) {
  if (colour_ == c) return;
  colour_ = c;
  ColourChanged();
}

void Widget::SetVisible(bool visible) {
  if (visible == visible_) return;
  // Invalidate while visible, so the area is repainted either way.
  if (visible_) Invalidate();
  visible_ = visible;
  if (visible_) Invalidate();
}

bool Widget::Showing() const {
  for (const Widget* w = this; w; w = w->parent_)
    if (!w->visible_) return false;
  return true;
}

void Widget::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Invalidate();
}

void Widget::BringToFront() {
  if (parent_) parent_->Raise(this);
}

void Widget::Invalidate() {
  if (!parent_ || !parent_->Handle()) return;
  const RECT r = DeviceRect();
  InvalidateRect(parent_->Handle(), &r, FALSE);
}

POINT Widget::ToScreen(POINT local) const {
  HWND window;
  local = {Scale(local.x, Dpi()), Scale(local.y, Dpi())};
  if (IsWindowed()) {
    window = static_cast<const WindowedWidget*>(this)->Handle();
  } else {
    local.x += DeviceRect().left;
    local.y += DeviceRect().top;
    window = parent_->Handle();
  }
  ClientToScreen(window, &local);
  return local;
}

POINT Widget::ContextMenuPoint(LPARAM lp) const {
  const POINT screen{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  if (screen.x == -1 && screen.y == -1) return ToScreen({0, 0});
  return screen;
}

void Widget::NotifyMouseDown(const MouseEvent& e) {
  if (onMouseDown) onMouseDown(e);
}

void Widget::NotifyMouseUp(const MouseEvent& e) {
  if (onMouseUp) onMouseUp(e);
}

void Widget::NotifyClick() {
  if (onClick) onClick();
}

void Widget::NotifyDblClick() {
  if (onDblClick) onDblClick();
}

bool Widget::RunContextMenu(POINT screen) {
  for (Widget* w = this; w; w = w->parent_) {
    if (w->onContextMenu) {
      w->onContextMenu(screen);
      return true;
    }
  }
  return false;
}

// -------------------------------------------------------- WindowedWidget

std::string WindowedWidget::Caption() const {
  if (!Handle()) return caption_;
  std::string text(static_cast<size_t>(GetWindowTextLengthA(Handle())) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(Handle(), text.data(), static_cast<int>(text.size()))));
  return text;
}

void WindowedWidget::SetCaption(const std::string& text) {
  // Like a user's edit, a changed text is announced (EN_CHANGE); the same
  // text is not written again.
  caption_ = text;
  if (Handle() && Caption() != text) SetWindowTextA(Handle(), text.c_str());
}

void WindowedWidget::SetBounds(const Bounds& b) {
  Widget::SetBounds(b);
  if (Handle()) {
    const RECT r = DeviceRect();
    MoveWindow(Handle(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  }
}

void WindowedWidget::SetVisible(bool visible) {
  Widget::SetVisible(visible);
  if (Handle()) ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE);
}

void WindowedWidget::SetEnabled(bool enabled) {
  Widget::SetEnabled(enabled);
  if (Handle()) EnableWindow(Handle(), enabled);
}

void WindowedWidget::BringToFront() {
  Widget::BringToFront();
  if (Handle()) SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WindowedWidget::Invalidate() {
  if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

void WindowedWidget::SetFocus() {
  if (Handle()) ::SetFocus(Handle());
}

RECT WindowedWidget::LayoutClient() const {
  RECT client{0, 0, GetBounds().width, GetBounds().height};
  if (Handle()) {
    GetClientRect(Handle(), &client);
    client = {0, 0, Unscale(client.right, Dpi()), Unscale(client.bottom, Dpi())};
  }
  return client;
}

bool WindowedWidget::Focused() const { return Handle() && GetFocus() == Handle(); }

WindowSpec WindowedWidget::ChildSpec(DWORD style, DWORD exStyle) const {
  WindowSpec s;
  s.style = WS_CHILD | WS_CLIPSIBLINGS | style | (Visible() ? WS_VISIBLE : 0) |
            (Enabled() ? 0 : WS_DISABLED);
  s.exStyle = exStyle;
  const RECT r = DeviceRect();
  s.left = r.left;
  s.top = r.top;
  s.width = r.right - r.left;
  s.height = r.bottom - r.top;
  s.parent = Parent() ? Parent()->Handle() : nullptr;
  s.text = caption_.c_str();
  return s;
}

void WindowedWidget::Realize() {
  // A window the system refuses leaves the program without a part of what
  // it shows: the window being built fails with the reason.
  if (!CreateHandle(CreationSpec()) || !Handle()) {
    const DWORD error = GetLastError();
    throw std::system_error(static_cast<int>(error ? error : ERROR_NOT_ENOUGH_MEMORY), std::system_category(),
                            "A window of the program could not be created");
  }
  SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), FALSE);
  // Later siblings lie above earlier ones.
  if (Parent())
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WindowedWidget::FontChanged() {
  if (Handle()) SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
}

void WindowedWidget::DpiChanged() {
  FontChanged();
  Invalidate();
}

void WindowedWidget::ReportHover(const Widget* hovered, POINT client) {
  if (!leaveTracked_) {
    TRACKMOUSEEVENT t{};
    t.cbSize = sizeof t;
    t.dwFlags = TME_LEAVE;
    t.hwndTrack = Handle();
    leaveTracked_ = TrackMouseEvent(&t) != FALSE;
  }
  hovered_ = hovered;
  if (HintManager* hints = GetForm().Hints()) {
    ClientToScreen(Handle(), &client);
    hints->MouseOver(hovered, client);
  }
}

LRESULT WindowedWidget::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEMOVE:
      ReportHover(this, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      break;
    case WM_MOUSELEAVE:
      leaveTracked_ = false;
      if (HintManager* hints = GetForm().Hints()) hints->MouseLeft(hovered_);
      hovered_ = nullptr;
      break;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: {
      if (HintManager* hints = GetForm().Hints()) hints->Cancel();
      clickPending_ = msg == WM_LBUTTONDOWN;
      const LRESULT r = DefaultProc(msg, wp, lp);
      NotifyMouseDown(MakeMouseEvent(msg, wp, lp, Dpi()));
      return r;
    }
    case WM_LBUTTONDBLCLK: {
      clickPending_ = DoubleClickIsPress();
      const LRESULT r = DefaultProc(msg, wp, lp);
      NotifyMouseDown(MakeMouseEvent(msg, wp, lp, Dpi()));
      NotifyDblClick();
      return r;
    }
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
      const LRESULT r = DefaultProc(msg, wp, lp);
      const MouseEvent e = MakeMouseEvent(msg, wp, lp, Dpi());
      NotifyMouseUp(e);
      if (msg == WM_LBUTTONUP && clickPending_) {
        clickPending_ = false;
        RECT client;
        GetClientRect(Handle(), &client);
        if (Contains(client, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)})) Clicked();
      }
      return r;
    }
    case WM_CONTEXTMENU:
      if (RunContextMenu(ContextMenuPoint(lp))) return 0;
      break;
    default:
      break;
  }
  return DefaultProc(msg, wp, lp);
}

// ------------------------------------------------------------- Container

Container::~Container() { DestroyChildren(); }

void Container::DetachTree() {
  for (const std::unique_ptr<Widget>& child : children_)
    if (child->IsWindowed()) static_cast<WindowedWidget&>(*child).DetachTree();
  Detach();
}

void Container::DpiChangedTree() {
  for (const std::unique_ptr<Widget>& child : children_) {
    if (child->IsWindowed()) {
      auto& w = static_cast<WindowedWidget&>(*child);
      const RECT r = w.DeviceRect();
      if (w.Handle()) MoveWindow(w.Handle(), r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    }
    child->DpiChanged();
    if (auto* c = dynamic_cast<Container*>(child.get())) c->DpiChangedTree();
  }
}

void Container::DestroyChildren() {
  hot_ = pressed_ = nullptr;
  // Last declared first: the reverse of creation.
  while (!children_.empty()) children_.pop_back();
}

Widget* Container::ChildAt(POINT client) const {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    const Widget& w = **it;
    if (w.IsWindowed() && w.Visible() && Contains(w.DeviceRect(), client)) return it->get();
  }
  return WindowlessAt(client);
}

Widget* Container::WindowlessAt(POINT client) const {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    const Widget& w = **it;
    if (!w.IsWindowed() && w.Visible() && w.Enabled() && Contains(w.DeviceRect(), client)) return it->get();
  }
  return nullptr;
}

void Container::Raise(Widget* w) {
  auto it = std::find_if(children_.begin(), children_.end(), [w](const auto& c) { return c.get() == w; });
  if (it == children_.end()) return;
  std::rotate(it, it + 1, children_.end());
  if (!w->IsWindowed()) w->Invalidate();
}

void Container::PaintBackground(HDC dc, const RECT& client) { FillSolid(dc, client, Colour()); }

void Container::PaintContent(HDC dc, const RECT& area) {
  RECT client;
  GetClientRect(Handle(), &client);
  PaintBackground(dc, client);
  for (const auto& child : children_) {
    if (child->IsWindowed() || !child->Visible()) continue;
    const RECT r = child->DeviceRect();
    RECT overlap;
    if (!IntersectRect(&overlap, &r, &area)) continue;
    const ScopedDCState state(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    child->Paint(dc, r);
  }
  if (keyFocus_ && keyFocus_->Visible() && GetFocus() == Handle()) {
    RECT r = keyFocus_->DeviceRect();
    InflateRect(&r, -Scale(3, Dpi()), -Scale(3, Dpi()));
    DrawFocusRect(dc, &r);
  }
}

void Container::KeyFocus(Widget* child) {
  keyFocus_ = child;
  SetFocus();
  Invalidate();
}

bool Container::ClickKeyFocusChild() {
  if (!keyFocus_ || !keyFocus_->Visible() || !keyFocus_->Enabled() || GetFocus() != Handle()) return false;
  keyFocus_->NotifyClick();
  return true;
}

void Container::Render(HDC dc) {
  RECT client;
  GetClientRect(Handle(), &client);
  {
    const ScopedDCState state(dc);
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    PaintContent(dc, client);
  }
  for (const auto& child : children_) {
    if (!child->IsWindowed() || !child->Visible()) continue;
    auto& w = static_cast<WindowedWidget&>(*child);
    // Where the child window's outer and client rectangles lie in ours.
    RECT outer;
    GetWindowRect(w.Handle(), &outer);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&outer), 2);
    POINT inner{0, 0};
    ClientToScreen(w.Handle(), &inner);
    ScreenToClient(Handle(), &inner);
    RECT childClient;
    GetClientRect(w.Handle(), &childClient);

    const ScopedDCState state(dc);
    POINT org;
    GetViewportOrgEx(dc, &org);
    IntersectClipRect(dc, outer.left, outer.top, outer.right, outer.bottom);
    const LONG style = GetWindowLongA(w.Handle(), GWL_STYLE);
    const LONG exStyle = GetWindowLongA(w.Handle(), GWL_EXSTYLE);
    if (exStyle & WS_EX_CLIENTEDGE) {
      RECT edge = outer;
      DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    } else if (style & WS_BORDER) {
      FrameSolid(dc, outer, GetSysColor(COLOR_WINDOWFRAME));
    }
    // A control with room between its frame and its client area (a field
    // taller than its line) shows its own colour there.
    RECT framed = outer;
    if (exStyle & WS_EX_CLIENTEDGE) InflateRect(&framed, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    if (inner.y > framed.top) FillSolid(dc, framed, w.Colour());
    SetViewportOrgEx(dc, org.x + inner.x, org.y + inner.y, nullptr);
    IntersectClipRect(dc, 0, 0, childClient.right, childClient.bottom);
    if (auto* c = dynamic_cast<Container*>(&w)) {
      c->Render(dc);
    } else {
      SendMessageA(w.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    }
  }
}

void Container::FontChanged() {
  WindowedWidget::FontChanged();
  Invalidate();
  for (const auto& child : children_)
    if (!child->font_) child->FontChanged();
}

void Container::ColourChanged() {
  Invalidate();
  // Children without a colour of their own show this one.
  for (const auto& child : children_)
    if (!child->colour_) child->ColourChanged();
}

void Container::SetHot(Widget* w) {
  if (w == hot_) return;
  if (hot_) hot_->HotChanged(false);
  hot_ = w;
  if (hot_) hot_->HotChanged(true);
}

void Container::SetPressedInside(bool inside) {
  if (inside == pressedInside_) return;
  pressedInside_ = inside;
  if (pressed_ && pressed_ != this) pressed_->PressedChanged(inside);
}

LRESULT Container::MouseMessage(UINT msg, WPARAM wp, LPARAM lp) {
  const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  switch (msg) {
    case WM_MOUSEMOVE: {
      Widget* w = GetCapture() == Handle() ? nullptr : WindowlessAt(pt);
      if (GetCapture() != Handle()) SetHot(w);
      if (pressed_) SetPressedInside(pressed_ == this || Contains(pressed_->DeviceRect(), pt));
      ReportHover(w ? w : this, pt);
      return 0;
    }
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_LBUTTONDBLCLK: {
      if (HintManager* hints = GetForm().Hints()) hints->Cancel();
      Widget* w = WindowlessAt(pt);
      Widget* target = w ? w : this;
      pressed_ = target;
      pressedInside_ = false;
      SetPressedInside(true);
      clickPending_ = msg == WM_LBUTTONDOWN || (msg == WM_LBUTTONDBLCLK && target->DoubleClickIsPress());
      SetCapture(Handle());
      const POINT origin = w ? POINT{w->DeviceRect().left, w->DeviceRect().top} : POINT{0, 0};
      target->NotifyMouseDown(MakeMouseEvent(msg, wp, lp, Dpi(), origin));
      if (msg == WM_LBUTTONDBLCLK) target->NotifyDblClick();
      return 0;
    }
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
      Widget* target = pressed_;
      if (!target) {
        Widget* w = WindowlessAt(pt);
        target = w ? w : this;
      }
      const bool inside = target == this || Contains(target->DeviceRect(), pt);
      const bool click = clickPending_ && msg == WM_LBUTTONUP && inside;
      SetPressedInside(false);
      pressed_ = nullptr;
      clickPending_ = false;
      if (GetCapture() == Handle()) ReleaseCapture();
      // The hover look was frozen while the button was down.
      RECT client;
      GetClientRect(Handle(), &client);
      SetHot(PtInRect(&client, pt) ? WindowlessAt(pt) : nullptr);
      const POINT origin = target == this ? POINT{0, 0} : POINT{target->DeviceRect().left, target->DeviceRect().top};
      target->NotifyMouseUp(MakeMouseEvent(msg, wp, lp, Dpi(), origin));
      if (click) target->NotifyClick();
      // The right button's release also asks for the context menu.
      return msg == WM_RBUTTONUP ? DefaultProc(msg, wp, lp) : 0;
    }
    default:
      return 0;
  }
}

LRESULT Container::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // painted with everything else, off screen
    case WM_PAINT: {
      const PaintDC dc(Handle());
      const BufferedPaint buffer(dc.get(), dc.Area());
      PaintContent(buffer.Dc(), dc.Area());
      buffer.Blit();
      return 0;
    }
    case WM_PRINTCLIENT: {
      RECT client;
      GetClientRect(Handle(), &client);
      PaintContent(reinterpret_cast<HDC>(wp), client);
      return 0;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
      return MouseMessage(msg, wp, lp);
    case WM_MOUSELEAVE:
      SetHot(nullptr);
      break;  // the hint manager hears of it below
    case WM_SETFOCUS: case WM_KILLFOCUS:
      if (keyFocus_) Invalidate();  // the focus rectangle
      break;
    case WM_KEYDOWN:
      if (wp == VK_SPACE && ClickKeyFocusChild()) return 0;
      break;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != Handle()) {
        SetPressedInside(false);
        pressed_ = nullptr;
        clickPending_ = false;
      }
      return 0;
    case WM_CONTEXTMENU: {
      POINT screen{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      if (!(screen.x == -1 && screen.y == -1)) {
        POINT client = screen;
        ScreenToClient(Handle(), &client);
        if (Widget* w = WindowlessAt(client); w && w->RunContextMenu(screen)) return 0;
      }
      break;
    }
    case WM_COMMAND:
      if (auto* w = dynamic_cast<WindowedWidget*>(FromHandle(reinterpret_cast<HWND>(lp)))) {
        w->Command(HIWORD(wp));
        return 0;
      }
      break;
    case WM_CTLCOLOREDIT: case WM_CTLCOLORSTATIC: case WM_CTLCOLORBTN:
      if (auto* w = dynamic_cast<WindowedWidget*>(FromHandle(reinterpret_cast<HWND>(lp))))
        if (auto r = w->CtlColour(reinterpret_cast<HDC>(wp))) return *r;
      break;
    default:
      break;
  }
  return WindowedWidget::OnMessage(msg, wp, lp);
}

}  // namespace redoviri::widgets
