// Fakes of the small platform interfaces: settings store and system facts.
#pragma once

#include <map>
#include <string>

#include "platform/app_settings.h"
#include "platform/system_info.h"

namespace zelvo {

class FakeAppSettings : public AppSettings {
 public:
  std::map<std::string, std::string> values;
  std::map<std::string, std::string> machineValues;
  bool failSaves = false;

  std::string Get(const std::string& key, const std::string& fallback) override {
    const auto it = values.find(key);
    return it == values.end() ? fallback : it->second;
  }
  bool Save(const std::string& key, const std::string& value) override {
    if (failSaves) return false;
    values[key] = value;
    return true;
  }
  std::string GetMachineWide(const std::string& key) override {
    const auto it = machineValues.find(key);
    return it == machineValues.end() ? "" : it->second;
  }
};

class FakeSystemInfo : public SystemInfo {
 public:
  std::string userName = "mkraus";
  std::string computerName = "PC-EMPFANG";
  bool ntPlatform = true;
  std::string programFolder = "/opt/zelvoscript/";
  std::string userDataFolder, localUserDataFolder;

  std::string UserName() override { return userName; }
  std::string ComputerName() override { return computerName; }
  bool IsNTPlatform() override { return ntPlatform; }
  std::string ProgramFolder() override { return programFolder; }
  std::string UserDataFolder() override { return userDataFolder; }
  std::string LocalUserDataFolder() override { return localUserDataFolder; }
};

}  // namespace zelvo
