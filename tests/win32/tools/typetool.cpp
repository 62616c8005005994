// Types a text with the program's own keyboard sender and measures how long
// the target takes to show it all; the typing benchmark runs it under Wine.
//
//   typetool type <hwnd> <UTF-8 text file>   brings the window to the front,
//       sends the text as a keystroke delivery would ("\n" is an Enter) and
//       waits until the window's edit control holds it all
//   typetool watch <hwnd> <length>           only waits, for a text that
//       another program types
//
// Both wait until the edit control holds <length> UTF-16 units (type: the
// text's own length with CR LF line ends) or stops growing for 3 s, then
// print `name: value` lines; times are Unix epoch milliseconds, so a script
// can compare them with its own clock. A window without an edit control is
// not waited for.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <sstream>
#include <string>

#include "delivery/keystrokes.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_keyboard.h"

namespace {

constexpr DWORD kStallMs = 3000;

long long EpochMs() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  ULARGE_INTEGER t;
  t.LowPart = ft.dwLowDateTime;
  t.HighPart = ft.dwHighDateTime;
  return static_cast<long long>(t.QuadPart / 10000 - 11644473600000LL);
}

BOOL CALLBACK FindEdit(HWND h, LPARAM found) {
  wchar_t cls[64] = L"";
  GetClassNameW(h, cls, 64);
  if (_wcsicmp(cls, L"Edit") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = h;
  return FALSE;
}

HWND EditOf(HWND h) {
  HWND edit = nullptr;
  EnumChildWindows(h, FindEdit, reinterpret_cast<LPARAM>(&edit));
  return edit ? edit : h;
}

long Length(HWND edit) {
  DWORD_PTR length = 0;
  SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
  return static_cast<long>(length);
}

// Polls until the edit holds `expected` units or has stopped growing.
void WaitForText(HWND window, long expected) {
  HWND edit = EditOf(window);
  if (edit == window) return;
  long last = -1;
  DWORD lastChange = GetTickCount();
  long long doneAt = EpochMs();
  for (;;) {
    long now = Length(edit);
    if (now != last) {
      last = now;
      lastChange = GetTickCount();
      doneAt = EpochMs();
    }
    if (now >= expected || GetTickCount() - lastChange > kStallMs) break;
    Sleep(2);
  }
  printf("done_epoch_ms: %lld\nlength: %ld\n", doneAt, last);
}

HWND ParseHwnd(const wchar_t* s) {
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(wcstoull(s, nullptr, 0)));
}

int Type(HWND window, const wchar_t* path) {
  std::ifstream in(zelvo::Narrow(path), std::ios::binary);
  if (!in) return 2;
  std::stringstream bytes;
  bytes << in.rdbuf();
  std::string text = bytes.str();
  long expected = 0;
  for (wchar_t unit : zelvo::Widen(text)) expected += unit == L'\n' ? 2 : 1;
  for (char& c : text)
    if (c == '\n') c = '\r';  // an Enter, as a stored "\N" delivers it
  const zelvo::KeySequence keys = zelvo::ParseKeystrokes(zelvo::EncodeKeystrokes(text));

  SetForegroundWindow(window);
  for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i) Sleep(10);
  zelvo::Win32Keyboard keyboard;
  printf("start_epoch_ms: %lld\n", EpochMs());
  const bool sent = keyboard.Send(keys) != zelvo::Handover::Refused;
  printf("sent_epoch_ms: %lld\nsent_ok: %d\n", EpochMs(), sent ? 1 : 0);
  WaitForText(window, expected);
  return sent ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    fputs("usage: typetool type <hwnd> <file> | typetool watch <hwnd> <length>\n", stderr);
    return 64;
  }
  HWND window = ParseHwnd(argv[2]);
  if (!IsWindow(window)) return 3;
  if (wcscmp(argv[1], L"type") == 0) return Type(window, argv[3]);
  if (wcscmp(argv[1], L"watch") == 0) {
    printf("watching\n");
    fflush(stdout);
    WaitForText(window, wcstol(argv[3], nullptr, 10));
    return 0;
  }
  return 64;
}
