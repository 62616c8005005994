#include "store/history.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace zelvo {
namespace {

constexpr long long kDay = 24 * 60 * 60;
constexpr long long kRunSeconds = 10 * 60;
constexpr long long kKeepDays = 30;
constexpr std::size_t kMaxBackups = 200;
constexpr const char* kRestoreMark = "vor-Wiederherstellung";
constexpr const char* kExtension = ".ini";

std::size_t LastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

bool NeedsEscape(unsigned char c) {
  return c < 0x20 || c == 0x7F || std::string("\\/:*?\"<>|%_").find(static_cast<char>(c)) != std::string::npos;
}

std::string Escape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    // Windows drops a trailing dot or blank from a file name.
    const bool last = i + 1 == s.size();
    if (NeedsEscape(c) || (last && (c == '.' || c == ' '))) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::string> Unescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%') {
      out += s[i];
      continue;
    }
    if (i + 2 >= s.size()) return std::nullopt;
    const int hi = HexDigit(s[i + 1]), lo = HexDigit(s[i + 2]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return out;
}

std::vector<std::string> Split(const std::string& s, char by) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = s.find(by, start);
    parts.push_back(s.substr(start, at - start));
    if (at == std::string::npos) return parts;
    start = at + 1;
  }
}

bool ReadNumbers(const std::string& s, char by, int (&out)[3]) {
  const std::vector<std::string> parts = Split(s, by);
  if (parts.size() != 3) return false;
  for (int i = 0; i < 3; ++i) {
    if (parts[i].empty() || parts[i].size() > 4) return false;
    out[i] = 0;
    for (char c : parts[i]) {
      if (c < '0' || c > '9') return false;
      out[i] = out[i] * 10 + (c - '0');
    }
  }
  return true;
}

long long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

long long DayOf(const LocalTime& t) { return DaysFromCivil(t.year, t.month, t.day); }

bool Older(const BackupInfo& a, const BackupInfo& b) {
  const long long ta = SerialSeconds(a.time), tb = SerialSeconds(b.time);
  if (ta != tb) return ta < tb;
  return a.serial != b.serial ? a.serial < b.serial : a.fileName < b.fileName;
}

}  // namespace

std::string BackupFolder(const std::string& dataPath) {
  const std::size_t sep = LastSeparator(dataPath);
  if (sep == std::string::npos) return kBackupFolderName;
  return dataPath.substr(0, sep + 1) + kBackupFolderName;
}

std::string BackupPath(const std::string& dataPath, const std::string& fileName) {
  const std::size_t sep = LastSeparator(dataPath);
  const char slash = sep == std::string::npos ? '/' : dataPath[sep];
  return BackupFolder(dataPath) + slash + fileName;
}

std::string BackupFileName(const BackupInfo& info) {
  const LocalTime& t = info.time;
  char stamp[40];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d_%02d-%02d-%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  std::string name = stamp;
  if (info.serial > 1) name += "." + std::to_string(info.serial);
  name += "_" + Escape(info.user) + "_" + Escape(info.pc);
  if (info.beforeRestore) name += std::string("_") + kRestoreMark;
  return name + kExtension;
}

std::optional<BackupInfo> ParseBackupFileName(const std::string& fileName) {
  const std::string ext = kExtension;
  if (fileName.size() <= ext.size() || fileName.compare(fileName.size() - ext.size(), ext.size(), ext) != 0)
    return std::nullopt;
  const std::vector<std::string> parts = Split(fileName.substr(0, fileName.size() - ext.size()), '_');
  if (parts.size() != 4 && !(parts.size() == 5 && parts[4] == kRestoreMark)) return std::nullopt;
  BackupInfo info;
  info.fileName = fileName;
  info.beforeRestore = parts.size() == 5;
  int date[3], time[3];
  const std::size_t dot = parts[1].find('.');
  const std::string clock = parts[1].substr(0, dot);
  if (!ReadNumbers(parts[0], '-', date) || !ReadNumbers(clock, '-', time)) return std::nullopt;
  if (dot != std::string::npos) {
    const std::string serial = parts[1].substr(dot + 1);
    if (serial.empty() || serial.size() > 6 || serial.find_first_not_of("0123456789") != std::string::npos)
      return std::nullopt;
    info.serial = std::stoi(serial);
  }
  info.time.year = date[0];
  info.time.month = date[1];
  info.time.day = date[2];
  info.time.hour = time[0];
  info.time.minute = time[1];
  info.time.second = time[2];
  if (info.time.month < 1 || info.time.month > 12 || info.time.day < 1 || info.time.day > 31 ||
      info.time.hour > 23 || info.time.minute > 59 || info.time.second > 60)
    return std::nullopt;
  const auto user = Unescape(parts[2]), pc = Unescape(parts[3]);
  if (!user || !pc) return std::nullopt;
  info.user = *user;
  info.pc = *pc;
  return info;
}

long long SerialSeconds(const LocalTime& t) {
  return DayOf(t) * kDay + t.hour * 3600LL + t.minute * 60LL + t.second;
}

std::vector<std::string> BackupsToRemove(const std::vector<BackupInfo>& backups, const LocalTime& now) {
  std::vector<const BackupInfo*> byAge;
  for (const BackupInfo& b : backups) byAge.push_back(&b);
  // Oldest first; the name orders backups of one second.
  std::sort(byAge.begin(), byAge.end(), [](const BackupInfo* a, const BackupInfo* b) { return Older(*a, *b); });
  const long long nowSeconds = SerialSeconds(now);
  std::vector<bool> keep(byAge.size(), false);
  const BackupInfo* runStart = nullptr;  // the kept first backup of the current run
  for (std::size_t i = 0; i < byAge.size(); ++i) {
    const BackupInfo& b = *byAge[i];
    const long long age = nowSeconds - SerialSeconds(b.time);
    if (age < kDay) {
      const BackupInfo* previous = i > 0 ? byAge[i - 1] : nullptr;
      const bool sameRun = runStart && previous && previous->user == b.user && previous->pc == b.pc &&
                           runStart->user == b.user && runStart->pc == b.pc && !b.beforeRestore &&
                           SerialSeconds(b.time) - SerialSeconds(runStart->time) < kRunSeconds;
      if (!sameRun) {
        keep[i] = true;
        runStart = &b;
      }
    } else if (age <= kKeepDays * kDay) {
      // The last backup of each day.
      keep[i] = i + 1 == byAge.size() || DayOf(byAge[i + 1]->time) != DayOf(b.time) ||
                nowSeconds - SerialSeconds(byAge[i + 1]->time) < kDay;
    }
  }
  if (!byAge.empty()) keep.back() = keep.back() || nowSeconds - SerialSeconds(byAge.back()->time) >= kDay;
  std::size_t kept = static_cast<std::size_t>(std::count(keep.begin(), keep.end(), true));
  for (std::size_t i = 0; kept > kMaxBackups && i + 1 < byAge.size(); ++i)
    if (keep[i]) {
      keep[i] = false;
      --kept;
    }
  std::vector<std::string> remove;
  for (std::size_t i = 0; i < byAge.size(); ++i)
    if (!keep[i]) remove.push_back(byAge[i]->fileName);
  return remove;
}

FileError ListBackups(FileSystem& files, const std::string& dataPath, std::vector<BackupInfo>& out) {
  std::vector<std::string> names;
  const FileError e = files.ListFiles(BackupFolder(dataPath), names);
  if (e != FileError::None) return e;
  for (const std::string& name : names)
    if (auto info = ParseBackupFileName(name)) out.push_back(std::move(*info));
  std::sort(out.begin(), out.end(), [](const BackupInfo& a, const BackupInfo& b) { return Older(b, a); });
  return FileError::None;
}

FileError KeepBackup(FileSystem& files, const std::string& dataPath, const std::string& bytes,
                     BackupInfo info) {
  const std::string folder = BackupFolder(dataPath);
  FileError e = files.CreateFolders(folder);
  if (e != FileError::None) return e;
  std::vector<BackupInfo> existing;
  e = ListBackups(files, dataPath, existing);
  if (e != FileError::None) return e;
  std::set<std::string> taken;
  for (const BackupInfo& b : existing) taken.insert(b.fileName);
  for (info.serial = 1; taken.count(info.fileName = BackupFileName(info)); ++info.serial) {
  }
  std::vector<BackupInfo> all = existing;
  all.push_back(info);
  const std::vector<std::string> remove = BackupsToRemove(all, info.time);
  // A backup that pruning would remove at once (a later change within a
  // run) is not written at all.
  if (std::find(remove.begin(), remove.end(), info.fileName) == remove.end()) {
    e = files.WriteNew(BackupPath(dataPath, info.fileName), bytes);
    if (e != FileError::None) return e;
  }
  // Another PC may prune at the same moment: a backup already gone is fine.
  for (const std::string& name : remove)
    if (name != info.fileName) files.RemoveFile(BackupPath(dataPath, name));
  return FileError::None;
}

}  // namespace zelvo
