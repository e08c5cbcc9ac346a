// Redoviri: a month calendar and reminder that lives in the notification
// area. One instance per session.
#include <windows.h>

#include <exception>

#include "app/application.h"
#include "widgets/activation.h"
#include "widgets/dpi.h"

namespace {

constexpr const char* kInstanceMutex = "Redoviri";
constexpr const char* kAlreadyLoaded = "Redoviri is already loaded...";
// The title a message box has before the application's title is set.
constexpr const char* kProgramName = "Redoviri";

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // As the manifest asks (for a start without it, under a loader that
  // reads no manifest).
  redoviri::widgets::BecomeDpiAware();
  // Held, never released or closed, until the process ends. Any error
  // status (a mutex of that name exists already, or one of another user
  // cannot be opened) means the program runs already.
  SetLastError(ERROR_SUCCESS);
  const HANDLE instanceMutex = CreateMutexA(nullptr, FALSE, kInstanceMutex);
  if (GetLastError() != ERROR_SUCCESS || !instanceMutex) {
    // In front of the running instance's calendar, which stays on top of
    // other windows, and with the keyboard. Wine's message box leaves
    // MB_TOPMOST out; a window owned by a topmost one is topmost all the
    // same, so the box has a hidden topmost owner of its own.
    const HWND before = GetForegroundWindow();
    const HWND owner = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 0, 0,
                                       nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    MessageBoxA(owner, kAlreadyLoaded, kProgramName, MB_OK | MB_ICONWARNING | MB_TOPMOST | MB_SETFOREGROUND);
    if (owner) DestroyWindow(owner);
    // The running instance's window that had the keyboard has it again.
    redoviri::widgets::AskToTakeKeyboardBack(before);
    return 0;
  }

  try {
    redoviri::Application app(redoviri::ApplicationSetup::System());
    return app.Run();
  } catch (const std::exception& e) {
    // Start-up failed: a window or menu the system refused.
    MessageBoxA(nullptr, e.what(), redoviri::kApplicationTitle, MB_OK | MB_ICONERROR);
    return 1;
  }
}
