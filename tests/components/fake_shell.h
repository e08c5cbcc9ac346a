// A shell seam that records every notification-area call, optionally passing
// it on to another seam (the real shell) and recording its answer.
#pragma once

#include <array>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "components/TrayIconF.h"
#include "components/tray_test_support.h"

namespace redoviri::test {

struct ShellCall {
  DWORD message = 0;
  DWORD size = 0;
  HWND window = nullptr;
  UINT id = 0;
  UINT flags = 0;
  UINT callback = 0;
  HICON icon = nullptr;
  // What the icon showed at the time of the call (the component destroys
  // icons it no longer shows).
  COLORREF iconColour = CLR_INVALID;
  std::array<char, kTrayTipBufferSize> tipBytes{};
  bool result = false;

  std::string Tip() const { return std::string(tipBytes.data(), strnlen(tipBytes.data(), tipBytes.size())); }
};

// A balloon notice asked of the shell.
struct ShellBalloon {
  UINT id = 0;
  DWORD size = 0;
  std::string title, text;
  DWORD infoFlags = 0;
  friend bool operator==(const ShellBalloon&, const ShellBalloon&) = default;
};

class FakeShell : public ShellNotify {
 public:
  explicit FakeShell(ShellNotify* forward = nullptr) : forward_(forward) {}

  bool Notify(DWORD message, const NOTIFYICONDATAA& data) override {
    // A shell without icons known by GUID (as most tests want it) refuses
    // such an add, and keeps no record of it.
    if (message == NIM_ADD && (data.uFlags & NIF_GUID) != 0 && !takesGuid) return false;
    if ((data.uFlags & NIF_GUID) != 0) guids.push_back(data.guidItem);
    // The version the icon asks for is kept apart from the icon's calls.
    if (message == NIM_SETVERSION) {
      versions.push_back({data.uID, data.cbSize >= NOTIFYICONDATAA_V2_SIZE ? data.uVersion : 0u});
      return forward_ ? forward_->Notify(message, data) : true;
    }
    // So are the balloons.
    if (message == NIM_MODIFY && (data.uFlags & NIF_INFO) != 0) {
      balloons.push_back({data.uID, data.cbSize, std::string(data.szInfoTitle, strnlen(data.szInfoTitle, sizeof data.szInfoTitle)),
                          std::string(data.szInfo, strnlen(data.szInfo, sizeof data.szInfo)), data.dwInfoFlags});
      return forward_ ? forward_->Notify(message, data) : true;
    }
    ShellCall call;
    call.message = message;
    call.size = data.cbSize;
    call.window = data.hWnd;
    call.id = data.uID;
    call.flags = data.uFlags;
    call.callback = data.uCallbackMessage;
    call.icon = data.hIcon;
    if (data.hIcon) call.iconColour = CentreColour(data.hIcon);
    std::memcpy(call.tipBytes.data(), data.szTip, call.tipBytes.size());
    if (forward_) {
      call.result = forward_->Notify(message, data);
    } else if (message == NIM_ADD && failAdds > 0) {
      --failAdds;
      call.result = false;
    } else if (message == NIM_MODIFY && failModifies > 0) {
      --failModifies;
      call.result = false;
    } else {
      call.result = true;
    }
    calls.push_back(call);
    return call.result;
  }

  int Count(DWORD message) const {
    int n = 0;
    for (const auto& c : calls) n += c.message == message;
    return n;
  }
  const ShellCall& Last() const { return calls.back(); }

  std::vector<ShellCall> calls;
  // NIM_SETVERSION: the icon's id and the version (0: a record too short
  // to hold one).
  std::vector<std::pair<UINT, UINT>> versions;
  // NIM_MODIFY with NIF_INFO.
  std::vector<ShellBalloon> balloons;
  // The next this many adds fail, as while the taskbar does not exist yet.
  int failAdds = 0;
  // The next this many modifies fail, as for an icon the shell lost.
  int failModifies = 0;
  // Whether it knows icons by GUID (Windows 7 and later), and the GUIDs of
  // every call that carried one.
  bool takesGuid = false;
  std::vector<GUID> guids;

 private:
  ShellNotify* forward_;
};

}  // namespace redoviri::test
