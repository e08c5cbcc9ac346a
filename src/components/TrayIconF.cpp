#include "components/TrayIconF.h"

#include "widgets/popup_menu.h"
#include "widgets/window.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <system_error>
#include <utility>

namespace redoviri {

namespace {

constexpr char kWindowClass[] = "TTrayIconFWindow";
constexpr UINT_PTR kAnimationTimer = 1;
constexpr UINT_PTR kRetryTimer = 2;
// How long a balloon asks to stay (the system keeps it between 10 and 30 s).
constexpr UINT kBalloonTimeoutMs = 10000;

void RegisterWindowClass(WNDPROC proc) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kWindowClass;
  // Fails harmlessly when an earlier component registered it.
  RegisterClassA(&wc);
}

}  // namespace

bool SystemShellNotify::Notify(DWORD message, const NOTIFYICONDATAA& data) {
  // The call does not change the record; the old prototype just lacks const.
  return Shell_NotifyIconA(message, const_cast<NOTIFYICONDATAA*>(&data)) != FALSE;
}

// Sits in the application's on-minimise slot. It outlives the component when
// nobody takes the slot back, and then only passes the call on.
struct TTrayIconF::MinimizeLink {
  TTrayIconF* owner = nullptr;
  std::function<void()> previous;
};

TTrayIconF::TTrayIconF(TrayApplication app, ShellNotify* shell, TrayRetry retry)
    : app_(std::move(app)), shell_(shell ? *shell : systemShell_), retry_(retry) {
  wmToolTrayIcon_ = RegisterWindowMessageA("WM_TOOLTRAYICON");
  wmResetToolTip_ = RegisterWindowMessageA("WM_RESETTOOLTIP");
  wmTaskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");

  // A hidden top-level window rather than a message-only one: only top-level
  // windows receive the "TaskbarCreated" broadcast.
  RegisterWindowClass(&TTrayIconF::WindowProc);
  window_.reset(CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, "", WS_POPUP, 0, 0, 0, 0,
                                nullptr, nullptr, GetModuleHandleA(nullptr), this));
  if (!window_) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                            "tray icon: cannot create its window");
  }

  dpi_ = widgets::DpiOf(window_.get());

  record_.cbSize = kTrayRecordSize;
  record_.hWnd = window_.get();
  record_.uID = 0;
  record_.uCallbackMessage = wmToolTrayIcon_;

  OnDblClick = [](TTrayIconF& sender) { sender.RestoreFromTray(); };

  if (app_.onMinimize) {
    minimizeLink_ = std::make_shared<MinimizeLink>();
    minimizeLink_->owner = this;
    minimizeLink_->previous = std::move(*app_.onMinimize);
    *app_.onMinimize = [link = minimizeLink_] {
      if (link->previous) link->previous();
      if (link->owner) link->owner->ApplicationMinimized();
    };
  }
}

TTrayIconF::~TTrayIconF() {
  if (active_) shell_.Notify(NIM_DELETE, ShellRecord());
  if (minimizeLink_) minimizeLink_->owner = nullptr;
  if (window_) {
    // No message may reach the half-destroyed object.
    SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
    window_.reset();
  }
}

// --- properties ------------------------------------------------------------

void TTrayIconF::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  if (updates_ > 0) {
    // The shell hears of it when the update ends.
    changedInUpdate_ = true;
    if (!value) StopRetry();
  } else if (value) {
    if (!AddIcon()) StartRetry();
  } else {
    StopRetry();
    shell_.Notify(NIM_DELETE, ShellRecord());
  }
}

void TTrayIconF::SetAnimate(bool value) {
  if (value == animate_) return;
  if (value && (!images_ || ImageList_GetImageCount(images_) <= 0 || !active_)) return;
  animate_ = value;
  if (value) {
    iconBeforeAnimation_ = CopyOf(icon_.get());
    loadedBeforeAnimation_ = loadedIcon_;
    frame_ = 0;
  }
  SetAnimationTimer(value);
  if (!value) {
    SetIcon(iconBeforeAnimation_.get());
    loadedIcon_ = loadedBeforeAnimation_;
  }
}

void TTrayIconF::SetAnimateInterval(int ms) {
  if (ms <= 0) return;
  animateInterval_ = ms;
  if (animate_) SetTimer(window_.get(), kAnimationTimer, static_cast<UINT>(ms), nullptr);
}

void TTrayIconF::SetIcon(HICON icon) {
  if (icon && icon == icon_.get()) return;
  ReplaceIcon(CopyOf(icon));
}

void TTrayIconF::SetImages(HIMAGELIST images) {
  if (!images) SetAnimate(false);
  images_ = images;
}

void TTrayIconF::SetToolTip(std::string_view text) {
  toolTip_.assign(text.substr(0, kTrayMaxToolTip));
  ModifyIcon(NIF_ICON | NIF_TIP);
}

// --- shell calls -----------------------------------------------------------

TTrayIconF::IconHandle TTrayIconF::CopyOf(HICON icon) {
  return IconHandle(icon ? CopyIcon(icon) : nullptr);
}

void TTrayIconF::ReplaceIcon(IconHandle icon) {
  icon_ = std::move(icon);
  loadedIcon_ = false;
  ModifyIcon(NIF_ICON);
}

void TTrayIconF::FillRecord(UINT flags) {
  record_.uFlags = flags;
  record_.hIcon = icon_.get();
  std::memset(record_.szTip, 0, kTrayTipBufferSize);
  std::memcpy(record_.szTip, toolTip_.data(), std::min(toolTip_.size(), kTrayTipBufferSize - 1));
}

widgets::OwnedIcon TTrayIconF::LoadSmallIcon(HINSTANCE module, const char* name, int dpi) {
  const int cx = widgets::SystemMetricAt(SM_CXSMICON, dpi);
  const int cy = widgets::SystemMetricAt(SM_CYSMICON, dpi);
  // The common controls of Windows Vista and later scale a larger image
  // down rather than a smaller one up.
  using ScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
  static const auto scaleDown = reinterpret_cast<ScaleDownFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("comctl32.dll"), "LoadIconWithScaleDown")));
  if (scaleDown) {
    std::wstring wide;
    if (!IS_INTRESOURCE(name)) {
      wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0)));
      MultiByteToWideChar(CP_ACP, 0, name, -1, wide.data(), static_cast<int>(wide.size()));
    }
    HICON icon = nullptr;
    const PCWSTR wideName = IS_INTRESOURCE(name) ? reinterpret_cast<PCWSTR>(name) : wide.c_str();
    if (SUCCEEDED(scaleDown(module, wideName, cx, cy, &icon)) && icon) return widgets::OwnedIcon(icon);
  }
  // The system's icons are shared: the component keeps a copy of its own.
  const UINT shared = module ? 0 : LR_SHARED;
  HICON icon = static_cast<HICON>(LoadImageA(module, name, IMAGE_ICON, cx, cy, shared));
  if (icon && shared) icon = CopyIcon(icon);
  return widgets::OwnedIcon(icon);
}

void TTrayIconF::LoadDefaultIcon() {
  if (app_.iconResource) {
    icon_ = LoadSmallIcon(GetModuleHandleA(nullptr), app_.iconResource, dpi_);
    loadedIcon_ = static_cast<bool>(icon_);
    if (icon_) return;
  }
  if (HICON appIcon = app_.icon ? app_.icon() : nullptr) {
    icon_ = CopyOf(appIcon);
    loadedIcon_ = false;
    return;
  }
  icon_ = LoadSmallIcon(nullptr, IDI_APPLICATION, dpi_);
  loadedIcon_ = static_cast<bool>(icon_);
}

void TTrayIconF::SetDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  if (!loadedIcon_ || animate_) return;
  icon_.reset();
  LoadDefaultIcon();
  ModifyIcon(NIF_ICON);
}

NOTIFYICONDATAA TTrayIconF::ShellRecord() const {
  NOTIFYICONDATAA record = record_;
  if (byGuid_) {
    record.cbSize = sizeof record;
    record.uFlags |= NIF_GUID;
    record.guidItem = kTrayIconGuid;
  }
  return record;
}

bool TTrayIconF::AddToShell() {
  // By the GUID where the shell takes it; a shell that refuses it (an
  // older Windows, or the GUID registered for the program at another
  // path) keeps the icon by window and number.
  byGuid_ = true;
  if (shell_.Notify(NIM_ADD, ShellRecord())) return true;
  byGuid_ = false;
  return shell_.Notify(NIM_ADD, record_);
}

bool TTrayIconF::AddIcon() {
  if (!icon_) LoadDefaultIcon();
  FillRecord(NIF_MESSAGE | NIF_ICON | NIF_TIP);
  const bool added = AddToShell();
  if (added) SetShellVersion();
  // An icon added without a tooltip gets its tooltip written once more,
  // through the message loop, after the add.
  if (toolTip_.empty()) PostMessageA(window_.get(), wmResetToolTip_, 0, 0);
  return added;
}

// The shell refuses an add for an icon it still holds (an add that timed out
// at logon may have gone through after all), so the old one goes first.
bool TTrayIconF::ReAddIcon() {
  FillRecord(NIF_MESSAGE | NIF_ICON | NIF_TIP);
  shell_.Notify(NIM_DELETE, ShellRecord());
  const bool added = AddToShell();
  if (added) SetShellVersion();
  return added;
}

// The keyboard's messages (NIN_KEYSELECT, NIN_SELECT, WM_CONTEXTMENU) come
// from a shell told this version; the mouse's stay as they were.
void TTrayIconF::SetShellVersion() {
  // The first record that holds a version; the icon's own stays the first
  // version's.
  NOTIFYICONDATAA version = ShellRecord();
  if (!byGuid_) version.cbSize = NOTIFYICONDATAA_V2_SIZE;
  version.uVersion = NOTIFYICON_VERSION;
  shell_.Notify(NIM_SETVERSION, version);
}

bool TTrayIconF::ShowBalloon(std::string_view title, std::string_view text) {
  if (!active_) return false;
  // The balloon's fields follow the first layout's; the icon's own record
  // stays that layout.
  NOTIFYICONDATAA balloon = ShellRecord();
  if (!byGuid_) balloon.cbSize = NOTIFYICONDATAA_V2_SIZE;
  balloon.uFlags = NIF_INFO | (byGuid_ ? NIF_GUID : 0);
  std::memset(balloon.szInfo, 0, sizeof balloon.szInfo);
  std::memcpy(balloon.szInfo, text.data(), std::min(text.size(), sizeof balloon.szInfo - 1));
  std::memset(balloon.szInfoTitle, 0, sizeof balloon.szInfoTitle);
  std::memcpy(balloon.szInfoTitle, title.data(), std::min(title.size(), sizeof balloon.szInfoTitle - 1));
  balloon.dwInfoFlags = NIIF_INFO;
  balloon.uTimeout = kBalloonTimeoutMs;
  return shell_.Notify(NIM_MODIFY, balloon);
}

void TTrayIconF::ModifyIcon(UINT flags) {
  FillRecord(flags);
  if (updates_ > 0) {
    changedInUpdate_ = true;
  } else if (active_) {
    shell_.Notify(NIM_MODIFY, ShellRecord());
  }
}

TTrayIconF::Update::Update(TTrayIconF& tray) : tray_(tray) {
  if (tray_.updates_++ == 0) {
    tray_.activeBeforeUpdate_ = tray_.active_;
    tray_.changedInUpdate_ = false;
  }
}

TTrayIconF::Update::~Update() {
  if (--tray_.updates_ == 0) tray_.EndUpdate();
}

void TTrayIconF::EndUpdate() {
  if (active_ && !activeBeforeUpdate_) {
    if (!AddIcon()) StartRetry();
  } else if (!active_ && activeBeforeUpdate_) {
    shell_.Notify(NIM_DELETE, ShellRecord());
  } else if (active_ && changedInUpdate_) {
    // The shell may not hold the icon (a retry stopped within the update,
    // or the shell lost it): then it is added again.
    FillRecord(NIF_ICON | NIF_TIP);
    if (!shell_.Notify(NIM_MODIFY, ShellRecord()) && !ReAddIcon()) StartRetry();
  }
}

void TTrayIconF::StartRetry() {
  retriesLeft_ = retry_.attempts;
  if (retriesLeft_ > 0) SetTimer(window_.get(), kRetryTimer, retry_.intervalMs, nullptr);
}

void TTrayIconF::StopRetry() {
  KillTimer(window_.get(), kRetryTimer);
  retriesLeft_ = 0;
}

void TTrayIconF::SetAnimationTimer(bool on) {
  if (on) {
    SetTimer(window_.get(), kAnimationTimer, static_cast<UINT>(animateInterval_), nullptr);
  } else {
    KillTimer(window_.get(), kAnimationTimer);
  }
}

// --- messages --------------------------------------------------------------

LRESULT CALLBACK TTrayIconF::WindowProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TTrayIconF*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self && self->window_.get() == window) {
    return widgets::Guarded([&] { return self->OnMessage(message, wParam, lParam); },
                            [&] { return DefWindowProcA(window, message, wParam, lParam); });
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT TTrayIconF::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_DPICHANGED:
      SetDpi(LOWORD(wParam));
      return 0;
    default:
      // Registered message numbers change from run to run.
      if (message == wmToolTrayIcon_) {
        OnTrayMouse(LOWORD(lParam));
        return 0;
      }
      if (message == wmResetToolTip_) {
        SetToolTip(std::string(toolTip_));
        return 0;
      }
      if (message == wmTaskbarCreated_) {
        // Explorer (re)started: it knows no icon of ours any more.
        if (active_) {
          if (ReAddIcon()) {
            StopRetry();
          } else {
            StartRetry();
          }
        }
        return 0;
      }
      return DefWindowProcA(window_.get(), message, wParam, lParam);
  }
}

void TTrayIconF::OnTrayMouse(UINT mouseMessage) {
  // After a mouse button's release the shell tells the same click once
  // more as a selection (NIN_SELECT) or a menu request (WM_CONTEXTMENU):
  // only the keyboard's come alone.
  const DWORD now = GetTickCount();
  const bool justReleased = lastButtonUp_ && now - *lastButtonUp_ <= GetDoubleClickTime();
  switch (mouseMessage) {
    case NIN_KEYSELECT:
    case NIN_SELECT:
      if (mouseMessage == NIN_SELECT && justReleased) break;
      if (OnClick) OnClick(*this);
      break;
    case WM_CONTEXTMENU:
      if (!justReleased) RightClicked();
      break;
    case WM_LBUTTONUP:
      lastButtonUp_ = now;
      if (OnClick) OnClick(*this);
      break;
    case WM_LBUTTONDBLCLK:
      if (OnDblClick) OnDblClick(*this);
      break;
    case WM_RBUTTONUP:
      lastButtonUp_ = now;
      RightClicked();
      break;
    default:
      break;
  }
}

void TTrayIconF::RightClicked() {
  POINT at{};
  GetCursorPos(&at);
  if (PopupMenu.menu) ShowPopupMenu(at);
  if (OnRightClick) OnRightClick(*this, TrayMouseButton::Right, kTrayShiftNone, at.x, at.y);
}

void TTrayIconF::OnTimer(UINT_PTR id) {
  if (id == kAnimationTimer) {
    const int count = images_ ? ImageList_GetImageCount(images_) : 0;
    if (count <= 0) return;
    frame_ = frame_ + 1 >= count ? 0 : frame_ + 1;
    ReplaceIcon(IconHandle(ImageList_GetIcon(images_, frame_, ILD_NORMAL)));
  } else if (id == kRetryTimer) {
    if (!active_ || ReAddIcon() || --retriesLeft_ <= 0) StopRetry();
  }
}

void TTrayIconF::ShowPopupMenu(POINT at) {
  widgets::TrackMenuAt(PopupMenu.menu, PopupMenu.owner ? PopupMenu.owner : window_.get(), at, PopupMenu.alignment);
}

// --- minimise to tray and back ---------------------------------------------

void TTrayIconF::ApplicationMinimized() {
  if (!minimizeApp_ || active_) return;
  HWND main = app_.mainWindow ? app_.mainWindow() : nullptr;
  if (main) {
    ShowWindow(main, SW_HIDE);
  } else if (app_.keepMainWindowHidden) {
    app_.keepMainWindowHidden();
  }
  if (HWND taskbar = app_.taskbarWindow ? app_.taskbarWindow() : nullptr) ShowWindow(taskbar, SW_HIDE);
  SetActive(true);
}

void TTrayIconF::RestoreFromTray() {
  if (!active_) return;
  HWND taskbar = app_.taskbarWindow ? app_.taskbarWindow() : nullptr;
  HWND main = app_.mainWindow ? app_.mainWindow() : nullptr;
  if (taskbar) ShowWindow(taskbar, SW_RESTORE);
  if (main) ShowWindow(main, SW_SHOW);
  if (HWND front = taskbar ? taskbar : main) SetForegroundWindow(front);
  SetActive(false);
}

}  // namespace redoviri
