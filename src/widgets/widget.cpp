#include "widgets/widget.h"

#include <windowsx.h>

#include <algorithm>

#include "widgets/form.h"
#include "widgets/hint.h"

namespace redoviri::widgets {

namespace {

// A mouse message's event, relative to a widget at origin (in the
// message's coordinates).
MouseEvent MakeMouseEvent(UINT msg, WPARAM wp, LPARAM lp, POINT origin = {0, 0}) {
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
  e.x = GET_X_LPARAM(lp) - origin.x;
  e.y = GET_Y_LPARAM(lp) - origin.y;
  e.shift = (wp & MK_SHIFT) != 0;
  e.ctrl = (wp & MK_CONTROL) != 0;
  return e;
}

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

Form& Widget::form() {
  Widget* w = this;
  while (w->parent_) w = w->parent_;
  return static_cast<Form&>(*w);
}

const Form& Widget::form() const { return const_cast<Widget*>(this)->form(); }

void Widget::setBounds(const Bounds& b) {
  if (b == bounds_) return;
  invalidate();
  bounds_ = b;
  invalidate();
}

void Widget::setCaption(const std::string& text) {
  if (text == caption_) return;
  caption_ = text;
  invalidate();
}

std::string Widget::effectiveHint() const {
  for (const Widget* w = this; w; w = w->parent_)
    if (!w->hint_.empty()) return w->hint_;
  return {};
}

Font Widget::font() const {
  for (const Widget* w = this; w; w = w->parent_)
    if (w->font_) return *w->font_;
  return Font{};
}

void Widget::setFont(const Font& f) {
  if (font_ == f) return;
  font_ = f;
  fontChanged();
}

HFONT Widget::fontHandle() const { return const_cast<Widget*>(this)->form().gdi().font(font()); }

void Widget::setFontColour(COLORREF c) {
  if (c == fontColour_) return;
  fontColour_ = c;
  invalidate();
}

COLORREF Widget::colour() const {
  if (colour_) return *colour_;
  if (auto d = defaultColour()) return *d;
  return parent_ ? parent_->colour() : colours::Silver;
}

void Widget::setColour(COLORREF c) {
  if (colour_ == c) return;
  colour_ = c;
  colourChanged();
}

void Widget::setVisible(bool visible) {
  if (visible == visible_) return;
  // Invalidate while visible, so the area is repainted either way.
  if (visible_) invalidate();
  visible_ = visible;
  if (visible_) invalidate();
}

bool Widget::showing() const {
  for (const Widget* w = this; w; w = w->parent_)
    if (!w->visible_) return false;
  return true;
}

void Widget::setEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  invalidate();
}

void Widget::bringToFront() {
  if (parent_) parent_->raise(this);
}

void Widget::invalidate() {
  if (!parent_ || !parent_->handle()) return;
  const RECT r = bounds_.rect();
  InvalidateRect(parent_->handle(), &r, FALSE);
}

POINT Widget::toScreen(POINT local) const {
  HWND window;
  if (isWindowed()) {
    window = static_cast<const WindowedWidget*>(this)->handle();
  } else {
    local.x += bounds_.left;
    local.y += bounds_.top;
    window = parent_->handle();
  }
  ClientToScreen(window, &local);
  return local;
}

POINT Widget::contextMenuPoint(LPARAM lp) const {
  const POINT screen{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  if (screen.x == -1 && screen.y == -1) return toScreen({0, 0});
  return screen;
}

void Widget::notifyMouseDown(const MouseEvent& e) {
  if (onMouseDown) onMouseDown(e);
}

void Widget::notifyMouseUp(const MouseEvent& e) {
  if (onMouseUp) onMouseUp(e);
}

void Widget::notifyClick() {
  if (onClick) onClick();
}

void Widget::notifyDblClick() {
  if (onDblClick) onDblClick();
}

bool Widget::runContextMenu(POINT screen) {
  for (Widget* w = this; w; w = w->parent_) {
    if (w->onContextMenu) {
      w->onContextMenu(screen);
      return true;
    }
  }
  return false;
}

// -------------------------------------------------------- WindowedWidget

std::string WindowedWidget::caption() const {
  if (!handle()) return caption_;
  std::string text(static_cast<size_t>(GetWindowTextLengthA(handle())) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(handle(), text.data(), static_cast<int>(text.size()))));
  return text;
}

void WindowedWidget::setCaption(const std::string& text) {
  // Like a user's edit, a changed text is announced (EN_CHANGE); the same
  // text is not written again.
  caption_ = text;
  if (handle() && caption() != text) SetWindowTextA(handle(), text.c_str());
}

void WindowedWidget::setBounds(const Bounds& b) {
  Widget::setBounds(b);
  if (handle()) MoveWindow(handle(), b.left, b.top, b.width, b.height, TRUE);
}

void WindowedWidget::setVisible(bool visible) {
  Widget::setVisible(visible);
  if (handle()) ShowWindow(handle(), visible ? SW_SHOWNA : SW_HIDE);
}

void WindowedWidget::setEnabled(bool enabled) {
  Widget::setEnabled(enabled);
  if (handle()) EnableWindow(handle(), enabled);
}

void WindowedWidget::bringToFront() {
  Widget::bringToFront();
  if (handle()) SetWindowPos(handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WindowedWidget::invalidate() {
  if (handle()) InvalidateRect(handle(), nullptr, FALSE);
}

void WindowedWidget::setFocus() {
  if (handle()) SetFocus(handle());
}

bool WindowedWidget::focused() const { return handle() && GetFocus() == handle(); }

WindowSpec WindowedWidget::childSpec(DWORD style, DWORD exStyle) const {
  WindowSpec s;
  s.style = WS_CHILD | WS_CLIPSIBLINGS | style | (visible() ? WS_VISIBLE : 0) |
            (enabled() ? 0 : WS_DISABLED);
  s.exStyle = exStyle;
  s.left = bounds().left;
  s.top = bounds().top;
  s.width = bounds().width;
  s.height = bounds().height;
  s.parent = parent() ? parent()->handle() : nullptr;
  s.text = caption_.c_str();
  return s;
}

void WindowedWidget::realize() {
  createWindow(windowSpec());
  if (!handle()) return;
  SendMessageA(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(fontHandle()), FALSE);
  // Later siblings lie above earlier ones.
  if (parent())
    SetWindowPos(handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WindowedWidget::fontChanged() {
  if (handle()) SendMessageA(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(fontHandle()), TRUE);
}

void WindowedWidget::reportHover(const Widget* hovered, POINT client) {
  if (!leaveTracked_) {
    TRACKMOUSEEVENT t{};
    t.cbSize = sizeof t;
    t.dwFlags = TME_LEAVE;
    t.hwndTrack = handle();
    leaveTracked_ = TrackMouseEvent(&t) != FALSE;
  }
  hovered_ = hovered;
  if (HintManager* hints = form().hints()) {
    ClientToScreen(handle(), &client);
    hints->mouseOver(hovered, client);
  }
}

LRESULT WindowedWidget::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEMOVE:
      reportHover(this, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      break;
    case WM_MOUSELEAVE:
      leaveTracked_ = false;
      if (HintManager* hints = form().hints()) hints->mouseLeft(hovered_);
      hovered_ = nullptr;
      break;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: {
      if (HintManager* hints = form().hints()) hints->cancel();
      clickPending_ = msg == WM_LBUTTONDOWN;
      const LRESULT r = defaultProc(msg, wp, lp);
      notifyMouseDown(MakeMouseEvent(msg, wp, lp));
      return r;
    }
    case WM_LBUTTONDBLCLK: {
      clickPending_ = false;
      const LRESULT r = defaultProc(msg, wp, lp);
      notifyMouseDown(MakeMouseEvent(msg, wp, lp));
      notifyDblClick();
      return r;
    }
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
      const LRESULT r = defaultProc(msg, wp, lp);
      const MouseEvent e = MakeMouseEvent(msg, wp, lp);
      notifyMouseUp(e);
      if (msg == WM_LBUTTONUP && clickPending_) {
        clickPending_ = false;
        if (Bounds{0, 0, bounds().width, bounds().height}.contains({e.x, e.y})) clicked();
      }
      return r;
    }
    case WM_CONTEXTMENU:
      if (runContextMenu(contextMenuPoint(lp))) return 0;
      break;
    default:
      break;
  }
  return defaultProc(msg, wp, lp);
}

// ------------------------------------------------------------- Container

Container::~Container() { destroyChildren(); }

void Container::destroyChildren() {
  hot_ = pressed_ = nullptr;
  // Last declared first: the reverse of creation.
  while (!children_.empty()) children_.pop_back();
}

Widget* Container::childAt(POINT client) const {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    const Widget& w = **it;
    if (w.isWindowed() && w.visible() && w.bounds().contains(client)) return it->get();
  }
  return windowlessAt(client);
}

Widget* Container::windowlessAt(POINT client) const {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    const Widget& w = **it;
    if (!w.isWindowed() && w.visible() && w.enabled() && w.bounds().contains(client)) return it->get();
  }
  return nullptr;
}

void Container::raise(Widget* w) {
  auto it = std::find_if(children_.begin(), children_.end(), [w](const auto& c) { return c.get() == w; });
  if (it == children_.end()) return;
  std::rotate(it, it + 1, children_.end());
  if (!w->isWindowed()) w->invalidate();
}

void Container::paintBackground(HDC dc, const RECT& client) { FillSolid(dc, client, colour()); }

void Container::paintContent(HDC dc, const RECT& area) {
  RECT client;
  GetClientRect(handle(), &client);
  paintBackground(dc, client);
  for (const auto& child : children_) {
    if (child->isWindowed() || !child->visible()) continue;
    const RECT r = child->bounds().rect();
    RECT overlap;
    if (!IntersectRect(&overlap, &r, &area)) continue;
    const ScopedDCState state(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    child->paint(dc, r);
  }
}

void Container::render(HDC dc) {
  RECT client;
  GetClientRect(handle(), &client);
  {
    const ScopedDCState state(dc);
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    paintContent(dc, client);
  }
  for (const auto& child : children_) {
    if (!child->isWindowed() || !child->visible()) continue;
    auto& w = static_cast<WindowedWidget&>(*child);
    // Where the child window's outer and client rectangles lie in ours.
    RECT outer;
    GetWindowRect(w.handle(), &outer);
    MapWindowPoints(nullptr, handle(), reinterpret_cast<POINT*>(&outer), 2);
    POINT inner{0, 0};
    ClientToScreen(w.handle(), &inner);
    ScreenToClient(handle(), &inner);
    RECT childClient;
    GetClientRect(w.handle(), &childClient);

    const ScopedDCState state(dc);
    POINT org;
    GetViewportOrgEx(dc, &org);
    IntersectClipRect(dc, outer.left, outer.top, outer.right, outer.bottom);
    const LONG style = GetWindowLongA(w.handle(), GWL_STYLE);
    const LONG exStyle = GetWindowLongA(w.handle(), GWL_EXSTYLE);
    if (exStyle & WS_EX_CLIENTEDGE) {
      RECT edge = outer;
      DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    } else if (style & WS_BORDER) {
      FrameSolid(dc, outer, GetSysColor(COLOR_WINDOWFRAME));
    }
    SetViewportOrgEx(dc, org.x + inner.x, org.y + inner.y, nullptr);
    IntersectClipRect(dc, 0, 0, childClient.right, childClient.bottom);
    if (auto* c = dynamic_cast<Container*>(&w)) {
      c->render(dc);
    } else {
      SendMessageA(w.handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    }
  }
}

void Container::fontChanged() {
  WindowedWidget::fontChanged();
  invalidate();
  for (const auto& child : children_)
    if (!child->font_) child->fontChanged();
}

void Container::colourChanged() {
  invalidate();
  // Children without a colour of their own show this one.
  for (const auto& child : children_)
    if (!child->colour_) child->colourChanged();
}

void Container::setHot(Widget* w) {
  if (w == hot_) return;
  if (hot_) hot_->hotChanged(false);
  hot_ = w;
  if (hot_) hot_->hotChanged(true);
}

void Container::setPressedInside(bool inside) {
  if (inside == pressedInside_) return;
  pressedInside_ = inside;
  if (pressed_ && pressed_ != this) pressed_->pressedChanged(inside);
}

LRESULT Container::mouseMessage(UINT msg, WPARAM wp, LPARAM lp) {
  const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  switch (msg) {
    case WM_MOUSEMOVE: {
      Widget* w = GetCapture() == handle() ? nullptr : windowlessAt(pt);
      if (GetCapture() != handle()) setHot(w);
      if (pressed_) setPressedInside(pressed_ == this || pressed_->bounds().contains(pt));
      reportHover(w ? w : this, pt);
      return 0;
    }
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_LBUTTONDBLCLK: {
      if (HintManager* hints = form().hints()) hints->cancel();
      Widget* w = windowlessAt(pt);
      Widget* target = w ? w : this;
      pressed_ = target;
      pressedInside_ = false;
      setPressedInside(true);
      clickPending_ = msg == WM_LBUTTONDOWN;
      SetCapture(handle());
      const POINT origin = w ? POINT{w->bounds().left, w->bounds().top} : POINT{0, 0};
      target->notifyMouseDown(MakeMouseEvent(msg, wp, lp, origin));
      if (msg == WM_LBUTTONDBLCLK) target->notifyDblClick();
      return 0;
    }
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
      Widget* target = pressed_;
      if (!target) {
        Widget* w = windowlessAt(pt);
        target = w ? w : this;
      }
      const bool inside = target == this || target->bounds().contains(pt);
      const bool click = clickPending_ && msg == WM_LBUTTONUP && inside;
      setPressedInside(false);
      pressed_ = nullptr;
      clickPending_ = false;
      if (GetCapture() == handle()) ReleaseCapture();
      // The hover look was frozen while the button was down.
      RECT client;
      GetClientRect(handle(), &client);
      setHot(PtInRect(&client, pt) ? windowlessAt(pt) : nullptr);
      const POINT origin = target == this ? POINT{0, 0} : POINT{target->bounds().left, target->bounds().top};
      target->notifyMouseUp(MakeMouseEvent(msg, wp, lp, origin));
      if (click) target->notifyClick();
      // The right button's release also asks for the context menu.
      return msg == WM_RBUTTONUP ? defaultProc(msg, wp, lp) : 0;
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
      const PaintDC dc(handle());
      const BufferedPaint buffer(dc.get(), dc.area());
      paintContent(buffer.dc(), dc.area());
      buffer.blit();
      return 0;
    }
    case WM_PRINTCLIENT: {
      RECT client;
      GetClientRect(handle(), &client);
      paintContent(reinterpret_cast<HDC>(wp), client);
      return 0;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
      return mouseMessage(msg, wp, lp);
    case WM_MOUSELEAVE:
      setHot(nullptr);
      break;  // the hint manager hears of it below
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != handle()) {
        setPressedInside(false);
        pressed_ = nullptr;
        clickPending_ = false;
      }
      return 0;
    case WM_CONTEXTMENU: {
      POINT screen{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      if (!(screen.x == -1 && screen.y == -1)) {
        POINT client = screen;
        ScreenToClient(handle(), &client);
        if (Widget* w = windowlessAt(client); w && w->runContextMenu(screen)) return 0;
      }
      break;
    }
    case WM_COMMAND:
      if (auto* w = dynamic_cast<WindowedWidget*>(FromHandle(reinterpret_cast<HWND>(lp)))) {
        w->command(HIWORD(wp));
        return 0;
      }
      break;
    case WM_CTLCOLOREDIT: case WM_CTLCOLORSTATIC: case WM_CTLCOLORBTN:
      if (auto* w = dynamic_cast<WindowedWidget*>(FromHandle(reinterpret_cast<HWND>(lp))))
        if (auto r = w->ctlColour(reinterpret_cast<HDC>(wp))) return *r;
      break;
    default:
      break;
  }
  return WindowedWidget::OnMessage(msg, wp, lp);
}

}  // namespace redoviri::widgets
