// The global hotkey on Windows: a global atom as identifier and
// RegisterHotKey on the main window, which then receives WM_HOTKEY.
#pragma once

#include <windows.h>

#include "platform/hotkey_registrar.h"

namespace zelvo {

class Win32HotkeyRegistrar : public HotkeyRegistrar {
 public:
  explicit Win32HotkeyRegistrar(HWND window) : window_(window) {}
  ~Win32HotkeyRegistrar() override { Remove(); }
  Win32HotkeyRegistrar(const Win32HotkeyRegistrar&) = delete;
  Win32HotkeyRegistrar& operator=(const Win32HotkeyRegistrar&) = delete;

  bool Install(unsigned virtualKey, unsigned modifiers) override;
  void Remove() override;

 private:
  HWND window_;
  ATOM id_ = 0;
};

}  // namespace zelvo
