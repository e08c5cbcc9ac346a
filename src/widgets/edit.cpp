#include "widgets/edit.h"

#include <windowsx.h>

#include "widgets/form.h"

namespace redoviri::widgets {

namespace {

// Private message: check the field once the focus has settled elsewhere.
constexpr UINT kValidateMessage = WM_APP + 1;
// Pixels between the sunken frame and the text: none, so that a field
// sized to its text (a date in 104 pixels) shows it whole, caret included.
constexpr int kLeftMargin = 0, kRightMargin = 0;

Props WithMaskedCaption(const Props& props, const std::string& mask) {
  Props p = props;
  const EditMask m(mask);
  if (!m.Empty()) p.caption = m.Format(props.caption);
  return p;
}

std::string ClipboardText(HWND owner) {
  std::string text;
  if (!OpenClipboard(owner)) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const auto* chars = static_cast<const char*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace

// ------------------------------------------------------------------ Edit

Edit::Edit(Container* parent, const Props& props, const Options& options)
    : WindowedWidget(parent, props), onChange(options.onChange), options_(options) {}

bool Edit::CreateHandle(const WindowSpec& spec) { return CreateControl("EDIT", spec); }

WindowSpec Edit::CreationSpec() const {
  return ChildSpec((options_.tabStop ? WS_TABSTOP : 0) | ES_AUTOHSCROLL | (options_.readOnly ? ES_READONLY : 0),
                   options_.border ? WS_EX_CLIENTEDGE : 0);
}

void Edit::Realize() {
  WindowedWidget::Realize();
  SetMaxLength(options_.maxLength);
  SetMargins();
}

void Edit::FontChanged() {
  WindowedWidget::FontChanged();
  SetMargins();
}

void Edit::SetMargins() {
  // A new font resets the margins to the font's own, which some systems
  // make wide enough to scroll a tight field's first characters away.
  if (Handle()) SendMessageA(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(Scale(kLeftMargin, Dpi()), Scale(kRightMargin, Dpi())));
  // The font's line decides the room above the text.
  if (Handle()) SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Edit::VerticalPad() const {
  RECT window{};
  GetWindowRect(Handle(), &window);
  const HDC dc = GetDC(Handle());
  const HGDIOBJ old = SelectObject(dc, FontHandle());
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(Handle(), dc);
  const int edge = options_.border ? 2 * GetSystemMetrics(SM_CYEDGE) : 0;
  // A line and a pixel above and below it; a field with a few pixels more
  // (one laid out at its own scale) keeps its text where it always was.
  const int room = (window.bottom - window.top) - edge - (metrics.tmHeight + 2);
  return room > 3 ? room / 2 : 0;
}

void Edit::PaintPad(HDC dc) {
  const int pad = VerticalPad();
  if (pad == 0) return;
  // The room above and below the client area, in the field's colour.
  RECT window{}, client{};
  GetWindowRect(Handle(), &window);
  GetClientRect(Handle(), &client);
  MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  const HBRUSH brush = GetForm().Gdi().Brush(Colour());
  const RECT above{client.left, client.top - pad, client.right, client.top};
  const RECT below{client.left, client.bottom, client.right, client.bottom + pad};
  FillRect(dc, &above, brush);
  FillRect(dc, &below, brush);
}

LRESULT Edit::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCALCSIZE: {
      const LRESULT r = WindowedWidget::OnMessage(msg, wp, lp);
      auto* rect = reinterpret_cast<RECT*>(lp);  // the first of NCCALCSIZE_PARAMS's too
      const int pad = VerticalPad();
      rect->top += pad;
      rect->bottom -= pad;
      return r;
    }
    case WM_NCPAINT: {
      const LRESULT r = WindowedWidget::OnMessage(msg, wp, lp);
      const HDC dc = GetWindowDC(Handle());
      PaintPad(dc);
      ReleaseDC(Handle(), dc);
      return r;
    }
    case WM_PRINT: {
      const LRESULT r = WindowedWidget::OnMessage(msg, wp, lp);
      if (lp & PRF_NONCLIENT) PaintPad(reinterpret_cast<HDC>(wp));
      return r;
    }
    default:
      return WindowedWidget::OnMessage(msg, wp, lp);
  }
}

void Edit::SetReadOnly(bool readOnly) {
  options_.readOnly = readOnly;
  if (Handle()) SendMessageA(Handle(), EM_SETREADONLY, readOnly, 0);
}

void Edit::SetMaxLength(int maxLength) {
  options_.maxLength = maxLength;
  if (Handle()) SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength), 0);
}

std::pair<int, int> Edit::Selection() const {
  DWORD start = 0, end = 0;
  if (Handle()) SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {static_cast<int>(start), static_cast<int>(end)};
}

void Edit::SetSelection(int start, int end) {
  if (Handle()) SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void Edit::Command(WORD code) {
  if (code == EN_CHANGE && onChange) onChange();
}

std::optional<LRESULT> Edit::CtlColour(HDC dc) {
  SetTextColor(dc, Enabled() ? FontColour() : GetSysColor(COLOR_GRAYTEXT));
  SetBkColor(dc, Colour());
  return reinterpret_cast<LRESULT>(GetForm().Gdi().Brush(Colour()));
}

// -------------------------------------------------------------- MaskEdit

MaskEdit::MaskEdit(Container* parent, const Props& props, const Options& options)
    : Edit(parent, WithMaskedCaption(props, options.mask),
           {.readOnly = options.readOnly,
            .maxLength = static_cast<int>(EditMask(options.mask).Length()),
            .onChange = options.onChange}),
      mask_(options.mask) {}

void MaskEdit::Apply(const EditMask::State& state) {
  if (state.text != Caption()) modified_ = true;
  SetCaption(state.text);
  SetSelection(static_cast<int>(state.caret), static_cast<int>(state.caret));
}

void MaskEdit::SetText(const std::string& text) {
  SetCaption(mask_.Format(text));
  entryText_ = Caption();
  modified_ = false;
}

bool MaskEdit::IsSiblingControl(HWND to) const {
  if (!to || to == Handle() || GetWindowThreadProcessId(to, nullptr) != GetCurrentThreadId()) return false;
  return IsChild(GetAncestor(Handle(), GA_ROOT), to) != FALSE;
}

void MaskEdit::Validate() {
  // A field that went away with its panel is not worth a complaint.
  if (!modified_ || IsComplete() || !IsWindowVisible(Handle())) return;
  // Only once the focus has settled on another control of the window: not
  // when the program lost activation meanwhile, nor when it came back here.
  if (!IsSiblingControl(GetFocus())) return;
  const int missing = static_cast<int>(*mask_.FirstMissing(Caption()));
  reporting_ = true;
  ::SetFocus(Handle());
  SetSelection(missing, missing);
  if (onInvalid) {
    onInvalid(*this, kInvalidMessage);
  } else {
    const HWND root = GetAncestor(Handle(), GA_ROOT);
    char title[256] = "";
    GetWindowTextA(root, title, sizeof title);
    MessageBoxA(root, kInvalidMessage, title, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    // The window the box belonged to takes the keyboard back, whatever a
    // window manager activated when the box went.
    SetForegroundWindow(root);
  }
  ::SetFocus(Handle());
  SetSelection(missing, missing);
  reporting_ = false;
}

LRESULT MaskEdit::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (mask_.Empty()) return Edit::OnMessage(msg, wp, lp);
  switch (msg) {
    case WM_CHAR: {
      const char c = static_cast<char>(wp);
      // Control characters (Ctrl+C, V, X) become clipboard messages below.
      if (ReadOnly() || (static_cast<unsigned char>(c) < 0x20 && c != '\b')) break;
      const auto [start, end] = Selection();
      if (c == '\b') {
        Apply(mask_.Erase(Caption(), start, end, true));
      } else if (auto next = mask_.Type(Caption(), start, end, c)) {
        Apply(*next);
      } else {
        MessageBeep(MB_OK);
      }
      return 0;
    }
    case WM_KEYDOWN:
      if (wp == VK_DELETE) {
        if (GetKeyState(VK_SHIFT) < 0) {
          SendMessageA(Handle(), WM_CUT, 0, 0);
        } else if (!ReadOnly()) {
          const auto [start, end] = Selection();
          Apply(mask_.Erase(Caption(), start, end, false));
        }
        return 0;
      }
      if (wp == VK_INSERT && GetKeyState(VK_SHIFT) < 0) {
        SendMessageA(Handle(), WM_PASTE, 0, 0);
        return 0;
      }
      if (wp == VK_ESCAPE && modified_) {
        SetCaption(entryText_);
        modified_ = false;
        SelectAll();
        return 0;
      }
      break;
    case WM_PASTE:
      if (!ReadOnly()) {
        const auto [start, end] = Selection();
        Apply(mask_.Paste(Caption(), start, end, ClipboardText(Handle())));
      }
      return 0;
    case WM_CUT: case WM_CLEAR: {
      const auto [start, end] = Selection();
      if (start == end || ReadOnly()) return 0;
      if (msg == WM_CUT) SendMessageA(Handle(), WM_COPY, 0, 0);
      Apply(mask_.Erase(Caption(), start, end, false));
      return 0;
    }
    case WM_UNDO: case EM_UNDO:
      return 0;  // the system's undo knows nothing of the mask
    case WM_SETFOCUS:
      // Entering the field; not the focus coming back after the report or
      // after the program was inactive.
      if (!reporting_ && !away_) {
        entryText_ = Caption();
        modified_ = false;
      }
      away_ = false;
      break;
    case WM_KILLFOCUS: {
      // The focus goes to the window in wp, which is null when it leaves
      // the thread (another program, or nothing active).
      const HWND to = reinterpret_cast<HWND>(wp);
      if (reporting_) break;
      if (IsSiblingControl(to)) {
        away_ = false;
        if (modified_ && !IsComplete()) PostMessageA(Handle(), kValidateMessage, 0, 0);
      } else {
        away_ = true;
      }
      break;
    }
    case kValidateMessage:
      Validate();
      return 0;
    case WM_CONTEXTMENU: {
      // The system's own menu would paste around the mask: only the
      // program's menu, if any.
      RunContextMenu(ContextMenuPoint(lp));
      return 0;
    }
    default:
      break;
  }
  return Edit::OnMessage(msg, wp, lp);
}

}  // namespace redoviri::widgets
