// The simple controls: labels, images, shapes, speed buttons (windowless);
// panels, push buttons and check boxes (windows).
#pragma once

#include <windows.h>

#include <optional>

#include "widgets/bitmap.h"
#include "widgets/widget.h"

namespace redoviri::widgets {

enum class Align { Left, Center, Right };
enum class VAlign { Top, Center, Bottom };

// Text on its parent's surface. Without a colour of its own the label is
// transparent: what lies under it shows between the letters.
class Label : public Widget {
 public:
  struct Options {
    Align align = Align::Left;
    VAlign layout = VAlign::Top;
    bool wordWrap = false;
    bool autoSize = false;  // the bounds follow the text
  };
  Label(Container* parent, const Props& props, const Options& options);

  void SetCaption(const std::string& text) override;

 protected:
  void Paint(HDC dc, const RECT& rect) override;
  bool DefaultDragsForm() const override { return true; }
  void Realize() override;
  void FontChanged() override;

 private:
  void FitToText();
  Options options_;
};

// A picture, at its natural size or stretched over the bounds. A
// transparent image leaves the pixels of one colour (by default the
// picture's bottom-left pixel) undrawn.
class Image : public Widget {
 public:
  struct Options {
    Bitmap picture{};
    bool stretch = false;
    bool center = false;
    bool transparent = false;
    std::optional<COLORREF> transparentColour{};
  };
  Image(Container* parent, const Props& props, const Options& options);

  const Bitmap& Picture() const { return picture_; }
  void SetPicture(const Bitmap& picture);

 protected:
  void Paint(HDC dc, const RECT& rect) override;
  bool DefaultDragsForm() const override { return true; }

 private:
  void UpdateKey();
  Options options_;
  Bitmap picture_;
  std::optional<COLORREF> key_;  // the colour left undrawn
};

enum class ShapeKind { Rectangle, RoundRect, Ellipse };

// A filled outline: its colour fills, the pen draws the edge.
class Shape : public Widget {
 public:
  struct Options {
    ShapeKind kind = ShapeKind::Rectangle;
    COLORREF penColour = colours::Black;
    int penWidth = 1;
  };
  Shape(Container* parent, const Props& props, const Options& options)
      : Widget(parent, props), options_(options) {}

 protected:
  void Paint(HDC dc, const RECT& rect) override;
  bool DefaultDragsForm() const override { return true; }
  std::optional<COLORREF> DefaultColour() const override { return colours::White; }

 private:
  Options options_;
};

enum class GlyphLayout { Left, Top };

// A button drawn by its container: a glyph and/or a caption, centred
// together. A flat button shows a frame only while the mouse is over it
// (raised) or presses it (sunken); a transparent one shows what lies under
// it unless it has a colour of its own.
class SpeedButton : public Widget {
 public:
  struct Options {
    Bitmap glyph{};  // drawn with its bottom-left pixel's colour left out
    bool flat = true;
    GlyphLayout layout = GlyphLayout::Left;
    int spacing = 4;  // glyph to caption
    // The glyph's left edge in the button (left layout), for a button whose
    // text is drawn over it by other widgets; none: centred with the caption.
    std::optional<int> glyphLeft{};
    // Tab reaches it (its container takes the keyboard for it).
    bool tabStop = false;
  };
  SpeedButton(Container* parent, const Props& props, const Options& options);
  bool TabStop() const override { return options_.tabStop && Visible() && Enabled(); }

  const Bitmap& Glyph() const { return glyph_; }
  void SetGlyph(const Bitmap& glyph);
  bool Hot() const { return hot_; }
  bool Down() const { return down_; }

 protected:
  void Paint(HDC dc, const RECT& rect) override;
  void HotChanged(bool hot) override;
  void PressedChanged(bool pressed) override;
  bool DoubleClickIsPress() const override { return true; }

 private:
  Options options_;
  Bitmap glyph_;
  std::optional<COLORREF> glyphKey_;
  bool hot_ = false;
  bool down_ = false;
};

// Single is the sunken edge that a single border has on 3-D controls;
// Line is a plain one-pixel frame.
enum class BorderStyle { None, Single, Line };
enum class Bevel { None, Raised, Lowered };

// A window that holds other widgets, with a colour, an optional border
// (outside the client area, so children are placed inside it), a bevel and
// a centred caption.
class Panel : public Container {
 public:
  struct Options {
    BorderStyle border = BorderStyle::None;
    Bevel bevel = Bevel::Raised;
  };
  Panel(Container* parent, const Props& props, const Options& options)
      : Container(parent, props), options_(options) {}

  void SetCaption(const std::string& text) override;

 protected:
  bool CreateHandle(const WindowSpec& spec) override;
  WindowSpec CreationSpec() const override;
  void PaintBackground(HDC dc, const RECT& client) override;

 private:
  Options options_;
};

// A standard push button.
class Button : public WindowedWidget {
 public:
  struct Options {
    bool isDefault = false;  // drawn with the heavy frame
  };
  Button(Container* parent, const Props& props, const Options& options)
      : WindowedWidget(parent, props), options_(options) {}

 protected:
  bool CreateHandle(const WindowSpec& spec) override;
  WindowSpec CreationSpec() const override;
  void Command(WORD code) override;
  void Clicked() override {}  // reported by BN_CLICKED, keyboard included
  // The push button's own procedure takes the double click's second press
  // as a press too, and reports its release by BN_CLICKED.
  bool DoubleClickIsPress() const override { return true; }

 private:
  Options options_;
};

// A standard check box on its parent's colour. Its click handler runs when
// the user toggles it; SetChecked does not run it.
class CheckBox : public WindowedWidget {
 public:
  struct Options {
    bool checked = false;
  };
  CheckBox(Container* parent, const Props& props, const Options& options);

  bool Checked() const;
  void SetChecked(bool checked);

 protected:
  bool CreateHandle(const WindowSpec& spec) override;
  WindowSpec CreationSpec() const override;
  void Realize() override;
  void Command(WORD code) override;
  void Clicked() override {}
  std::optional<LRESULT> CtlColour(HDC dc) override;

 private:
  Options options_;
};

}  // namespace redoviri::widgets
