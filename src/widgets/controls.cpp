#include "widgets/controls.h"

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
  if (w.enabled()) {
    SetTextColor(dc, w.fontColour());
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

void Label::setCaption(const std::string& text) {
  if (text == caption_) return;
  Widget::setCaption(text);
  if (options_.autoSize) fitToText();
}

void Label::realize() {
  if (options_.autoSize) fitToText();
  Widget::realize();
}

void Label::fontChanged() {
  if (options_.autoSize) fitToText();
  Widget::fontChanged();
}

void Label::fitToText() {
  const SIZE size = MeasureText(fontHandle(), caption_);
  setBounds({bounds().left, bounds().top, static_cast<int>(size.cx), static_cast<int>(size.cy)});
}

void Label::paint(HDC dc, const RECT& rect) {
  if (hasOwnColour()) FillSolid(dc, rect, colour());
  const ScopedSelect font(dc, fontHandle());
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
  updateKey();
}

void Image::setPicture(const Bitmap& picture) {
  if (picture == picture_) return;
  picture_ = picture;
  updateKey();
  invalidate();
}

void Image::updateKey() {
  key_.reset();
  if (options_.transparent && picture_)
    key_ = options_.transparentColour.value_or(picture_.cornerColour());
}

void Image::paint(HDC dc, const RECT& rect) {
  DrawBitmap(dc, picture_, rect, {.stretch = options_.stretch, .center = options_.center, .transparent = key_});
}

// ----------------------------------------------------------------- Shape

void Shape::paint(HDC dc, const RECT& rect) {
  const OwnedPen pen(CreatePen(PS_INSIDEFRAME, options_.penWidth, options_.penColour));
  const ScopedSelect selectPen(dc, pen.get());
  const ScopedSelect selectBrush(dc, form().gdi().brush(colour()));
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  switch (options_.kind) {
    case ShapeKind::Rectangle:
      Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
      break;
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
  setGlyph(options.glyph);
}

void SpeedButton::setGlyph(const Bitmap& glyph) {
  glyph_ = glyph;
  glyphKey_.reset();
  if (glyph_) glyphKey_ = glyph_.cornerColour();
  invalidate();
}

void SpeedButton::hotChanged(bool hot) {
  hot_ = hot;
  invalidate();
}

void SpeedButton::pressedChanged(bool pressed) {
  down_ = pressed;
  invalidate();
}

void SpeedButton::paint(HDC dc, const RECT& rect) {
  const bool pressed = down_ && enabled();
  RECT frame = rect;
  if (!options_.flat) {
    DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  } else {
    if (hasOwnColour()) FillSolid(dc, rect, colour());
    if (enabled() && (hot_ || pressed))
      DrawEdge(dc, &frame, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }

  // Glyph and caption centred together; pressed, they move by a pixel.
  const ScopedSelect font(dc, fontHandle());
  const std::string text = caption_;
  const SIZE textSize = text.empty() ? SIZE{0, 0} : MeasureText(fontHandle(), text);
  const int gw = glyph_ ? glyph_.width() : 0, gh = glyph_ ? glyph_.height() : 0;
  const int gap = (glyph_ && !text.empty()) ? options_.spacing : 0;
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  const int shift = pressed ? 1 : 0;
  POINT glyphAt, textAt;
  if (options_.layout == GlyphLayout::Left) {
    const int x = rect.left + (w - (gw + gap + textSize.cx)) / 2 + shift;
    glyphAt = {x, rect.top + (h - gh) / 2 + shift};
    textAt = {x + gw + gap, rect.top + (h - textSize.cy) / 2 + shift};
  } else {
    const int y = rect.top + (h - (gh + gap + textSize.cy)) / 2 + shift;
    glyphAt = {rect.left + (w - gw) / 2 + shift, y};
    textAt = {rect.left + (w - textSize.cx) / 2 + shift, y + gh + gap};
  }
  if (glyph_)
    DrawBitmap(dc, glyph_, {glyphAt.x, glyphAt.y, glyphAt.x + gw, glyphAt.y + gh}, {.transparent = glyphKey_});
  if (!text.empty()) {
    const RECT r{textAt.x, textAt.y, textAt.x + textSize.cx, textAt.y + textSize.cy};
    DrawText(dc, *this, text, r, DT_NOPREFIX | DT_SINGLELINE);
  }
}

// ----------------------------------------------------------------- Panel

void Panel::setCaption(const std::string& text) {
  WindowedWidget::setCaption(text);
  invalidate();
}

bool Panel::createWindow(const WindowSpec& spec) { return create(kWidgetClass, spec); }

WindowSpec Panel::windowSpec() const {
  return childSpec(WS_CLIPCHILDREN | (options_.border == BorderStyle::Line ? WS_BORDER : 0),
                   WS_EX_CONTROLPARENT | (options_.border == BorderStyle::Single ? WS_EX_CLIENTEDGE : 0));
}

void Panel::paintBackground(HDC dc, const RECT& client) {
  FillSolid(dc, client, colour());
  if (options_.bevel != Bevel::None) DrawBevel(dc, client, options_.bevel == Bevel::Raised);
  if (caption_.empty()) return;
  const ScopedSelect font(dc, fontHandle());
  DrawText(dc, *this, caption_, client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// ---------------------------------------------------------------- Button

bool Button::createWindow(const WindowSpec& spec) { return createControl("BUTTON", spec); }

WindowSpec Button::windowSpec() const {
  return childSpec(WS_TABSTOP | (options_.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
}

void Button::command(WORD code) {
  if (code == BN_CLICKED) notifyClick();
}

// -------------------------------------------------------------- CheckBox

namespace {
constexpr int kCheckBoxSize = 13, kCheckBoxGap = 4, kCheckBoxHeight = 17;
}

CheckBox::CheckBox(Container* parent, const Props& props, const Options& options)
    : WindowedWidget(parent, props), options_(options) {
  // Declared without a size: as wide as box and caption, one line high.
  if (props.width == 0) {
    const SIZE text = MeasureText(fontHandle(), caption_);
    setBounds({props.left, props.top, kCheckBoxSize + kCheckBoxGap + static_cast<int>(text.cx) + 2,
               props.height ? props.height : kCheckBoxHeight});
  }
}

bool CheckBox::createWindow(const WindowSpec& spec) { return createControl("BUTTON", spec); }

WindowSpec CheckBox::windowSpec() const { return childSpec(WS_TABSTOP | BS_AUTOCHECKBOX); }

void CheckBox::realize() {
  WindowedWidget::realize();
  setChecked(options_.checked);
}

bool CheckBox::checked() const {
  return handle() && SendMessageA(handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::setChecked(bool checked) {
  if (handle()) SendMessageA(handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CheckBox::command(WORD code) {
  if (code == BN_CLICKED) notifyClick();
}

std::optional<LRESULT> CheckBox::ctlColour(HDC dc) {
  SetTextColor(dc, fontColour());
  SetBkColor(dc, colour());
  return reinterpret_cast<LRESULT>(form().gdi().brush(colour()));
}

}  // namespace redoviri::widgets
