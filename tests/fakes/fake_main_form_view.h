// A main window view that models the controls the form tells it about
// (list rows, editor text and selection, option panel) and records the
// rest; and the program host that forwards reloads to the form.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "mainwindow/main_form.h"
#include "store/codepage.h"
#include "store/text_codes.h"

namespace zelvo {

class FakeMainFormView : public MainFormView {
 public:
  MainForm* form = nullptr;

  std::vector<std::string> listRows;
  int listSelection = -1;
  // The editor as one character per position; a display break is "\r".
  std::u32string editor;
  std::vector<EditorFormat> formats;
  int selStart = 0, selLength = 0;
  EditorFormat insertFormat = EditorFormat::Text;
  int renders = 0;
  std::string clipboard;
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
  // Typing a character: KeyPress, then the editor inserts it.
  void Type(const std::string& utf8) {
    for (char32_t ch : ToCodePoints(utf8)) {
      if (ch == U'\n') {
        form->OnEditorKeyDown(MainForm::kKeyReturn);
        continue;
      }
      if (ch == U'\t') {
        form->OnEditorKeyDown(MainForm::kKeyTab);
        continue;
      }
      form->OnEditorKeyPress();
      InsertAtCaret({FromCodePoints(std::u32string(1, ch)), insertFormat});
    }
  }
  std::string PlainUtf8() const { return FromCodePoints(editor); }

  void SetListRows(const std::vector<std::string>& names) override { listRows = names; }
  void SelectListRow(int row) override { listSelection = row; }

  void RenderEditor(const std::vector<EditorRun>& runs) override {
    ++renders;
    editor.clear();
    formats.clear();
    for (const EditorRun& run : runs) Append(run);
    selStart = std::min<int>(selStart, static_cast<int>(editor.size()));
    selLength = 0;
  }
  std::string EditorText() override {
    std::string out;
    for (std::size_t i = 0; i < editor.size(); ++i) {
      if (editor[i] == U'\r') {
        const bool afterSymbol = i > 0 && IsKeySymbol(FromCodePoints(editor.substr(i - 1, 1)));
        out += afterSymbol ? "\r\n" : "\n";
      } else {
        out += FromCodePoints(editor.substr(i, 1));
      }
    }
    return out;
  }
  std::string EditorPlainText() override { return PlainUtf8(); }
  int EditorSelStart() override { return selStart; }
  int EditorSelLength() override { return selLength; }
  void SetEditorSelection(int start, int length) override {
    selStart = start;
    selLength = length;
  }
  std::string EditorCharBeforeCaret() override {
    return selStart > 0 ? FromCodePoints(editor.substr(selStart - 1, 1)) : "";
  }
  void MoveCaretPastLineBreak() override { selStart = std::min<int>(selStart + 1, editor.size()); }
  void SetInsertFormat(EditorFormat format) override { insertFormat = format; }
  void InsertAtCaret(const EditorRun& run) override {
    DeleteSelection();
    const std::u32string piece = ToCodePoints(ReplaceAll(run.text, "\r\n", "\r", false));
    editor.insert(selStart, piece);
    formats.insert(formats.begin() + selStart, piece.size(), run.format);
    selStart += static_cast<int>(piece.size());
  }
  void FocusEditor() override { Focus(FocusControl::Editor); }
  void CutSelection() override {
    CopySelection();
    DeleteSelection();
  }
  void CopySelection() override { clipboard = FromCodePoints(editor.substr(selStart, selLength)); }
  void PasteText() override { InsertAtCaret({clipboard, EditorFormat::Text}); }
  void DeleteSelection() override {
    editor.erase(selStart, selLength);
    formats.erase(formats.begin() + selStart, formats.begin() + selStart + selLength);
    selLength = 0;
  }
  bool ClipboardHasText() override { return !clipboard.empty(); }
  void ShowEditMenuAt(int x, int y) override { calls.push_back("editmenu"); }

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
  void ShowAboutBox() override { calls.push_back("about"); }
  void ShowDebugger() override { calls.push_back("debugger"); }
  void ShowWindowList() override { calls.push_back("windowlist"); }
  void ShowHelp() override { calls.push_back("help"); }
  void OpenMakerPage() override { calls.push_back("maker"); }

 private:
  void Append(const EditorRun& run) {
    const std::u32string piece = ToCodePoints(ReplaceAll(run.text, "\r\n", "\r", false));
    editor += piece;
    formats.insert(formats.end(), piece.size(), run.format);
  }
};

// Forwards the program's reload hooks to the form, as the main window does.
class FormHost : public ProgramHost {
 public:
  MainForm* form = nullptr;
  bool ClaimSingleInstance() override { return true; }
  void SavePendingEdits() override { form->SavePendingEdits(); }
  void ShowEntryList(const EntryList& list) override { form->ShowEntryList(list); }
  void UpdateControlStates() override { form->UpdateControlStates(); }
};

}  // namespace zelvo
