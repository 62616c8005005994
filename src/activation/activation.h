// HandleActivation: the one entry point of the hotkey, the tray icon and the
// border strip.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "activation/snippet_menu.h"

namespace zelvo {

// What activation needs of the rest of the program. The main window
// implements it; delivery and the last used window are handed in there.
class ActivationTarget {
 public:
  virtual ~ActivationTarget() = default;
  virtual bool IsNTPlatform() = 0;
  // Remembers the window the user worked in, before this program comes to
  // the foreground.
  virtual void CaptureLastUsedWindow() = 0;
  // The hidden main window takes the foreground so the menu closes on a
  // click elsewhere.
  virtual void BringMainWindowToForeground() = 0;
  virtual void ReloadAll() = 0;
  virtual const std::vector<EntryListItem>& MenuEntries() = 0;
  virtual bool MenuCascading() = 0;
  // Pops the menu up at the mouse pointer and returns the chosen item's tag,
  // 0 when the menu closed without a choice.
  virtual int PopupSnippetMenu(const SnippetMenu& menu) = 0;
  // This user's choice: activations open the search window, not the menu.
  virtual bool SearchWindowInsteadOfMenu() = 0;
  // Shows the search window at the mouse pointer and returns the entry
  // chosen in it, or nothing when it closed without a choice. `whenShown`
  // (if set) runs once the window is on screen; the window then shows the
  // entries as they are after it.
  virtual std::optional<EntryListItem> PopupSearchWindow(const std::function<void()>& whenShown) = 0;
  // The entry's number and its name as the menu showed it.
  virtual void DeliverEntry(int number, const std::string& name) = 0;
  // True while a delivery still runs (its chooser may outlive the menu).
  virtual bool DeliveryBusy() { return false; }
  virtual bool IsMainWindowVisible() = 0;
  // normalState: also restore a minimised or maximised window.
  virtual void ShowMainWindow(bool normalState) = 0;
  virtual void HideMainWindow() = 0;
  virtual void ReleaseLock() = 0;
  virtual void EndProgram() = 0;
};

inline constexpr int kActivateMenu = 1;
inline constexpr int kActivateToggleMainWindow = 2;

class Activation {
 public:
  explicit Activation(ActivationTarget& target) : target_(target) {}

  // kind 1: the snippet menu, or the search window when the user chose it;
  // any other kind shows or hides the main window.
  // Ignored while an earlier activation still runs (menu open, delivery).
  void HandleActivation(int kind);
  // What choosing a menu item does: entries are delivered, fixed items run.
  void OnMenuChoice(int tag);
  void RunMenuCommand(int code);
  bool Busy() const { return busy_; }

 private:
  void ShowSnippetMenu();
  void ShowSearchWindow(bool reloadWhenShown);

  ActivationTarget& target_;
  bool busy_ = false;
  // The menu on screen; its items carry the names, so the choice needs no
  // copy of the list.
  std::optional<SnippetMenu> menu_;
  uint64_t menuEntries_ = 0;  // fingerprint of the list menuOrder_ sorts
  std::vector<uint32_t> menuOrder_;
};

}  // namespace zelvo
