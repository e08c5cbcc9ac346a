// TTrayIconF: one icon with a tooltip in the notification area (the tray).
//
// The component owns a hidden top-level window that receives the shell's
// notifications: left click, double click and right click on the icon (with
// an optional popup menu at the cursor), the "TaskbarCreated" broadcast after
// Explorer restarts (the icon is added again), its own retry timer when the
// shell was not ready for the first add (at logon), and the animation timer
// that cycles the icon through the images of an image list. It can also send
// the application to the tray when it is minimised.
//
// Everything runs on the thread that created the component; that thread must
// pump messages.
//
// An icon the component loads itself is loaded at the small-icon size of the
// DPI of its window, and again when that DPI changes.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "widgets/dpi.h"
#include "widgets/gdi.h"
#include "widgets/popup_menu.h"

namespace redoviri {

// The shell's notification-area call. The tray icon talks to the shell only
// through this, so tests can record the calls instead.
class ShellNotify {
 public:
  virtual ~ShellNotify() = default;
  // message is NIM_ADD, NIM_MODIFY or NIM_DELETE; true when the shell accepted it.
  virtual bool Notify(DWORD message, const NOTIFYICONDATAA& data) = 0;
};

// The real shell: Shell_NotifyIconA.
class SystemShellNotify final : public ShellNotify {
 public:
  bool Notify(DWORD message, const NOTIFYICONDATAA& data) override;
};

// The record announces the first, ANSI layout of the notification data:
// 88 bytes in the 32-bit program (the same fields take 104 bytes in a 64-bit
// build). Only the first 64 bytes of the tooltip buffer belong to it.
inline constexpr DWORD kTrayRecordSize = NOTIFYICONDATAA_V1_SIZE;
// The program's icon, the same on every run (NIF_GUID).
inline constexpr GUID kTrayIconGuid = {0x8c0e5f2a, 0x4b1d, 0x4e8a, {0x9c, 0x3f, 0x2d, 0x7a, 0x1b, 0x6e, 0x5c, 0x40}};
inline constexpr std::size_t kTrayTipBufferSize = 64;
// A tooltip keeps at most this many characters.
inline constexpr std::size_t kTrayMaxToolTip = 62;

enum class TrayMouseButton { Left, Right, Middle };
// Keys held with a click; the tray reports none of them.
enum TrayShiftState : unsigned { kTrayShiftNone = 0 };

// What the tray icon uses of the application object. Every member may stay
// empty; the application fills in what it has.
struct TrayApplication {
  // The application's icon: shown when the icon is added while Icon is empty.
  std::function<HICON()> icon;
  // Instead of `icon`: an icon resource of the executable (a name or
  // MAKEINTRESOURCE id) that the tray loads itself, at its size for the DPI.
  const char* iconResource = nullptr;
  // The main window, hidden on minimise to the tray and shown on restore;
  // may return null while it does not exist yet.
  std::function<HWND()> mainWindow;
  // The window that carries the application's taskbar button (may be null).
  std::function<HWND()> taskbarWindow;
  // Tells the application not to show its main window when it is created:
  // used when minimising to the tray before the main window exists.
  std::function<void()> keepMainWindowHidden;
  // The application's on-minimise handler. The tray icon installs its own
  // handler in this slot and calls the one it replaced first.
  std::function<void()>* onMinimize = nullptr;
};

// The popup menu shown on a right click: the menu and the window that gets
// its commands (and its owner-draw messages).
struct TrayPopupMenu {
  HMENU menu = nullptr;
  HWND owner = nullptr;
  widgets::MenuAlignment alignment = widgets::MenuAlignment::Left;
};

// Re-adding the icon when the shell did not take the first add (Explorer not
// running yet at logon): a bounded number of tries, some seconds apart.
// "TaskbarCreated" adds it in any case once the taskbar is there.
struct TrayRetry {
  UINT intervalMs = 3000;
  int attempts = 20;
};

class TTrayIconF {
 public:
  using NotifyEvent = std::function<void(TTrayIconF& sender)>;
  using MouseEvent = std::function<void(TTrayIconF& sender, TrayMouseButton button,
                                        TrayShiftState shift, int x, int y)>;

  // shell: null for the real shell, else a seam that outlives the component.
  // Throws std::system_error when the hidden window cannot be created.
  explicit TTrayIconF(TrayApplication app = {}, ShellNotify* shell = nullptr,
                      TrayRetry retry = {});
  ~TTrayIconF();
  TTrayIconF(const TTrayIconF&) = delete;
  TTrayIconF& operator=(const TTrayIconF&) = delete;

  // The icon is in the notification area. Writing true adds it, false
  // deletes it; writing the current value does nothing.
  bool Active() const { return active_; }
  void SetActive(bool value);

  // The icon cycles through Images, one frame every AnimateInterval ms.
  // Turning it on is refused without images or while the icon is not active;
  // turning it off puts back the icon shown before the animation.
  bool Animate() const { return animate_; }
  void SetAnimate(bool value);

  // Milliseconds between animation frames [100]; values <= 0 are ignored.
  int AnimateInterval() const { return animateInterval_; }
  void SetAnimateInterval(int ms);

  // Shows the icon while a form designer edits the form; a running program
  // has no designer, so it changes nothing here.
  bool ShowDesigning() const { return showDesigning_; }
  void SetShowDesigning(bool value) { showDesigning_ = value; }

  // The icon shown. The component keeps its own copy of the icon written;
  // the caller keeps ownership of the handle it passes.
  HICON Icon() const { return icon_.get(); }
  void SetIcon(HICON icon);

  // Frames for Animate (not owned). Writing null, as when the image list
  // goes away, also turns Animate off.
  HIMAGELIST Images() const { return images_; }
  void SetImages(HIMAGELIST images);

  // Minimising the application sends it to the tray [false].
  bool MinimizeApp() const { return minimizeApp_; }
  void SetMinimizeApp(bool value) { minimizeApp_ = value; }

  // Tooltip text: the first kTrayMaxToolTip characters of what was written.
  const std::string& ToolTip() const { return toolTip_; }
  void SetToolTip(std::string_view text);

  TrayPopupMenu PopupMenu;
  int Tag = 0;

  // Left button released on the icon.
  NotifyEvent OnClick;
  // Left button double click; starts as RestoreFromTray.
  NotifyEvent OnDblClick;
  // Right button released on the icon, after the popup menu has closed.
  MouseEvent OnRightClick;

  // A balloon notice from the icon: the information icon with the title
  // and the text, each cut to what the record holds, shown for as long as
  // the system shows such notices (and kept in its notification history).
  // False when the icon is not in the notification area or the shell
  // refused the balloon.
  bool ShowBalloon(std::string_view title, std::string_view text);

  // The default double click: when the icon is active, bring the
  // application back from the tray and take the icon away.
  void RestoreFromTray();

  // The hidden window that receives the shell's notifications.
  HWND Handle() const { return window_.get(); }

  // The DPI the icon is sized for: its window's.
  int Dpi() const { return dpi_; }
  // A new DPI (WM_DPICHANGED): an icon the tray loaded itself is loaded
  // again at the new size and shown.
  void SetDpi(int dpi);

  // An icon of a module (null: the system's icons) at the small-icon size
  // for dpi; null when there is none.
  static widgets::OwnedIcon LoadSmallIcon(HINSTANCE module, const char* name, int dpi);

  // Changes made while an Update lives reach the shell as one call when the
  // last one ends: an icon switched off and on again within it stays where
  // it is in the notification area and is modified once (added again if the
  // shell no longer holds it); one switched on is added, one switched off
  // deleted.
  class Update {
   public:
    explicit Update(TTrayIconF& tray);
    ~Update();
    Update(const Update&) = delete;
    Update& operator=(const Update&) = delete;

   private:
    TTrayIconF& tray_;
  };

 private:
  using IconHandle = widgets::OwnedIcon;
  struct WindowDeleter {
    void operator()(HWND window) const { DestroyWindow(window); }
  };
  using WindowHandle = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;
  struct MinimizeLink;

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnTrayMouse(UINT mouseMessage);
  // A right click, or the menu key or Shift+F10 on the icon: the menu,
  // then the event.
  void RightClicked();
  // When a mouse button was last released over the icon.
  std::optional<DWORD> lastButtonUp_;
  void OnTimer(UINT_PTR id);

  static IconHandle CopyOf(HICON icon);
  void ReplaceIcon(IconHandle icon);
  void FillRecord(UINT flags);
  bool AddIcon();
  bool ReAddIcon();
  void SetShellVersion();
  void ModifyIcon(UINT flags);
  void StartRetry();
  void StopRetry();
  void SetAnimationTimer(bool on);
  void ShowPopupMenu(POINT at);
  void ApplicationMinimized();
  // The icon shown when none was written: the application's.
  void LoadDefaultIcon();

  void EndUpdate();

  TrayApplication app_;
  SystemShellNotify systemShell_;
  ShellNotify& shell_;
  TrayRetry retry_;

  UINT wmToolTrayIcon_ = 0;
  UINT wmResetToolTip_ = 0;
  UINT wmTaskbarCreated_ = 0;

  bool active_ = false;
  bool animate_ = false;
  int animateInterval_ = 100;
  bool showDesigning_ = false;
  bool minimizeApp_ = false;
  int frame_ = 0;
  int retriesLeft_ = 0;
  int updates_ = 0;             // Updates open
  bool activeBeforeUpdate_ = false;
  bool changedInUpdate_ = false;  // icon or tooltip written
  HIMAGELIST images_ = nullptr;
  IconHandle icon_;
  IconHandle iconBeforeAnimation_;
  bool loadedIcon_ = false;  // icon_ is the default icon, loaded at dpi_
  bool loadedBeforeAnimation_ = false;
  int dpi_ = widgets::kLayoutDpi;
  std::string toolTip_;
  NOTIFYICONDATAA record_{};
  // The icon is known to the shell by the program's GUID (Windows 7 and
  // later), so that the user's choice to show it on the taskbar lasts;
  // else by window and number.
  bool byGuid_ = false;
  // The record as the shell is told it: record_, or the whole record with
  // the GUID.
  NOTIFYICONDATAA ShellRecord() const;
  bool AddToShell();
  std::shared_ptr<MinimizeLink> minimizeLink_;
  WindowHandle window_;  // last member: destroyed first
};

}  // namespace redoviri
