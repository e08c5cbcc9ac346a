// hold_file FILE MARKER MILLISECONDS: opens FILE without any sharing, as a
// backup tool may, creates MARKER once it holds it, and keeps it open for
// the given time. The event file tests run it as another process.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const HANDLE held = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) return 1;
  const HANDLE marker = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  Sleep(static_cast<DWORD>(std::atoi(argv[3])));
  CloseHandle(held);
  return 0;
}
