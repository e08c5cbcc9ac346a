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

namespace redoviri::widgets {

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
};

class MessageWindow {
 public:
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;
  virtual ~MessageWindow();

  HWND Handle() const { return hwnd_; }
  // The object bound to a window of this layer, or null.
  static MessageWindow* FromHandle(HWND hwnd);

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

  HWND hwnd_ = nullptr;
  WNDPROC controlProc_ = nullptr;  // the system control's own procedure
};

}  // namespace redoviri::widgets
