// Placeholder until the events commands are built.
#include <ostream>

#include "cli/commands.h"

namespace redoviri::cli {

int CmdList(const Args&, std::ostream&, std::ostream& err) {
  err << "redoviri-cli: command not available yet\n";
  return kBadInput;
}

int CmdMonth(const Args&, std::ostream&, std::ostream& err) {
  err << "redoviri-cli: command not available yet\n";
  return kBadInput;
}

int CmdDay(const Args&, std::ostream&, std::ostream& err) {
  err << "redoviri-cli: command not available yet\n";
  return kBadInput;
}

int CmdToday(const Args&, std::ostream&, std::ostream& err) {
  err << "redoviri-cli: command not available yet\n";
  return kBadInput;
}

int CmdAdd(const Args&, std::ostream&, std::ostream& err) {
  err << "redoviri-cli: command not available yet\n";
  return kBadInput;
}

int CmdDelete(const Args&, std::ostream&, std::ostream& err) {
  err << "redoviri-cli: command not available yet\n";
  return kBadInput;
}

}  // namespace redoviri::cli
