// The two window debuggers on screen: DebFrm (the last capture's windows and
// the ignore list) and QVDEBUGFRM (every window above the main window, twice
// a second). Both forward their events to the portable forms.
#pragma once

#include <windows.h>

#include "diagnostics/window_debugger.h"
#include "platform/win32/win32_window_system.h"
#include "ui/win32/modeless_dialog.h"

namespace zelvo {

class DebuggerWindow : public ModelessDialog, public DebuggerView {
 public:
  DebuggerWindow(HWND mainWindow, Program& program, Shell& shell)
      : main_(mainWindow), form_(program, shell, *this) {}

  void Open();
  // TitelListe: the eligible windows of the last capture, top first.
  void SetTitles(const std::vector<std::string>& titles);

  // DebuggerView
  void SetCaption(const std::string& caption) override { ModelessDialog::SetCaption(caption); }
  void SetExplanation(const std::string& text) override;
  std::optional<std::string> SelectedTitle() override;
  void Close() override { ModelessDialog::Close(); }

 private:
  void OnLoad() override;
  void OnCommand(int id, int code) override;
  void OnUnload() override { form_.OnUnload(); }

  HWND main_;
  WindowDebugger form_;
  std::vector<std::string> titles_;
};

class WindowListWindow : public ModelessDialog, public WindowListView {
 public:
  WindowListWindow(HWND mainWindow, Program& program) : main_(mainWindow), form_(program, windows_, *this) {}
  ~WindowListWindow() override;

  void Open();

  // WindowListView
  std::vector<ListedWindow> WindowsFromMainUp() override;
  bool VisibleOnly() override;
  void SetLines(const std::vector<std::string>& lines) override;
  void SetCaption(const std::string& caption) override { ModelessDialog::SetCaption(caption); }

 private:
  void OnLoad() override;
  void OnDpiChanged(int dpi) override;
  void SetListFont();
  void OnCommand(int id, int code) override;
  void OnTimer(UINT_PTR id) override { form_.OnTimer(); }
  void OnUnload() override;

  HWND main_;
  Win32WindowSystem windows_;
  WindowListForm form_;
  FontHandle font_;
};

}  // namespace zelvo
