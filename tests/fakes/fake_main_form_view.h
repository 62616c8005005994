// A main window view that records what the form tells it (list rows,
// option panel, windows beyond it) over a recording editor control; and the
// program host that forwards reloads to the form.
#pragma once

#include <string>
#include <vector>

#include "fakes/fake_editor_surface.h"
#include "mainwindow/main_form.h"

namespace zelvo {

class FakeMainFormView : public MainFormView {
 public:
  MainForm* form = nullptr;

  std::vector<std::string> listRows;
  int listSelection = -1;
  RecordingEditorSurface editor;
  std::vector<std::string> destinationTitles;
  std::string destinationTitle;
  int destinationType = -1, sendMethod = -1;
  bool crypt = false;
  ControlStates states;
  FocusControl focused = FocusControl::None;
  bool visible = true;
  std::vector<std::string> calls;  // windows and commands beyond the form

  // The user moves the focus: the form hears lost, then gained.
  void Focus(FocusControl c) {
    if (c == focused) return;
    const FocusControl old = focused;
    focused = c;
    if (old != FocusControl::None) form->OnLostFocus(old);
    if (c != FocusControl::None) form->OnGotFocus(c);
  }

  void SetListRows(const EntryRows& rows) override {
    listRows.clear();
    for (std::size_t i = 0; i < rows.RowCount(); ++i) listRows.push_back(rows.RowAt(i).Name);
  }
  void SelectListRow(int row) override { listSelection = row; }

  EditorSurface& Editor() override { return editor; }
  void FocusEditor() override { Focus(FocusControl::Editor); }
  void ShowEditMenuAt(int, int) override { calls.push_back("editmenu"); }

  void SetDestinationTitles(const std::vector<std::string>& titles) override {
    destinationTitles = titles;
  }
  std::string DestinationTitle() override { return destinationTitle; }
  void SetDestinationTitle(const std::string& title) override { destinationTitle = title; }
  void FocusDestinationTitle() override { Focus(FocusControl::DestinationTitle); }
  void SetDestinationType(int index) override { destinationType = index; }
  void SetSendMethod(int index) override { sendMethod = index; }
  bool CryptChecked() override { return crypt; }
  void SetCryptChecked(bool checked) override { crypt = checked; }
  void ApplyControlStates(const ControlStates& s) override { states = s; }

  void ShowMainWindow() override {
    visible = true;
    calls.push_back("show");
  }
  void HideWindow() override {
    visible = false;
    Focus(FocusControl::None);
    calls.push_back("hide");
  }
  void EndProgram() override { calls.push_back("end"); }
  void ShowOptionsDialog() override { calls.push_back("options"); }
  void ShowBackups() override { calls.push_back("backups"); }
  void ShowAboutBox() override { calls.push_back("about"); }
  void ShowDebugger() override { calls.push_back("debugger"); }
  void ShowWindowList() override { calls.push_back("windowlist"); }
  void ShowHelp() override { calls.push_back("help"); }
  void OpenMakerPage() override { calls.push_back("maker"); }
};

// Forwards the program's reload hooks to the form, as the main window does.
class FormHost : public ProgramHost {
 public:
  MainForm* form = nullptr;
  bool ClaimSingleInstance() override { return true; }
  void SavePendingEdits() override { form->SavePendingEdits(); }
  void ShowEntryList(const EntryList& list) override { form->ShowEntryList(list); }
  void UpdateControlStates() override { form->UpdateControlStates(); }
  bool ShowTrayBalloon(const std::string&, const std::string& text) override {
    balloons.push_back(text);
    return true;
  }
  std::vector<std::string> balloons;
};

}  // namespace zelvo
