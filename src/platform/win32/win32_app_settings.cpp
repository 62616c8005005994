#include "platform/win32/win32_app_settings.h"

#include <windows.h>

#include <optional>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace zelvo {
namespace {

// A text value; REG_EXPAND_SZ (an administrator's "%LOGONSERVER%\...") is
// expanded. Nothing when the key or value is missing or not text.
std::optional<std::string> ReadText(HKEY root, const wchar_t* subKey, REGSAM view, const std::string& key) {
  UniqueRegKey k;
  if (RegOpenKeyExW(root, subKey, 0, KEY_QUERY_VALUE | view, k.Out()) != ERROR_SUCCESS) return std::nullopt;
  const std::wstring name = Widen(key);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(k.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegQueryValueExW(k.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                       &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  // The stored data may or may not end in a NUL.
  value.resize(size / sizeof(wchar_t));
  size_t end = value.find(L'\0');
  if (end != std::wstring::npos) value.resize(end);
  if (type == REG_EXPAND_SZ) {
    const DWORD needed = ExpandEnvironmentStringsW(value.c_str(), nullptr, 0);
    std::wstring expanded(needed, L'\0');
    if (needed && ExpandEnvironmentStringsW(value.c_str(), expanded.data(), needed) == needed) {
      expanded.resize(needed - 1);
      value = expanded;
    }
  }
  return Narrow(value);
}

}  // namespace

std::string Win32AppSettings::Get(const std::string& key, const std::string& fallback) {
  return ReadText(HKEY_CURRENT_USER, subKey_, 0, key).value_or(fallback);
}

std::string Win32AppSettings::GetMachineWide(const std::string& key) {
  return ReadText(HKEY_LOCAL_MACHINE, machineKey_, KEY_WOW64_32KEY, key).value_or("");
}

bool Win32AppSettings::Save(const std::string& key, const std::string& value) {
  UniqueRegKey k;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, subKey_, 0, nullptr, 0, KEY_SET_VALUE, nullptr, k.Out(),
                      nullptr) != ERROR_SUCCESS)
    return false;
  const std::wstring data = Widen(value);
  return RegSetValueExW(k.Get(), Widen(key).c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace zelvo
