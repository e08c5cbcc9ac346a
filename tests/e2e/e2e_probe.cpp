// Looks at the windows of other programs on the same Wine desktop, for the
// end-to-end scripts, which cannot read a window's texts from X.
//
//   e2e_probe windows                  every top-level window: pid, class,
//                                      visible, left top width height, title
//   e2e_probe dialog TITLE             the texts of the child windows of the
//                                      visible window with that title (a
//                                      dialog box rather than another
//                                      window), one per line
//   e2e_probe press TITLE BUTTON       clicks a button of that window
//   e2e_probe shown TITLE TEXT         exit status 0 when that window has a
//                                      visible child window with that text
//   e2e_probe client TITLE             left top width height of the client
//                                      area of the visible window with that
//                                      title, on the screen
//   e2e_probe at X Y                   the window at that point of the screen
//                                      as a click finds it (class, left top
//                                      width height, text)
//   e2e_probe focus                    the foreground window (pid, class,
//                                      title) and, on a second line, the
//                                      control with the keyboard focus
//                                      (class, left top width height, text)
//   e2e_probe menu                     left top width height of the open
//                                      popup menu
//   e2e_probe tips                     the text of each visible tooltip window
//                                      (the tray's balloons), one per line,
//                                      as the window itself tells it
//   e2e_probe frames                   left top width height of each running
//                                      show or hide animation's frame (a
//                                      window shown on top without
//                                      activation); exit status 0 when there
//                                      is none
//
// (A menu of another process shows its window, not its items: Wine keeps a
// menu's items in the process that made it.)
//
// Exit status 0 when the window was found, 1 when not, 2 on a usage error.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string ClassOf(HWND w) {
  char name[256] = {};
  GetClassNameA(w, name, sizeof name);
  return name;
}

std::string TextOf(HWND w) {
  char text[1024] = {};
  GetWindowTextA(w, text, sizeof text);
  return text;
}

BOOL CALLBACK Collect(HWND w, LPARAM out) {
  reinterpret_cast<std::vector<HWND>*>(out)->push_back(w);
  return TRUE;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> all;
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
  return all;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&all));
  return all;
}

// A visible top-level window with that title: a message box or one of the
// program's windows.
// A dialog box with that title first: a program's window may have the
// same title as its message box.
HWND VisibleDialog(const char* title) {
  HWND other = nullptr;
  for (HWND w : TopLevelWindows()) {
    if (!IsWindowVisible(w) || TextOf(w) != title) continue;
    if (ClassOf(w) == "#32770") return w;
    if (!other) other = w;
  }
  return other;
}

int ListWindows() {
  for (HWND w : TopLevelWindows()) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    RECT r{};
    GetWindowRect(w, &r);
    std::printf("%lu\t%s\t%d\t%ld %ld %ld %ld\t%s\n", static_cast<unsigned long>(pid), ClassOf(w).c_str(),
                IsWindowVisible(w) ? 1 : 0, r.left, r.top, r.right - r.left, r.bottom - r.top, TextOf(w).c_str());
  }
  return 0;
}

int TooltipTexts() {
  bool any = false;
  for (HWND w : TopLevelWindows()) {
    if (!IsWindowVisible(w) || ClassOf(w) != "tooltips_class32") continue;
    // GetWindowText reads only what another process's window was titled:
    // a tooltip answers WM_GETTEXT with the tip it shows.
    char text[1024] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                             &copied))
      continue;
    std::printf("%s\n", text);
    any = true;
  }
  return any ? 0 : 1;
}

int DialogTexts(const char* title) {
  const HWND dialog = VisibleDialog(title);
  if (!dialog) return 1;
  for (HWND child : Children(dialog)) {
    const std::string text = TextOf(child);
    if (!text.empty()) std::printf("%s\n", text.c_str());
  }
  return 0;
}

int PressButton(const char* title, const char* button) {
  const HWND dialog = VisibleDialog(title);
  if (!dialog) return 1;
  for (HWND child : Children(dialog)) {
    if (ClassOf(child) == "Button" && TextOf(child) == button) {
      PostMessageA(child, BM_CLICK, 0, 0);
      return 0;
    }
  }
  return 1;
}

int ChildShown(const char* title, const char* text) {
  const HWND dialog = VisibleDialog(title);
  if (!dialog) return 1;
  for (HWND child : Children(dialog))
    if (IsWindowVisible(child) && TextOf(child) == text) return 0;
  return 1;
}

void PrintWindow(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  std::printf("%s\t%ld %ld %ld %ld\t%s\n", ClassOf(w).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top,
              TextOf(w).c_str());
}

// The foreground window and its thread's focus, as the keyboard sees them.
int Focus() {
  const HWND foreground = GetForegroundWindow();
  if (!foreground) return 1;
  DWORD pid = 0;
  const DWORD thread = GetWindowThreadProcessId(foreground, &pid);
  std::printf("%lu\t", static_cast<unsigned long>(pid));
  PrintWindow(foreground);
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(thread, &info) || !info.hwndFocus) return 1;
  PrintWindow(info.hwndFocus);
  return 0;
}

int ClientArea(const char* title) {
  const HWND w = VisibleDialog(title);
  if (!w) return 1;
  RECT r{};
  GetClientRect(w, &r);
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, r.right, r.bottom);
  return 0;
}

int WindowAt(const char* x, const char* y) {
  const HWND w = WindowFromPoint(POINT{std::atol(x), std::atol(y)});
  if (!w) return 1;
  PrintWindow(w);
  return 0;
}

int OpenMenu() {
  for (HWND w : TopLevelWindows()) {
    if (!IsWindowVisible(w) || ClassOf(w) != "#32768") continue;
    RECT r{};
    GetWindowRect(w, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
  }
  return 1;
}

int AnimationFrames() {
  int n = 0;
  for (HWND w : TopLevelWindows()) {
    const LONG ex = GetWindowLongA(w, GWL_EXSTYLE);
    if (!IsWindowVisible(w) || ClassOf(w) != "RedoviriWidget" || !(ex & WS_EX_NOACTIVATE) || !(ex & WS_EX_TOPMOST))
      continue;
    RECT r{};
    GetWindowRect(w, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    ++n;
  }
  return n == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "windows" && argc == 2) return ListWindows();
  if (command == "dialog" && argc == 3) return DialogTexts(argv[2]);
  if (command == "press" && argc == 4) return PressButton(argv[2], argv[3]);
  if (command == "shown" && argc == 4) return ChildShown(argv[2], argv[3]);
  if (command == "focus" && argc == 2) return Focus();
  if (command == "client" && argc == 3) return ClientArea(argv[2]);
  if (command == "at" && argc == 4) return WindowAt(argv[2], argv[3]);
  if (command == "menu" && argc == 2) return OpenMenu();
  if (command == "tips" && argc == 2) return TooltipTexts();
  if (command == "frames" && argc == 2) return AnimationFrames();
  std::fprintf(stderr, "usage: e2e_probe windows | dialog TITLE | press TITLE BUTTON | shown TITLE TEXT | client TITLE | at X Y | focus | menu | frames\n");
  return 2;
}
