// Holds a global hotkey the way another program would, so that Zelvoscript
// meets a combination that is already taken:
//   hotkey_holder [modifiers virtual-key]     default: Strg + F5 (2 0x74)
// Once registered it shows a hidden window titled "Hotkey-Halter" (tests wait
// for it) and waits until it is ended. Exit code 1 when registration failed.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  const UINT modifiers = argc > 2 ? static_cast<UINT>(wcstoul(argv[1], nullptr, 0)) : MOD_CONTROL;
  const UINT key = argc > 2 ? static_cast<UINT>(wcstoul(argv[2], nullptr, 0)) : VK_F5;
  if (!RegisterHotKey(nullptr, 1, modifiers, key)) return 1;
  CreateWindowExW(0, L"STATIC", L"Hotkey-Halter", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                  GetModuleHandleW(nullptr), nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
