#include "platform/win32/win32_clipboard.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/wide.h"

namespace zelvo {

namespace {

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

}  // namespace

Win32Clipboard::~Win32Clipboard() {
  if (owner_) DestroyWindow(static_cast<HWND>(owner_));
}

bool Win32Clipboard::SetText(const std::string& text, bool secret) {
  if (!owner_) {
    owner_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  }
  if (!OpenWithRetries(static_cast<HWND>(owner_))) return false;
  std::wstring wide = Widen(text);
  bool ok = EmptyClipboard() &&
            PutData(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  if (ok && secret) PutSecretMarkers();
  CloseClipboard();
  return ok;
}

}  // namespace zelvo
