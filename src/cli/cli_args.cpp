#include "cli/cli_args.h"

#include <algorithm>
#include <ostream>

namespace redoviri::cli {
namespace {

// Exactly `count` decimal digits of `text` from `pos`.
std::optional<int> Digits(std::string_view text, std::size_t pos, std::size_t count) {
  if (pos + count > text.size()) return std::nullopt;
  int value = 0;
  for (std::size_t i = pos; i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

}  // namespace

int RunCommand(std::string_view command, std::ostream& out, std::ostream& err,
               const std::function<std::string()>& body) {
  std::string text;
  try {
    text = body();
  } catch (const CommandFailure& failure) {
    std::string message = failure.message;
    std::replace_if(message.begin(), message.end(), IsControlCharacter, '?');
    err << "redoviri-cli: " << command << ": " << message << '\n';
    return failure.code;
  }
  out << text;
  return kOk;
}

CommandLine::CommandLine(const Args& args, std::span<const OptionSpec> known, std::size_t maxPositional) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg[0] != '-') {
      if (positional_.size() == maxPositional) Fail(kBadInput, "unexpected argument " + Quoted(arg));
      positional_.push_back(arg);
      continue;
    }
    const auto spec = std::find_if(known.begin(), known.end(), [&](const OptionSpec& s) { return s.name == arg; });
    if (spec == known.end()) Fail(kBadInput, "unknown option " + Quoted(arg));
    if (Has(arg)) Fail(kBadInput, arg + " given twice");
    std::string value;
    if (spec->takesValue) {
      if (i + 1 == args.size()) Fail(kBadInput, arg + " needs a value");
      value = args[++i];
    }
    options_.emplace_back(spec->name, std::move(value));
  }
}

const std::string& CommandLine::Positional(std::size_t index, std::string_view what) const {
  if (index >= positional_.size()) Fail(kBadInput, "missing " + std::string(what));
  return positional_[index];
}

bool CommandLine::Has(std::string_view option) const { return Value(option) != nullptr; }

const std::string* CommandLine::Value(std::string_view option) const {
  for (const auto& [name, value] : options_) {
    if (name == option) return &value;
  }
  return nullptr;
}

const std::string& CommandLine::Required(std::string_view option, std::string_view form) const {
  const std::string* value = Value(option);
  if (!value) Fail(kBadInput, "missing " + std::string(option) + " " + std::string(form));
  return *value;
}

bool IsControlCharacter(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

std::string Quoted(std::string_view arg) {
  std::string quoted = "'";
  quoted += arg;
  quoted += '\'';
  return quoted;
}

std::optional<CivilDate> ReadIsoDate(std::string_view text) {
  if (text.size() != 10 || text[7] != '-') return std::nullopt;
  const std::optional<YearMonth> month = ReadIsoMonth(text.substr(0, 7));
  const std::optional<int> day = Digits(text, 8, 2);
  if (!month || !day || !IsValidDate(month->year, month->month, *day)) return std::nullopt;
  return CivilDate{month->year, month->month, *day};
}

std::optional<YearMonth> ReadIsoMonth(std::string_view text) {
  if (text.size() != 7 || text[4] != '-') return std::nullopt;
  const std::optional<int> year = Digits(text, 0, 4);
  const std::optional<int> month = Digits(text, 5, 2);
  if (!year || !month || *year < kMinYear || *month < 1 || *month > 12) return std::nullopt;
  return YearMonth{*year, *month};
}

}  // namespace redoviri::cli
