#include "platform/win32/win32_app_settings.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace zelvo {

std::string Win32AppSettings::Get(const std::string& key, const std::string& fallback) {
  UniqueRegKey k;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey_, 0, KEY_QUERY_VALUE, k.Out()) != ERROR_SUCCESS)
    return fallback;
  const std::wstring name = Widen(key);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(k.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return fallback;
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegQueryValueExW(k.Get(), name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return fallback;
  // The stored data may or may not end in a NUL.
  value.resize(size / sizeof(wchar_t));
  size_t end = value.find(L'\0');
  if (end != std::wstring::npos) value.resize(end);
  return Narrow(value);
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
