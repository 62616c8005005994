#include "platform/win32/win32_clipboard.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/wide.h"

namespace zelvo {

namespace {

constexpr wchar_t kOwnerClass[] = L"ZelvoscriptClipboardOwner";

// Puts a copy of `bytes` on the open clipboard in `format`.
bool PutData(UINT format, const void* bytes, size_t size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return false;
  void* target = GlobalLock(memory);
  if (!target) {
    GlobalFree(memory);
    return false;
  }
  std::memcpy(target, bytes, size);
  GlobalUnlock(memory);
  if (!SetClipboardData(format, memory)) {
    GlobalFree(memory);  // still ours when the clipboard did not take it
    return false;
  }
  return true;
}

bool PutText(const std::wstring& text) {
  return PutData(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

void PutSecretMarkers() {
  const DWORD zero = 0;
  for (const wchar_t* name : {L"ExcludeClipboardContentFromMonitorProcessing",
                              L"CanIncludeInClipboardHistory", L"CanUploadToCloudClipboard"}) {
    if (UINT format = RegisterClipboardFormatW(name)) PutData(format, &zero, sizeof zero);
  }
}

// Another program may hold the clipboard open for a moment.
bool OpenWithRetries(HWND owner) {
  for (int wait : {10, 20, 40, 80, 160, 0}) {
    if (OpenClipboard(owner)) return true;
    if (wait) Sleep(wait);
  }
  return false;
}

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<Win32Clipboard*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_RENDERFORMAT:
    case WM_RENDERALLFORMATS:
    case WM_DESTROYCLIPBOARD:
      if (self) self->OnOwnerMessage(msg);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

Win32Clipboard::~Win32Clipboard() {
  if (owner_) DestroyWindow(static_cast<HWND>(owner_));
  ForgetSecret();
}

void* Win32Clipboard::Owner() {
  if (owner_) return owner_;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = OwnerProc;
  wc.hInstance = instance;
  wc.lpszClassName = kOwnerClass;
  RegisterClassW(&wc);  // fails harmlessly when a second instance registered it
  HWND hwnd = CreateWindowExW(0, kOwnerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                              nullptr);
  if (hwnd) SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  owner_ = hwnd;
  return owner_;
}

void Win32Clipboard::ForgetSecret() {
  std::fill(secret_.begin(), secret_.end(), L'\0');
  secret_.clear();
}

void Win32Clipboard::OnOwnerMessage(unsigned message) {
  switch (message) {
    case WM_RENDERFORMAT:
      // The clipboard is open for the program that asked; we only add data.
      if (!taken_) PutText(secret_);
      taken_ = true;
      ForgetSecret();
      break;
    case WM_RENDERALLFORMATS:
      // We are going away: a secret is not left behind.
      if (OpenClipboard(static_cast<HWND>(owner_))) {
        if (GetClipboardOwner() == owner_) EmptyClipboard();
        CloseClipboard();
      }
      ForgetSecret();
      break;
    case WM_DESTROYCLIPBOARD:
      ForgetSecret();
      break;
  }
}

bool Win32Clipboard::SetText(const std::string& text, bool secret) {
  HWND owner = static_cast<HWND>(Owner());
  if (!owner || !OpenWithRetries(owner)) return false;
  std::wstring wide = Widen(text);
  bool ok = EmptyClipboard() != FALSE;  // sends our own WM_DESTROYCLIPBOARD first
  taken_ = false;
  if (ok && secret) {
    secret_ = std::move(wide);
    SetClipboardData(CF_UNICODETEXT, nullptr);  // rendered when asked for
    PutSecretMarkers();
  } else if (ok) {
    ok = PutText(wide);
  }
  CloseClipboard();
  return ok;
}

std::optional<std::string> Win32Clipboard::Text() {
  if (!OpenWithRetries(static_cast<HWND>(Owner()))) return std::nullopt;
  std::optional<std::string> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      const size_t units = GlobalSize(data) / sizeof(wchar_t);
      text = Narrow(chars, std::find(chars, chars + units, L'\0') - chars);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool Win32Clipboard::SecretTaken() {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  return taken_;
}

bool Win32Clipboard::HoldsOurText() { return owner_ && GetClipboardOwner() == owner_; }

bool Win32Clipboard::Clear() {
  if (!OpenWithRetries(static_cast<HWND>(Owner()))) return false;
  bool ok = EmptyClipboard() != FALSE;
  CloseClipboard();
  return ok;
}

}  // namespace zelvo
