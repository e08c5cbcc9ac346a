// What a screen reader reads of a window: the name of its accessible
// object, asked as an assistive program asks (COM initialised on the
// calling thread first).
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <string>

namespace redoviri::test {

inline std::string AccessibleName(HWND window, LONG object = OBJID_CLIENT) {
  IAccessible* accessible = nullptr;
  // __uuidof: the import library's IID_IAccessible is a symbol of the
  // DLL, not the interface's id.
  const HRESULT found = AccessibleObjectFromWindow(window, static_cast<DWORD>(object), __uuidof(IAccessible),
                                                   reinterpret_cast<void**>(&accessible));
  if (FAILED(found)) return "(no accessible object: " + std::to_string(found) + ")";
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::string text;
  if (SUCCEEDED(accessible->get_accName(self, &name)) && name) {
    const int n = WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(std::max(n, 1) - 1));
    WideCharToMultiByte(CP_ACP, 0, name, -1, text.data(), n, nullptr, nullptr);
    SysFreeString(name);
  }
  accessible->Release();
  return text;
}

}  // namespace redoviri::test
