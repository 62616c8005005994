// WindowSystem over user32, with the integrity check over advapi32.
#pragma once

#include "platform/window_system.h"

namespace zelvo {

class Win32WindowSystem : public WindowSystem {
 public:
  std::vector<WindowHandle> TopLevelWindows() override;
  std::string Title(WindowHandle window) override;
  bool IsVisible(WindowHandle window) override;
  bool IsWindow(WindowHandle window) override;
  bool IsOwnWindow(WindowHandle window) override;
  std::string ClassName(WindowHandle window) override;
  WindowHandle Foreground() override;
  void SetForeground(WindowHandle window) override;
  WindowHandle NextBelow(WindowHandle window) override;
  WindowHandle RootOwner(WindowHandle window) override;
  bool HasHigherIntegrity(WindowHandle window) override;
  void PostCommand(WindowHandle window, unsigned commandId) override;
  void ProcessPendingMessages() override;
};

}  // namespace zelvo
