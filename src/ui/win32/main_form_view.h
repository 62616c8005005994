// The main window's controls: toolbar, entry list, editor, option panel,
// menus and status bar, laid out from the design in twips. Events go to the
// portable MainForm; this view decides nothing.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>

#include "mainwindow/layout.h"
#include "mainwindow/main_form.h"
#include "platform/win32/display.h"
#include "platform/win32/win32_shell.h"
#include "support/help.h"
#include "ui/win32/banner.h"
#include "ui/win32/rich_editor.h"

namespace zelvo {

class MainFormWin : public MainFormView {
 public:
  MainFormWin(HWND window, HINSTANCE instance, Program& program);
  ~MainFormWin() override;

  // Creates the controls and gives the window its design size.
  void Create();
  MainForm& form() { return *form_; }

  // The main window's messages; true when handled (result in `result`).
  bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  // The main window's keys: Strg+F and F3, the toolbar's access keys,
  // Enter and Esc, and the dialog keys (Tab, arrows, access keys) of its
  // controls; true when used.
  bool PreTranslate(const MSG& msg);

  void CaptureLayout();
  void RestoreWindowPlacement();
  void SaveWindowPlacement();
  // The window's size in twips at its DPI.
  TwipsRect WindowTwips() const;
  int Dpi() const { return dpi_; }

  Help& help() { return *help_; }
  Shell& shell() { return shell_; }

  // Windows that live elsewhere; each does nothing until set.
  std::function<void()> showOptions, showBackups, showAbout, showDebugger, showWindowList, showMainWindow;

  // MainFormView
  void SetListRows(const EntryRows& rows) override;
  void SelectListRow(int row) override;
  EditorSurface& Editor() override { return editor_; }
  void FocusEditor() override { SetFocus(editor_.hwnd()); }
  void ShowEditMenuAt(int x, int y) override;
  void SetDestinationTitles(const std::vector<std::string>& titles) override;
  std::string DestinationTitle() override;
  void SetDestinationTitle(const std::string& title) override;
  void FocusDestinationTitle() override { SetFocus(combo_); }
  void SetDestinationType(int index) override;
  void SetSendMethod(int index) override;
  bool CryptChecked() override;
  void SetCryptChecked(bool checked) override;
  void ApplyControlStates(const ControlStates& states) override;
  void ShowMainWindow() override { Call(showMainWindow); }
  void HideWindow() override { ShowWindow(window_, SW_HIDE); }
  void EndProgram() override { DestroyWindow(window_); }
  void ShowOptionsDialog() override { Call(showOptions); }
  void ShowBackups() override { Call(showBackups); }
  void ShowAboutBox() override { Call(showAbout); }
  void ShowDebugger() override { Call(showDebugger); }
  void ShowWindowList() override { Call(showWindowList); }
  void ShowHelp() override { help_->ShowHelp(); }
  void OpenMakerPage() override { help_->OpenMakerPage(); }

 private:
  static void Call(const std::function<void()>& f) {
    if (f) f();
  }
  HWND Child(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int id);
  void CreateMenus();
  void CreateToolbar();
  void CreateOptionPanel();
  void NameControls();
  // Fonts, toolbar images and the option panel for the current DPI.
  void ApplyDpi();
  void SetToolbarImages();
  void UpdateListExtent();
  void FillListRows(const EntryRows& rows);
  // The design size at the current DPI, and the layout captured from it.
  RECT DesignWindowRect() const;
  void OnDpiChanged(int dpi, const RECT& suggested);
  void OnColoursChanged();
  void ApplyLayout();
  void PlaceBanner(const TwipsRect& strip, int clientRight);
  void Place(HWND control, const TwipsRect& r, float dx = 0, float dy = 0);
  int Px(float twips) const { return TwipsToPixels(twips, dpi_); }
  void UpdateStatusClock();
  bool OnCommand(WORD id, WORD code, HWND control);
  bool OnDialogKey(const MSG& msg);
  bool OnAccessKey(char32_t key);
  static LRESULT CALLBACK PanelProc(HWND, UINT, WPARAM, LPARAM);

  HWND window_;
  HINSTANCE instance_;
  Program& program_;
  std::unique_ptr<MainForm> form_;
  Win32Shell shell_;
  std::unique_ptr<Help> help_;
  int dpi_ = kDesignDpi;
  FontHandle font_;
  HIMAGELIST toolImages_ = nullptr;
  HMENU menuBar_ = nullptr;
  HMENU popups_[5] = {};
  HWND toolbar_ = nullptr, status_ = nullptr, listFrame_ = nullptr, textFrame_ = nullptr;
  HWND list_ = nullptr, keyRecord_ = nullptr, panel_ = nullptr, combo_ = nullptr;
  uint64_t listRows_ = 0;  // fingerprint of the names the list box shows
  bool listPending_ = false;  // the rows changed while the window was hidden
  int listSelection_ = -1;
  HWND targetLabel_ = nullptr, destination_[2] = {}, sendMethod_[3] = {}, crypt_ = nullptr;
  HWND sendLabel_ = nullptr, securityLabel_ = nullptr;
  RichEditor editor_;
  Banner banner_;
  WindowLayout layout_;
  bool listEnabled_ = false;
  HWND lastFocus_ = nullptr;  // the control that has the focus back when the window is activated
  HBRUSH windowBrush_ = nullptr;  // the system's window colour
};

}  // namespace zelvo
