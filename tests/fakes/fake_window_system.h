// Top-level windows in memory: the vector order is both the enumeration
// order and the z-order, top first.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace zelvo {

class FakeWindowSystem : public WindowSystem {
 public:
  struct Window {
    WindowHandle handle = 0;
    std::string title;
    bool visible = true;
    bool higherIntegrity = false;
    WindowHandle owner = 0;
    bool own = false;  // one of the program's own windows
    std::string cls = "Fenster";
  };

  std::vector<Window> windows;
  WindowHandle foreground = 0;
  bool refuseForeground = false;             // SetForeground leaves the foreground alone
  std::map<WindowHandle, WindowHandle> focusGoesTo;  // activation lands on another window
  std::vector<WindowHandle> setForegroundCalls;
  std::vector<std::pair<WindowHandle, unsigned>> postedCommands;
  int pumps = 0;
  std::vector<std::string>* log = nullptr;   // shared event log, when a test wants order
  std::function<void()> onTitleRead;         // runs inside Title(), to test re-entry

  WindowHandle Add(const std::string& title, bool visible = true) {
    WindowHandle h = 0x100 + windows.size() * 0x10;
    windows.push_back({h, title, visible});
    return h;
  }
  Window* Find(WindowHandle h) {
    auto it = std::find_if(windows.begin(), windows.end(), [&](auto& w) { return w.handle == h; });
    return it == windows.end() ? nullptr : &*it;
  }

  std::vector<WindowHandle> TopLevelWindows() override {
    if (log) log->push_back("enumerate");
    std::vector<WindowHandle> out;
    for (auto& w : windows) out.push_back(w.handle);
    return out;
  }
  std::string Title(WindowHandle h) override {
    if (onTitleRead) onTitleRead();
    Window* w = Find(h);
    return w ? w->title : "";
  }
  bool IsVisible(WindowHandle h) override { Window* w = Find(h); return w && w->visible; }
  bool IsWindow(WindowHandle h) override { return Find(h) != nullptr; }
  bool IsOwnWindow(WindowHandle h) override { Window* w = Find(h); return w && w->own; }
  std::string ClassName(WindowHandle h) override { Window* w = Find(h); return w ? w->cls : ""; }
  WindowHandle Foreground() override { return foreground; }
  void SetForeground(WindowHandle h) override {
    if (log) log->push_back("foreground " + std::to_string(h));
    setForegroundCalls.push_back(h);
    if (refuseForeground || !Find(h)) return;
    auto redirect = focusGoesTo.find(h);
    foreground = redirect == focusGoesTo.end() ? h : redirect->second;
  }
  WindowHandle NextBelow(WindowHandle h) override {
    for (size_t i = 0; i + 1 < windows.size(); ++i)
      if (windows[i].handle == h) return windows[i + 1].handle;
    return 0;
  }
  WindowHandle RootOwner(WindowHandle h) override {
    Window* w = Find(h);
    while (w && w->owner != 0 && Find(w->owner)) w = Find(w->owner);
    return w ? w->handle : h;
  }
  bool HasHigherIntegrity(WindowHandle h) override { Window* w = Find(h); return w && w->higherIntegrity; }
  void PostCommand(WindowHandle h, unsigned id) override {
    if (log) log->push_back("command " + std::to_string(id));
    postedCommands.emplace_back(h, id);
  }
  void ProcessPendingMessages() override { ++pumps; }
};

}  // namespace zelvo
