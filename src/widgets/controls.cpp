#include "widgets/controls.h"

#include <algorithm>

#include "widgets/form.h"

namespace redoviri::widgets {

namespace {

UINT AlignFlags(Align a) {
  switch (a) {
    case Align::Center: return DT_CENTER;
    case Align::Right: return DT_RIGHT;
    default: return DT_LEFT;
  }
}

// Text that looks engraved, as disabled controls draw theirs.
void DrawDisabledText(HDC dc, const std::string& text, RECT r, UINT format) {
  OffsetRect(&r, 1, 1);
  SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  DrawTextA(dc, text.c_str(), -1, &r, format);
  OffsetRect(&r, -1, -1);
  SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  DrawTextA(dc, text.c_str(), -1, &r, format);
}

void DrawText(HDC dc, const Widget& w, const std::string& text, const RECT& r, UINT format) {
  SetBkMode(dc, TRANSPARENT);
  if (w.Enabled()) {
    SetTextColor(dc, w.FontColour());
    RECT box = r;
    DrawTextA(dc, text.c_str(), -1, &box, format);
  } else {
    DrawDisabledText(dc, text, r, format);
  }
}

// A one-pixel bevel: light on the top and left, shadow on the bottom and
// right (or the other way round when lowered).
void DrawBevel(HDC dc, const RECT& r, bool raised) {
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF topLeft = raised ? light : dark, bottomRight = raised ? dark : light;
  FillSolid(dc, {r.left, r.top, r.right - 1, r.top + 1}, topLeft);
  FillSolid(dc, {r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
  FillSolid(dc, {r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  FillSolid(dc, {r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

}  // namespace

// ----------------------------------------------------------------- Label

Label::Label(Container* parent, const Props& props, const Options& options)
    : Widget(parent, props), options_(options) {}

void Label::SetCaption(const std::string& text) {
  if (text == caption_) return;
  Widget::SetCaption(text);
  if (options_.autoSize) FitToText();
}

void Label::Realize() {
  if (options_.autoSize) FitToText();
  Widget::Realize();
}

void Label::FontChanged() {
  if (options_.autoSize) FitToText();
  Widget::FontChanged();
}

void Label::FitToText() {
  // Measured in the screen's pixels, kept in the layout's.
  const SIZE size = MeasureText(FontHandle(), caption_);
  SetBounds({GetBounds().left, GetBounds().top, Unscale(static_cast<int>(size.cx), Dpi()),
             Unscale(static_cast<int>(size.cy), Dpi())});
}

void Label::Paint(HDC dc, const RECT& rect) {
  if (HasOwnColour()) FillSolid(dc, rect, Colour());
  const ScopedSelect font(dc, FontHandle());
  const UINT format = DT_NOPREFIX | DT_EXPANDTABS | AlignFlags(options_.align) |
                      (options_.wordWrap ? DT_WORDBREAK : 0);
  RECT r = rect;
  if (options_.layout != VAlign::Top) {
    RECT text = rect;
    DrawTextA(dc, caption_.c_str(), -1, &text, format | DT_CALCRECT);
    const int room = (rect.bottom - rect.top) - (text.bottom - text.top);
    r.top += options_.layout == VAlign::Center ? room / 2 : room;
  }
  DrawText(dc, *this, caption_, r, format);
}

// ----------------------------------------------------------------- Image

Image::Image(Container* parent, const Props& props, const Options& options)
    : Widget(parent, props), options_(options), picture_(options.picture) {
  UpdateKey();
}

void Image::SetPicture(const Bitmap& picture) {
  if (picture == picture_) return;
  picture_ = picture;
  UpdateKey();
  Invalidate();
}

void Image::UpdateKey() {
  key_.reset();
  if (options_.transparent && picture_)
    key_ = options_.transparentColour.value_or(picture_.CornerColour());
}

void Image::Paint(HDC dc, const RECT& rect) {
  DrawBitmap(dc, picture_, rect, {.stretch = options_.stretch, .center = options_.center, .transparent = key_},
             Dpi());
}

// ----------------------------------------------------------------- Shape

void Shape::Paint(HDC dc, const RECT& rect) {
  if (options_.kind == ShapeKind::Rectangle) {
    // The frame's lines are the layout's pixels scaled, edge by edge: a
    // line neighbours share is one line, as wide as every other, and
    // what lies just inside the frame at 96 DPI does at every scale.
    const Scaler px = DeviceScale();
    const RECT r = GetBounds().Rect();
    const int w = std::max(options_.penWidth, 1);
    FillSolid(dc, px(RECT{r.left + w, r.top + w, r.right - w, r.bottom - w}), Colour());
    for (const RECT& band : {RECT{r.left, r.top, r.right, r.top + w}, RECT{r.left, r.bottom - w, r.right, r.bottom},
                             RECT{r.left, r.top + w, r.left + w, r.bottom - w},
                             RECT{r.right - w, r.top + w, r.right, r.bottom - w}})
      FillSolid(dc, px(band), options_.penColour);
    return;
  }
  const OwnedPen pen(CreatePen(PS_INSIDEFRAME, Scale(options_.penWidth, Dpi()), options_.penColour));
  const ScopedSelect selectPen(dc, pen.get());
  const ScopedSelect selectBrush(dc, GetForm().Gdi().Brush(Colour()));
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  switch (options_.kind) {
    case ShapeKind::Rectangle:
      break;  // drawn above
    case ShapeKind::RoundRect: {
      const int corner = (w < h ? w : h) / 4;
      RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, corner, corner);
      break;
    }
    case ShapeKind::Ellipse:
      Ellipse(dc, rect.left, rect.top, rect.right, rect.bottom);
      break;
  }
}

// ----------------------------------------------------------- SpeedButton

SpeedButton::SpeedButton(Container* parent, const Props& props, const Options& options)
    : Widget(parent, props), options_(options) {
  SetGlyph(options.glyph);
}

void SpeedButton::SetGlyph(const Bitmap& glyph) {
  glyph_ = glyph;
  glyphKey_.reset();
  if (glyph_) glyphKey_ = glyph_.CornerColour();
  Invalidate();
}

void SpeedButton::HotChanged(bool hot) {
  hot_ = hot;
  Invalidate();
}

void SpeedButton::PressedChanged(bool pressed) {
  down_ = pressed;
  Invalidate();
}

void SpeedButton::Paint(HDC dc, const RECT& rect) {
  const bool pressed = down_ && Enabled();
  RECT frame = rect;
  if (!options_.flat) {
    DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  } else {
    if (HasOwnColour()) FillSolid(dc, rect, Colour());
    if (Enabled() && (hot_ || pressed))
      DrawEdge(dc, &frame, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }

  // Glyph and caption centred together; pressed, they move by a pixel.
  const Scaler px = DeviceScale();
  const ScopedSelect font(dc, FontHandle());
  const std::string text = caption_;
  const SIZE textSize = text.empty() ? SIZE{0, 0} : MeasureText(FontHandle(), text);
  const int gw = glyph_ ? px(glyph_.Width()) : 0, gh = glyph_ ? px(glyph_.Height()) : 0;
  const int gap = (glyph_ && !text.empty()) ? px(options_.spacing) : 0;
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  const int shift = pressed ? px(1) : 0;
  POINT glyphAt, textAt;
  if (options_.layout == GlyphLayout::Left) {
    const int x = rect.left + (options_.glyphLeft ? px(*options_.glyphLeft) : (w - (gw + gap + textSize.cx)) / 2) + shift;
    glyphAt = {x, rect.top + (h - gh) / 2 + shift};
    textAt = {x + gw + gap, rect.top + (h - textSize.cy) / 2 + shift};
  } else {
    const int y = rect.top + (h - (gh + gap + textSize.cy)) / 2 + shift;
    glyphAt = {rect.left + (w - gw) / 2 + shift, y};
    textAt = {rect.left + (w - textSize.cx) / 2 + shift, y + gh + gap};
  }
  if (glyph_)
    DrawBitmap(dc, glyph_, {glyphAt.x, glyphAt.y, glyphAt.x + gw, glyphAt.y + gh}, {.transparent = glyphKey_}, Dpi());
  if (!text.empty()) {
    const RECT r{textAt.x, textAt.y, textAt.x + textSize.cx, textAt.y + textSize.cy};
    DrawText(dc, *this, text, r, DT_NOPREFIX | DT_SINGLELINE);
  }
}

// ----------------------------------------------------------------- Panel

void Panel::SetCaption(const std::string& text) {
  if (text == caption_) return;  // a repaint costs a window's paint
  WindowedWidget::SetCaption(text);
  Invalidate();
}

bool Panel::CreateHandle(const WindowSpec& spec) { return Create(kWidgetClass, spec); }

WindowSpec Panel::CreationSpec() const {
  return ChildSpec(WS_CLIPCHILDREN | (options_.border == BorderStyle::Line ? WS_BORDER : 0),
                   WS_EX_CONTROLPARENT | (options_.border == BorderStyle::Single ? WS_EX_CLIENTEDGE : 0));
}

void Panel::PaintBackground(HDC dc, const RECT& client) {
  FillSolid(dc, client, Colour());
  if (options_.bevel != Bevel::None) DrawBevel(dc, client, options_.bevel == Bevel::Raised);
  if (caption_.empty()) return;
  const ScopedSelect font(dc, FontHandle());
  DrawText(dc, *this, caption_, client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// ---------------------------------------------------------------- Button

bool Button::CreateHandle(const WindowSpec& spec) { return CreateControl("BUTTON", spec); }

WindowSpec Button::CreationSpec() const {
  return ChildSpec(WS_TABSTOP | (options_.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
}

void Button::Command(WORD code) {
  if (code == BN_CLICKED) NotifyClick();
}

// -------------------------------------------------------------- CheckBox

namespace {
constexpr int kCheckBoxSize = 13, kCheckBoxGap = 4, kCheckBoxHeight = 17;
}

CheckBox::CheckBox(Container* parent, const Props& props, const Options& options)
    : WindowedWidget(parent, props), options_(options) {
  // Declared without a size: as wide as box and caption, one line high.
  if (props.width == 0) {
    const SIZE text = MeasureText(FontHandle(), caption_);
    SetBounds({props.left, props.top, kCheckBoxSize + kCheckBoxGap + Unscale(static_cast<int>(text.cx), Dpi()) + 2,
               props.height ? props.height : kCheckBoxHeight});
  }
}

bool CheckBox::CreateHandle(const WindowSpec& spec) { return CreateControl("BUTTON", spec); }

WindowSpec CheckBox::CreationSpec() const { return ChildSpec(WS_TABSTOP | BS_AUTOCHECKBOX); }

void CheckBox::Realize() {
  WindowedWidget::Realize();
  SetChecked(options_.checked);
}

bool CheckBox::Checked() const {
  return Handle() && SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool checked) {
  if (Handle()) SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CheckBox::Command(WORD code) {
  if (code == BN_CLICKED) NotifyClick();
}

std::optional<LRESULT> CheckBox::CtlColour(HDC dc) {
  SetTextColor(dc, FontColour());
  SetBkColor(dc, Colour());
  return reinterpret_cast<LRESULT>(GetForm().Gdi().Brush(Colour()));
}

}  // namespace redoviri::widgets
