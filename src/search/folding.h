// Text as the quick search compares it, so that German office users find an
// entry however they spell it.
#pragma once

#include <string>
#include <string_view>

namespace zelvo {

// Lower case; "ä", "ö", "ü", "ß" spelt out as "ae", "oe", "ue", "ss"; other
// accents dropped ("é" to "e"); typographic quotes and dashes as their plain
// forms; every run of white space as one blank, none at either end.
// Characters without a folding stay as they are.
// For searching, an "e" right after "a", "o" or "u" is then left out, so
// that "Müller", "Mueller" and "Muller" all fold to "muller": whichever way
// a user spells an umlaut, in the text or in the query, they meet.
// For sorting it stays ("Bauer" before "Baum", "Ä" as "Ae").
enum class Folding { Search, Sorting };
std::string FoldForSearch(std::string_view utf8);
// The same, appended to `out` (its end is taken as the start of the text).
void AppendFolded(std::string& out, std::string_view utf8, Folding folding = Folding::Search);

// One character's folding. An ASCII byte: lower case, 0 for one that folds
// to a blank. A character beyond ASCII: nullptr when it stays as it is,
// " " for a blank, "" when it is dropped.
char FoldedAscii(unsigned char b);
const char* FoldedCodePoint(char32_t cp);
// Whether the search folding leaves out an "e" written right after this
// folded byte.
inline bool DropsFollowingE(char previous) {
  return previous == 'a' || previous == 'o' || previous == 'u';
}

// Letters and digits of folded text, ASCII or beyond, as opposed to blanks
// and punctuation: where one of them follows another, no word starts.
inline bool IsWordByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || b >= 0x80;
}

}  // namespace zelvo
