// A small probe that tests run under Wine to look at and poke windows of
// other processes. Prints UTF-8 lines ending in "\n"; exit code 0 on success.
//
//   wintool processes                pid<TAB>parent pid<TAB>exe name per process
//   wintool windows                  hwnd<TAB>pid<TAB>visible<TAB>class<TAB>title per top-level window
//   wintool children <hwnd>          the same for every descendant window, plus control id
//   wintool title <hwnd>             the window's title
//   wintool text <hwnd>              text of the window, or of its first edit child (WM_GETTEXT)
//   wintool settext <hwnd> <text>    WM_SETTEXT on the window
//   wintool rect <hwnd>              left top right bottom, screen coordinates
//   wintool move <hwnd> <x> <y>      moves the window (size and z-order kept)
//   wintool foreground               the foreground window
//   wintool focus                    the window with the keyboard focus in the foreground thread
//   wintool tbrect <hwnd> <index>    left top right bottom of a toolbar button, screen coordinates
//   wintool items <hwnd>             the items of a list box, one a line (LB_GETTEXT)
//   wintool send <hwnd> <msg> [wp] [lp]  SendMessage with numbers (no pointers); prints the result
//   wintool click <hwnd>             BM_CLICK (posted) on a button, else a posted left click
//   wintool close <hwnd>             posts WM_CLOSE
//   wintool clipboard                the clipboard's Unicode text (exit 1 when it has none)
//   wintool setclipboard <text>      puts the text on the clipboard
#include <windows.h>
#include <tlhelp32.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <fcntl.h>
#include <io.h>
#include <string>

#include "platform/win32/wide.h"
#include "tool_output.h"

using zelvo::Narrow;
using zelvo::tools::HwndText;
using zelvo::tools::OneLine;
using zelvo::tools::Out;

namespace {

HWND ParseHwnd(const wchar_t* s) {
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(wcstoull(s, nullptr, 0)));
}

std::wstring ClassOf(HWND h) {
  wchar_t name[256] = L"";
  GetClassNameW(h, name, 256);
  return name;
}

// WM_GETTEXT with a timeout, so a hung target cannot hang the probe.
std::wstring TextOf(HWND h) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 5000, &got);
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

std::wstring Describe(HWND h, bool withId) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  wchar_t title[1024] = L"";
  GetWindowTextW(h, title, 1024);
  std::wstring line = HwndText(h) + L"\t" + std::to_wstring(pid) + L"\t" +
                      (IsWindowVisible(h) ? L"1" : L"0") + L"\t" + OneLine(ClassOf(h)) + L"\t";
  if (withId) line += std::to_wstring(GetDlgCtrlID(h)) + L"\t";
  return line + OneLine(title);
}

BOOL CALLBACK PrintTopLevel(HWND h, LPARAM) {
  Out(Describe(h, false));
  return TRUE;
}

BOOL CALLBACK PrintChild(HWND h, LPARAM) {
  Out(Describe(h, true));
  return TRUE;
}

BOOL CALLBACK FindEdit(HWND h, LPARAM found) {
  std::wstring cls = ClassOf(h);
  for (wchar_t& c : cls) c = towlower(c);
  if (cls.find(L"edit") == std::wstring::npos) return TRUE;
  *reinterpret_cast<HWND*>(found) = h;
  return FALSE;
}

HWND EditOf(HWND h) {
  HWND edit = nullptr;
  EnumChildWindows(h, FindEdit, reinterpret_cast<LPARAM>(&edit));
  return edit ? edit : h;
}

bool OpenClipboardRetrying() {
  for (int i = 0; i < 50; ++i) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

// TB_GETITEMRECT writes into the toolbar's own process, so the rectangle
// goes through memory allocated there.
int ToolbarButtonRect(HWND toolbar, int index) {
  DWORD pid = 0;
  GetWindowThreadProcessId(toolbar, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return 2;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
  RECT r{};
  DWORD_PTR ok = 0;
  SendMessageTimeoutW(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000,
                      &ok);
  const bool read = ok && ReadProcessMemory(process, remote, &r, sizeof r, nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  if (!read) return 2;
  MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&r), 2);
  Out(std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right) + L" " +
      std::to_wstring(r.bottom));
  return 0;
}

// Exit code 0 with the text, 4 when the clipboard holds none, 2 when it
// cannot be opened; Wine failing to start the tool gives 1.
int Clipboard() {
  if (!OpenClipboardRetrying()) return 2;
  int rc = 4;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
      std::string utf8 = Narrow(std::wstring(text));
      fwrite(utf8.data(), 1, utf8.size(), stdout);
      GlobalUnlock(data);
      rc = 0;
    }
  }
  CloseClipboard();
  return rc;
}

int SetClipboard(const std::wstring& text) {
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (!mem) return 2;
  memcpy(GlobalLock(mem), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(mem);
  if (!OpenClipboardRetrying()) {
    GlobalFree(mem);
    return 2;
  }
  EmptyClipboard();
  bool ok = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
  CloseClipboard();
  if (!ok) GlobalFree(mem);
  return ok ? 0 : 2;
}

int Click(HWND h) {
  if (_wcsicmp(ClassOf(h).c_str(), L"Button") == 0) return PostMessageW(h, BM_CLICK, 0, 0) ? 0 : 2;
  RECT r;
  GetClientRect(h, &r);
  LPARAM at = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
  PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
  return PostMessageW(h, WM_LBUTTONUP, 0, at) ? 0 : 2;
}

int Processes() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 2;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    Out(std::to_wstring(entry.th32ProcessID) + L"\t" + std::to_wstring(entry.th32ParentProcessID) +
        L"\t" + entry.szExeFile);
  CloseHandle(snapshot);
  return 0;
}

// The system marshals LB_GETTEXT between processes for list boxes with strings.
void ListItems(HWND h) {
  const LRESULT count = SendMessageW(h, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(h, LB_GETTEXTLEN, i, 0);
    if (length < 0) continue;
    std::wstring item(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(h, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()));
    item.resize(got < 0 ? 0 : static_cast<size_t>(got));
    Out(item);
  }
}

int Usage() {
  fputs("usage: wintool processes|windows|children|title|text|settext|rect|move|foreground|focus|items|click|show|close|"
        "clipboard|setclipboard ...\n",
        stderr);
  return 64;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) return Usage();
  const std::wstring cmd = argv[1];
  HWND h = argc > 2 ? ParseHwnd(argv[2]) : nullptr;
  bool needsWindow = cmd != L"windows" && cmd != L"processes" && cmd != L"foreground" && cmd != L"focus" && cmd != L"clipboard" &&
                     cmd != L"setclipboard" && cmd != L"screen";
  if (needsWindow && !IsWindow(h)) {
    fputs("no such window\n", stderr);
    return 3;
  }

  if (cmd == L"processes") {
    return Processes();
  } else if (cmd == L"screen") {
    printf("%d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return 0;
  } else if (cmd == L"windows") {
    EnumWindows(PrintTopLevel, 0);
  } else if (cmd == L"children") {
    EnumChildWindows(h, PrintChild, 0);
  } else if (cmd == L"title") {
    Out(TextOf(h));
  } else if (cmd == L"text") {
    std::string utf8 = Narrow(TextOf(EditOf(h)));
    fwrite(utf8.data(), 1, utf8.size(), stdout);
  } else if (cmd == L"settext" && argc > 3) {
    SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
  } else if (cmd == L"rect") {
    RECT r;
    GetWindowRect(h, &r);
    Out(std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right) +
        L" " + std::to_wstring(r.bottom));
  } else if (cmd == L"move" && argc > 4) {
    return SetWindowPos(h, nullptr, _wtoi(argv[3]), _wtoi(argv[4]), 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
               ? 0
               : 2;
  } else if (cmd == L"foreground") {
    Out(HwndText(GetForegroundWindow()));
  } else if (cmd == L"focus") {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(0, &info);
    Out(HwndText(info.hwndFocus));
  } else if (cmd == L"tbrect" && argc > 3) {
    return ToolbarButtonRect(h, _wtoi(argv[3]));
  } else if (cmd == L"items") {
    ListItems(h);
  } else if (cmd == L"send" && argc > 3) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(h, static_cast<UINT>(wcstoul(argv[3], nullptr, 0)),
                        argc > 4 ? static_cast<WPARAM>(wcstoll(argv[4], nullptr, 0)) : 0,
                        argc > 5 ? static_cast<LPARAM>(wcstoll(argv[5], nullptr, 0)) : 0, SMTO_ABORTIFHUNG, 5000,
                        &result);
    Out(std::to_wstring(static_cast<long long>(static_cast<LRESULT>(result))));
  } else if (cmd == L"click") {
    return Click(h);
  } else if (cmd == L"show") {
    ShowWindowAsync(h, SW_SHOWNOACTIVATE);
  } else if (cmd == L"close") {
    return PostMessageW(h, WM_CLOSE, 0, 0) ? 0 : 2;
  } else if (cmd == L"clipboard") {
    return Clipboard();
  } else if (cmd == L"setclipboard" && argc > 2) {
    return SetClipboard(argv[2]);
  } else {
    return Usage();
  }
  return 0;
}
