// The snippet menu on screen: a popup menu at the mouse pointer, owned by the
// hidden main window. In cascading mode each letter's submenu is filled only
// when it opens, so a large file costs one short top level per showing.
#pragma once

#include <windows.h>

#include <vector>

#include "activation/snippet_menu.h"

namespace zelvo {

class SnippetMenuView {
 public:
  // Returns the chosen item's tag, 0 when the menu closed without a choice.
  int Popup(HWND owner, const SnippetMenu& menu);
  // For the owner's WM_INITMENUPOPUP; true when `submenu` was one of ours.
  bool OnInitMenuPopup(HMENU submenu);

 private:
  struct PendingGroup {
    HMENU submenu;
    int group;
  };
  const SnippetMenu* menu_ = nullptr;
  std::vector<PendingGroup> pending_;
};

}  // namespace zelvo
