// The "Sicherungen" window: the backups of the data file, newest first, what
// restoring one would change, and restoring it whole or one entry of it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "mainwindow/program.h"
#include "store/history.h"
#include "store/ini_document.h"

namespace zelvo {

class BackupsView {
 public:
  virtual ~BackupsView() = default;
  // One line per backup: date, time, user, PC and entries, tab-separated.
  virtual void ShowBackups(const std::vector<std::string>& lines) = 0;
  virtual void ShowChanges(const std::string& text) = 0;
  // The selected backup's entry names, for restoring one of them.
  virtual void ShowEntries(const std::vector<std::string>& names) = 0;
  virtual int SelectedBackup() = 0;  // -1 for none
  virtual std::optional<std::string> SelectedEntry() = 0;
  virtual void SelectBackup(int row) = 0;
};

class BackupsForm {
 public:
  BackupsForm(Program& program, BackupsView& view) : program_(program), view_(view) {}

  void OnLoad();
  void OnBackupSelected();
  void OnRestoreAll();
  void OnRestoreEntry();

 private:
  void Restored();

  Program& program_;
  BackupsView& view_;
  std::vector<BackupInfo> backups_;
  std::optional<IniDocument> selected_;  // the selected backup, as read
};

}  // namespace zelvo
