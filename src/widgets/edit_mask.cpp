#include "widgets/edit_mask.h"

namespace redoviri::widgets {

namespace {

// Letters of the Windows-1252 code page, the ANSI text of the edits.
bool IsLetter(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  switch (c) {
    case 0x8A: case 0x8C: case 0x8E: case 0x9A: case 0x9C: case 0x9E: case 0x9F:
      return true;
    default:
      return c >= 0xC0 && c != 0xD7 && c != 0xF7;
  }
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char ToUpper(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char>(c - 32);
  return ch;
}

char ToLower(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char>(c + 32);
  return ch;
}

// Positions of the unescaped ';' that separate the mask's fields.
std::vector<std::size_t> FieldSeparators(std::string_view mask) {
  std::vector<std::size_t> seps;
  for (std::size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] == '\\') {
      ++i;
    } else if (mask[i] == ';') {
      seps.push_back(i);
    }
  }
  return seps;
}

}  // namespace

EditMask::EditMask(std::string_view full) {
  const std::vector<std::size_t> seps = FieldSeparators(full);
  const std::string_view mask = full.substr(0, seps.empty() ? full.size() : seps[0]);
  if (seps.size() >= 1) {
    const std::size_t end = seps.size() >= 2 ? seps[1] : full.size();
    const std::string_view save = full.substr(seps[0] + 1, end - seps[0] - 1);
    saveLiterals_ = save.empty() || save[0] != '0';
  }
  if (seps.size() >= 2 && seps[1] + 1 < full.size()) blank_ = full[seps[1] + 1];

  Case letterCase = Case::Keep;
  auto add = [&](Kind kind, bool required, char literal = '\0') {
    positions_.push_back({kind, required, letterCase, literal});
  };
  for (std::size_t i = 0; i < mask.size(); ++i) {
    const char m = mask[i];
    switch (m) {
      case '!': reverse_ = true; break;
      case '>': letterCase = Case::Upper; break;
      case '<':
        if (i + 1 < mask.size() && mask[i + 1] == '>') {
          letterCase = Case::Keep;
          ++i;
        } else {
          letterCase = Case::Lower;
        }
        break;
      case '\\':
        if (i + 1 < mask.size()) add(Kind::Literal, false, mask[++i]);
        break;
      case '_': add(Kind::Literal, false, ' '); break;
      case '0': add(Kind::Digit, true); break;
      case '9': add(Kind::Digit, false); break;
      case '#': add(Kind::DigitOrSign, false); break;
      case 'L': add(Kind::Letter, true); break;
      case 'l': add(Kind::Letter, false); break;
      case 'A': add(Kind::Alnum, true); break;
      case 'a': add(Kind::Alnum, false); break;
      case 'C': add(Kind::Any, true); break;
      case 'c': add(Kind::Any, false); break;
      default: add(Kind::Literal, false, m); break;
    }
  }
}

bool EditMask::IsLiteral(std::size_t pos) const {
  return pos < positions_.size() && positions_[pos].kind == Kind::Literal;
}

bool EditMask::Accepts(std::size_t pos, char c) const {
  if (pos >= positions_.size()) return false;
  const Position& p = positions_[pos];
  if (p.kind == Kind::Literal) return false;
  if (c == ' ' || c == blank_) return !p.required;
  switch (p.kind) {
    case Kind::Digit: return IsDigit(c);
    case Kind::DigitOrSign: return IsDigit(c) || c == '+' || c == '-';
    case Kind::Letter: return IsLetter(c);
    case Kind::Alnum: return IsLetter(c) || IsDigit(c);
    case Kind::Any: return static_cast<unsigned char>(c) >= 0x20 && c != 0x7F;
    default: return false;
  }
}

char EditMask::Convert(std::size_t pos, char c) const {
  if (c == ' ') return blank_;
  switch (positions_[pos].letterCase) {
    case Case::Upper: return ToUpper(c);
    case Case::Lower: return ToLower(c);
    default: return c;
  }
}

bool EditMask::IsBlank(std::string_view editText, std::size_t pos) const {
  return pos >= editText.size() || editText[pos] == blank_ || editText[pos] == ' ';
}

std::size_t EditMask::NextEditable(std::size_t pos) const {
  while (pos < positions_.size() && IsLiteral(pos)) ++pos;
  return pos;
}

void EditMask::Clear(std::string& editText, std::size_t from, std::size_t to) const {
  for (std::size_t i = from; i < to && i < positions_.size(); ++i)
    if (!IsLiteral(i)) editText[i] = blank_;
}

std::string EditMask::BlankText() const {
  std::string t(positions_.size(), blank_);
  for (std::size_t i = 0; i < positions_.size(); ++i)
    if (IsLiteral(i)) t[i] = positions_[i].literal;
  return t;
}

std::string EditMask::Format(std::string_view text) const {
  if (Empty()) return std::string(text);
  std::string t = BlankText();
  auto put = [&](std::size_t pos, char c) {
    if (Accepts(pos, c)) t[pos] = Convert(pos, c);
  };
  if (saveLiterals_) {
    for (std::size_t i = 0; i < positions_.size() && i < text.size(); ++i)
      if (!IsLiteral(i)) put(i, text[i]);
    return t;
  }
  std::vector<std::size_t> editable;
  for (std::size_t i = 0; i < positions_.size(); ++i)
    if (!IsLiteral(i)) editable.push_back(i);
  const std::size_t count = text.size() < editable.size() ? text.size() : editable.size();
  // "!" puts a short value at the end, else at the start.
  const std::size_t firstPos = reverse_ ? editable.size() - count : 0;
  const std::size_t firstChar = reverse_ ? text.size() - count : 0;
  for (std::size_t k = 0; k < count; ++k) put(editable[firstPos + k], text[firstChar + k]);
  return t;
}

std::string EditMask::Text(std::string_view editText) const {
  if (Empty()) return std::string(editText);
  std::string r;
  for (std::size_t i = 0; i < positions_.size(); ++i) {
    if (IsLiteral(i)) {
      if (saveLiterals_) r += positions_[i].literal;
    } else {
      r += IsBlank(editText, i) ? ' ' : editText[i];
    }
  }
  if (!saveLiterals_) {
    if (reverse_) {
      r.erase(0, r.find_first_not_of(' ') == std::string::npos ? r.size() : r.find_first_not_of(' '));
    } else {
      r.erase(r.find_last_not_of(' ') + 1);
    }
  }
  return r;
}

std::optional<std::size_t> EditMask::FirstMissing(std::string_view editText) const {
  for (std::size_t i = 0; i < positions_.size(); ++i)
    if (positions_[i].required && IsBlank(editText, i)) return i;
  return std::nullopt;
}

void EditMask::AlignFieldRight(std::string& editText, std::size_t fieldEnd) const {
  std::size_t start = fieldEnd;
  while (start > 0 && !IsLiteral(start - 1)) --start;
  std::string chars;
  for (std::size_t i = start; i < fieldEnd; ++i)
    if (!IsBlank(editText, i)) chars += editText[i];
  std::string field(fieldEnd - start - chars.size(), blank_);
  field += chars;
  for (std::size_t i = start; i < fieldEnd; ++i)
    if (!IsBlank(field, i - start) && !Accepts(i, field[i - start])) return;  // would not fit
  editText.replace(start, field.size(), field);
}

std::optional<EditMask::State> EditMask::TypeLiteral(std::string t, std::size_t caret, char c) const {
  // The caret has just skipped this literal: typing it changes nothing.
  if (caret > 0 && IsLiteral(caret - 1) && positions_[caret - 1].literal == c) return State{t, caret};
  std::size_t q = caret;
  while (q < positions_.size() && !IsLiteral(q)) ++q;
  if (q == positions_.size() || positions_[q].literal != c) return std::nullopt;
  // Leaving the field early: its places from the caret on become blank,
  // whatever they held before, so they must all be optional.
  for (std::size_t i = caret; i < q; ++i)
    if (positions_[i].required) return std::nullopt;
  Clear(t, caret, q);
  if (reverse_) AlignFieldRight(t, q);
  return State{t, NextEditable(q + 1)};
}

EditMask::State EditMask::ClearSelection(std::string_view editText, std::size_t selStart,
                                         std::size_t selEnd) const {
  std::string t = editText.size() == Length() ? std::string(editText) : Format(editText);
  const std::size_t n = positions_.size();
  if (selStart > n) selStart = n;
  if (selEnd > n) selEnd = n;
  if (selEnd < selStart) std::swap(selStart, selEnd);
  Clear(t, selStart, selEnd);
  return {std::move(t), selStart};
}

std::optional<EditMask::State> EditMask::Type(std::string_view editText, std::size_t selStart,
                                              std::size_t selEnd, char c) const {
  if (Empty()) return std::nullopt;
  State s = ClearSelection(editText, selStart, selEnd);
  const std::size_t p = NextEditable(s.caret);
  if (p < Length() && Accepts(p, c)) {
    s.text[p] = Convert(p, c);
    return State{std::move(s.text), NextEditable(p + 1)};
  }
  return TypeLiteral(std::move(s.text), s.caret, c);
}

EditMask::State EditMask::Erase(std::string_view editText, std::size_t selStart, std::size_t selEnd,
                                bool backward) const {
  const bool selection = selStart != selEnd;
  State s = ClearSelection(editText, selStart, selEnd);
  if (selection || Empty()) return s;
  if (backward) {
    for (std::size_t p = s.caret; p > 0; --p) {
      if (!IsLiteral(p - 1)) {
        s.text[p - 1] = blank_;
        s.caret = p - 1;
        break;
      }
    }
    return s;
  }
  const std::size_t p = NextEditable(s.caret);
  if (p < Length()) s.text[p] = blank_;
  return s;
}

EditMask::State EditMask::Paste(std::string_view editText, std::size_t selStart, std::size_t selEnd,
                                std::string_view clip) const {
  State s = ClearSelection(editText, selStart, selEnd);
  for (const char c : clip) {
    if (c == '\r' || c == '\n' || c == '\t') continue;
    if (auto next = Type(s.text, s.caret, s.caret, c)) s = std::move(*next);
  }
  return s;
}

}  // namespace redoviri::widgets
