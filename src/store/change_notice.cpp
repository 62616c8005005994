#include "store/change_notice.h"

#include <utility>
#include <vector>

#include "store/change_summary.h"
#include "store/history.h"

namespace zelvo {

namespace {

// "Brief, Gruß und 3 weitere": the balloon holds only a few lines.
std::string Names(const std::vector<std::string>& names) {
  constexpr std::size_t kShown = 3;
  std::string out;
  for (std::size_t i = 0; i < names.size() && i < kShown; ++i) out += (i ? ", " : "") + names[i];
  if (names.size() > kShown) out += " und " + std::to_string(names.size() - kShown) + " weitere";
  return out;
}

std::string BalloonText(const BackupInfo& by, const ChangeSummary& s) {
  std::string text = by.user + " (" + by.pc + ") hat die Textbausteine geändert.";
  const auto line = [&](const char* label, const std::vector<std::string>& names) {
    if (!names.empty()) text += "\r\n" + std::string(label) + Names(names);
  };
  line("Hinzugefügt: ", s.added);
  line("Gelöscht: ", s.removed);
  line("Geändert: ", s.changed);
  std::vector<std::string> renames;
  for (const auto& [was, now] : s.renamed) renames.push_back(was + " → " + now);
  line("Umbenannt: ", renames);
  return text;
}

}  // namespace

std::optional<std::string> ChangeNotice::After(Services& services, const std::string& dataPath,
                                               const IniDocument& now) {
  std::vector<BackupInfo> backups;
  if (ListBackups(services.files, dataPath, backups) != FileError::None) backups.clear();
  const std::string newest = backups.empty() ? "" : backups.front().fileName;
  if (dataPath != path_) {
    path_ = dataPath;
    startedAt_ = newest;
    lastTold_.clear();
    return std::nullopt;
  }
  // Nothing newer than what this PC started with: the change kept no
  // backup (an older version, or only the lock record) and names nobody.
  if (newest.empty() || newest == startedAt_) return std::nullopt;
  const BackupInfo& by = backups.front();
  if (by.user == services.system.UserName() && by.pc == services.system.ComputerName())
    return std::nullopt;
  std::string bytes;
  if (services.files.ReadAll(BackupPath(dataPath, newest), bytes) != FileError::None)
    return std::nullopt;
  const ChangeSummary summary = SummarizeChanges(IniDocument::Parse(std::move(bytes)), now);
  if (summary.Empty()) return std::nullopt;
  // One writer's changes within minutes share one backup: each further
  // change shows again, with everything since that backup.
  std::string told = newest + '\n' + DescribeChanges(summary);
  if (told == lastTold_) return std::nullopt;
  lastTold_ = std::move(told);
  return BalloonText(by, summary);
}

}  // namespace zelvo
