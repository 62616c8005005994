// Finding the window a snippet goes to: by title, or the last used window.
#pragma once

#include <string>
#include <vector>

#include "platform/window_system.h"

namespace zelvo {

struct TargetWindow {
  std::string Title;  // as the platform reports it
  WindowHandle Handle = 0;

  friend bool operator==(const TargetWindow&, const TargetWindow&) = default;
};

// An entry's title as it is matched: trimmed, upper case with umlauts.
std::string MakeTargetTitle(const std::string& entryTitle);

// One step of the enumeration: appends the window when its upper-cased title
// contains `targetTitle`. Hidden windows count like visible ones; this
// program's own windows never do.
void EnumCandidateWindow(WindowSystem& windows, WindowHandle window,
                         const std::string& targetTitle, std::vector<TargetWindow>& candidates);

struct LastUsedWalk {
  WindowHandle result = 0;
  std::vector<std::string> titles;  // every eligible window, in z-order (TitelListe)
};

class TargetWindows {
 public:
  // `baseCaption` is the program's own caption without a suffix; windows
  // whose title contains it are never the last used window (nor are this
  // process's own windows, whatever their title).
  TargetWindows(WindowSystem& windows, std::string baseCaption);

  void SetBaseCaption(std::string caption) { baseCaption_ = std::move(caption); }
  void SetIgnoreList(std::vector<std::string> titles) { ignoreList_ = std::move(titles); }
  const std::vector<std::string>& IgnoreList() const { return ignoreList_; }

  // Every top-level window whose title contains `targetTitle` (already
  // upper-cased), in enumeration order.
  std::vector<TargetWindow> CollectCandidates(const std::string& targetTitle);

  // Walks from the foreground window down the z-order.
  LastUsedWalk FindLastUsedWindow();

  // NT family: captured each time the snippet menu opens, even when 0.
  void CaptureAtMenuOpening();
  // Other systems: the poll timer keeps the last good value; a tick that
  // arrives while the previous walk still runs does nothing.
  void OnPollTimer();
  bool PollBusy() const { return pollBusy_; }

  WindowHandle LastUsedWindow() const { return lastUsedWindow_; }
  // Titles of the last walk, for the window debugger.
  const std::vector<std::string>& TitelListe() const { return titelListe_; }

 private:
  static constexpr int kMaxWalk = 100000;

  WindowSystem& windows_;
  std::string baseCaption_;
  std::vector<std::string> ignoreList_;
  std::vector<std::string> titelListe_;
  WindowHandle lastUsedWindow_ = 0;
  bool pollBusy_ = false;
};

}  // namespace zelvo
