#include "widgets/dpi.h"

#include "widgets/font.h"

namespace redoviri::widgets {

namespace {

// Functions of newer versions of user32, looked up once.
template <class F>
F User32Function(const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

}  // namespace

int DpiOf(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (window && getDpiForWindow) {
    if (const UINT dpi = getDpiForWindow(window); dpi > 0) return static_cast<int>(dpi);
  }
  return ScreenDpi();
}

int SystemMetricAt(int index, int dpi) {
  using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
  static const auto forDpi = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  if (forDpi) return forDpi(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, ScreenDpi());
}

void AdjustWindowRectAt(RECT& r, DWORD style, DWORD exStyle, int dpi) {
  using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto forDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
  if (!forDpi || !forDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi))) AdjustWindowRectEx(&r, style, FALSE, exStyle);
}

void BecomeDpiAware() {
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  using SetAwareFn = BOOL(WINAPI*)();
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and _PER_MONITOR_AWARE.
  const auto perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4));
  const auto perMonitor = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-3));
  if (const auto setContext = User32Function<SetContextFn>("SetProcessDpiAwarenessContext")) {
    if (setContext(perMonitorV2) || setContext(perMonitor)) return;
    // Already set (by the manifest): nothing to do.
    if (GetLastError() == ERROR_ACCESS_DENIED) return;
  }
  if (const auto setAware = User32Function<SetAwareFn>("SetProcessDPIAware")) setAware();
}

}  // namespace redoviri::widgets
