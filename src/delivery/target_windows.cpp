#include "delivery/target_windows.h"

#include "store/text_codes.h"

namespace zelvo {

std::string MakeTargetTitle(const std::string& entryTitle) {
  return ToUpperLocale(Trim(entryTitle));
}

void EnumCandidateWindow(WindowSystem& windows, WindowHandle window,
                         const std::string& targetTitle, std::vector<TargetWindow>& candidates) {
  if (windows.IsOwnWindow(window)) return;
  std::string title = windows.Title(window);
  if (title.empty()) return;
  if (ToUpperLocale(title).find(targetTitle) != std::string::npos)
    candidates.push_back({title, window});
}

TargetWindows::TargetWindows(WindowSystem& windows, std::string baseCaption)
    : windows_(windows), baseCaption_(std::move(baseCaption)) {}

std::vector<TargetWindow> TargetWindows::CollectCandidates(const std::string& targetTitle) {
  std::vector<TargetWindow> candidates;
  for (WindowHandle w : windows_.TopLevelWindows())
    EnumCandidateWindow(windows_, w, targetTitle, candidates);
  return candidates;
}

LastUsedWalk TargetWindows::FindLastUsedWindow() {
  const std::string ownCaption = ToUpperLocale(baseCaption_);
  // A title is ignored when it is a listed title or part of one.
  std::string joined;
  for (size_t i = 0; i < ignoreList_.size(); ++i) joined += (i ? "\t" : "") + ignoreList_[i];
  joined = ToUpperLocale(joined);

  LastUsedWalk walk;
  // The z-order can change under the walk; the bound keeps a cycle from
  // hanging the program.
  int steps = 0;
  for (WindowHandle w = windows_.Foreground(); w != 0 && steps < kMaxWalk;
       w = windows_.NextBelow(w), ++steps) {
    std::string title = windows_.Title(w);
    if (title.empty() || !windows_.IsVisible(w) || windows_.IsOwnWindow(w)) continue;
    const std::string upper = ToUpperLocale(title);
    if (!ownCaption.empty() && upper.find(ownCaption) != std::string::npos) continue;
    if (joined.find(upper) != std::string::npos) continue;
    if (walk.result == 0) walk.result = w;
    walk.titles.push_back(title);
  }
  titelListe_ = walk.titles;
  return walk;
}

void TargetWindows::CaptureAtMenuOpening() { lastUsedWindow_ = FindLastUsedWindow().result; }

void TargetWindows::OnPollTimer() {
  if (pollBusy_) return;
  pollBusy_ = true;
  WindowHandle found = FindLastUsedWindow().result;
  if (found != 0) lastUsedWindow_ = found;
  pollBusy_ = false;
}

}  // namespace zelvo
