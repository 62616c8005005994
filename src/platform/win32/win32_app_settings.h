// Per-user settings as text values in the current user's registry.
#pragma once

#include "platform/app_settings.h"

namespace zelvo {

// Where earlier versions of the program kept the same values.
inline constexpr const wchar_t* kAppSettingsKey =
    L"Software\\VB and VBA Program Settings\\Brannox Software\\Zelvoscript";

class Win32AppSettings : public AppSettings {
 public:
  explicit Win32AppSettings(const wchar_t* subKey = kAppSettingsKey) : subKey_(subKey) {}
  std::string Get(const std::string& key, const std::string& fallback) override;
  bool Save(const std::string& key, const std::string& value) override;

 private:
  const wchar_t* subKey_;
};

}  // namespace zelvo
