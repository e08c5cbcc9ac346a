#include <iostream>

#include "cli/commands.h"

int main(int argc, char** argv) {
  redoviri::cli::Args args(argv + 1, argv + argc);
  return redoviri::cli::RunCli(args, std::cout, std::cerr);
}
