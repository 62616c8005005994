// The hidden main window: owner of the tray icon, the hotkey and the menus.
#pragma once

#include <windows.h>

#include <memory>

#include "mainwindow/program.h"
#include "ui/win32/about_window.h"
#include "ui/win32/activation_wiring.h"
#include "ui/win32/backups_window.h"
#include "ui/win32/debugger_windows.h"
#include "ui/win32/delivery_wiring.h"
#include "ui/win32/main_form_view.h"

namespace zelvo {

class MainWindow : public ProgramHost {
 public:
  MainWindow(HINSTANCE instance, Services& services);
  ~MainWindow() override;

  // Creates the window (hidden) and runs start-up. False: the process ends.
  bool Create();
  HWND hwnd() const { return hwnd_; }

  // ProgramHost
  bool ClaimSingleInstance() override;
  void AddTrayIcon(const std::string& tip) override;
  void RemoveTrayIcon() override;
  bool ShowTrayBalloon(const std::string& title, const std::string& text) override;
  std::optional<HotkeyDescription> ActiveHotkey() override { return activation_->ActiveHotkey(); }
  void SetMainCaption(const std::string& caption) override;
  void HideMainWindow() override;
  void SavePendingEdits() override { mainForm_->form().SavePendingEdits(); }
  void ShowEntryList(const EntryList& list) override { mainForm_->form().ShowEntryList(list); }
  void UpdateControlStates() override { mainForm_->form().UpdateControlStates(); }
  void CaptureLayout() override { mainForm_->CaptureLayout(); }
  void RestoreWindowPlacement() override { mainForm_->RestoreWindowPlacement(); }
  void SaveWindowPlacement() override { mainForm_->SaveWindowPlacement(); }

  // Keyboard shortcuts of the main window's menus; true when used.
  bool PreTranslate(const MSG& msg) { return mainForm_ && mainForm_->PreTranslate(msg); }

  // Activation: hotkey, tray clicks, snippet menu, border strip, options.
  void ShowDataFilePath(const std::string& path) override;
  void ApplySettings(const ProgramSettings& settings) override;
  void PlaceBorderStrip(const ProgramSettings& settings) override;
  void RemoveHotkey() override;
  void UnloadOtherWindows() override;
  void EnablePollTimer() override;
  ActivationWiring* activation() { return activation_.get(); }
  // For the message loop: dialog keys of the modeless options dialog.
  bool PreTranslateMessage(MSG* msg);

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  void OnDestroy();
  LRESULT OnQueryEndSession(LPARAM flags);
  void OpenDebugger();
  void OpenBackups();
  void OpenWindowList();
  void OpenAbout();

  HINSTANCE instance_;
  Services& services_;
  Program program_;
  std::unique_ptr<MainFormWin> mainForm_;  // the controls of the main window
  HWND hwnd_ = nullptr;
  HANDLE instanceMutex_ = nullptr;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  bool trayIconAdded_ = false;
  bool shutDown_ = false;
  UINT taskbarCreatedMsg_ = 0;
  std::wstring trayTip_;
  std::unique_ptr<ActivationWiring> activation_;
  std::unique_ptr<DeliveryWiring> delivery_;
  std::unique_ptr<DebuggerWindow> debugger_;      // DebFrm
  std::unique_ptr<BackupsWindow> backups_;
  std::unique_ptr<WindowListWindow> windowList_;  // QVDEBUGFRM
  std::unique_ptr<AboutWindow> about_;
};

}  // namespace zelvo
