#include "platform/win32/win32_window_system.h"

#include <windows.h>

#include <vector>

#include "platform/win32/wide.h"

namespace zelvo {

namespace {

HWND ToHwnd(WindowHandle h) { return reinterpret_cast<HWND>(h); }
WindowHandle FromHwnd(HWND h) { return reinterpret_cast<WindowHandle>(h); }

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) {
  reinterpret_cast<std::vector<WindowHandle>*>(param)->push_back(FromHwnd(hwnd));
  return TRUE;
}

class Handle {
 public:
  explicit Handle(HANDLE h = nullptr) : h_(h) {}
  ~Handle() {
    if (h_) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  HANDLE* out() { return &h_; }

 private:
  HANDLE h_;
};

constexpr DWORD kUnknownIntegrity = 0;

// The mandatory integrity level (RID) of a process token, or kUnknownIntegrity.
DWORD IntegrityOfToken(HANDLE token) {
  DWORD size = 0;
  GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
  if (size == 0) return kUnknownIntegrity;
  std::vector<BYTE> buffer(size);
  if (!GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size))
    return kUnknownIntegrity;
  PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
  UCHAR count = *GetSidSubAuthorityCount(sid);
  return count == 0 ? kUnknownIntegrity : *GetSidSubAuthority(sid, count - 1);
}

DWORD OwnIntegrity() {
  Handle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.out())) return kUnknownIntegrity;
  return IntegrityOfToken(token.get());
}

}  // namespace

std::vector<WindowHandle> Win32WindowSystem::TopLevelWindows() {
  std::vector<WindowHandle> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::string Win32WindowSystem::Title(WindowHandle window) {
  // Titles are compared by their first 127 characters.
  wchar_t buffer[128];
  int n = GetWindowTextW(ToHwnd(window), buffer, 128);
  // A cut through a surrogate pair would leave half a character.
  if (n > 0 && IS_HIGH_SURROGATE(buffer[n - 1])) --n;
  return n > 0 ? Narrow(buffer, static_cast<size_t>(n)) : std::string();
}

bool Win32WindowSystem::IsVisible(WindowHandle window) {
  return IsWindowVisible(ToHwnd(window)) != FALSE;
}

bool Win32WindowSystem::IsWindow(WindowHandle window) {
  return window != 0 && ::IsWindow(ToHwnd(window)) != FALSE;
}

bool Win32WindowSystem::IsOwnWindow(WindowHandle window) {
  DWORD pid = 0;
  return GetWindowThreadProcessId(ToHwnd(window), &pid) != 0 && pid == GetCurrentProcessId();
}

std::string Win32WindowSystem::ClassName(WindowHandle window) {
  wchar_t buffer[256];
  int n = GetClassNameW(ToHwnd(window), buffer, 256);
  return n > 0 ? Narrow(buffer, static_cast<size_t>(n)) : std::string();
}

WindowHandle Win32WindowSystem::Foreground() { return FromHwnd(GetForegroundWindow()); }

void Win32WindowSystem::SetForeground(WindowHandle window) {
  HWND hwnd = ToHwnd(window);
  // Typing into a minimised window would go nowhere visible.
  if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
  SetForegroundWindow(hwnd);
}

WindowHandle Win32WindowSystem::NextBelow(WindowHandle window) {
  return FromHwnd(GetWindow(ToHwnd(window), GW_HWNDNEXT));
}

WindowHandle Win32WindowSystem::RootOwner(WindowHandle window) {
  HWND root = GetAncestor(ToHwnd(window), GA_ROOTOWNER);
  return root ? FromHwnd(root) : window;
}

bool Win32WindowSystem::HasHigherIntegrity(WindowHandle window) {
  DWORD pid = 0;
  if (!GetWindowThreadProcessId(ToHwnd(window), &pid) || pid == 0) return false;
  const DWORD own = OwnIntegrity();
  if (own == kUnknownIntegrity) return false;

  // The limited right works across integrity levels. A process that still
  // cannot be opened (another account, a protected process) is not taken
  // as higher: the delivery tries and reports input that was not accepted.
  Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  Handle token;
  if (!process.get() || !OpenProcessToken(process.get(), TOKEN_QUERY, token.out())) return false;
  DWORD target = IntegrityOfToken(token.get());
  return target != kUnknownIntegrity && target > own;
}

void Win32WindowSystem::PostCommand(WindowHandle window, unsigned commandId) {
  PostMessageW(ToHwnd(window), WM_COMMAND, commandId, 0);
}

void Win32WindowSystem::ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // leave it to the main loop
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace zelvo
