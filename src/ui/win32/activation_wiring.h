// Ties the activation logic to the hidden main window: the hotkey, the tray
// icon's messages, the snippet menu, the border strip and the options dialog.
//
// The main window's procedure hands messages here in the order a chain of
// subclass procedures would see them: WM_HOTKEY opens the menu and then goes
// on to the window's own handling; the tray's WM_USER is consumed here.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "activation/activation.h"
#include "activation/hotkey.h"
#include "activation/options_form.h"
#include "mainwindow/program.h"
#include "platform/win32/activation_platform_win32.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/hotkey_win32.h"
#include "support/autostart.h"
#include "ui/win32/border_strip.h"
#include "ui/win32/options_dialog.h"
#include "ui/win32/search_window.h"
#include "ui/win32/snippet_menu_view.h"

namespace zelvo {

// The two calls into delivery; the main window sets them.
struct DeliveryHooks {
  std::function<void(int, const std::string&)> deliverEntry;
  std::function<void()> captureLastUsedWindow;
  std::function<bool()> isBusy;
  // The window the user worked in when the activation came.
  std::function<HWND()> lastUsedWindow;
};

class ActivationWiring : public ActivationTarget {
 public:
  ActivationWiring(HINSTANCE instance, HWND mainWindow, Program& program, Services& services);
  ~ActivationWiring() override;

  DeliveryHooks delivery;
  // Asked before "&Beenden" of the snippet menu ends the program.
  std::function<bool()> mayEndProgram;
  // Opens the "Sicherungen" window (the options dialog's button).
  std::function<void()> showBackups;

  // ProgramHost hooks.
  void ShowDataFilePath(const std::string& path);
  void ApplySettings(const ProgramSettings& settings);
  void PlaceBorderStrip();
  void RemoveHotkey();
  void UnloadOtherWindows();

  // The registered hotkey; none when it is off or taken by another program.
  std::optional<HotkeyDescription> ActiveHotkey() const;

  void ShowOptionsDialog();
  // Messages of the main window; true when handled and *result is the answer.
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
  // Keyboard navigation of the modeless options dialog.
  bool PreTranslateMessage(MSG* msg);

  Activation& activation() { return activation_; }
  OptionsForm& options() { return options_; }

  // ActivationTarget
  bool IsNTPlatform() override;
  void CaptureLastUsedWindow() override;
  void BringMainWindowToForeground() override;
  void ReloadAll() override;
  const std::vector<EntryListItem>& MenuEntries() override;
  bool MenuCascading() override;
  int PopupSnippetMenu(const SnippetMenu& menu) override;
  bool SearchWindowInsteadOfMenu() override;
  std::optional<EntryListItem> PopupSearchWindow(const std::function<void()>& whenShown) override;
  void DeliverEntry(int number, const std::string& name) override;
  bool DeliveryBusy() override;
  bool IsMainWindowVisible() override;
  void ShowMainWindow(bool normalState) override;
  void HideMainWindow() override;
  void ReleaseLock() override;
  void EndProgram() override;

 private:
  void EnsureStrip();
  void EnsureDialog();
  void OnStripMouse(StripMouseEvent event, MouseButton button);
  // The shared settings into the data file, the per-user one into the registry.
  void SaveAllSettings(const ProgramSettings& settings);

  HINSTANCE instance_;
  HWND main_;
  Program& program_;
  Services& services_;
  Win32HotkeyRegistrar registrar_;
  HotkeyController hotkey_;
  Win32AutostartPlatform autostartPlatform_;
  Autostart autostart_;
  Win32Shell shell_;
  OptionsForm options_;
  Activation activation_;
  SnippetMenuView menuView_;
  std::unique_ptr<BorderStripWindow> strip_;
  StripTrigger stripTrigger_;
  std::unique_ptr<OptionsDialog> dialog_;
};

}  // namespace zelvo
