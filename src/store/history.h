// Backups of the shared data file: every version a write replaces is kept
// as an exact byte copy in a folder beside the file, and thinned out later.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"

namespace zelvo {

inline constexpr const char* kBackupFolderName = "Zelvoscript-Sicherungen";

// One backup: the version of the data file that a write replaced, named by
// the time of that write and the user and PC that made it.
struct BackupInfo {
  std::string fileName;  // without folder
  LocalTime time;        // when the version was replaced
  std::string user, pc;  // who replaced it
  int serial = 1;        // tells apart backups of one second, in order
  // Taken before a restore: kept even inside a run of one writer's changes,
  // so a restore can always be undone.
  bool beforeRestore = false;
};

std::string BackupFolder(const std::string& dataPath);
std::string BackupPath(const std::string& dataPath, const std::string& fileName);

// "2026-12-07_14-05-09_User_PC.ini", with ".2", ".3" ... after the time
// for further backups of one second. Characters a file name cannot hold, and "_" and "%", are
// written as "%XX".
std::string BackupFileName(const BackupInfo& info);
std::optional<BackupInfo> ParseBackupFileName(const std::string& fileName);

// Seconds since 1.1.1970 of a local time, for comparing times only.
long long SerialSeconds(const LocalTime& t);

// Which backups pruning removes, given all of them and the time now:
// within 24 hours every one, except that of a run of one user and PC's
// changes within 10 minutes only the oldest stays; older ones one per day
// (the last of it) up to 30 days; at most 200; never the newest.
std::vector<std::string> BackupsToRemove(const std::vector<BackupInfo>& backups, const LocalTime& now);

// Backups in the folder beside the data file, newest first.
FileError ListBackups(FileSystem& files, const std::string& dataPath, std::vector<BackupInfo>& out);

// Keeps `bytes` (the version being replaced) as a backup named after
// `info`, unless pruning would remove it at once, and prunes the folder.
FileError KeepBackup(FileSystem& files, const std::string& dataPath, const std::string& bytes,
                     BackupInfo info);

}  // namespace zelvo
