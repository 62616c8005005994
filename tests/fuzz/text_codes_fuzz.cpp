// The text codes of stored texts and the editor's picture of them. Input:
// any bytes, taken as a stored value and as a snippet's text.
//
// Properties: escaping gives one line without quotes that unescapes to the
// text; stored, editor and stored form round-trip; the editor's RTF is
// 7-bit, its groups stay balanced and open until the very end whatever the
// text, it shows exactly the editor's picture, symbols in Wingdings with
// their colours and everything else in Arial; message arguments are shown
// as they are; lock-record fields split and join again.
#include <algorithm>

#include "fuzz_support.h"
#include "mainwindow/editor_rtf.h"
#include "mainwindow/editor_text.h"
#include "store/text_codes.h"

using namespace zelvo;
using namespace zelvo::fuzz;

namespace {

struct RtfText {
  std::u32string text;       // CR LF for \par
  std::string formatProblem;  // empty when every character had its font and colour
};

// Wingdings and its colour for each symbol, Arial black for text.
std::pair<int, int> FontAndColour(char32_t c) {
  switch (c) {
    case kReturnSymbolChar: return {1, 2};
    case kTabSymbolChar: return {1, 3};
    case kLineFeedSymbolChar: return {1, 4};
    default: return {0, 1};
  }
}

// Reads the RTF the editor gets, as a rich-text control would, and fails on
// anything outside 7 bits or a group closed before the end.
RtfText ReadRtf(const std::string& rtf) {
  RtfText out;
  int depth = 0, font = 0, colour = 0;
  char32_t pendingHigh = 0;
  const auto put = [&](char32_t c) {
    if (depth != 1) return;
    if (FontAndColour(c) != std::make_pair(font, colour) && out.formatProblem.empty())
      out.formatProblem = "character " + std::to_string(c) + " in font " + std::to_string(font) +
                          ", colour " + std::to_string(colour);
    out.text += c;
  };
  for (std::size_t i = 0; i < rtf.size(); ++i) {
    const char c = rtf[i];
    FUZZ_CHECK(static_cast<unsigned char>(c) < 0x80);
    if (c == '{') {
      ++depth;
    } else if (c == '}') {
      --depth;
      FUZZ_CHECK(depth > 0 || i + 1 == rtf.size());
    } else if (c != '\\') {
      FUZZ_CHECK(depth >= 1);
      put(static_cast<unsigned char>(c));
    } else {
      FUZZ_CHECK(i + 1 < rtf.size());
      const char n = rtf[++i];
      if (n == '\\' || n == '{' || n == '}') {
        put(static_cast<unsigned char>(n));
        continue;
      }
      FUZZ_CHECK((n >= 'a' && n <= 'z'));
      std::string word(1, n);
      while (i + 1 < rtf.size() && rtf[i + 1] >= 'a' && rtf[i + 1] <= 'z') word += rtf[++i];
      std::string number;
      while (i + 1 < rtf.size() && (rtf[i + 1] == '-' || (rtf[i + 1] >= '0' && rtf[i + 1] <= '9')))
        number += rtf[++i];
      if (i + 1 < rtf.size() && rtf[i + 1] == ' ') ++i;
      if (word == "par") {
        if (depth == 1) out.text += U"\r\n";
      } else if (word == "f" && !number.empty()) {
        font = std::stoi(number);
      } else if (word == "cf" && !number.empty()) {
        colour = std::stoi(number);
      } else if (word == "u") {
        FUZZ_CHECK(!number.empty() && i + 1 < rtf.size() && rtf[i + 1] == '?');
        ++i;  // the fallback character
        const char32_t unit = static_cast<uint16_t>(std::stoi(number));
        if (unit >= 0xD800 && unit < 0xDC00) {
          pendingHigh = unit;
        } else if (unit >= 0xDC00 && unit < 0xE000) {
          FUZZ_CHECK(pendingHigh != 0);
          put(0x10000 + ((pendingHigh - 0xD800) << 10) + (unit - 0xDC00));
          pendingHigh = 0;
        } else {
          put(unit);
        }
      }
    }
  }
  FUZZ_CHECK(depth == 0);
  return out;
}

// Characters the editor has no picture for: control characters other than
// the recorded keys, and the symbols' own code points.
bool EditorShowsAll(const std::string& text) {
  for (char32_t c : ToCodePoints(text))
    if ((c < 0x20 && c != U'\r' && c != U'\n' && c != U'\t') || IsKeySymbol(c)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string text = TextFrom(bytes);

  // Any stored value unescapes; escaping is undone exactly.
  FUZZ_CHECK(UnescapeText(bytes).size() <= bytes.size());
  const std::string stored = EscapeText(text);
  FUZZ_CHECK(stored.find_first_of("\r\n\t\"") == std::string::npos);
  FUZZ_CHECK_EQ(UnescapeText(stored), text, "escape then unescape");

  // The editor shows the stored text and gives it back unchanged, through
  // the picture the rich-text control holds: each recorded key a symbol
  // followed by one CR, its display break.
  const std::string editor = StoredTextToEditor(stored);
  const std::vector<EditorRun> runs = BuildEditorRuns(editor);
  std::string shown;
  for (const EditorRun& run : runs) shown += run.text;
  const std::u32string picture = ToCodePoints(ReplaceAll(shown, "\r\n", "\r", false));
  if (EditorShowsAll(text)) {
    FUZZ_CHECK_EQ(EditorTextToStored(editor), stored, "stored -> editor -> stored");
    FUZZ_CHECK_EQ(EditorTextToStored(EditorPictureToText(picture)), stored, "stored -> picture -> stored");
    FUZZ_CHECK(PictureRuns(picture) == runs);
  }

  // The RTF shows exactly the runs: symbols in Wingdings with their colour,
  // each display break a paragraph end, everything else in Arial black.
  const RtfText read = ReadRtf(EditorRunsToRtf(runs));
  FUZZ_CHECK_EQ(FromCodePoints(read.text), shown, "text of the editor's RTF");
  FUZZ_CHECK_EQ(read.formatProblem, std::string(), "fonts and colours of the editor's RTF");

  // Fields of a lock record: split at ";" and joined again, the same text.
  std::string joined;
  const auto fields = static_cast<int>(std::count(text.begin(), text.end(), ';')) + 1;
  for (int n = 1; n <= fields; ++n) joined += (n > 1 ? ";" : "") + SplitField(text, n, ";");
  FUZZ_CHECK_EQ(joined, text, "fields of " + Printable(text));
  FUZZ_CHECK_EQ(SplitField(text, fields + 1, ";"), std::string(), "a field after the last");

  // A path or name in a message is shown as it is.
  FUZZ_CHECK_EQ(FormatMessage("%1", {text}), text, "message argument");
  return 0;
}
