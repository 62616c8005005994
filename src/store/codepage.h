// Windows-1252 bytes at the file boundary, UTF-8 inside the program.
#pragma once

#include <cstddef>
#include <string>

namespace zelvo {

std::string Cp1252ToUtf8(const std::string& bytes);
// Characters Windows-1252 cannot represent become "?".
std::string Utf8ToCp1252(const std::string& text);

// Decodes the UTF-8 sequence at text[i] into `cp` and returns its length;
// an invalid byte gives cp = kInvalidCodePoint and length 1.
inline constexpr char32_t kInvalidCodePoint = 0xFFFFFFFF;
std::size_t DecodeUtf8At(const std::string& text, std::size_t i, char32_t& cp);
void AppendUtf8(std::string& out, char32_t cp);

// Upper case of the letters that Windows-1252 holds (ASCII, Latin-1, the
// few extra ones like "š"), as the German Windows locale converts them;
// "ß" and "µ" stay as they are.
char32_t UpperLatin(char32_t cp);
// The same on Windows-1252 bytes (used for section and key names).
std::string UpperCp1252(const std::string& bytes);

}  // namespace zelvo
