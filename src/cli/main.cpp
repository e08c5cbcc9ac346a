#include <iostream>

#include "cli/commands.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  // Other tools read this output: the same bytes (LF line ends) on every system.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  redoviri::cli::Args args(argv + 1, argv + argc);
  return redoviri::cli::RunCli(args, std::cout, std::cerr);
}
