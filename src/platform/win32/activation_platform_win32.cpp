#include "platform/win32/activation_platform_win32.h"

#include <windows.h>

#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace zelvo {
namespace {

constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kShellFoldersKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

bool OpenKey(UniqueRegKey& key, const wchar_t* path, REGSAM access) {
  return RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, access, key.Out()) == ERROR_SUCCESS;
}

}  // namespace

bool Win32AutostartPlatform::RunValueExists(const std::string& name) {
  UniqueRegKey key;
  if (!OpenKey(key, kRunKey, KEY_QUERY_VALUE)) return false;
  return RegQueryValueExW(key.Get(), Widen(name).c_str(), nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

void Win32AutostartPlatform::SetRunValue(const std::string& name, const std::string& data) {
  UniqueRegKey key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Out(),
                      nullptr) != ERROR_SUCCESS)
    return;
  const std::wstring text = Widen(data);
  RegSetValueExW(key.Get(), Widen(name).c_str(), 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void Win32AutostartPlatform::DeleteRunValue(const std::string& name) {
  UniqueRegKey key;
  if (!OpenKey(key, kRunKey, KEY_SET_VALUE)) return;
  RegDeleteValueW(key.Get(), Widen(name).c_str());
}

std::string Win32AutostartPlatform::StartupFolder() {
  UniqueRegKey key;
  if (!OpenKey(key, kShellFoldersKey, KEY_QUERY_VALUE)) return "";
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.Get(), L"Startup", nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return "";
  if (type != REG_SZ && type != REG_EXPAND_SZ) return "";
  std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (RegQueryValueExW(key.Get(), L"Startup", nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                       &size) != ERROR_SUCCESS)
    return "";
  // The stored data may or may not end in NUL characters.
  std::wstring folder(buffer.data(), size / sizeof(wchar_t));
  const size_t end = folder.find(L'\0');
  if (end != std::wstring::npos) folder.resize(end);
  return Narrow(folder);
}

std::string Win32AutostartPlatform::ExecutablePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return "";
    if (n < buffer.size()) return Narrow(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

bool Win32AutostartPlatform::ClearFileAttributes(const std::string& path) {
  return SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL) != FALSE;
}

bool Win32AutostartPlatform::RemoveFile(const std::string& path) {
  return DeleteFileW(Widen(path).c_str()) != FALSE;
}

}  // namespace zelvo
