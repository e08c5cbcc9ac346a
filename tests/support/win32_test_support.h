// Win32 helpers shared by the Windows test executables: a bounded message
// pump, and the pixels of bitmaps and icons.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "widgets/gdi.h"

namespace redoviri::test {

// Dispatches the messages waiting now.
inline void PumpPending() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Dispatches messages until done() holds or timeoutMs has passed; true if done.
// The default is generous: under Wine, hiding the active window can hold the
// program for a second or two, and a busy machine adds to it.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 15000) {
  const DWORD start = GetTickCount();
  for (;;) {
    PumpPending();
    if (done()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

inline void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

// Presses and releases a key through the system's input, as the keyboard
// does: it goes to the foreground window's thread.
inline void PressKey(WORD vk) {
  INPUT in[2]{};
  for (INPUT& i : in) {
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = vk;
    i.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  }
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

namespace detail {
inline BOOL CALLBACK FindMenuWindow(HWND w, LPARAM out) {
  char cls[16] = "";
  GetClassNameA(w, cls, sizeof cls);
  if (lstrcmpA(cls, "#32768") != 0 || !IsWindowVisible(w)) return TRUE;
  *reinterpret_cast<HWND*>(out) = w;
  return FALSE;
}
}  // namespace detail

// The popup menu this thread shows at the moment (the system's menu
// window), or null.
inline HWND OpenMenuWindow() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), detail::FindMenuWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

// A visible window of a thread of its own, brought to the front and given
// the keyboard focus there: what another program's window is to this one.
class OtherThreadWindow {
 public:
  OtherThreadWindow(int x = 300, int y = 300)
      : x_(x), y_(y), ready_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
        quit_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
        thread_(CreateThread(nullptr, 0, &OtherThreadWindow::Run, this, 0, nullptr)) {}
  ~OtherThreadWindow() {
    SetEvent(quit_);
    PumpUntil([&] { return WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0; });
    CloseHandle(thread_);
    CloseHandle(quit_);
    CloseHandle(ready_);
  }
  OtherThreadWindow(const OtherThreadWindow&) = delete;
  OtherThreadWindow& operator=(const OtherThreadWindow&) = delete;

  // True once the window exists and was asked to the front.
  bool Ready() const { return WaitForSingleObject(ready_, 0) == WAIT_OBJECT_0; }
  HWND Handle() const { return window_; }

 private:
  static DWORD WINAPI Run(LPVOID self) {
    auto* w = static_cast<OtherThreadWindow*>(self);
    w->window_ = CreateWindowExA(0, "EDIT", "", WS_POPUP | WS_VISIBLE | WS_BORDER, w->x_, w->y_, 80, 24, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(w->window_);
    SetFocus(w->window_);
    SetEvent(w->ready_);
    while (MsgWaitForMultipleObjects(1, &w->quit_, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
      MSG m;
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    }
    DestroyWindow(w->window_);
    return 0;
  }

  int x_, y_;
  HANDLE ready_, quit_, thread_;
  HWND window_ = nullptr;
};

// Presses OK in every message box this thread shows while it lives (also
// inside the box's own message loop) and counts the boxes.
class MessageBoxAnswerer {
 public:
  MessageBoxAnswerer() {
    boxes_.clear();
    timer_ = SetTimer(nullptr, 0, 50, &MessageBoxAnswerer::Tick);
  }
  ~MessageBoxAnswerer() { KillTimer(nullptr, timer_); }
  MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
  MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

  std::size_t Count() const { return boxes_.size(); }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), &MessageBoxAnswerer::Answer, 0);
  }
  static BOOL CALLBACK Answer(HWND w, LPARAM) {
    char cls[16] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(w)) return TRUE;
    bool seen = false;
    for (const HWND b : boxes_) seen = seen || b == w;
    if (!seen) boxes_.push_back(w);
    PostMessageA(w, WM_COMMAND, IDOK, 0);
    return TRUE;
  }
  static inline std::vector<HWND> boxes_;
  UINT_PTR timer_ = 0;
};

// The layout of 32-bit pixels, row by row from the top.
namespace detail {
inline BOOL CALLBACK CollectFrame(HWND w, LPARAM out) {
  const LONG ex = GetWindowLongA(w, GWL_EXSTYLE);
  if (IsWindowVisible(w) && (ex & WS_EX_NOACTIVATE) && (ex & WS_EX_TOPMOST))
    reinterpret_cast<std::vector<HWND>*>(out)->push_back(w);
  return TRUE;
}
}  // namespace detail

// The frames of the running show and hide animations of this thread's
// windows (shown without activation, on top).
inline std::vector<HWND> AnimationFrames() {
  std::vector<HWND> frames;
  EnumThreadWindows(GetCurrentThreadId(), detail::CollectFrame, reinterpret_cast<LPARAM>(&frames));
  return frames;
}

// True when no animation runs any more (waiting for the running ones).
inline bool AnimationsOver() {
  return PumpUntil([] { return AnimationFrames().empty(); });
}

// The size of a window's client area.
inline SIZE ClientSizeOf(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}

inline BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  return bi;
}

// The pixels of a bitmap, row by row from the top, as COLORREF values.
inline std::vector<COLORREF> BitmapPixels(HBITMAP bitmap, int width, int height) {
  BITMAPINFO bi = TopDown32(width, height);
  std::vector<DWORD> bits(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const widgets::WindowDC screen;
  GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), bits.data(), &bi, DIB_RGB_COLORS);
  std::vector<COLORREF> out;
  out.reserve(bits.size());
  for (const DWORD v : bits) out.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
  return out;
}

// The pixels of an icon drawn at size x size on white.
inline std::vector<COLORREF> IconPixels(HICON icon, int size) {
  const widgets::WindowDC screen;
  const widgets::MemoryDC dc;
  const widgets::OwnedBitmap bitmap(CreateCompatibleBitmap(screen.get(), size, size));
  {
    const widgets::ScopedSelect Select(dc.get(), bitmap.get());
    const RECT all{0, 0, size, size};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  }
  return BitmapPixels(bitmap.get(), size, size);
}

#ifdef REDOVIRI_PICTURES_DIR
// A tray icon as the generator draws it, its file among the pictures (d1
// ... d31, ictlov ...) loaded at size x size: the program draws its own,
// which must equal it.
inline widgets::OwnedIcon GeneratorIcon(const std::string& name, int size) {
  const std::string path = std::string(REDOVIRI_PICTURES_DIR) + "/" + name + ".ico";
  return widgets::OwnedIcon(
      static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE)));
}

// The generator's icon of a day of the month (1..31) or a kind (0..5).
inline std::string DayIconName(int day) { return "d" + std::to_string(day); }
inline std::string KindIconName(int kind) {
  static const char* const names[] = {"ictlov", "ictbir", "ictwor", "ictrel", "ictfee", "ictoth"};
  return names[kind];
}
#endif

}  // namespace redoviri::test
