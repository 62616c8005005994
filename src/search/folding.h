// Text as the quick search compares it, so that German office users find an
// entry however they spell it.
#pragma once

#include <string>
#include <string_view>

namespace zelvo {

// Lower case; "ä", "ö", "ü", "ß" spelt out as "ae", "oe", "ue", "ss" (so
// both spellings fold alike); other accents dropped ("é" to "e"); typographic
// quotes and dashes as their plain forms; every run of white space as one
// blank, none at either end. Characters without a folding stay as they are.
std::string FoldForSearch(std::string_view utf8);
// The same, appended to `out` (its end is taken as the start of the text).
void AppendFolded(std::string& out, std::string_view utf8);

// One character's folding. An ASCII byte: lower case, 0 for one that folds
// to a blank. A character beyond ASCII: nullptr when it stays as it is,
// " " for a blank, "" when it is dropped.
char FoldedAscii(unsigned char b);
const char* FoldedCodePoint(char32_t cp);

// Letters and digits of folded text, ASCII or beyond, as opposed to blanks
// and punctuation: where one of them follows another, no word starts.
inline bool IsWordByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || b >= 0x80;
}

}  // namespace zelvo
