// The snippet editor's picture of a text: recorded Enter and Tab keys are
// Wingdings symbols, each ending a display line.
#pragma once

#include <string>
#include <vector>

namespace zelvo {

// The format of a piece of editor text.
enum class EditorFormat {
  ReturnSymbol,  // "wingdings", light red
  TabSymbol,     // "wingdings", light blue
  Text,          // "arial", black
  Inherit,       // control characters keep the format of the piece before
};

struct EditorRun {
  std::string text;  // UTF-8; symbols are followed by "\r\n"
  EditorFormat format = EditorFormat::Text;
  friend bool operator==(const EditorRun&, const EditorRun&) = default;
};

// RenderEditorText's picture of an editor-form text, as runs of equal format
// so that a view can show the whole text in one go: display line breaks
// (CR LF) are dropped and put back after every symbol; a control character
// takes the format of the piece before it (the default text format at the
// very start).
std::vector<EditorRun> BuildEditorRuns(const std::string& editorText);

// The editor text as a screen reader should say it: each ReturnSymbol is
// the word "Eingabe", each TabSymbol "Tabulator", apart from the text
// around them; the display line break after a TabSymbol is dropped.
std::string SpokenEditorText(const std::string& editorText);

// True for the UTF-8 character of ReturnSymbol or TabSymbol.
bool IsKeySymbol(const std::string& utf8Char);

// One code point per element, for searching and caret positions.
std::u32string ToCodePoints(const std::string& utf8);
std::string FromCodePoints(const std::u32string& text);

// 0-based code-point position of `needle` in `text` at or after `from`,
// compared without regard to letter case (German rules), or -1.
long FindTextIgnoringCase(const std::string& text, const std::string& needle, long from);

}  // namespace zelvo
