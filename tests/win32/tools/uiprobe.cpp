// Looks at the controls of another program's window from the outside, as
// the display tests need it. Prints UTF-8 lines ending in "\n".
//
//   uiprobe layout <hwnd>       one line per visible control:
//       hwnd parent class id container left top right bottom needW needH text
//     (tab-separated, screen pixels; needW/needH: the room the control's text
//     needs, 0 where not measured; container 1 for frames and panels)
//   uiprobe accessible <hwnd>   hwnd class id name value, per control, read
//                               through AccessibleObjectFromWindow
//   uiprobe dpichanged <hwnd> <dpi>  sends WM_DPICHANGED with the window's
//                               rectangle scaled from its current DPI, as
//                               Windows does when it moves to another monitor
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>

#include "platform/win32/display.h"
#include "platform/win32/wide.h"
#include "tool_output.h"

using zelvo::Narrow;
using zelvo::tools::HwndText;
using zelvo::tools::OneLine;
using zelvo::tools::Out;

namespace {

constexpr GUID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::wstring ClassOf(HWND h) {
  wchar_t name[256] = L"";
  GetClassNameW(h, name, 256);
  return name;
}

bool Is(HWND h, const wchar_t* cls) { return _wcsicmp(ClassOf(h).c_str(), cls) == 0; }

std::wstring TextOf(HWND h) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                      &got);
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

// A message whose lParam points at a structure: the structure lives in the
// target's memory for the call.
template <typename T>
bool SendRemote(HWND h, UINT msg, WPARAM wp, T& data, LRESULT* answer = nullptr) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return false;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(T), MEM_COMMIT, PAGE_READWRITE);
  bool ok = remote && WriteProcessMemory(process, remote, &data, sizeof(T), nullptr);
  DWORD_PTR result = 0;
  ok = ok && SendMessageTimeoutW(h, msg, wp, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000, &result) &&
       ReadProcessMemory(process, remote, &data, sizeof(T), nullptr);
  if (answer) *answer = static_cast<LRESULT>(result);
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return ok;
}

// The program's controls use the message font at the display's DPI (the
// main window) or the dialog font, which Wine and Windows both map to the
// same face at 8 points; measured here with the same font.
struct Measure {
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = zelvo::CreateMessageFont(zelvo::SystemDpi());
  Measure() { SelectObject(dc, font); }
  ~Measure() {
    DeleteDC(dc);
    DeleteObject(font);
  }
  SIZE Line(std::wstring text) const {
    if (const size_t amp = text.find(L'&'); amp != std::wstring::npos) text.erase(amp, 1);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return {r.right, r.bottom};
  }
  // Height when wrapped at `width`, and the widest word.
  SIZE Wrapped(std::wstring text, int width) const {
    if (const size_t amp = text.find(L'&'); amp != std::wstring::npos) text.erase(amp, 1);
    RECT r{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return {r.right, r.bottom};
  }
};

bool IsContainer(HWND h) {
  const LONG style = GetWindowLongW(h, GWL_STYLE);
  if (Is(h, L"Button") && (style & BS_TYPEMASK) == BS_GROUPBOX) return true;
  if (Is(h, L"Static") && ((style & SS_TYPEMASK) == SS_ETCHEDFRAME)) return true;
  // A panel that holds controls; a combo box's own parts do not count.
  return GetWindow(h, GW_CHILD) && !Is(h, L"ComboBox");
}

// The room the control's own text needs (0 where there is none to check).
SIZE Need(HWND h, const Measure& m, const RECT& r) {
  const LONG style = GetWindowLongW(h, GWL_STYLE);
  const std::wstring text = TextOf(h);
  const int width = r.right - r.left;
  if (Is(h, L"Button")) {
    const LONG type = style & BS_TYPEMASK;
    if (text.empty() || type == BS_OWNERDRAW) return {};
    if (type == BS_GROUPBOX) return {m.Line(text).cx + 2 * GetSystemMetrics(SM_CXEDGE) + 8, 0};
    const bool box = type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON;
    const int mark = box ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : 2 * GetSystemMetrics(SM_CXEDGE) + 4;
    if (style & BS_MULTILINE) return {0, m.Wrapped(text, width - mark).cy};
    return {m.Line(text).cx + mark, 0};
  }
  if (Is(h, L"Static")) {
    const LONG type = style & SS_TYPEMASK;
    if (text.empty() || (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP &&
                         type != SS_SIMPLE))
      return {};
    if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE) return {m.Line(text).cx, 0};
    const SIZE wrapped = m.Wrapped(text, width);
    return {wrapped.cx, wrapped.cy};
  }
  // Every row must show whole, beside the scroll bar or the button.
  const bool list = Is(h, L"ListBox") && !(style & WS_HSCROLL);
  const bool dropList = Is(h, L"ComboBox") && (style & 3) == CBS_DROPDOWNLIST;
  if (list || dropList) {
    const UINT count = list ? LB_GETCOUNT : CB_GETCOUNT, length = list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN,
               get = list ? LB_GETTEXT : CB_GETLBTEXT;
    const LRESULT rows = SendMessageW(h, count, 0, 0);
    int widest = 0;
    for (LRESULT i = 0; i < rows && i < 2000; ++i) {
      const LRESULT n = SendMessageW(h, length, i, 0);
      if (n <= 0) continue;
      std::wstring row(static_cast<size_t>(n) + 1, L'\0');
      SendMessageW(h, get, i, reinterpret_cast<LPARAM>(row.data()));
      row.resize(static_cast<size_t>(n));
      widest = std::max(widest, static_cast<int>(m.Line(row).cx));
    }
    RECT client{};
    GetClientRect(h, &client);
    // Borders and the scroll bar of a list; the button of a drop-down list.
    const int beside = list ? width - client.right : GetSystemMetrics(SM_CXVSCROLL) + 4;
    return {widest ? widest + beside + 4 : 0, 0};
  }
  return {};
}

struct Walk {
  HWND top;
  const Measure* m;
};

BOOL CALLBACK PrintLayout(HWND h, LPARAM p) {
  if (!IsWindowVisible(h)) return TRUE;
  const Walk& w = *reinterpret_cast<const Walk*>(p);
  // The parts of a combo box are the combo box.
  HWND parent = GetParent(h);
  if (Is(parent, L"ComboBox")) return TRUE;
  RECT r{};
  GetWindowRect(h, &r);
  const SIZE need = Need(h, *w.m, r);
  Out(HwndText(h) + L"\t" + HwndText(parent) + L"\t" + ClassOf(h) + L"\t" + std::to_wstring(GetDlgCtrlID(h)) + L"\t" + (IsContainer(h) ? L"1" : L"0") +
      L"\t" + std::to_wstring(r.left) + L"\t" + std::to_wstring(r.top) + L"\t" + std::to_wstring(r.right) + L"\t" +
      std::to_wstring(r.bottom) + L"\t" + std::to_wstring(need.cx) + L"\t" + std::to_wstring(need.cy) + L"\t" +
      OneLine(TextOf(h)));
  return TRUE;
}

std::wstring Bstr(BSTR b) {
  std::wstring s = b ? std::wstring(b, SysStringLen(b)) : std::wstring();
  SysFreeString(b);
  return s;
}

BOOL CALLBACK PrintAccessible(HWND h, LPARAM) {
  if (!IsWindowVisible(h) || Is(GetParent(h), L"ComboBox")) return TRUE;
  IAccessible* acc = nullptr;
  std::wstring name = L"-", value;
  if (SUCCEEDED(AccessibleObjectFromWindow(h, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&acc))) &&
      acc) {
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR b = nullptr;
    name = acc->get_accName(self, &b) == S_OK ? Bstr(b) : L"";
    b = nullptr;
    if (acc->get_accValue(self, &b) == S_OK) value = Bstr(b);
    acc->Release();
  }
  Out(HwndText(h) + L"\t" + ClassOf(h) + L"\t" + std::to_wstring(GetDlgCtrlID(h)) + L"\t" + OneLine(name) + L"\t" + OneLine(value));
  return TRUE;
}

int DpiChanged(HWND h, int dpi) {
  const int now = zelvo::WindowDpi(h);
  RECT r{};
  GetWindowRect(h, &r);
  RECT suggested{r.left, r.top, r.left + MulDiv(r.right - r.left, dpi, now), r.top + MulDiv(r.bottom - r.top, dpi, now)};
  return SendRemote(h, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), suggested) ? 0 : 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 3) return 64;
  const std::wstring cmd = argv[1];
  HWND h = reinterpret_cast<HWND>(static_cast<UINT_PTR>(wcstoull(argv[2], nullptr, 0)));
  if (!IsWindow(h)) return 3;
  if (cmd == L"layout") {
    Measure m;
    Walk w{h, &m};
    EnumChildWindows(h, PrintLayout, reinterpret_cast<LPARAM>(&w));
  } else if (cmd == L"accessible") {
    CoInitialize(nullptr);
    EnumChildWindows(h, PrintAccessible, 0);
    CoUninitialize();
  } else if (cmd == L"dpichanged" && argc > 3) {
    return DpiChanged(h, _wtoi(argv[3]));
  } else {
    return 64;
  }
  return 0;
}
