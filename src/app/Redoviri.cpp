// Redoviri: a month calendar and reminder that lives in the notification
// area. One instance per session.
#include <windows.h>

#include <exception>
#include <utility>

#include "app/application.h"
#include "widgets/activation.h"
#include "widgets/dpi.h"

namespace {

constexpr const char* kInstanceMutex = "Redoviri";
constexpr const char* kAlreadyLoaded = "Redoviri is already loaded...";
// The title a message box has before the application's title is set.
constexpr const char* kProgramName = "Redoviri";
// The request to quit from outside (the installer and the uninstaller):
// this registered message, posted to the program's hidden window of this
// class, or broadcast to every top-level window.
constexpr const char* kQuitMessage = "Redoviri.Quit";
constexpr const char* kQuitWindowClass = "Redoviri.Quit";

UINT quitMessage = 0;
// The application while its loop runs; null once the request was taken.
redoviri::Application* quitTarget = nullptr;

LRESULT CALLBACK QuitWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != quitMessage || quitMessage == 0) return DefWindowProcA(window, message, wParam, lParam);
  // As the Quit command of the menu; a repeated request finds it done.
  if (redoviri::Application* app = std::exchange(quitTarget, nullptr)) app->Quit1Click();
  return 0;
}

// A hidden top-level window that takes the quit request: found by its class
// (FindWindow), and reached by a broadcast, as hidden windows are. It goes
// with the process.
void ListenForQuit(redoviri::Application& app) {
  quitMessage = RegisterWindowMessageA(kQuitMessage);
  WNDCLASSA wc{};
  wc.lpfnWndProc = QuitWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kQuitWindowClass;
  if (!quitMessage || !RegisterClassA(&wc)) return;
  quitTarget = &app;
  CreateWindowExA(WS_EX_TOOLWINDOW, kQuitWindowClass, kQuitWindowClass, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                  wc.hInstance, nullptr);
}

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
    ListenForQuit(app);
    const int code = app.Run();
    quitTarget = nullptr;
    return code;
  } catch (const std::exception& e) {
    // Start-up failed: a window or menu the system refused.
    MessageBoxA(nullptr, e.what(), redoviri::kApplicationTitle, MB_OK | MB_ICONERROR);
    return 1;
  }
}
