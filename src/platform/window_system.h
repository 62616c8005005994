// Top-level windows: enumeration, titles, z-order and the foreground.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zelvo {

// The platform's window handle; 0 means no window.
using WindowHandle = std::uintptr_t;

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // Every top-level window, visible or not, in the platform's enumeration order.
  virtual std::vector<WindowHandle> TopLevelWindows() = 0;
  // The window's title, at most 127 characters; empty when it has none.
  virtual std::string Title(WindowHandle window) = 0;
  virtual bool IsVisible(WindowHandle window) = 0;
  virtual bool IsWindow(WindowHandle window) = 0;
  // True for every window of this program, hidden or not: it is never a
  // target, or its letters would act as shortcuts in our own dialogs.
  virtual bool IsOwnWindow(WindowHandle window) = 0;
  // The window class's name, e.g. "Notepad".
  virtual std::string ClassName(WindowHandle window) = 0;

  // The window that receives keyboard input, or 0.
  virtual WindowHandle Foreground() = 0;
  // Asks for `window` to become the foreground window (restoring it when it
  // is minimised). The platform may refuse; check Foreground() afterwards.
  virtual void SetForeground(WindowHandle window) = 0;
  // The next window below in z-order, or 0 at the bottom.
  virtual WindowHandle NextBelow(WindowHandle window) = 0;
  // The top of the owner chain (the window itself when it has no owner).
  virtual WindowHandle RootOwner(WindowHandle window) = 0;

  // True only when the window's process is known to run at a higher
  // integrity level than ours, so our simulated input would never reach it;
  // false when the level cannot be read.
  virtual bool HasHigherIntegrity(WindowHandle window) = 0;

  // Posts a menu command to the window, as choosing its menu item would.
  virtual void PostCommand(WindowHandle window, unsigned commandId) = 0;

  // Handles the messages waiting in this program's queue once, then returns.
  virtual void ProcessPendingMessages() = 0;
};

}  // namespace zelvo
