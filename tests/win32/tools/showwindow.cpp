// Shows a window of another process, as the tray icon would:
//   showwindow <hwnd> [hide]
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  HWND h = reinterpret_cast<HWND>(static_cast<UINT_PTR>(wcstoull(argv[1], nullptr, 0)));
  if (!IsWindow(h)) return 1;
  const bool hide = argc > 2 && wcscmp(argv[2], L"hide") == 0;
  ShowWindow(h, hide ? SW_HIDE : SW_SHOW);
  if (!hide) SetForegroundWindow(h);
  return 0;
}
