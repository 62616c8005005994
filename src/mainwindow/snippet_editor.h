// The snippet editor: records Enter and Tab as symbols, keeps every symbol
// together with its display break whatever the user does to the text, and
// keeps its own undo history, so that what the editor shows is what is
// stored and typed.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "mainwindow/editor_text.h"

namespace zelvo {

// The rich-text control as the editor uses it. Positions count characters
// (code points) of the picture (see editor_text.h).
class EditorSurface {
 public:
  virtual ~EditorSurface() = default;
  virtual std::u32string Picture() = 0;
  virtual int SelStart() = 0;
  virtual int SelLength() = 0;
  virtual void SetSelection(int start, int length) = 0;
  // Replaces the whole content; the caret stays where it was (within the
  // new text).
  virtual void Render(const std::vector<EditorRun>& runs) = 0;
  // Replaces `length` characters at `start` by the runs.
  virtual void Replace(int start, int length, const std::vector<EditorRun>& runs) = 0;
  // The format the next typed character gets.
  virtual void SetInsertFormat(EditorFormat format) = 0;
  virtual std::string ClipboardText() = 0;  // empty when it holds no text
  virtual void SetClipboardText(const std::string& text) = 0;
};

struct KeyModifiers {
  bool shift = false, ctrl = false, alt = false;
};

// What becomes of a key the editor was shown first.
enum class EditorKeyAction {
  PassOn,           // the control handles it
  Done,             // handled; the control must not see it
  NextControl,      // the focus leaves the editor forwards (F6)
  PreviousControl,  // ... backwards (Umschalt+F6)
  Close,            // Esc: the window closes as a tool window does
};

class SnippetEditor {
 public:
  static constexpr int kKeyBack = 0x08, kKeyTab = 0x09, kKeyReturn = 0x0D, kKeyEscape = 0x1B,
                       kKeyInsert = 0x2D, kKeyDelete = 0x2E, kKeyF6 = 0x75;

  explicit SnippetEditor(EditorSurface& surface) : surface_(surface) {}

  // Shows an editor-form text and starts a new history.
  void Show(const std::string& editorText);
  // The editor-form text of what is shown.
  std::string Text();
  std::u32string Picture();
  int SelStart() { return surface_.SelStart(); }
  int SelLength() { return surface_.SelLength(); }
  void Select(int start, int length) { surface_.SetSelection(start, length); }

  // Events of the control.
  EditorKeyAction OnKeyDown(int key, KeyModifiers modifiers);
  // A typed character, before the control inserts it; true: drop it.
  bool OnChar(char32_t c);
  // The control changed its content by itself.
  void OnChange();

  // Commands (keys and the "&Bearbeiten" menu).
  void Undo();
  void Redo();
  bool CanUndo() const { return !undo_.empty(); }
  void Copy();
  void Cut();
  void Paste();
  void DeleteSelection();

  // Moves a caret that stands between a symbol and its display break behind
  // the break, so that nothing is ever put between the two.
  void StepOverKeySymbol();

 private:
  struct State {
    std::u32string picture;
    int selStart = 0, selLength = 0;
  };
  // Brings the history up to what the control shows, repairing it first.
  void Sync();
  // Takes `now` as the current picture; `typed` joins a typed character
  // to the typing before it as one undo step.
  void Commit(std::u32string now, bool typed);
  void Settle();
  void NoteSelection();
  std::pair<int, int> SelectedSymbols();
  void GrowSelectionToWholeSymbols();
  void ReplaceRange(int start, int end, const std::u32string& picture);
  void RecordKey(bool enter);
  void Restore(const State& state);

  EditorSurface& surface_;
  State current_;
  std::vector<State> undo_, redo_;
  bool typing_ = false;  // the last change was a typed character
  bool busy_ = false;    // the editor itself is changing the control
};

}  // namespace zelvo
