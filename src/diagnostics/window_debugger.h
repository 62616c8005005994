// The two window debuggers: DebFrm shows the windows of the last capture
// and maintains the ignore list; QVDEBUGFRM lists the windows above the
// main window twice a second.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "delivery/target_windows.h"
#include "mainwindow/program.h"
#include "platform/shell.h"
#include "platform/window_system.h"

namespace zelvo {

inline constexpr const char* kDebuggerExplanation =
    "Beim Klick in das Popup-Men\xC3\xBC der Textbausteine, muss sich das Zielfenster ganz oben in der "
    "Liste befinden. Sollte sich hier ein anderer Eintrag finden, so muss er ggf. gesperrt werden. "
    "Weitere Details in der Online-Hilfe.";
inline constexpr const char* kDebuggerButtons[3] = {"&Markierten Titel in Zukunft ignorieren",
                                                    "&Konfigurationsdatei manuell bearbeiten",
                                                    "&Dieses Fenster schlie\xC3\x9F" "en"};

class DebuggerView {
 public:
  virtual ~DebuggerView() = default;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetExplanation(const std::string& text) = 0;
  virtual std::optional<std::string> SelectedTitle() = 0;  // TitelListe's selected line
  virtual void Close() = 0;
};

// DebFrm. It holds the data lock from opening (taken by the main window)
// until it is unloaded.
class WindowDebugger {
 public:
  WindowDebugger(Program& program, Shell& shell, DebuggerView& view)
      : program_(program), shell_(shell), view_(view) {}

  void OnLoad();
  void OnButton(int index);
  void OnUnload() { program_.lock().ReleaseLock(false); }

 private:
  Program& program_;
  Shell& shell_;
  DebuggerView& view_;
};

// The text editor on the data file; the path is quoted so that a folder
// with blanks opens the right file.
std::string NotepadCommand(const std::string& dataFilePath);

// QVDEBUGFRM: one line per window, "001 0001A2B4 V 'Titel'".
struct ListedWindow {
  WindowHandle handle = 0;
  bool visible = false;
  std::string title;
};
// The list: the date and time first, then the windows from the main window
// upwards (invisible ones left out when `visibleOnly`).
std::vector<std::string> WindowListLines(const std::string& now, const std::vector<ListedWindow>& windows,
                                         bool visibleOnly);
// The window that would now be taken as the last used one, ignoring the
// ignore list: the first visible, titled window from the foreground down
// whose title does not contain the program's base caption and that is not
// one of the program's own.
std::optional<TargetWindow> Tron(WindowSystem& windows, const std::string& baseCaption);

class WindowListView {
 public:
  virtual ~WindowListView() = default;
  // The main window and every window above it, the topmost last.
  virtual std::vector<ListedWindow> WindowsFromMainUp() = 0;
  virtual bool VisibleOnly() = 0;  // VisChk
  virtual void SetLines(const std::vector<std::string>& lines) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
};

// QVDEBUGFRM: its timer refreshes the list, then shows the raw candidate
// in the window title (which keeps the last one when none is found).
class WindowListForm {
 public:
  WindowListForm(Program& program, WindowSystem& windows, WindowListView& view)
      : program_(program), windows_(windows), view_(view) {}

  static constexpr int kIntervalMs = 500;
  static constexpr const char* kInitialCaption = "QVDEBUGFRM";

  void OnTimer();
  const std::optional<TargetWindow>& Found() const { return found_; }

 private:
  Program& program_;
  WindowSystem& windows_;
  WindowListView& view_;
  std::optional<TargetWindow> found_;
};

}  // namespace zelvo
