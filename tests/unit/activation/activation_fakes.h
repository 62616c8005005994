// Fakes of the platform interfaces the activation code uses.
#pragma once

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/autostart_platform.h"
#include "platform/hotkey_registrar.h"
#include "fakes/fake_services.h"
#include "fakes/fake_shell.h"

namespace zelvo::activation_test {

// Registrations held by "other programs" refuse the same combination.
class FakeHotkeyRegistrar : public HotkeyRegistrar {
 public:
  std::set<std::pair<unsigned, unsigned>> takenByOthers;  // (virtualKey, modifiers)
  bool registered = false;
  unsigned virtualKey = 0, modifiers = 0;
  std::vector<std::string> log;

  bool Install(unsigned vk, unsigned mods) override {
    log.push_back("install " + std::to_string(vk) + "/" + std::to_string(mods));
    if (registered || takenByOthers.count({vk, mods})) return false;
    registered = true;
    virtualKey = vk;
    modifiers = mods;
    return true;
  }
  void Remove() override {
    log.push_back("remove");
    registered = false;
  }
};

class FakeAutostartPlatform : public AutostartPlatform {
 public:
  std::map<std::string, std::string> runValues;
  std::string startupFolder;
  std::string exePath = "C:\\Program Files\\Zelvo Script\\Zelvoscript.exe";
  bool attributesFail = false, deleteFails = false;
  int writes = 0;

  bool RunValueExists(const std::string& name) override { return runValues.count(name) != 0; }
  void SetRunValue(const std::string& name, const std::string& data) override {
    ++writes;
    runValues[name] = data;
  }
  void DeleteRunValue(const std::string& name) override {
    ++writes;
    runValues.erase(name);
  }
  std::string StartupFolder() override { return startupFolder; }
  std::string ExecutablePath() override { return exePath; }
  bool ClearFileAttributes(const std::string&) override { return !attributesFail; }
  bool RemoveFile(const std::string& path) override {
    return !deleteFails && std::remove(path.c_str()) == 0;
  }
};

}  // namespace zelvo::activation_test
