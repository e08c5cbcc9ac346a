#include <iostream>

#include "cli/commands.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

// The runtime's own split of the command line, in UTF-16: the same
// arguments as argv, before the runtime's "best fit" to the code page made
// "Lukasz" of "Łukasz".
extern "C" {
struct RuntimeStartInfo {
  int newMode;
};
int __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** env, int expandWildcards, RuntimeStartInfo* info);
}
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  // Other tools read this output: the same bytes (LF line ends) on every system.
  _setmode(_fileno(stdout), _O_BINARY);
  int wideCount = 0;
  wchar_t** wide = nullptr;
  wchar_t** environment = nullptr;
  RuntimeStartInfo info{0};
  if (__wgetmainargs(&wideCount, &wide, &environment, 0, &info) == 0 && wideCount == argc) {
    redoviri::cli::Args args = redoviri::cli::CodePageArguments(wideCount, wide);
    args.erase(args.begin());
    return redoviri::cli::RunCli(args, std::cout, std::cerr);
  }
#endif
  redoviri::cli::Args args(argv + 1, argv + argc);
  return redoviri::cli::RunCli(args, std::cout, std::cerr);
}
