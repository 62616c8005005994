// Per-user settings as text values in the current user's registry.
#pragma once

#include "platform/app_settings.h"

namespace zelvo {

// Where earlier versions of the program kept the same values.
inline constexpr const wchar_t* kAppSettingsKey =
    L"Software\\VB and VBA Program Settings\\Brannox Software\\Zelvoscript";
// Where the installer and administrators put values for every user. The
// installer is 32-bit, so both builds read the 32-bit view of the registry.
inline constexpr const wchar_t* kMachineSettingsKey = L"Software\\Brannox Software\\Zelvoscript";

class Win32AppSettings : public AppSettings {
 public:
  explicit Win32AppSettings(const wchar_t* subKey = kAppSettingsKey,
                            const wchar_t* machineKey = kMachineSettingsKey)
      : subKey_(subKey), machineKey_(machineKey) {}
  std::string Get(const std::string& key, const std::string& fallback) override;
  bool Save(const std::string& key, const std::string& value) override;
  std::string GetMachineWide(const std::string& key) override;

 private:
  const wchar_t* subKey_;
  const wchar_t* machineKey_;
};

}  // namespace zelvo
