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
    ShowSnippetMenu();
  } else if (target_.IsMainWindowVisible()) {
    target_.ReleaseLock();
    target_.HideMainWindow();
  } else {
    target_.ShowMainWindow(true);
  }
}

void Activation::ShowSnippetMenu() {
  target_.ReloadAll();
  const SnippetMenu menu = BuildSnippetMenu(target_.MenuEntries(), target_.MenuCascading());
  OnMenuChoice(target_.PopupSnippetMenu(menu));
}

void Activation::OnMenuChoice(int tag) {
  if (tag > 0) {
    target_.DeliverEntry(tag);
  } else {
    RunMenuCommand(tag);
  }
}

void Activation::RunMenuCommand(int code) {
  if (code == kMenuEnd) {
    target_.EndProgram();
  } else if (code == kMenuOpen) {
    target_.ShowMainWindow(false);
  }
}

}  // namespace zelvo
