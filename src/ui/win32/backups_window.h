// The "Sicherungen" window on screen; its events go to the portable form.
#pragma once

#include <windows.h>

#include "support/backups_form.h"
#include "ui/win32/modeless_dialog.h"

namespace zelvo {

class BackupsWindow : public ModelessDialog, public BackupsView {
 public:
  BackupsWindow(HWND mainWindow, Program& program)
      : main_(mainWindow), caption_(program.Caption("Sicherungen")), form_(program, *this) {}

  void Open();

  // BackupsView
  void ShowBackups(const std::vector<std::string>& lines) override;
  void ShowChanges(const std::string& text) override;
  void ShowEntries(const std::vector<std::string>& names) override;
  int SelectedBackup() override;
  std::optional<std::string> SelectedEntry() override;
  void SelectBackup(int row) override;

 private:
  void OnLoad() override;
  void OnCommand(int id, int code) override;

  HWND main_;
  std::string caption_;
  BackupsForm form_;
};

}  // namespace zelvo
