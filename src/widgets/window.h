// The one binding between window handles and C++ objects.
//
// Every window this layer creates belongs to an object derived from
// MessageWindow. Windows of our own classes are bound at WM_NCCREATE
// through lpCreateParams; system controls (EDIT, BUTTON) are bound right
// after creation by replacing their window procedure. Either way the
// messages reach the object's OnMessage, which passes what it does not
// handle to DefaultProc.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "widgets/gdi.h"

namespace redoviri::widgets {

// An exception that a handler lets out cannot unwind through the system's
// message dispatch (the 32-bit build's cannot at all). Every window
// procedure of the program stops it there: the reporter shows its message,
// the message gets the system's default treatment, and the program goes
// on. Without a reporter an error box shows the message. While one report
// is being shown, a failure from the messages its box lets through is not
// shown again (a failing paint would otherwise open boxes without end).
using FailureReporter = std::function<void(const std::string& message)>;
void SetFailureReporter(FailureReporter reporter);

// Runs `handle`; when it throws, reports the exception and returns
// `fallback()` instead.
LRESULT Guarded(const std::function<LRESULT()>& handle, const std::function<LRESULT()>& fallback);

struct WindowClass {
  const char* name;
  UINT style;
};

// The class of forms, panels and grids.
inline constexpr WindowClass kWidgetClass{"RedoviriWidget", CS_DBLCLKS};

struct WindowSpec {
  DWORD style = 0;
  DWORD exStyle = 0;
  int left = 0, top = 0, width = 0, height = 0;
  HWND parent = nullptr;
  const char* text = "";
  // The mouse goes through the window to whatever lies under it, as it
  // should through a hint: the window is layered and transparent, drawn
  // opaque. (Under Wine a disabled window, or one that answers
  // HTTRANSPARENT, swallows the clicks that X gives its X window.)
  bool mouseThrough = false;
};

class MessageWindow {
 public:
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;
  virtual ~MessageWindow();

  HWND Handle() const { return hwnd_; }
  // The object bound to a window of this layer, or null.
  static MessageWindow* FromHandle(HWND hwnd);
  // From now on no message reaches the object: the window gets the
  // system's default treatment until the object goes and destroys it.
  void Detach();

 protected:
  MessageWindow() = default;

  // Creates a window of one of this layer's classes, bound to this object.
  // Returns false when the system refuses the window.
  bool Create(const WindowClass& cls, const WindowSpec& spec);
  // Creates a system control and routes its messages through OnMessage.
  bool CreateControl(const char* systemClass, const WindowSpec& spec);

  virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
  // What the window would do without us: DefWindowProc, or the system
  // control's own procedure.
  LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT Dispatch(MessageWindow* self, UINT msg, WPARAM wp, LPARAM lp);
  void Unbind();
  // hwnd_ written, and the count of windows held kept with it.
  void Hold(HWND hwnd);

  HWND hwnd_ = nullptr;
  WNDPROC controlProc_ = nullptr;  // the system control's own procedure
};

}  // namespace redoviri::widgets
