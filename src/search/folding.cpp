#include "search/folding.h"

#include <array>

#include "store/codepage.h"

namespace zelvo {
namespace {

// Foldings of U+00A0..U+00FF; nullptr keeps the character.
constexpr std::array<const char*, 96> kLatin1 = {
    " ",  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,  // A0..A7
    nullptr, nullptr, nullptr, "\"", nullptr, "",  nullptr, nullptr,      // A8..AF: «, soft hyphen
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,  // B0..B7
    nullptr, nullptr, nullptr, "\"", nullptr, nullptr, nullptr, nullptr,  // B8..BF: »
    "a", "a", "a", "a", "ae", "a", "ae", "c",                             // C0..C7
    "e", "e", "e", "e", "i", "i", "i", "i",                               // C8..CF
    "d", "n", "o", "o", "o", "o", "oe", nullptr,                          // D0..D7
    "o", "u", "u", "u", "ue", "y", "th", "ss",                            // D8..DF
    "a", "a", "a", "a", "ae", "a", "ae", "c",                             // E0..E7
    "e", "e", "e", "e", "i", "i", "i", "i",                               // E8..EF
    "d", "n", "o", "o", "o", "o", "oe", nullptr,                          // F0..F7
    "o", "u", "u", "u", "ue", "y", "th", "y",                             // F8..FF
};

// The rest of Windows-1252 and a few characters users paste from elsewhere.
const char* FoldBeyondLatin1(char32_t cp) {
  switch (cp) {
    case 0x0152: case 0x0153: return "oe";
    case 0x0160: case 0x0161: return "s";
    case 0x017D: case 0x017E: return "z";
    case 0x0178: return "y";
    case 0x0192: return "f";
    case 0x1E9E: return "ss";  // capital sharp s
    case 0x2018: case 0x2019: case 0x201A: case 0x2039: case 0x203A: return "'";
    case 0x201C: case 0x201D: case 0x201E: return "\"";
    case 0x2013: case 0x2014: case 0x2212: return "-";
    case 0x2026: return "...";
    case 0x2007: case 0x202F: return " ";
    default: return nullptr;
  }
}

// ASCII: lower case, and 0 for the bytes that fold to a blank.
constexpr std::array<char, 128> kAscii = [] {
  std::array<char, 128> t{};
  for (int b = 0; b < 128; ++b)
    t[b] = b <= ' ' || b == 0x7F ? 0 : static_cast<char>(b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b);
  return t;
}();

}  // namespace

char FoldedAscii(unsigned char b) { return kAscii[b & 0x7F]; }

const char* FoldedCodePoint(char32_t cp) {
  if (cp < 0xA0) return " ";  // C1 controls
  return cp <= 0xFF ? kLatin1[cp - 0xA0] : FoldBeyondLatin1(cp);
}

void AppendFolded(std::string& out, std::string_view text, Folding folding) {
  // No folding is longer than what it replaces, so the text's own length
  // is room enough; the whole data file passes through here.
  const std::size_t start = out.size();
  out.resize(start + text.size());
  char* const begin = out.data() + start;
  char* p = begin;
  const bool dropE = folding == Folding::Search;
  bool blank = false;  // a blank is owed before the next character
  const auto put = [&](char c) {
    if (blank && p != begin) *p++ = ' ';
    else if (dropE && c == 'e' && p != begin && DropsFollowingE(p[-1])) return;
    blank = false;
    *p++ = c;
  };
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      ++i;
      if (const char c = FoldedAscii(b)) put(c);
      else blank = true;
      continue;
    }
    char32_t cp = 0;
    const std::size_t length = DecodeUtf8At(text, i, cp);
    std::string_view piece = text.substr(i, length);
    i += length;
    if (cp == kInvalidCodePoint) continue;
    if (const char* folded = FoldedCodePoint(cp)) piece = folded;
    if (piece == " ") {
      blank = true;
      continue;
    }
    for (const char c : piece) put(c);
  }
  out.resize(start + static_cast<std::size_t>(p - begin));
}

std::string FoldForSearch(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  AppendFolded(out, utf8);
  return out;
}

}  // namespace zelvo
