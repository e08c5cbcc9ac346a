// Input masks for masked edits (no Win32 here: the rules alone).
//
// A mask is written "mask;save-literals;blank", e.g. "!99/99/0000;1;_":
//   0  digit, required          9  digit, optional
//   #  digit or sign, optional
//   L  letter, required         l  letter, optional
//   A  letter or digit, req.    a  letter or digit, optional
//   C  any character, required  c  any character, optional
//   >  upper-case what follows  <  lower-case what follows  <> neither
//   !  a field left early keeps its characters at its right end
//   \x the character x itself   _  a space
// Every other character is a literal that the edit text always shows.
// save-literals "0" leaves the literals out of text(); the blank character
// (default "_") stands in the edit text for a position not filled yet.
//
// The edit text has one character per position. Typing overwrites: a
// character goes to the first position at or after the caret that is not
// a literal, and the caret then skips the literals that follow. Typing the
// literal that ends the current field moves past it: the field's positions
// from the caret to that literal become blank, whatever they held (they
// must be optional, or the literal is refused), and with "!" the field's
// characters then move to its right end. So "1/" typed over "12/25/2003"
// from its start gives "_1/25/2003".
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace redoviri::widgets {

class EditMask {
 public:
  explicit EditMask(std::string_view mask);

  // No positions: the edit takes any text.
  bool Empty() const { return positions_.empty(); }
  std::size_t Length() const { return positions_.size(); }
  char BlankChar() const { return blank_; }
  bool SavesLiterals() const { return saveLiterals_; }
  bool IsLiteral(std::size_t pos) const;

  // The edit text with every position blank.
  std::string BlankText() const;
  // The edit text for a text value: with literals saved, character i of
  // the value goes to position i; else the value fills the positions that
  // are not literals. Characters a position refuses become blanks.
  std::string Format(std::string_view text) const;
  // The text value of an edit text: blanks become spaces; literals are
  // kept or, when not saved, dropped with the blanks at the end (at the
  // start with "!").
  std::string Text(std::string_view editText) const;

  // The first required position that is blank, if any.
  std::optional<std::size_t> FirstMissing(std::string_view editText) const;
  bool IsComplete(std::string_view editText) const { return !FirstMissing(editText); }

  // An edit text with its caret.
  struct State {
    std::string text;
    std::size_t caret = 0;
    friend bool operator==(const State&, const State&) = default;
  };
  // Typing c over the selection [selStart, selEnd) (empty: at the caret).
  // nullopt when the character is refused; the text is then unchanged.
  std::optional<State> Type(std::string_view editText, std::size_t selStart, std::size_t selEnd,
                            char c) const;
  // Backspace (backward) or Delete: clears the selection, else the
  // position before the caret (backspace, skipping literals) or at it.
  State Erase(std::string_view editText, std::size_t selStart, std::size_t selEnd, bool backward) const;
  // Pasting types the characters one by one; refused ones are dropped.
  State Paste(std::string_view editText, std::size_t selStart, std::size_t selEnd,
              std::string_view clip) const;

 private:
  enum class Kind : char { Literal, Digit, DigitOrSign, Letter, Alnum, Any };
  enum class Case : char { Keep, Upper, Lower };
  struct Position {
    Kind kind;
    bool required;
    Case letterCase;
    char literal;
  };

  bool Accepts(std::size_t pos, char c) const;
  char Convert(std::size_t pos, char c) const;
  bool IsBlank(std::string_view editText, std::size_t pos) const;
  std::size_t NextEditable(std::size_t pos) const;
  void Clear(std::string& editText, std::size_t from, std::size_t to) const;
  State ClearSelection(std::string_view editText, std::size_t selStart, std::size_t selEnd) const;
  void AlignFieldRight(std::string& editText, std::size_t fieldEnd) const;
  std::optional<State> TypeLiteral(std::string editText, std::size_t caret, char c) const;

  std::vector<Position> positions_;
  bool reverse_ = false;
  bool saveLiterals_ = true;
  char blank_ = '_';
};

}  // namespace redoviri::widgets
