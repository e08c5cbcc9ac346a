// The retained tree of controls that a window is declared with.
//
// Widget is the common part (bounds, caption, hint, font, colours, tag,
// visibility, mouse handlers). Windowless widgets (labels, images, shapes,
// speed buttons) are painted and hit-tested by the nearest windowed
// ancestor, a Container (form or panel), in one double-buffered pass.
// Windowed widgets (panels, edits, buttons, check boxes, the string grid)
// are real child windows, so they always lie above the windowless widgets
// of their container; among siblings, later ones lie above earlier ones.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "widgets/font.h"
#include "widgets/dpi.h"
#include "widgets/gdi.h"
#include "widgets/window.h"

namespace redoviri::widgets {

class Container;
class Form;
class HintManager;

enum class MouseButton { Left, Right, Middle };

struct MouseEvent {
  MouseButton button = MouseButton::Left;
  int x = 0, y = 0;  // relative to the widget
  bool shift = false;
  bool ctrl = false;
};

using Handler = std::function<void()>;
using MouseHandler = std::function<void(const MouseEvent&)>;
using ContextMenuHandler = std::function<void(POINT screen)>;

struct Bounds {
  int left = 0, top = 0, width = 0, height = 0;
  RECT Rect() const { return {left, top, left + width, top + height}; }
  bool Contains(POINT p) const {
    return p.x >= left && p.x < left + width && p.y >= top && p.y < top + height;
  }
  friend bool operator==(const Bounds&, const Bounds&) = default;
};

// What every widget is declared with, in the order designated initialisers
// must follow: geometry, texts, looks, state, behaviour. (Every member of a
// declaration struct has an initialiser, so leaving it out is no warning.)
struct Props {
  int left = 0, top = 0, width = 0, height = 0;  // relative to the parent's client area
  std::string caption{};
  std::string hint{};  // empty: the parent's hint
  std::optional<Font> font{};  // none: the parent's font
  COLORREF fontColour = colours::Black;
  std::optional<COLORREF> colour{};  // background; none: the kind's default
  int tag = 0;
  bool visible = true;
  bool enabled = true;
  // Whether pressing the mouse here drags the form (see Form::HitTest);
  // none: the kind's default.
  std::optional<bool> dragsForm{};
  Handler onClick{};
  Handler onDblClick{};
  MouseHandler onMouseDown{};
  MouseHandler onMouseUp{};
  // Right click or the menu key; a widget without one passes the request
  // to its parent.
  ContextMenuHandler onContextMenu{};
};

class Widget {
 public:
  Widget(const Widget&) = delete;
  Widget& operator=(const Widget&) = delete;
  virtual ~Widget() = default;

  Container* Parent() const { return parent_; }
  Form& GetForm();
  const Form& GetForm() const;

  // In layout pixels (those of a 96-DPI screen), relative to the parent's
  // client area; a form's left and top are its screen position in pixels.
  const Bounds& GetBounds() const { return bounds_; }
  virtual void SetBounds(const Bounds& b);

  // The DPI the widget's form is drawn at, its scale, and where the widget
  // lies in its parent's client area in the screen's pixels.
  int Dpi() const;
  Scaler DeviceScale() const { return {Dpi()}; }
  RECT DeviceRect() const;

  virtual std::string Caption() const { return caption_; }
  virtual void SetCaption(const std::string& text);

  const std::string& Hint() const { return hint_; }
  void SetHint(std::string text) { hint_ = std::move(text); }
  // The hint shown over this widget: its own, else the nearest ancestor's.
  std::string EffectiveHint() const;

  // The font used: this widget's own, else the nearest ancestor's.
  Font GetFont() const;
  void SetFont(const Font& f);
  HFONT FontHandle() const;

  COLORREF FontColour() const { return fontColour_; }
  void SetFontColour(COLORREF c);

  // The background colour used: the widget's own, else its kind's default,
  // else the parent's.
  COLORREF Colour() const;
  bool HasOwnColour() const { return colour_.has_value(); }
  void SetColour(COLORREF c);

  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  // Visible, and so are all its ancestors.
  bool Showing() const;

  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);

  bool DragsForm() const { return dragsForm_.value_or(DefaultDragsForm()); }

  virtual bool IsWindowed() const { return false; }
  // Puts the widget above its siblings.
  virtual void BringToFront();
  // Repaints the widget (windowless: only its rectangle of the container).
  virtual void Invalidate();

  POINT ToScreen(POINT local) const;
  // The screen point of a WM_CONTEXTMENU: the mouse's, or for the keyboard's
  // menu key (-1, -1) the widget's top-left corner.
  POINT ContextMenuPoint(LPARAM lp) const;

  Handler onClick;
  Handler onDblClick;
  MouseHandler onMouseDown;
  MouseHandler onMouseUp;
  ContextMenuHandler onContextMenu;

 protected:
  Widget(Container* parent, const Props& props);

  friend class Container;

  // Called once the widget sits in its parent's list.
  virtual void Realize() { Invalidate(); }
  // Windowless widgets draw themselves into their container's buffer;
  // rect is their bounds in that buffer's coordinates.
  virtual void Paint(HDC dc, const RECT& rect) {}
  virtual bool DefaultDragsForm() const { return false; }
  virtual std::optional<COLORREF> DefaultColour() const { return std::nullopt; }
  // The font or the font colour changed (own or inherited).
  virtual void FontChanged() { Invalidate(); }
  // The form is drawn at another DPI now (its fonts are those of the new
  // DPI already): what the widget keeps in pixels is laid out again.
  virtual void DpiChanged() { FontChanged(); }
  virtual void ColourChanged() { Invalidate(); }
  // Windowless widgets under the mouse (hot) or pressed by it.
  virtual void HotChanged(bool hot) {}
  virtual void PressedChanged(bool pressed) {}
  // Whether the second press of a double click (WM_LBUTTONDBLCLK) is also
  // a press, so that its release clicks: true for buttons, which count
  // every click however quick; false for widgets whose double click means
  // something else than two clicks.
  virtual bool DoubleClickIsPress() const { return false; }
 public:
  // A windowless widget that Tab reaches: its container takes the
  // keyboard for it, draws the focus around it, and Space or Enter click
  // it.
  virtual bool TabStop() const { return false; }
 protected:

  // Calls the mouse handlers; click is decided by the caller.
  void NotifyMouseDown(const MouseEvent& e);
  void NotifyMouseUp(const MouseEvent& e);
  void NotifyClick();
  void NotifyDblClick();
  // Runs the first context-menu handler on the way up to the form.
  bool RunContextMenu(POINT screen);

  std::string caption_;

 private:
  Container* parent_;
  Bounds bounds_;
  std::string hint_;
  std::optional<Font> font_;
  COLORREF fontColour_;
  std::optional<COLORREF> colour_;
  int tag_;
  bool visible_;
  bool enabled_;
  std::optional<bool> dragsForm_;

  friend class Form;  // a form keeps its bounds and visibility in step with its window
};

// A widget that is a real window. Its messages come to OnMessage; what it
// does not handle goes to DefaultProc.
class WindowedWidget : public Widget, public MessageWindow {
 public:
  bool IsWindowed() const override { return true; }
  std::string Caption() const override;
  void SetCaption(const std::string& text) override;
  void SetBounds(const Bounds& b) override;
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  void BringToFront() override;
  void Invalidate() override;

  void SetFocus();
  bool Focused() const;
  // The client area in layout pixels (the declared size while there is no
  // window yet).
  RECT LayoutClient() const;
  // No message reaches this widget, nor those it holds, any more (Detach).
  virtual void DetachTree() { Detach(); }

 protected:
  // A window's font again, and its look.
  void DpiChanged() override;
  WindowedWidget(Container* parent, const Props& props) : Widget(parent, props) {}

  // Creates the window for this kind (style bits and class).
  virtual bool CreateHandle(const WindowSpec& spec) = 0;
  void Realize() override;
  // The common part of a child window's spec: place, text, visibility.
  WindowSpec ChildSpec(DWORD style, DWORD exStyle = 0) const;
  virtual WindowSpec CreationSpec() const = 0;

  void FontChanged() override;

  // Notifications the parent passes on: WM_COMMAND codes and WM_CTLCOLOR*.
  friend class Container;
  virtual void Command(WORD code) {}
  virtual std::optional<LRESULT> CtlColour(HDC dc) { return std::nullopt; }
  // A left click (down and up inside) on a window that does not report
  // clicks by itself.
  virtual void Clicked() { NotifyClick(); }

  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  // Tells the hint manager that the mouse is over a widget of this window
  // (itself or a windowless child) at a point of the client area.
  void ReportHover(const Widget* hovered, POINT client);

 private:
  const Widget* hovered_ = nullptr;  // last reported, until the mouse leaves
  bool leaveTracked_ = false;
  bool clickPending_ = false;
};

// A windowed widget that holds others: forms and panels. It paints itself
// and its windowless children in one double-buffered pass and hands them
// their mouse input.
class Container : public WindowedWidget {
 public:
  // Declares a child: form.Add<Label>({.left = 15, .top = 4, ...}, {.align = ...}).
  template <class T>
  T& Add(const Props& props = {}, const typename T::Options& options = {}) {
    auto widget = std::make_unique<T>(this, props, options);
    T& ref = *widget;
    children_.push_back(std::move(widget));
    static_cast<Widget&>(ref).Realize();
    return ref;
  }

  const std::vector<std::unique_ptr<Widget>>& Children() const { return children_; }

  // The topmost visible child at a point of the client area (windowed
  // children lie above windowless ones); windowless children that are
  // disabled are skipped, as the mouse passes through them.
  Widget* ChildAt(POINT client) const;

  // Draws the container and everything in it, windowed descendants
  // included, with the client area's top-left corner at (0, 0) of dc.
  void Render(HDC dc);

  void DetachTree() override;

  // Every widget inside laid out again at the form's DPI: windows moved
  // to their scaled places, then each told (DpiChanged), depth first.
  void DpiChangedTree();

  // The windowless child that has the keyboard while this window has the
  // focus (a TabStop()), or none; KeyFocus gives this window the focus.
  Widget* KeyFocusChild() const { return keyFocus_; }
  void KeyFocus(Widget* child);
  // Space or Enter: the keyboard's child clicked; false when there is none.
  bool ClickKeyFocusChild();

 protected:
  Container(Container* parent, const Props& props) : WindowedWidget(parent, props) {}
  ~Container() override;

  // Background, frame and caption of the container itself.
  virtual void PaintBackground(HDC dc, const RECT& client);
  void FontChanged() override;
  void ColourChanged() override;

  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  void DestroyChildren();

 private:
  friend class Widget;
  void PaintContent(HDC dc, const RECT& area);
  Widget* WindowlessAt(POINT client) const;
  void SetHot(Widget* w);
  void SetPressedInside(bool inside);
  void Raise(Widget* w);
  LRESULT MouseMessage(UINT msg, WPARAM wp, LPARAM lp);

  std::vector<std::unique_ptr<Widget>> children_;
  Widget* hot_ = nullptr;      // windowless child under the mouse
  Widget* pressed_ = nullptr;  // the widget that received the button press
  Widget* keyFocus_ = nullptr;
  bool pressedInside_ = false;
  bool clickPending_ = false;
};

}  // namespace redoviri::widgets
