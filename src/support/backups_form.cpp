#include "support/backups_form.h"

#include <utility>
#include <algorithm>

#include "store/change_summary.h"
#include "store/restore.h"
#include "store/snippet_store.h"

namespace zelvo {

namespace {

// A backup as a document, or nothing when it cannot be read (the list then
// shows "?" instead of its number of entries).
std::optional<IniDocument> ReadQuietly(Services& services, const std::string& dataPath,
                                       const std::string& fileName) {
  std::string bytes;
  if (services.files.ReadAll(BackupPath(dataPath, fileName), bytes) != FileError::None)
    return std::nullopt;
  return IniDocument::Parse(std::move(bytes));
}

}  // namespace

void BackupsForm::OnLoad() {
  Services& services = program_.services();
  const std::string& path = program_.dataFile().Path();
  backups_.clear();
  selected_.reset();
  const FileError e = ListBackups(services.files, path, backups_);
  if (e != FileError::None && e != FileError::NotFound) backups_.clear();
  std::vector<std::string> lines;
  for (const BackupInfo& b : backups_) {
    const std::optional<IniDocument> doc = ReadQuietly(services, path, b.fileName);
    const std::string entries = doc ? std::to_string(SnippetStore::EntryCount(*doc)) : "?";
    lines.push_back(services.clock.ShortDate(b.time) + '\t' + services.clock.LongTime(b.time) + '\t' +
                    b.user + '\t' + b.pc + '\t' + entries + " Eintr\xC3\xA4ge");
  }
  view_.ShowBackups(lines);
  if (backups_.empty()) {
    view_.ShowChanges("Es gibt noch keine Sicherungen der Datendatei.");
    view_.ShowEntries({});
    return;
  }
  view_.SelectBackup(0);
  OnBackupSelected();
}

void BackupsForm::OnBackupSelected() {
  const int row = view_.SelectedBackup();
  selected_.reset();
  if (row < 0 || row >= static_cast<int>(backups_.size())) return;
  Services& services = program_.services();
  selected_ = ReadQuietly(services, program_.dataFile().Path(), backups_[row].fileName);
  if (!selected_) {
    view_.ShowChanges("Diese Sicherung kann nicht gelesen werden.");
    view_.ShowEntries({});
    return;
  }
  std::vector<std::string> names;
  for (const EntryListItem& e : SnippetStore::EntryListFrom(*selected_).entries) names.push_back(e.Name);
  std::sort(names.begin(), names.end());
  view_.ShowEntries(names);
  const std::optional<IniDocument> now = program_.dataFile().Read();
  view_.ShowChanges(now ? "Wiederherstellen w\xC3\xBCrde \xC3\xA4ndern:\r\n" +
                              DescribeChanges(SummarizeChanges(*now, *selected_))
                        : std::string());
}

void BackupsForm::OnRestoreAll() {
  const int row = view_.SelectedBackup();
  if (row < 0 || row >= static_cast<int>(backups_.size())) return;
  Services& services = program_.services();
  const BackupInfo& b = backups_[row];
  const MsgResult answer = services.Show(
      {"Die Textbausteine auf den Stand vom " + GeneralDateTime(services.clock, b.time) +
           " zur\xC3\xBC" "cksetzen?\rDer jetzige Stand wird vorher gesichert.",
       MsgIcon::Question, MsgButtons::YesNo, MsgResult::No});
  if (answer != MsgResult::Yes) return;
  if (RestoreBackup(services, program_.dataFile(), program_.lock(), b.fileName)) Restored();
}

void BackupsForm::OnRestoreEntry() {
  const int row = view_.SelectedBackup();
  const std::optional<std::string> name = view_.SelectedEntry();
  if (row < 0 || row >= static_cast<int>(backups_.size()) || !name) return;
  if (RestoreEntry(program_.services(), program_.dataFile(), program_.lock(), backups_[row].fileName,
                   *name))
    Restored();
}

void BackupsForm::Restored() {
  program_.ReloadAll();
  OnLoad();  // the version replaced is a backup now too
}

}  // namespace zelvo
