// Windows-1252 bytes at the file boundary, UTF-8 inside the program.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace zelvo {

std::string Cp1252ToUtf8(const std::string& bytes);
// Characters Windows-1252 cannot represent become "?".
std::string Utf8ToCp1252(const std::string& text);

// The text of a file written by any editor: UTF-8 with or without a
// byte-order mark, UTF-16 with one; anything else is Windows-1252.
std::string TextFileToUtf8(const std::string& bytes);

// Decodes the UTF-8 sequence at text[i] into `cp` and returns its length;
// an invalid byte gives cp = kInvalidCodePoint and length 1.
inline constexpr char32_t kInvalidCodePoint = 0xFFFFFFFF;
std::size_t DecodeUtf8At(std::string_view text, std::size_t i, char32_t& cp);
void AppendUtf8(std::string& out, char32_t cp);

// 0x80..0x9F of Windows-1252. The five codes Windows leaves unassigned map
// to the C1 control with the same number so that every byte round-trips.
inline constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The character a byte stands for in Windows-1252.
constexpr char32_t Cp1252CodePoint(unsigned char b) {
  return (b >= 0x80 && b <= 0x9F) ? kCp1252High[b - 0x80] : char32_t(b);
}

// Text of a file saved as UTF-8, where a hand edit in another editor may
// have left single Windows-1252 bytes: valid sequences count as they are,
// every other byte as its 1252 character, so nothing becomes "?".
std::size_t DecodeUtf8OrCp1252At(std::string_view text, std::size_t i, char32_t& cp);
std::string Utf8OrCp1252ToUtf8(std::string_view text);
// Appends the 1252 bytes of such text; false (with `out` partly written)
// when it holds a character that 1252 lacks.
bool AppendAsCp1252(std::string_view text, std::string& out);

// Upper case of the letters that Windows-1252 holds (ASCII, Latin-1, the
// few extra ones like "š"), as the German Windows locale converts them;
// "ß" and "µ" stay as they are.
constexpr char32_t UpperLatin(char32_t cp) {
  if (cp >= 'a' && cp <= 'z') return cp - 0x20;
  if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 0x20;
  switch (cp) {
    case 0x00FF: return 0x0178;  // ÿ
    case 0x0161: return 0x0160;  // š
    case 0x0153: return 0x0152;  // œ
    case 0x017E: return 0x017D;  // ž
    default: return cp;
  }
}

// The same on Windows-1252 bytes (used for section and key names).
inline constexpr std::array<char, 256> kCp1252Upper = [] {
  std::array<char, 256> t{};
  for (int b = 0; b < 256; ++b) {
    const char32_t up = UpperLatin(Cp1252CodePoint(static_cast<unsigned char>(b)));
    int byte = up <= 0xFF && (up < 0x80 || up > 0x9F) ? int(up) : b;
    for (int h = 0; h < 32; ++h)
      if (up > 0xFF && kCp1252High[h] == up) byte = 0x80 + h;
    t[b] = static_cast<char>(byte);
  }
  return t;
}();
inline char UpperCp1252Char(char c) { return kCp1252Upper[static_cast<unsigned char>(c)]; }
std::string UpperCp1252(const std::string& bytes);

}  // namespace zelvo
