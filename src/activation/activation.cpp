#include "activation/activation.h"

namespace zelvo {

void Activation::HandleActivation(int kind) {
  // The menu loop and the delivery pump messages, so a second hotkey press
  // or tray click can arrive here while the first is still being served.
  if (busy_ || target_.DeliveryBusy()) return;
  busy_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{busy_};

  if (kind == kActivateMenu) {
    if (target_.IsNTPlatform()) target_.CaptureLastUsedWindow();
    target_.BringMainWindowToForeground();
    if (target_.SearchWindowInsteadOfMenu()) {
      ShowSearchWindow(/*reloadWhenShown=*/true);
    } else {
      target_.ReloadAll();
      ShowSnippetMenu();
    }
  } else if (target_.IsMainWindowVisible()) {
    target_.ReleaseLock();
    target_.HideMainWindow();
  } else {
    target_.ShowMainWindow(true);
  }
}

void Activation::ShowSnippetMenu() {
  const std::vector<EntryListItem>& entries = target_.MenuEntries();
  const bool cascading = target_.MenuCascading();
  // The file rarely changes between two showings; sorting tens of thousands
  // of names each time would be most of the wait.
  const uint64_t fingerprint = EntryListFingerprint(entries);
  if (fingerprint != menuEntries_ || menuOrder_.size() > entries.size()) {
    menuOrder_ = SnippetMenuOrder(entries);
    menuEntries_ = fingerprint;
  }
  // The items live for this showing only: a menu of many thousand entries
  // is made again in a moment, but would be kept in memory for good.
  menu_ = BuildSnippetMenu(entries, cascading, menuOrder_);
  const int choice = target_.PopupSnippetMenu(*menu_);
  OnMenuChoice(choice);
  menu_.reset();
}

void Activation::ShowSearchWindow(bool reloadWhenShown) {
  // The reload that precedes every menu comes once the window is on screen:
  // with a large file on a share it is most of the wait, and the window
  // can take the first keys meanwhile. Nothing is chosen before it ends.
  std::function<void()> reload;
  if (reloadWhenShown) reload = [this] { target_.ReloadAll(); };
  // Delivered exactly as a menu choice: same entry point, same checks.
  if (const std::optional<EntryListItem> chosen = target_.PopupSearchWindow(reload))
    target_.DeliverEntry(chosen->Number, chosen->Name);
}

void Activation::OnMenuChoice(int tag) {
  if (tag > 0) {
    // The name goes with the number, so the delivery can tell when another
    // PC moved another entry to that number meanwhile.
    if (const SnippetMenuItem* item = menu_ ? FindMenuEntry(*menu_, tag) : nullptr)
      target_.DeliverEntry(tag, item->caption);
  } else {
    RunMenuCommand(tag);
  }
}

void Activation::RunMenuCommand(int code) {
  if (code == kMenuEnd) {
    target_.EndProgram();
  } else if (code == kMenuOpen) {
    target_.ShowMainWindow(false);
  } else if (code == kMenuSearch) {
    ShowSearchWindow(/*reloadWhenShown=*/false);  // the menu's reload is just done
  }
}

}  // namespace zelvo
