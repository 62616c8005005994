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
};

class FakeSystemInfo : public SystemInfo {
 public:
  std::string userName = "mkraus";
  std::string computerName = "PC-EMPFANG";
  bool ntPlatform = true;
  std::string programFolder = "/opt/zelvoscript/";

  std::string UserName() override { return userName; }
  std::string ComputerName() override { return computerName; }
  bool IsNTPlatform() override { return ntPlatform; }
  std::string ProgramFolder() override { return programFolder; }
};

}  // namespace zelvo
