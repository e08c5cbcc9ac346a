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
  if (!m.empty()) p.caption = m.format(props.caption);
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

bool Edit::createWindow(const WindowSpec& spec) { return createControl("EDIT", spec); }

WindowSpec Edit::windowSpec() const {
  return childSpec(WS_TABSTOP | ES_AUTOHSCROLL | (options_.readOnly ? ES_READONLY : 0),
                   options_.border ? WS_EX_CLIENTEDGE : 0);
}

void Edit::realize() {
  WindowedWidget::realize();
  setMaxLength(options_.maxLength);
  setMargins();
}

void Edit::fontChanged() {
  WindowedWidget::fontChanged();
  setMargins();
}

void Edit::setMargins() {
  // A new font resets the margins to the font's own, which some systems
  // make wide enough to scroll a tight field's first characters away.
  if (handle()) SendMessageA(handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(kLeftMargin, kRightMargin));
}

void Edit::setReadOnly(bool readOnly) {
  options_.readOnly = readOnly;
  if (handle()) SendMessageA(handle(), EM_SETREADONLY, readOnly, 0);
}

void Edit::setMaxLength(int maxLength) {
  options_.maxLength = maxLength;
  if (handle()) SendMessageA(handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength), 0);
}

std::pair<int, int> Edit::selection() const {
  DWORD start = 0, end = 0;
  if (handle()) SendMessageA(handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {static_cast<int>(start), static_cast<int>(end)};
}

void Edit::setSelection(int start, int end) {
  if (handle()) SendMessageA(handle(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void Edit::command(WORD code) {
  if (code == EN_CHANGE && onChange) onChange();
}

std::optional<LRESULT> Edit::ctlColour(HDC dc) {
  SetTextColor(dc, enabled() ? fontColour() : GetSysColor(COLOR_GRAYTEXT));
  SetBkColor(dc, colour());
  return reinterpret_cast<LRESULT>(form().gdi().brush(colour()));
}

// -------------------------------------------------------------- MaskEdit

MaskEdit::MaskEdit(Container* parent, const Props& props, const Options& options)
    : Edit(parent, WithMaskedCaption(props, options.mask),
           {.readOnly = options.readOnly,
            .maxLength = static_cast<int>(EditMask(options.mask).length()),
            .onChange = options.onChange}),
      mask_(options.mask) {}

void MaskEdit::apply(const EditMask::State& state) {
  if (state.text != caption()) modified_ = true;
  setCaption(state.text);
  setSelection(static_cast<int>(state.caret), static_cast<int>(state.caret));
}

void MaskEdit::validate() {
  // A field that went away with its panel is not worth a complaint.
  if (!modified_ || isComplete() || !IsWindowVisible(handle())) return;
  const int missing = static_cast<int>(*mask_.firstMissing(caption()));
  reporting_ = true;
  SetFocus(handle());
  setSelection(missing, missing);
  if (onInvalid) {
    onInvalid(*this, kInvalidMessage);
  } else {
    const HWND root = GetAncestor(handle(), GA_ROOT);
    char title[256] = "";
    GetWindowTextA(root, title, sizeof title);
    MessageBoxA(root, kInvalidMessage, title, MB_OK | MB_ICONERROR);
  }
  SetFocus(handle());
  setSelection(missing, missing);
  reporting_ = false;
}

LRESULT MaskEdit::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (mask_.empty()) return Edit::OnMessage(msg, wp, lp);
  switch (msg) {
    case WM_CHAR: {
      const char c = static_cast<char>(wp);
      // Control characters (Ctrl+C, V, X) become clipboard messages below.
      if (readOnly() || (static_cast<unsigned char>(c) < 0x20 && c != '\b')) break;
      const auto [start, end] = selection();
      if (c == '\b') {
        apply(mask_.erase(caption(), start, end, true));
      } else if (auto next = mask_.type(caption(), start, end, c)) {
        apply(*next);
      } else {
        MessageBeep(MB_OK);
      }
      return 0;
    }
    case WM_KEYDOWN:
      if (wp == VK_DELETE) {
        if (GetKeyState(VK_SHIFT) < 0) {
          SendMessageA(handle(), WM_CUT, 0, 0);
        } else if (!readOnly()) {
          const auto [start, end] = selection();
          apply(mask_.erase(caption(), start, end, false));
        }
        return 0;
      }
      if (wp == VK_INSERT && GetKeyState(VK_SHIFT) < 0) {
        SendMessageA(handle(), WM_PASTE, 0, 0);
        return 0;
      }
      if (wp == VK_ESCAPE && modified_) {
        setCaption(entryText_);
        modified_ = false;
        selectAll();
        return 0;
      }
      break;
    case WM_PASTE:
      if (!readOnly()) {
        const auto [start, end] = selection();
        apply(mask_.paste(caption(), start, end, ClipboardText(handle())));
      }
      return 0;
    case WM_CUT: case WM_CLEAR: {
      const auto [start, end] = selection();
      if (start == end || readOnly()) return 0;
      if (msg == WM_CUT) SendMessageA(handle(), WM_COPY, 0, 0);
      apply(mask_.erase(caption(), start, end, false));
      return 0;
    }
    case WM_UNDO: case EM_UNDO:
      return 0;  // the system's undo knows nothing of the mask
    case WM_SETFOCUS:
      if (!reporting_) {
        entryText_ = caption();
        modified_ = false;
      }
      break;
    case WM_KILLFOCUS:
      if (!reporting_ && modified_ && !isComplete()) PostMessageA(handle(), kValidateMessage, 0, 0);
      break;
    case kValidateMessage:
      validate();
      return 0;
    case WM_CONTEXTMENU: {
      // The system's own menu would paste around the mask: only the
      // program's menu, if any.
      runContextMenu(contextMenuPoint(lp));
      return 0;
    }
    default:
      break;
  }
  return Edit::OnMessage(msg, wp, lp);
}

}  // namespace redoviri::widgets
