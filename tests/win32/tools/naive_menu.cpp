// The snippet menu built the naive way, for the menu benchmark:
//   naive_menu <data file> flat|cascade
// Registers Strg + F5 like Zelvoscript. On each press it reads the entry
// names one profile call per value, sorts and groups them with the program's
// own rules, appends every item to its menu in turn (all submenus filled
// before showing) and pops the menu up at the mouse pointer.
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "activation/snippet_menu.h"
#include "platform/win32/wide.h"

namespace zelvo {
namespace {

std::wstring g_file;
bool g_cascade = false;

std::vector<EntryListItem> ReadNamesOneByOne() {
  std::vector<EntryListItem> entries;
  for (int k = 1;; ++k) {
    wchar_t name[256] = L"";
    GetPrivateProfileStringW(L"Name", std::to_wstring(k).c_str(), L"", name, 256, g_file.c_str());
    if (!name[0]) break;
    entries.push_back({Narrow(name), k});
  }
  return entries;
}

void AppendAll(HMENU target, const SnippetMenu& menu, std::span<const SnippetMenuItem> items) {
  for (const SnippetMenuItem& item : items) {
    if (item.kind == MenuItemKind::Separator) {
      AppendMenuW(target, MF_SEPARATOR, 0, nullptr);
    } else if (item.kind == MenuItemKind::GroupHeader) {
      HMENU sub = CreatePopupMenu();
      AppendAll(sub, menu, menu.groups[item.group]);
      AppendMenuW(target, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub),
                  Widen(item.caption).c_str());
    } else {
      AppendMenuW(target, MF_STRING, MenuCommandId(item.tag), Widen(item.caption).c_str());
    }
  }
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_HOTKEY) {
    const SnippetMenu model = BuildSnippetMenu(ReadNamesOneByOne(), g_cascade);
    HMENU popup = CreatePopupMenu();
    AppendAll(popup, model, model.items);
    SetMenuDefaultItem(popup, MenuCommandId(kMenuOpen), FALSE);
    SetForegroundWindow(hwnd);
    POINT at{};
    GetCursorPos(&at);
    TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, at.x,
                     at.y, hwnd, nullptr);
    PostMessageW(hwnd, WM_NULL, 0, 0);
    DestroyMenu(popup);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace
}  // namespace zelvo

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  zelvo::g_file = argv[1];
  zelvo::g_cascade = wcscmp(argv[2], L"cascade") == 0;
  WNDCLASSW wc{};
  wc.lpfnWndProc = zelvo::WndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"NaiveMenu";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowW(L"NaiveMenu", L"Naive-Menue", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                            nullptr, nullptr, wc.hInstance, nullptr);
  if (!RegisterHotKey(hwnd, 1, MOD_CONTROL, VK_F5)) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
