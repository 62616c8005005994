#include "mainwindow/snippet_editor.h"

#include <utility>

namespace zelvo {
namespace {

constexpr std::size_t kUndoSteps = 100;

bool IsNavigationKey(int key) { return (key >= 0x21 && key <= 0x28) || (key >= 0x10 && key <= 0x12); }

// True when `now` is `before` with one ordinary character typed at its caret.
bool IsTypedCharacter(const std::u32string& before, int caret, int selLength, const std::u32string& now) {
  if (selLength != 0 || now.size() != before.size() + 1 || caret < 0 ||
      static_cast<std::size_t>(caret) > before.size())
    return false;
  const std::size_t at = static_cast<std::size_t>(caret);
  const char32_t c = now[at];
  return c >= 0x20 && !IsKeySymbol(c) && now.compare(0, at, before, 0, at) == 0 &&
         now.compare(at + 1, std::u32string::npos, before, at) == 0;
}

}  // namespace

void SnippetEditor::Show(const std::string& editorText) {
  busy_ = true;
  surface_.Render(BuildEditorRuns(editorText));
  busy_ = false;
  current_ = {surface_.Picture(), surface_.SelStart(), surface_.SelLength()};
  Settle();
  undo_.clear();
  redo_.clear();
  typing_ = false;
}

std::string SnippetEditor::Text() { return EditorPictureToText(Picture()); }

std::u32string SnippetEditor::Picture() {
  Sync();
  return current_.picture;
}

void SnippetEditor::Settle() {
  // Should the control show a text with a bare break or a symbol without
  // one, it is shown anew as the keys it stands for.
  const std::u32string normalized = NormalizeInserted(current_.picture);
  if (normalized == current_.picture) return;
  busy_ = true;
  surface_.Render(PictureRuns(normalized));
  busy_ = false;
  current_.picture = surface_.Picture();
}

void SnippetEditor::NoteSelection() {
  current_.selStart = surface_.SelStart();
  current_.selLength = surface_.SelLength();
}

void SnippetEditor::Commit(std::u32string now, bool typed) {
  if (!(typed && typing_)) {
    undo_.push_back(std::move(current_));
    if (undo_.size() > kUndoSteps) undo_.erase(undo_.begin());
  }
  redo_.clear();
  typing_ = typed;
  current_.picture = std::move(now);
  NoteSelection();
}

void SnippetEditor::Sync() {
  if (busy_) return;
  std::u32string now = surface_.Picture();
  if (now == current_.picture) return;
  const bool typed = IsTypedCharacter(current_.picture, current_.selStart, current_.selLength, now);
  if (const auto repair = RepairEditorChange(current_.picture, now, surface_.SelStart())) {
    busy_ = true;
    surface_.Replace(repair->start, repair->length, PictureRuns(repair->text));
    surface_.SetSelection(repair->caret, 0);
    busy_ = false;
    now.replace(repair->start, repair->length, repair->text);
  }
  Commit(std::move(now), typed);
}

void SnippetEditor::OnChange() { Sync(); }

void SnippetEditor::ReplaceRange(int start, int end, const std::u32string& picture) {
  busy_ = true;
  surface_.Replace(start, end - start, PictureRuns(picture));
  surface_.SetSelection(start + static_cast<int>(picture.size()), 0);
  busy_ = false;
  std::u32string now = current_.picture;
  now.replace(start, end - start, picture);
  if (now != current_.picture) Commit(std::move(now), false);
}

void SnippetEditor::StepOverKeySymbol() {
  Sync();
  if (surface_.SelLength() != 0) return;
  const int caret = surface_.SelStart();
  const int behind = WholeSymbols(current_.picture, caret, caret).first;
  if (behind != caret) surface_.SetSelection(behind, 0);
}

void SnippetEditor::RecordKey(bool enter) {
  Sync();
  NoteSelection();
  // A selection is kept, not overwritten, by a recorded key.
  surface_.SetSelection(surface_.SelStart(), 0);
  StepOverKeySymbol();
  const int at = surface_.SelStart();
  ReplaceRange(at, at, {enter ? kReturnSymbolChar : kTabSymbolChar, U'\r'});
}

EditorKeyAction SnippetEditor::OnKeyDown(int key, KeyModifiers m) {
  Sync();
  NoteSelection();
  // Enter and Tab are recorded whatever Shift, Strg and Alt do, so the
  // focus leaves the editor with F6 instead.
  if (key == kKeyReturn || key == kKeyTab) {
    RecordKey(key == kKeyReturn);
    return EditorKeyAction::Done;
  }
  if (key == kKeyF6) return m.shift ? EditorKeyAction::PreviousControl : EditorKeyAction::NextControl;
  if (key == kKeyBack || key == kKeyDelete) GrowSelectionToWholeSymbols();
  if (key == kKeyEscape) return EditorKeyAction::Close;
  if (m.alt && !m.ctrl && key == kKeyBack) {
    Undo();
    return EditorKeyAction::Done;
  }
  if (m.ctrl && !m.alt) {
    switch (key) {
      case 'Z': m.shift ? Redo() : Undo(); return EditorKeyAction::Done;
      case 'Y': Redo(); return EditorKeyAction::Done;
      case 'C':
      case kKeyInsert: Copy(); return EditorKeyAction::Done;
      case 'X': Cut(); return EditorKeyAction::Done;
      case 'V': Paste(); return EditorKeyAction::Done;
      case 'A':
      case kKeyBack:
      case kKeyDelete: return EditorKeyAction::PassOn;
      default:
        // The control's formatting keys (bold, alignment, line spacing)
        // would show what is never stored.
        return IsNavigationKey(key) ? EditorKeyAction::PassOn : EditorKeyAction::Done;
    }
  }
  if (m.shift && !m.ctrl && !m.alt) {
    if (key == kKeyInsert) {
      Paste();
      return EditorKeyAction::Done;
    }
    if (key == kKeyDelete) {
      Cut();
      return EditorKeyAction::Done;
    }
  }
  return EditorKeyAction::PassOn;
}

bool SnippetEditor::OnChar(char32_t c) {
  // Enter and Tab were recorded at key-down; other control characters have
  // no picture.
  if (c < 0x20 || c == 0x7F) return true;
  GrowSelectionToWholeSymbols();
  StepOverKeySymbol();
  NoteSelection();
  surface_.SetInsertFormat(EditorFormat::Text);
  return false;
}

void SnippetEditor::Restore(const State& state) {
  busy_ = true;
  surface_.Render(PictureRuns(state.picture));
  surface_.SetSelection(state.selStart, state.selLength);
  busy_ = false;
  current_ = state;
  typing_ = false;
}

void SnippetEditor::Undo() {
  Sync();
  if (undo_.empty()) return;
  redo_.push_back(current_);
  const State state = std::move(undo_.back());
  undo_.pop_back();
  Restore(state);
}

void SnippetEditor::Redo() {
  Sync();
  if (redo_.empty()) return;
  undo_.push_back(current_);
  const State state = std::move(redo_.back());
  redo_.pop_back();
  Restore(state);
}

void SnippetEditor::GrowSelectionToWholeSymbols() {
  // Which of two equal breaks went can't be told afterwards, so a selection
  // the control is about to remove is made whole first.
  const auto [start, end] = SelectedSymbols();
  if (current_.selLength > 0 && (start != current_.selStart || end - start != current_.selLength))
    surface_.SetSelection(start, end - start);
}

std::pair<int, int> SnippetEditor::SelectedSymbols() {
  Sync();
  NoteSelection();
  return WholeSymbols(current_.picture, current_.selStart, current_.selStart + current_.selLength);
}

void SnippetEditor::Copy() {
  const auto [start, end] = SelectedSymbols();
  if (start < end) surface_.SetClipboardText(PictureToPlainText(std::u32string_view(current_.picture).substr(start, end - start)));
}

void SnippetEditor::Cut() {
  Copy();
  DeleteSelection();
}

void SnippetEditor::DeleteSelection() {
  const auto [start, end] = SelectedSymbols();
  if (start < end) ReplaceRange(start, end, U"");
}

void SnippetEditor::Paste() {
  const std::string text = surface_.ClipboardText();
  if (text.empty()) return;
  const auto [start, end] = SelectedSymbols();
  ReplaceRange(start, end, NormalizeInserted(ToCodePoints(text)));
}

}  // namespace zelvo
