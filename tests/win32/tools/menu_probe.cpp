// Times the snippet menu from the hotkey press to the menu on screen:
//   menu_probe <runs> [timeout-ms] [window-class]
// Each run presses Strg + F5 with SendInput, waits until a popup menu window
// ("#32768", or a window of the class given, such as the search window) is
// visible and its message loop has answered a message (so it is shown and
// painted), then closes it with Escape. Prints one line per run,
// "ms <milliseconds> <ready>", or "timeout" when nothing came within the
// timeout; <ready> is when a second message is answered too, i.e. when
// work the window queued behind its first showing (the reload) is done.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <fcntl.h>
#include <io.h>

#include <initializer_list>
#include <utility>

namespace {

const wchar_t* g_class = L"#32768";

BOOL CALLBACK FindMenu(HWND h, LPARAM found) {
  wchar_t cls[64] = L"";
  GetClassNameW(h, cls, 64);
  if (wcscmp(cls, g_class) != 0 || !IsWindowVisible(h)) return TRUE;
  *reinterpret_cast<HWND*>(found) = h;
  return FALSE;
}

HWND VisibleMenu() {
  HWND menu = nullptr;
  EnumWindows(FindMenu, reinterpret_cast<LPARAM>(&menu));
  return menu;
}

void Keys(std::initializer_list<std::pair<WORD, bool>> keys) {
  INPUT in[8] = {};
  UINT n = 0;
  for (auto [vk, up] : keys) {
    in[n].type = INPUT_KEYBOARD;
    in[n].ki.wVk = vk;
    in[n].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ++n;
  }
  SendInput(n, in, sizeof(INPUT));
}

double Ms(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER freq) {
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(freq.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  const int runs = argc > 1 ? _wtoi(argv[1]) : 5;
  const DWORD timeoutMs = argc > 2 ? wcstoul(argv[2], nullptr, 10) : 60000;
  if (argc > 3) g_class = argv[3];
  LARGE_INTEGER freq, t0, t1;
  QueryPerformanceFrequency(&freq);
  for (int run = 0; run < runs; ++run) {
    // A menu left over from an earlier run would be taken for this one.
    for (int i = 0; VisibleMenu() && i < 200; ++i) {
      Keys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
      Sleep(25);
    }
    Sleep(150);
    QueryPerformanceCounter(&t0);
    Keys({{VK_CONTROL, false}, {VK_F5, false}, {VK_F5, true}, {VK_CONTROL, true}});
    HWND menu = nullptr;
    for (;;) {
      menu = VisibleMenu();
      QueryPerformanceCounter(&t1);
      if (menu || Ms(t0, t1, freq) > timeoutMs) break;
      Sleep(1);
    }
    if (!menu) {
      printf("timeout\n");
      fflush(stdout);
      return 1;
    }
    DWORD_PTR ignored;
    SendMessageTimeoutW(menu, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored);
    QueryPerformanceCounter(&t1);
    LARGE_INTEGER t2;
    SendMessageTimeoutW(menu, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored);
    QueryPerformanceCounter(&t2);
    printf("ms %.1f %.1f\n", Ms(t0, t1, freq), Ms(t0, t2, freq));
    fflush(stdout);
    Keys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
    for (int i = 0; VisibleMenu() && i < 400; ++i) Sleep(25);
  }
  return 0;
}
