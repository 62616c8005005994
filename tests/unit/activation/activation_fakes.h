// Fakes of the platform interfaces the activation code uses.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/autostart_platform.h"
#include "platform/hotkey_registrar.h"
#include "platform/services.h"
#include "platform/shell.h"

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

struct ShownMessage {
  std::string title;
  Message message;
};

class FakeDialogs : public Dialogs {
 public:
  std::vector<ShownMessage> shown;
  MsgResult Show(const std::string& title, const Message& message) override {
    shown.push_back({title, message});
    return MsgResult::Ok;
  }
  std::optional<std::string> InputBox(const std::string&, const std::string&,
                                      const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> BrowseForFolder(const std::string&) override { return std::nullopt; }
};

class FakeFiles : public FileSystem {
 public:
  std::set<std::string> files;
  FileError ReadAll(const std::string&, std::string&) override { return FileError::NotFound; }
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }
  bool IsRegularFile(const std::string& path) override { return FileExists(path); }
  long long FileSize(const std::string&) override { return -1; }
  FileError WithExclusiveLock(const std::string&, const std::function<FileError()>& body) override {
    return body();
  }
  FileError ReplaceAtomically(const std::string&, const std::string&) override {
    return FileError::Other;
  }
  FileError CopyNew(const std::string&, const std::string&) override { return FileError::Other; }
};

class NullClock : public Clock {
 public:
  LocalTime Now() override { return {}; }
  std::string ShortDate(const LocalTime&) override { return ""; }
  std::string LongTime(const LocalTime&) override { return ""; }
  std::string WeekdayName(const LocalTime&) override { return ""; }
  double SecondsSinceMidnight() override { return 0; }
  void SleepMs(int) override {}
};

class NullRandom : public RandomSource {
 public:
  void Reseed(double) override {}
  double Next() override { return 0; }
};

class NullAppSettings : public AppSettings {
 public:
  std::string Get(const std::string&, const std::string& fallback) override { return fallback; }
  bool Save(const std::string&, const std::string&) override { return true; }
};

class NullSystemInfo : public SystemInfo {
 public:
  std::string UserName() override { return "user"; }
  std::string ComputerName() override { return "pc"; }
  bool IsNTPlatform() override { return true; }
  std::string ProgramFolder() override { return "C:\\Programme\\Zelvoscript\\"; }
};

struct FakeServices {
  FakeFiles files;
  NullClock clock;
  NullRandom random;
  NullAppSettings settings;
  FakeDialogs dialogs;
  NullSystemInfo system;
  Services services{files, clock, random, settings, dialogs, system};
};

class FakeAutostartPlatform : public AutostartPlatform {
 public:
  std::map<std::string, std::string> runValues;
  std::string startupFolder;
  std::string exePath = "C:\\Program Files\\Zelvo Script\\Zelvoscript.exe";
  FakeFiles* files = nullptr;  // the shortcut lives here
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
    if (deleteFails) return false;
    if (files) files->files.erase(path);
    return true;
  }
};

class FakeShell : public Shell {
 public:
  std::vector<std::string> started;
  bool StartCommandLine(const std::string& commandLine) override {
    started.push_back(commandLine);
    return true;
  }
};

}  // namespace zelvo::activation_test
