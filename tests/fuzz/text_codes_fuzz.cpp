// The text codes of stored texts and the editor's picture of them. Input:
// any bytes, taken as a stored value and as a snippet's text.
//
// Properties: escaping gives one line without quotes that unescapes to the
// text; stored, editor and stored form round-trip; the editor's RTF is
// 7-bit, its groups stay balanced and open until the very end whatever the
// text, it shows exactly the editor's text, symbols in Wingdings and
// everything else in Arial; message arguments are shown as they are;
// lock-record fields split and join again.
#include <algorithm>

#include "fuzz_support.h"
#include "mainwindow/editor_rtf.h"
#include "mainwindow/editor_text.h"
#include "store/text_codes.h"

using namespace zelvo;
using namespace zelvo::fuzz;

namespace {

struct RtfText {
  std::u32string text;       // CR LF for \par, LF for \line
  std::string fontProblem;   // empty when every character had its font
};

// Reads the RTF the editor gets, as a rich-text control would, and fails on
// anything outside 7 bits or a group closed before the end.
RtfText ReadRtf(const std::string& rtf) {
  RtfText out;
  int depth = 0, font = 0;
  char32_t pendingHigh = 0;
  const auto put = [&](char32_t c, bool symbolByte) {
    const bool symbol = c == 0xC3 || c == 0xF0;
    if (depth == 1 && (symbol != (font == 1) || symbol != symbolByte) && out.fontProblem.empty())
      out.fontProblem = "character " + std::to_string(c) + " in font " + std::to_string(font);
    if (depth == 1) out.text += c;
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
      put(static_cast<unsigned char>(c), false);
    } else {
      FUZZ_CHECK(i + 1 < rtf.size());
      const char n = rtf[++i];
      if (n == '\\' || n == '{' || n == '}') {
        put(static_cast<unsigned char>(n), false);
      } else if (n == '\'') {
        FUZZ_CHECK(i + 2 < rtf.size());
        put(static_cast<char32_t>(std::stoi(rtf.substr(i + 1, 2), nullptr, 16)), true);
        i += 2;
      } else {
        FUZZ_CHECK((n >= 'a' && n <= 'z'));
        std::string word(1, n);
        while (i + 1 < rtf.size() && rtf[i + 1] >= 'a' && rtf[i + 1] <= 'z') word += rtf[++i];
        std::string number;
        while (i + 1 < rtf.size() && (rtf[i + 1] == '-' || (rtf[i + 1] >= '0' && rtf[i + 1] <= '9')))
          number += rtf[++i];
        if (i + 1 < rtf.size() && rtf[i + 1] == ' ') ++i;
        if (word == "par") {
          if (depth == 1) out.text += U"\r\n";
        } else if (word == "line") {
          if (depth == 1) out.text += U'\n';
        } else if (word == "f" && !number.empty()) {
          font = std::stoi(number);
        } else if (word == "u") {
          FUZZ_CHECK(!number.empty() && i + 1 < rtf.size() && rtf[i + 1] == '?');
          ++i;  // the fallback character
          const char32_t unit = static_cast<uint16_t>(std::stoi(number));
          if (unit >= 0xD800 && unit < 0xDC00) {
            pendingHigh = unit;
          } else if (unit >= 0xDC00 && unit < 0xE000) {
            FUZZ_CHECK(pendingHigh != 0);
            put(0x10000 + ((pendingHigh - 0xD800) << 10) + (unit - 0xDC00), false);
            pendingHigh = 0;
          } else {
            put(unit, false);
          }
        }
      }
    }
  }
  FUZZ_CHECK(depth == 0);
  return out;
}

bool HasSymbolCharacter(const std::string& text) {
  return text.find(kReturnSymbol) != std::string::npos || text.find(kTabSymbol) != std::string::npos;
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

  // A text holding the symbol characters themselves is shown as keys; the
  // others come back unchanged from the editor, with or without the
  // display breaks the editor puts after each symbol.
  const std::string editor = StoredTextToEditor(stored);
  const std::vector<EditorRun> runs = BuildEditorRuns(editor);
  std::string shown;
  for (const EditorRun& run : runs) shown += run.text;
  if (!HasSymbolCharacter(text)) {
    FUZZ_CHECK_EQ(EditorTextToStored(editor), stored, "stored -> editor -> stored");
    FUZZ_CHECK_EQ(EditorTextToStored(shown), stored, "stored -> shown in the editor -> stored");
  }

  // The RTF shows the editor's text: CR LF as paragraph ends, other breaks
  // as line breaks, no other control characters.
  const RtfText read = ReadRtf(EditorRunsToRtf(runs));
  std::u32string expected;
  const std::u32string cps = ToCodePoints(shown);
  for (std::size_t i = 0; i < cps.size(); ++i) {
    if (cps[i] == U'\r' && i + 1 < cps.size() && cps[i + 1] == U'\n') {
      expected += U"\r\n";
      ++i;
    } else if (cps[i] == U'\r' || cps[i] == U'\n') {
      expected += U'\n';
    } else if (cps[i] >= 0x20) {
      expected += cps[i];
    }
  }
  FUZZ_CHECK_EQ(FromCodePoints(read.text), FromCodePoints(expected), "text of the editor's RTF");
  FUZZ_CHECK_EQ(read.fontProblem, std::string(), "fonts of the editor's RTF");

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
