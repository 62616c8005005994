#include "diagnostics/window_debugger.h"

#include <cstdio>

#include "platform/clock.h"
#include "store/text_codes.h"

namespace zelvo {

void WindowDebugger::OnLoad() {
  // A backup that could not be kept is said only once; here it stays visible.
  const std::string& backupProblem = program_.dataFile().BackupProblem();
  view_.SetExplanation(backupProblem.empty() ? std::string(kDebuggerExplanation)
                                             : kDebuggerExplanation + std::string("\r\n\r\n") + backupProblem);
  view_.SetCaption(program_.Caption("Debugger"));
}

std::string NotepadCommand(const std::string& dataFilePath) {
  return "notepad \"" + dataFilePath + "\"";
}

void WindowDebugger::OnButton(int index) {
  Services& services = program_.services();
  switch (index) {
    case 0: {
      const std::optional<std::string> title = view_.SelectedTitle();
      if (!title) {
        services.Show({"Bitte markieren Sie zun\xC3\xA4" "chst den betreffenden Fenstertitel",
                       MsgIcon::Information});
        return;
      }
      const MsgResult answer = services.Show(
          {"Soll der Fenstertitel '" + *title + "'\rin Zukunft wirklich immer ignoriert werden?",
           MsgIcon::Question, MsgButtons::YesNo, MsgResult::Yes});
      if (answer != MsgResult::Yes) return;
      program_.AddIgnoreTitle(*title);
      return;
    }
    case 1:
      if (!shell_.RunCommand(NotepadCommand(program_.dataFile().Path()), ShowMode::Normal))
        services.Show({"Der Texteditor konnte nicht gestartet werden.", MsgIcon::Exclamation});
      return;
    case 2:
      view_.Close();
      return;
  }
}

std::vector<std::string> WindowListLines(const std::string& now, const std::vector<ListedWindow>& windows,
                                         bool visibleOnly) {
  std::vector<std::string> lines{now};
  for (const ListedWindow& w : windows) {
    if (visibleOnly && !w.visible) continue;
    char number[16];
    std::snprintf(number, sizeof number, "%03d", static_cast<int>(lines.size()));
    lines.push_back(std::string(number) + " " + HexPad(static_cast<uint32_t>(w.handle), 8) + " " +
                    (w.visible ? "V" : "X") + " '" + w.title + "'");
  }
  return lines;
}

std::optional<TargetWindow> Tron(WindowSystem& windows, const std::string& baseCaption) {
  const std::string own = ToUpperLocale(baseCaption);
  for (WindowHandle w = windows.Foreground(); w != 0; w = windows.NextBelow(w)) {
    if (!windows.IsVisible(w) || windows.IsOwnWindow(w)) continue;
    const std::string title = windows.Title(w);
    if (!title.empty() && ToUpperLocale(title).find(own) == std::string::npos) return TargetWindow{title, w};
  }
  return std::nullopt;
}

void WindowListForm::OnTimer() {
  Clock& clock = program_.services().clock;
  view_.SetLines(WindowListLines(GeneralDateTime(clock, clock.Now()), view_.WindowsFromMainUp(),
                                 view_.VisibleOnly()));
  if (std::optional<TargetWindow> found = Tron(windows_, program_.Caption(""))) {
    found_ = std::move(found);
    view_.SetCaption(found_->Title);
  }
}

}  // namespace zelvo
