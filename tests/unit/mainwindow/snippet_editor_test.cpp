// What the editor asks of the control. What a real rich-text control then
// shows is tested under Wine (tests/win32/controls_test.cpp).
#include "mainwindow/snippet_editor.h"

#include <gtest/gtest.h>

#include "fakes/fake_editor_surface.h"
#include "store/text_codes.h"

namespace zelvo {
namespace {

using F = EditorFormat;
using Replacement = RecordingEditorSurface::Replacement;
const std::string R = kReturnSymbol, T = kTabSymbol;
const std::u32string X{kReturnSymbolChar, U'\r'}, Y{kTabSymbolChar, U'\r'};

class SnippetEditorTest : public ::testing::Test {
 protected:
  // The control shows `picture` with the caret at `caret`.
  void Shows(const std::u32string& picture, int caret, int length = 0) {
    surface.picture = picture;
    surface.SetSelection(caret, length);
  }
  // The same, as the editor shows a new text.
  void Open(const std::u32string& picture, int caret, int length = 0) {
    Shows(picture, caret, length);
    editor.Show(EditorPictureToText(picture));
  }
  RecordingEditorSurface surface;
  SnippetEditor editor{surface};
};

TEST_F(SnippetEditorTest, EnterAndTabAreRecordedWhateverTheModifiers) {
  const KeyModifiers combos[] = {{}, {true, false, false}, {false, true, false}, {false, false, true},
                                 {true, true, true}};
  for (const KeyModifiers& m : combos) {
    for (int key : {SnippetEditor::kKeyReturn, SnippetEditor::kKeyTab}) {
      surface.replacements.clear();
      Open(U"x" + X + U"y", 2);  // the caret between a symbol and its break
      EXPECT_EQ(editor.OnKeyDown(key, m), EditorKeyAction::Done);
      const bool enter = key == SnippetEditor::kKeyReturn;
      const std::vector<Replacement> expected{
          {3, 0, {{(enter ? R : T) + "\r\n", enter ? F::ReturnSymbol : F::TabSymbol}}}};
      EXPECT_EQ(surface.replacements, expected);
      EXPECT_EQ(surface.selStart, 5);
    }
  }
  // A selection is kept, not overwritten: the key goes before it.
  surface.replacements.clear();
  Open(U"abc", 1, 2);
  editor.OnKeyDown(SnippetEditor::kKeyReturn, {});
  EXPECT_EQ(surface.replacements, (std::vector<Replacement>{{1, 0, {{R + "\r\n", F::ReturnSymbol}}}}));
}

TEST_F(SnippetEditorTest, KeysThatLeaveChangeOrPassTheEditor) {
  using A = EditorKeyAction;
  struct Case {
    int key;
    KeyModifiers m;
    A action;
  } cases[] = {
      {SnippetEditor::kKeyF6, {}, A::NextControl},
      {SnippetEditor::kKeyF6, {true, false, false}, A::PreviousControl},
      {SnippetEditor::kKeyEscape, {}, A::Close},
      {'A', {}, A::PassOn},
      {SnippetEditor::kKeyBack, {}, A::PassOn},
      {SnippetEditor::kKeyDelete, {false, true, false}, A::PassOn},  // word by word, repaired after
      {'A', {false, true, false}, A::PassOn},                        // select all
      {0x25, {true, true, false}, A::PassOn},                        // Strg+Umschalt+Links
      {'Q', {false, true, true}, A::PassOn},                         // AltGr+Q gives "@"
      {'B', {false, true, false}, A::Done},                          // bold: never stored, never shown
      {'E', {false, true, false}, A::Done},                          // centred
      {'1', {false, true, false}, A::Done},                          // line spacing
  };
  Open(U"abc", 1);
  for (const Case& c : cases) {
    EXPECT_EQ(editor.OnKeyDown(c.key, c.m), c.action) << c.key;
  }
  EXPECT_TRUE(surface.replacements.empty());
}

TEST_F(SnippetEditorTest, TypedCharactersGoBehindASymbolsBreakInTheTextFormat) {
  for (char32_t c : {U'\r', U'\n', U'\t', char32_t(1), char32_t(0x7F)}) EXPECT_TRUE(editor.OnChar(c));
  Open(U"x" + X + U"y", 2);
  EXPECT_FALSE(editor.OnChar(U'z'));
  EXPECT_EQ(surface.selStart, 3);
  EXPECT_EQ(surface.insertFormats, std::vector<F>{F::Text});
  // A selection the character replaces first grows to whole symbols.
  Shows(U"x" + X + U"y", 2, 2);
  EXPECT_FALSE(editor.OnChar(U'z'));
  EXPECT_EQ(surface.selStart, 1);
  EXPECT_EQ(surface.selLength, 3);
}

TEST_F(SnippetEditorTest, ClipboardCommandsTakeWholeSymbols) {
  // The selection holds a symbol but not its break.
  Open(U"a" + X + Y + U"b", 0, 2);
  editor.Copy();
  EXPECT_EQ(surface.clipboard, "a\r\n");
  editor.Cut();
  EXPECT_EQ(surface.replacements, (std::vector<Replacement>{{0, 3, {}}}));

  // Pasted over a selection that starts at a break: the symbol goes too.
  surface.replacements.clear();
  surface.clipboard = "1\r\n2\t";
  Open(U"a" + X + U"b", 2, 2);
  editor.Paste();
  const std::vector<Replacement> expected{
      {1, 3, {{"1", F::Text}, {R + "\r\n", F::ReturnSymbol}, {"2", F::Text}, {T + "\r\n", F::TabSymbol}}}};
  EXPECT_EQ(surface.replacements, expected);
  EXPECT_EQ(surface.selStart, 7);

  // An empty clipboard changes nothing.
  surface.replacements.clear();
  surface.clipboard.clear();
  editor.Paste();
  EXPECT_TRUE(surface.replacements.empty());
}

TEST_F(SnippetEditorTest, ChangesOfTheControlAreRepaired) {
  Open(U"ab" + X + U"cd", 0);
  // Rücktaste at the start of the second line took the display break only.
  Shows(U"ab" + std::u32string(1, kReturnSymbolChar) + U"cd", 3);
  editor.OnChange();
  EXPECT_EQ(surface.replacements, (std::vector<Replacement>{{2, 1, {}}}));
  EXPECT_EQ(surface.selStart, 2);
}

TEST_F(SnippetEditorTest, UndoAndRedoRestoreWholeStepsAndTypingIsOneStep) {
  Open(U"ab", 2);
  const auto type = [&](const std::u32string& now) {
    editor.OnChar(now.back());
    Shows(now, static_cast<int>(now.size()));
    editor.OnChange();
  };
  type(U"abc");
  type(U"abcd");
  editor.OnKeyDown(SnippetEditor::kKeyReturn, {});
  Shows(U"abcd" + X, 6);
  EXPECT_TRUE(editor.CanUndo());

  editor.Undo();  // the recorded Enter
  EXPECT_EQ(surface.renders.back(), PictureRuns(U"abcd"));
  Shows(U"abcd", 4);
  editor.OnKeyDown('Z', {false, true, false});  // Strg+Z: both typed characters
  EXPECT_EQ(surface.renders.back(), PictureRuns(U"ab"));
  EXPECT_EQ(surface.selStart, 2);
  Shows(U"ab", 2);
  EXPECT_FALSE(editor.CanUndo());

  editor.OnKeyDown('Y', {false, true, false});
  EXPECT_EQ(surface.renders.back(), PictureRuns(U"abcd"));
  Shows(U"abcd", 4);
  editor.Redo();
  EXPECT_EQ(surface.renders.back(), PictureRuns(U"abcd" + X));
}

}  // namespace
}  // namespace zelvo
