// Text conversions of the store and small string utilities.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zelvo {

// Editor symbols for recorded keys: the Wingdings characters 0xC3 and 0xF0
// at the code points a symbol font answers to (U+F0C3, U+F0F0). The letters
// "Ã" and "ð" in a text stay letters and are never typed as Enter or Tab.
inline constexpr const char* kReturnSymbol = "\xEF\x83\x83";
inline constexpr const char* kTabSymbol = "\xEF\x83\xB0";

std::string EscapeText(const std::string& text);
std::string UnescapeText(const std::string& text);
std::string EditorTextToStored(const std::string& editorText);
std::string StoredTextToEditor(const std::string& stored);

// Replaces %1..%10 by the arguments (a missing one is empty) and the
// template's backslash codes by their characters. Arguments are inserted as
// they are: a path or name holding "\N" or "%2" is shown unchanged.
std::string FormatMessage(const std::string& tmpl, const std::vector<std::string>& args = {});

// Replaces every occurrence, left to right, never rescanning replacements.
std::string ReplaceAll(const std::string& text, const std::string& find, const std::string& repl,
                       bool ignoreCase);

// Appends a backslash unless the path already ends with "\" or "/".
std::string AddBackslash(const std::string& path);
std::string CutAtNul(const std::string& text);
// Field n (1-based) of the text split at the delimiter (empty counts as a
// blank); empty when there are fewer fields or n < 1.
std::string SplitField(const std::string& text, int n, const std::string& delimiter);
long long ClampInt(long long v, long long low, long long high, long long fallback);
std::string HexPad(uint32_t v, int width);
std::string Trim(const std::string& text);  // blanks only

// The leading number of a text as the classic runtime reads it ("1.6abc"
// gives 1.6, letters give 0), and rounding to the nearest whole number with
// ties to even (saturating at the range of long long; NaN gives 0).
double LeadingNumber(const std::string& text);
// The same, but empty when the text does not start with a number.
std::optional<double> ParseLeadingNumber(const std::string& text);
long long RoundHalfEven(double v);

// Upper case with umlauts, as the Windows locale converts it (UTF-8 in/out).
std::string ToUpperLocale(const std::string& text);

}  // namespace zelvo
