#include "ui/win32/snippet_menu_view.h"

#include "platform/win32/wide.h"

namespace zelvo {
namespace {

void AppendItems(HMENU target, std::span<const SnippetMenuItem> items,
                 std::vector<HMENU>* submenus) {
  for (const SnippetMenuItem& item : items) {
    switch (item.kind) {
      case MenuItemKind::Separator:
        AppendMenuW(target, MF_SEPARATOR, 0, nullptr);
        break;
      case MenuItemKind::GroupHeader: {
        HMENU sub = CreatePopupMenu();
        AppendMenuW(target, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub),
                    Widen(item.caption).c_str());
        if (submenus) submenus->push_back(sub);
        break;
      }
      default:
        AppendMenuW(target, MF_STRING, static_cast<UINT_PTR>(MenuCommandId(item.tag)),
                    Widen(item.caption).c_str());
        break;
    }
  }
}

}  // namespace

int SnippetMenuView::Popup(HWND owner, const SnippetMenu& menu) {
  HMENU popup = CreatePopupMenu();
  if (!popup) return 0;
  std::vector<HMENU> submenus;
  AppendItems(popup, menu.items, &submenus);
  menu_ = &menu;
  pending_.clear();
  size_t next = 0;
  for (const SnippetMenuItem& item : menu.items) {
    if (item.kind == MenuItemKind::GroupHeader && next < submenus.size())
      pending_.push_back({submenus[next++], item.group});
  }
  SetMenuDefaultItem(popup, static_cast<UINT>(MenuCommandId(kMenuOpen)), FALSE);

  POINT at{};
  GetCursorPos(&at);
  const int id = static_cast<int>(TrackPopupMenuEx(
      popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, at.x, at.y, owner,
      nullptr));
  // Lets the menu close properly when the user clicks elsewhere next time.
  PostMessageW(owner, WM_NULL, 0, 0);
  pending_.clear();
  menu_ = nullptr;
  DestroyMenu(popup);  // and its submenus
  return MenuTagFromCommandId(id);
}

bool SnippetMenuView::OnInitMenuPopup(HMENU submenu) {
  if (!menu_) return false;
  for (PendingGroup& p : pending_) {
    if (p.submenu != submenu) continue;
    // Filled once per showing; Wine inserts items in quadratic time, so
    // only the opened letter pays for its entries.
    if (GetMenuItemCount(submenu) == 0) AppendItems(submenu, menu_->groups[p.group], nullptr);
    return true;
  }
  return false;
}

}  // namespace zelvo
