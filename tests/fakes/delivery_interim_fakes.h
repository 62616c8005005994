// Minimal fakes of the store's platform interfaces for the delivery tests.
// To be replaced by the shared fakes of tests/fakes once they exist.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/services.h"

namespace zelvo::interim {

class FakeClock : public Clock {
 public:
  LocalTime now{2026, 12, 7, 14, 5, 9, 1};
  int nowCalls = 0;
  int sleptMs = 0;

  LocalTime Now() override {
    ++nowCalls;
    return now;
  }
  std::string ShortDate(const LocalTime& t) override {
    char b[32];
    std::snprintf(b, sizeof b, "%02d.%02d.%04d", t.day, t.month, t.year);
    return b;
  }
  std::string LongTime(const LocalTime& t) override {
    char b[32];
    std::snprintf(b, sizeof b, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return b;
  }
  std::string WeekdayName(const LocalTime& t) override {
    static const char* names[] = {"Sonntag", "Montag", "Dienstag", "Mittwoch",
                                  "Donnerstag", "Freitag", "Samstag"};
    return names[t.weekday];
  }
  double SecondsSinceMidnight() override { return 0; }
  void SleepMs(int ms) override { sleptMs += ms; }
};

class FakeFiles : public FileSystem {
 public:
  struct File {
    std::string bytes;
    bool regular = true;
    bool hidden = false;
    FileError readError = FileError::None;
    long long size = -1;  // -1: the size of `bytes`
  };
  std::map<std::string, File> files;
  std::map<std::string, int> reads;

  FileError ReadAll(const std::string& path, std::string& bytes) override {
    ++reads[path];
    auto it = files.find(path);
    if (it == files.end()) return FileError::NotFound;
    if (it->second.readError != FileError::None) return it->second.readError;
    bytes = it->second.bytes;
    return FileError::None;
  }
  bool FileExists(const std::string& path) override {
    auto it = files.find(path);
    return it != files.end() && it->second.regular && !it->second.hidden;
  }
  bool IsRegularFile(const std::string& path) override {
    auto it = files.find(path);
    return it != files.end() && it->second.regular;
  }
  long long FileSize(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end() || !it->second.regular) return -1;
    return it->second.size >= 0 ? it->second.size : (long long)it->second.bytes.size();
  }
  FileError WithExclusiveLock(const std::string&, const std::function<FileError()>& body) override {
    return body();
  }
  FileError ReplaceAtomically(const std::string& path, const std::string& bytes) override {
    files[path].bytes = bytes;
    return FileError::None;
  }
  FileError CopyNew(const std::string&, const std::string&) override { return FileError::Other; }
};

class FakeDialogs : public Dialogs {
 public:
  struct Shown {
    std::string title;
    Message message;
  };
  std::vector<Shown> shown;
  std::vector<std::string>* log = nullptr;

  MsgResult Show(const std::string& title, const Message& m) override {
    if (log) log->push_back("message");
    shown.push_back({title, m});
    return MsgResult::Ok;
  }
  std::optional<std::string> InputBox(const std::string&, const std::string&,
                                      const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> BrowseForFolder(const std::string&) override { return std::nullopt; }
};

class FakeRandom : public RandomSource {
 public:
  void Reseed(double) override {}
  double Next() override { return 0.25; }
};

class FakeSettings : public AppSettings {
 public:
  std::string Get(const std::string&, const std::string& fallback) override { return fallback; }
  bool Save(const std::string&, const std::string&) override { return true; }
};

class FakeSystem : public SystemInfo {
 public:
  std::string UserName() override { return "anna"; }
  std::string ComputerName() override { return "PC1"; }
  bool IsNTPlatform() override { return true; }
  std::string ProgramFolder() override { return "C:\\Programme\\Zelvoscript\\"; }
};

// Every fake of Services in one place.
struct FakeServices {
  FakeFiles files;
  FakeClock clock;
  FakeRandom random;
  FakeSettings settings;
  FakeDialogs dialogs;
  FakeSystem system;
  Services services{files, clock, random, settings, dialogs, system};
};

}  // namespace zelvo::interim
