// Placeholder until the astro commands are built.
#include <ostream>

#include "cli/commands.h"

namespace redoviri::cli {

int CmdAstro(const Args&, std::ostream&, std::ostream& err) {
  err << "redoviri-cli: command not available yet\n";
  return kBadInput;
}

int CmdMoon(const Args&, std::ostream&, std::ostream& err) {
  err << "redoviri-cli: command not available yet\n";
  return kBadInput;
}

}  // namespace redoviri::cli
