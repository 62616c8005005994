#include "platform/win32/win32_system_info.h"

#include <windows.h>

#include <shlobj.h>

#include "platform/win32/wide.h"

namespace zelvo {
namespace {

// Calls `get(buffer, &size)` with a 512-character buffer; empty on failure.
template <typename F>
std::string NameFrom(F get) {
  wchar_t buffer[512];
  DWORD size = 512;
  if (!get(buffer, &size)) return {};
  buffer[511] = L'\0';
  return Narrow(std::wstring(buffer));
}

std::string KnownFolder(int csidl) {
  wchar_t path[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) || !path[0]) return {};
  return Narrow(path) + "\\";
}

}  // namespace

std::string Win32SystemInfo::UserDataFolder() { return KnownFolder(CSIDL_APPDATA); }

std::string Win32SystemInfo::LocalUserDataFolder() { return KnownFolder(CSIDL_LOCAL_APPDATA); }

std::string Win32SystemInfo::UserName() { return NameFrom(GetUserNameW); }

std::string Win32SystemInfo::ComputerName() { return NameFrom(GetComputerNameW); }

bool Win32SystemInfo::IsNTPlatform() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExW(&info)) return true;  // every system this build runs on is NT-family
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::string Win32SystemInfo::ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return Narrow(path.substr(0, path.find_last_of(L"\\/") + 1));
}

}  // namespace zelvo
