// The snippet editor's picture of a text: recorded keys are Wingdings
// symbols, each followed by a display line break that belongs to it.
//
// Two forms are used. The editor form (UTF-8) is what the stored text turns
// into (StoredTextToEditor): a symbol for Enter and Tab, "\n" for a line
// feed, and CR LF after each symbol for display. The picture is what the
// rich-text control holds, one code point per position: every Enter, Tab and
// line feed is a symbol followed by "\r", its display break; there is no
// other line break and no other control character.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelvo {

// A line feed from a stored text ("\L", typed as a line break that sends
// nothing) has a symbol of its own, so that every break on screen is content.
inline constexpr const char* kLineFeedSymbol = "\xEF\x83\xB2";  // Wingdings 0xF2
inline constexpr char32_t kReturnSymbolChar = 0xF0C3, kTabSymbolChar = 0xF0F0, kLineFeedSymbolChar = 0xF0F2;

// The format of a piece of editor text.
enum class EditorFormat {
  Text,            // "arial", black
  ReturnSymbol,    // "wingdings", light red
  TabSymbol,       // "wingdings", light blue
  LineFeedSymbol,  // "wingdings", grey
};

struct EditorRun {
  std::string text;  // UTF-8; symbols are followed by "\r\n"
  EditorFormat format = EditorFormat::Text;
  friend bool operator==(const EditorRun&, const EditorRun&) = default;
};

// RenderEditorText's picture of an editor-form text, as runs of equal format
// so that a view can show the whole text in one go: display line breaks
// (CR LF) are dropped and put back after every symbol; a line feed becomes
// its symbol; other control characters have no picture.
std::vector<EditorRun> BuildEditorRuns(const std::string& editorText);

// The editor text as a screen reader should say it: each ReturnSymbol is
// the word "Eingabe", each TabSymbol "Tabulator", apart from the text
// around them; the display line break after a TabSymbol is dropped.
std::string SpokenEditorText(const std::string& editorText);

bool IsKeySymbol(char32_t c);

// The editor form of a picture: the inverse of BuildEditorRuns.
std::string EditorPictureToText(std::u32string_view picture);
// Runs that show a piece of a picture.
std::vector<EditorRun> PictureRuns(std::u32string_view picture);

// Text that comes into the editor from outside (pasted or dropped) as
// picture: CR LF, CR, LF and vertical tab become a recorded Enter, a tab a
// recorded Tab, a symbol keeps (or gets) its display break, and other
// control characters are dropped.
std::u32string NormalizeInserted(std::u32string_view text);

// What the control must change after it edited its content by itself
// (typing, Rücktaste, Entf, a drop): `before` is the last consistent
// picture, `after` the control's content and `caret` its caret. A symbol
// that lost its display break goes, a break that lost its symbol goes, text
// put between a symbol and its break moves behind the break, and inserted
// text is normalized. Replace `length` characters at `start` of `after` by
// `text` and put the caret at `caret`; nothing when `after` is consistent.
struct EditorRepair {
  int start = 0, length = 0;
  std::u32string text;
  int caret = 0;
  friend bool operator==(const EditorRepair&, const EditorRepair&) = default;
};
std::optional<EditorRepair> RepairEditorChange(std::u32string_view before, std::u32string_view after,
                                               int caret);

// The range [start, end) grown so that it holds whole symbols with their
// display breaks; an empty range between a symbol and its break moves
// behind the break.
std::pair<int, int> WholeSymbols(std::u32string_view picture, int start, int end);

// A piece of a picture as the text it stands for, for the clipboard: Enter
// as CR LF, Tab as a tab, a line feed as LF.
std::string PictureToPlainText(std::u32string_view picture);

// One code point per element, for searching and caret positions.
std::u32string ToCodePoints(const std::string& utf8);
std::string FromCodePoints(std::u32string_view text);

// 0-based code-point position of `needle` in `text` at or after `from`,
// compared without regard to letter case (German rules), or -1.
long FindTextIgnoringCase(const std::string& text, const std::string& needle, long from);

}  // namespace zelvo
