#include "mainwindow/editor_text.h"

#include "store/codepage.h"
#include "store/text_codes.h"

namespace zelvo {

std::u32string ToCodePoints(const std::string& utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp;
    const std::size_t len = DecodeUtf8At(utf8, i, cp);
    // A stray byte stands for itself as its Windows-1252 character.
    out += cp == kInvalidCodePoint ? ToCodePoints(Cp1252ToUtf8(utf8.substr(i, 1)))[0] : cp;
    i += len;
  }
  return out;
}

std::string FromCodePoints(const std::u32string& text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t cp : text) AppendUtf8(out, cp);
  return out;
}

bool IsKeySymbol(const std::string& utf8Char) {
  return utf8Char == kReturnSymbol || utf8Char == kTabSymbol;
}

std::vector<EditorRun> BuildEditorRuns(const std::string& editorText) {
  const std::string text = ReplaceAll(editorText, "\r\n", "", false);
  std::vector<EditorRun> runs;
  EditorFormat previous = EditorFormat::Inherit;
  auto append = [&](const std::string& piece, EditorFormat format) {
    if (runs.empty() || runs.back().format != format)
      runs.push_back({piece, format});
    else
      runs.back().text += piece;
    previous = format;
  };
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp;
    std::size_t len = DecodeUtf8At(text, i, cp);
    const std::string ch = text.substr(i, len);
    i += len;
    if (ch == kReturnSymbol)
      append(ch + "\r\n", EditorFormat::ReturnSymbol);
    else if (ch == kTabSymbol)
      append(ch + "\r\n", EditorFormat::TabSymbol);
    else if (cp != kInvalidCodePoint && cp < 0x20)
      append(ch, previous);
    else
      append(ch, EditorFormat::Text);
  }
  return runs;
}

std::string SpokenEditorText(const std::string& editorText) {
  std::string out;
  out.reserve(editorText.size() + 32);
  auto word = [&](const char* w) {
    if (!out.empty() && out.back() != ' ' && out.back() != '\n') out += ' ';
    out += w;
  };
  for (std::size_t i = 0; i < editorText.size();) {
    char32_t cp;
    const std::size_t len = DecodeUtf8At(editorText, i, cp);
    const std::string ch = editorText.substr(i, len);
    i += len;
    if (ch == kReturnSymbol) {
      word("Eingabe");  // its line break follows as it is
    } else if (ch == kTabSymbol) {
      word("Tabulator");
      if (editorText.compare(i, 2, "\r\n") == 0) i += 2;
      if (i < editorText.size() && editorText[i] != ' ') out += ' ';
    } else {
      out += ch;
    }
  }
  return out;
}

long FindTextIgnoringCase(const std::string& text, const std::string& needle, long from) {
  std::u32string hay = ToCodePoints(text), pin = ToCodePoints(needle);
  for (char32_t& c : hay) c = UpperLatin(c);
  for (char32_t& c : pin) c = UpperLatin(c);
  if (pin.empty() || from < 0 || static_cast<std::size_t>(from) > hay.size()) return -1;
  const std::size_t hit = hay.find(pin, static_cast<std::size_t>(from));
  return hit == std::u32string::npos ? -1 : static_cast<long>(hit);
}

}  // namespace zelvo
