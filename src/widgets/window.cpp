#include "widgets/window.h"

#include <exception>
#include <utility>

namespace redoviri::widgets {

namespace {

HINSTANCE ThisModule() { return GetModuleHandleA(nullptr); }

void EnsureRegistered(const WindowClass& cls, WNDPROC proc) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(ThisModule(), cls.name, &existing)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = cls.style;
  wc.lpfnWndProc = proc;
  wc.hInstance = ThisModule();
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = cls.name;
  RegisterClassExA(&wc);
}

FailureReporter& Reporter() {
  static FailureReporter reporter;
  return reporter;
}

void Report(const std::string& message) {
  static bool reporting = false;
  if (reporting) return;
  reporting = true;
  try {
    if (Reporter()) {
      Reporter()(message);
    } else {
      MessageBoxA(GetActiveWindow(), message.c_str(), nullptr, MB_OK | MB_ICONERROR | MB_TOPMOST);
    }
  } catch (...) {
    // A reporter that fails itself has nothing left to tell.
  }
  reporting = false;
}

}  // namespace

void SetFailureReporter(FailureReporter reporter) { Reporter() = std::move(reporter); }

LRESULT Guarded(const std::function<LRESULT()>& handle, const std::function<LRESULT()>& fallback) {
  try {
    return handle();
  } catch (const std::exception& e) {
    Report(e.what());
  } catch (...) {
    Report("Unknown exception");
  }
  return fallback();
}

MessageWindow::~MessageWindow() {
  if (!hwnd_) return;
  // Unbind first: the destruction messages must not reach an object whose
  // derived parts are already gone.
  const HWND hwnd = hwnd_;
  Unbind();
  DestroyWindow(hwnd);
}

MessageWindow* MessageWindow::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  const WNDPROC proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
  if (proc != &WindowProc && proc != &ControlProc) return nullptr;
  return reinterpret_cast<MessageWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

bool MessageWindow::Create(const WindowClass& cls, const WindowSpec& spec) {
  EnsureRegistered(cls, &WindowProc);
  const DWORD exStyle = spec.exStyle | (spec.mouseThrough ? WS_EX_LAYERED | WS_EX_TRANSPARENT : 0);
  CreateWindowExA(exStyle, cls.name, spec.text, spec.style, spec.left, spec.top, spec.width,
                  spec.height, spec.parent, nullptr, ThisModule(), this);
  // A layered window shows nothing until it has its opacity.
  if (hwnd_ && spec.mouseThrough) SetLayeredWindowAttributes(hwnd_, 0, 255, LWA_ALPHA);
  return hwnd_ != nullptr;
}

bool MessageWindow::CreateControl(const char* systemClass, const WindowSpec& spec) {
  const HWND hwnd = CreateWindowExA(spec.exStyle, systemClass, spec.text, spec.style, spec.left,
                                    spec.top, spec.width, spec.height, spec.parent, nullptr,
                                    ThisModule(), nullptr);
  if (!hwnd) return false;
  Hold(hwnd);
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  controlProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlProc)));
  return true;
}

LRESULT MessageWindow::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (controlProc_) return CallWindowProcA(controlProc_, hwnd_, msg, wp, lp);
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

void MessageWindow::Detach() {
  if (!hwnd_) return;
  const HWND hwnd = hwnd_;
  Unbind();
  Hold(hwnd);
}

void MessageWindow::Unbind() {
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  if (controlProc_) {
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProc_));
    controlProc_ = nullptr;
  }
  Hold(nullptr);
}

void MessageWindow::Hold(HWND hwnd) {
  if (!hwnd_ && hwnd) ++Held().windows;
  if (hwnd_ && !hwnd) --Held().windows;
  hwnd_ = hwnd;
}

LRESULT MessageWindow::Dispatch(MessageWindow* self, UINT msg, WPARAM wp, LPARAM lp) {
  const auto handle = [&] { return self->OnMessage(msg, wp, lp); };
  const HWND hwnd = self->hwnd_;
  const WNDPROC control = self->controlProc_;
  const auto fallback = [&] {
    return control ? CallWindowProcA(control, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
  };
  if (msg != WM_NCDESTROY) return Guarded(handle, fallback);
  Guarded(handle, [] { return LRESULT{0}; });
  self->Unbind();
  return control ? CallWindowProcA(control, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK MessageWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  MessageWindow* self;
  if (msg == WM_NCCREATE) {
    self = static_cast<MessageWindow*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    self->Hold(hwnd);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  return Dispatch(self, msg, wp, lp);
}

LRESULT CALLBACK MessageWindow::ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  // Not reached once unbound: unbinding puts the control's own procedure back.
  return Dispatch(self, msg, wp, lp);
}

}  // namespace redoviri::widgets
