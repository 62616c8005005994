#include "mainwindow/editor_text.h"

#include <algorithm>

#include "store/codepage.h"
#include "store/text_codes.h"

namespace zelvo {
namespace {

bool IsBreak(char32_t c) { return c == U'\r' || c == U'\n' || c == U'\v'; }

EditorFormat FormatOf(char32_t symbol) {
  switch (symbol) {
    case kReturnSymbolChar: return EditorFormat::ReturnSymbol;
    case kTabSymbolChar: return EditorFormat::TabSymbol;
    case kLineFeedSymbolChar: return EditorFormat::LineFeedSymbol;
    default: return EditorFormat::Text;
  }
}

class RunBuilder {
 public:
  void Text(char32_t c) { Append(FromCodePoints(std::u32string_view(&c, 1)), EditorFormat::Text); }
  void Symbol(char32_t c) { Append(FromCodePoints(std::u32string_view(&c, 1)) + "\r\n", FormatOf(c)); }
  std::vector<EditorRun> Take() { return std::move(runs_); }

 private:
  void Append(const std::string& piece, EditorFormat format) {
    if (runs_.empty() || runs_.back().format != format)
      runs_.push_back({piece, format});
    else
      runs_.back().text += piece;
  }
  std::vector<EditorRun> runs_;
};

// Appends the normalized picture of text[from, to) to `out` and notes for
// each position where it went.
void NormalizeInto(std::u32string_view text, std::size_t from, std::size_t to, std::u32string& out,
                   std::vector<int>* map) {
  for (std::size_t i = from; i < to; ++i) {
    if (map) (*map)[i] = static_cast<int>(out.size());
    const char32_t c = text[i];
    char32_t symbol = 0;
    if (IsKeySymbol(c))
      symbol = c;
    else if (IsBreak(c))
      symbol = kReturnSymbolChar;
    else if (c == U'\t')
      symbol = kTabSymbolChar;
    if (symbol) {
      out += symbol;
      out += U'\r';
      // A symbol brings its own break; CR LF is one break.
      std::size_t skip = 0;
      if (IsKeySymbol(c) && i + 1 < to && IsBreak(text[i + 1])) skip = 1;
      if (text[i + skip] == U'\r' && i + skip + 1 < to && text[i + skip + 1] == U'\n') ++skip;
      // What a symbol takes along maps to its break.
      for (; skip > 0; --skip) {
        ++i;
        if (map) (*map)[i] = static_cast<int>(out.size()) - 1;
      }
    } else if (c >= 0x20 && c != 0x7F) {
      out += c;
    }
  }
}

}  // namespace

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

std::string FromCodePoints(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t cp : text) AppendUtf8(out, cp);
  return out;
}

bool IsKeySymbol(char32_t c) {
  return c == kReturnSymbolChar || c == kTabSymbolChar || c == kLineFeedSymbolChar;
}

std::vector<EditorRun> BuildEditorRuns(const std::string& editorText) {
  const std::u32string text = ToCodePoints(ReplaceAll(editorText, "\r\n", "", false));
  RunBuilder runs;
  for (char32_t c : text) {
    if (IsKeySymbol(c))
      runs.Symbol(c);
    else if (c == U'\n')
      runs.Symbol(kLineFeedSymbolChar);
    else if (c >= 0x20)
      runs.Text(c);
  }
  return runs.Take();
}

std::vector<EditorRun> PictureRuns(std::u32string_view picture) {
  RunBuilder runs;
  for (std::size_t i = 0; i < picture.size(); ++i) {
    const char32_t c = picture[i];
    if (IsKeySymbol(c)) {
      runs.Symbol(c);
      if (i + 1 < picture.size() && picture[i + 1] == U'\r') ++i;
    } else if (c >= 0x20) {
      runs.Text(c);
    }
  }
  return runs.Take();
}

std::string EditorPictureToText(std::u32string_view picture) {
  std::string out;
  out.reserve(picture.size() + 16);
  for (std::size_t i = 0; i < picture.size(); ++i) {
    const char32_t c = picture[i];
    if (IsKeySymbol(c)) {
      out += c == kLineFeedSymbolChar ? std::string("\n") : FromCodePoints(std::u32string_view(&c, 1)) + "\r\n";
      if (i + 1 < picture.size() && picture[i + 1] == U'\r') ++i;
    } else if (IsBreak(c)) {
      // Never there after a repair; a bare break would at most be a line feed.
      out += '\n';
    } else {
      AppendUtf8(out, c);
    }
  }
  return out;
}

std::u32string NormalizeInserted(std::u32string_view text) {
  std::u32string out;
  NormalizeInto(text, 0, text.size(), out, nullptr);
  return out;
}

std::optional<EditorRepair> RepairEditorChange(std::u32string_view before, std::u32string_view after,
                                               int caret) {
  const std::size_t n = before.size(), m = after.size();
  std::size_t p = 0;
  while (p < n && p < m && before[p] == after[p]) ++p;
  std::size_t s = 0;
  while (s < std::min(n, m) - p && before[n - 1 - s] == after[m - 1 - s]) ++s;
  if (p == n && p == m) return std::nullopt;
  // Old characters are kept before p and from m - s on; old index j
  // survives when j < p or j >= n - s.
  const std::size_t insertedEnd = m - s;
  auto oldIndex = [&](std::size_t i) { return i < p ? i : i - m + n; };
  auto survives = [&](std::size_t j) { return j < p || j >= n - s; };
  auto newIndex = [&](std::size_t j) { return j < p ? j : j - n + m; };

  std::u32string out;
  out.reserve(m + 8);
  std::vector<int> map(m + 1, 0);
  std::size_t skip = m;  // a break moved behind text inserted before it
  for (std::size_t i = 0; i < m;) {
    map[i] = static_cast<int>(out.size());
    if (i == skip) {
      ++i;
      continue;
    }
    if (i >= p && i < insertedEnd) {
      NormalizeInto(after, i, insertedEnd, out, &map);
      i = insertedEnd;
      continue;
    }
    const char32_t c = after[i];
    const std::size_t j = oldIndex(i);
    if (IsKeySymbol(c)) {
      const bool hadBreak = j + 1 < n && before[j + 1] == U'\r';
      if (hadBreak && !survives(j + 1)) {
        ++i;  // its break was removed: the symbol goes too
        continue;
      }
      out += c;
      out += U'\r';
      const std::size_t partner = hadBreak ? newIndex(j + 1) : m;
      if (partner == i + 1) {
        map[i + 1] = static_cast<int>(out.size()) - 1;
        i += 2;
        continue;
      }
      skip = partner;
      ++i;
      continue;
    }
    if (IsBreak(c)) {
      // An old break whose symbol was removed goes with it; a stray one is
      // taken as the Enter it shows.
      if (!(j > 0 && IsKeySymbol(before[j - 1]))) NormalizeInto(after, i, i + 1, out, &map);
      ++i;
      continue;
    }
    out += c;
    ++i;
  }
  map[m] = static_cast<int>(out.size());

  // Everything that can change lies between the character before the edit
  // and the one after it. Inserted text is shown anew in its own format,
  // unless it is a single typed character, which already has it.
  std::size_t a = p > 0 ? p - 1 : 0, b = std::min(m, insertedEnd + 1);
  if (insertedEnd - p <= 1) {
    while (a < b && map[a + 1] == map[a] + 1 && out[map[a]] == after[a]) ++a;
    while (b > a && map[b] == map[b - 1] + 1 && out[map[b] - 1] == after[b - 1]) --b;
    if (a == b) return std::nullopt;
  }
  EditorRepair repair;
  repair.start = static_cast<int>(a);
  repair.length = static_cast<int>(b - a);
  repair.text = out.substr(map[a], map[b] - map[a]);
  const int at = map[std::min<std::size_t>(static_cast<std::size_t>(std::max(caret, 0)), m)];
  repair.caret = WholeSymbols(out, at, at).first;
  return repair;
}

std::pair<int, int> WholeSymbols(std::u32string_view picture, int start, int end) {
  const int size = static_cast<int>(picture.size());
  start = std::clamp(start, 0, size);
  end = std::clamp(end, start, size);
  auto symbolBefore = [&](int pos) { return pos > 0 && pos < size && picture[pos] == U'\r' && IsKeySymbol(picture[pos - 1]); };
  if (start == end) {
    if (symbolBefore(start)) start = end = start + 1;
    return {start, end};
  }
  if (symbolBefore(start)) --start;
  if (symbolBefore(end)) ++end;
  return {start, end};
}

std::string PictureToPlainText(std::u32string_view picture) {
  std::string out;
  for (std::size_t i = 0; i < picture.size(); ++i) {
    const char32_t c = picture[i];
    if (c == kReturnSymbolChar)
      out += "\r\n";
    else if (c == kTabSymbolChar)
      out += '\t';
    else if (c == kLineFeedSymbolChar)
      out += '\n';
    else if (c == U'\r' && i > 0 && IsKeySymbol(picture[i - 1]))
      continue;
    else
      AppendUtf8(out, c);
  }
  return out;
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
