// A window that records the keyboard messages it receives, one line each,
// to a log file; tests give it a title that an entry targets.
//
//   keylog <title> <log file> [<left> <top>]
//
// Lines: "KEYDOWN <vk hex> <alt 0|1>", "SYSKEYDOWN ...", "KEYUP ...",
// "SYSKEYUP ...", "CHAR <code hex>", "SYSCHAR <code hex>". System keys are
// not passed on, so Alt+Space opens no window menu and every later key
// still reaches the window.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

FILE* logFile = nullptr;

void Log(const char* kind, WPARAM code, LPARAM lParam, bool withAlt) {
  if (withAlt)
    fprintf(logFile, "%s %02X %d\n", kind, static_cast<unsigned>(code),
            (lParam & (1 << 29)) ? 1 : 0);
  else
    fprintf(logFile, "%s %04X\n", kind, static_cast<unsigned>(code));
  fflush(logFile);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN: Log("KEYDOWN", wParam, lParam, true); return 0;
    case WM_KEYUP: Log("KEYUP", wParam, lParam, true); return 0;
    case WM_SYSKEYDOWN: Log("SYSKEYDOWN", wParam, lParam, true); return 0;
    case WM_SYSKEYUP: Log("SYSKEYUP", wParam, lParam, true); return 0;
    case WM_CHAR: Log("CHAR", wParam, lParam, false); return 0;
    case WM_SYSCHAR: Log("SYSCHAR", wParam, lParam, false); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    fputs("usage: keylog <title> <log file>\n", stderr);
    return 64;
  }
  logFile = _wfopen(argv[2], L"w");
  if (!logFile) return 2;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"ZelvoKeyLog";
  RegisterClassW(&wc);
  const int left = argc > 4 ? _wtoi(argv[3]) : 400, top = argc > 4 ? _wtoi(argv[4]) : 300;
  HWND window = CreateWindowExW(0, wc.lpszClassName, argv[1], WS_OVERLAPPEDWINDOW, left, top, 360,
                                200, nullptr, nullptr, instance, nullptr);
  if (!window) return 2;
  ShowWindow(window, SW_SHOW);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  fclose(logFile);
  return 0;
}
