#include "store/text_codes.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "store/codepage.h"

namespace zelvo {

std::string EscapeText(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\T"; break;
      case '\n': out += "\\L"; break;
      case '\r': out += "\\N"; break;
      case '"': out += "\\H"; break;
      default: out += c;
    }
  }
  return out;
}

namespace {

char UnescapedChar(char marked) {
  switch (marked) {
    case 'T': case 't': return '\t';
    case 'N': case 'n': return '\r';
    case 'L': case 'l': return '\n';
    case 'H': case 'h': return '"';
    default: return marked;
  }
}

}  // namespace

std::string UnescapeText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  // Copied in runs between the codes: the whole file passes through here
  // when the quick search builds its index.
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t mark = text.find('\\', i);
    if (mark == std::string::npos) {
      out.append(text, i, std::string::npos);
      break;
    }
    out.append(text, i, mark - i);
    if (mark + 1 < text.size()) out += UnescapedChar(text[mark + 1]);  // a lone "\" at the end is dropped
    i = mark + 2;
  }
  return out;
}

std::string EditorTextToStored(const std::string& editorText) {
  std::string t = ReplaceAll(editorText, "\r\n", "", false);
  t = ReplaceAll(t, kReturnSymbol, "\r", false);
  t = ReplaceAll(t, kTabSymbol, "\t", false);
  return EscapeText(t);
}

std::string StoredTextToEditor(const std::string& stored) {
  std::string t = UnescapeText(stored);
  t = ReplaceAll(t, "\r", kReturnSymbol, false);
  return ReplaceAll(t, "\t", kTabSymbol, false);
}

std::string FormatMessage(const std::string& tmpl, const std::vector<std::string>& args) {
  std::string out;
  out.reserve(tmpl.size() + 64);
  for (std::size_t i = 0; i < tmpl.size(); ++i) {
    const char c = tmpl[i];
    if (c == '\\') {
      if (i + 1 < tmpl.size()) out += UnescapedChar(tmpl[++i]);
      continue;
    }
    if (c == '%' && i + 1 < tmpl.size() && tmpl[i + 1] >= '1' && tmpl[i + 1] <= '9') {
      std::size_t n = tmpl[i + 1] - '0';
      std::size_t len = 2;
      if (n == 1 && i + 2 < tmpl.size() && tmpl[i + 2] == '0') {
        n = 10;
        len = 3;
      }
      if (n <= args.size()) out += args[n - 1];
      i += len - 1;
      continue;
    }
    out += c;
  }
  return out;
}

std::string ReplaceAll(const std::string& text, const std::string& find, const std::string& repl,
                       bool ignoreCase) {
  if (find.empty()) return text;
  // Upper-casing keeps the UTF-8 length of every character it changes, so
  // positions found in the upper-cased copy are valid in the original.
  const std::string hay = ignoreCase ? ToUpperLocale(text) : text;
  const std::string needle = ignoreCase ? ToUpperLocale(find) : find;
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (std::size_t hit; (hit = hay.find(needle, pos)) != std::string::npos; pos = hit + needle.size()) {
    out.append(text, pos, hit - pos);
    out += repl;
  }
  out.append(text, pos, std::string::npos);
  return out;
}

std::string AddBackslash(const std::string& path) {
  if (!path.empty() && (path.back() == '\\' || path.back() == '/')) return path;
  return path + "\\";
}

std::string CutAtNul(const std::string& text) { return text.substr(0, text.find('\0')); }

std::string SplitField(const std::string& text, int n, const std::string& delimiter) {
  if (n < 1) return "";
  const std::string delim = delimiter.empty() ? " " : delimiter;
  std::size_t start = 0;
  for (int field = 1; field < n; ++field) {
    const std::size_t hit = text.find(delim, start);
    if (hit == std::string::npos) return "";
    start = hit + delim.size();
  }
  const std::size_t end = text.find(delim, start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

long long ClampInt(long long v, long long low, long long high, long long fallback) {
  return (v < low || v > high) ? fallback : v;
}

std::string HexPad(uint32_t v, int width) {
  static const char digits[] = "0123456789ABCDEF";
  char buf[8];
  int n = 0;
  do {
    buf[7 - n++] = digits[v & 0xF];
    v >>= 4;
  } while (v != 0);
  std::string out(width > n ? width - n : 0, '0');
  return out.append(buf + 8 - n, n);
}

std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::optional<double> ParseLeadingNumber(const std::string& text) {
  std::size_t i = 0;
  const auto at = [&](std::size_t k) { return k < text.size() ? text[k] : '\0'; };
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  while (at(i) == ' ' || at(i) == '\t') ++i;
  std::string num;
  if (at(i) == '+' || at(i) == '-') num += text[i++];
  bool digits = false;
  while (isDigit(at(i))) num += text[i++], digits = true;
  if (at(i) == '.') {
    num += text[i++];
    while (isDigit(at(i))) num += text[i++], digits = true;
  }
  if (!digits) return std::nullopt;
  const char e = at(i);
  if (e == 'e' || e == 'E' || e == 'd' || e == 'D') {
    std::size_t k = i + 1;
    std::string exp = "e";
    if (at(k) == '+' || at(k) == '-') exp += text[k++];
    if (isDigit(at(k))) {
      while (isDigit(at(k))) exp += text[k++];
      num += exp;
    }
  }
  return std::strtod(num.c_str(), nullptr);
}

double LeadingNumber(const std::string& text) { return ParseLeadingNumber(text).value_or(0.0); }

long long RoundHalfEven(double v) {
  if (std::isnan(v)) return 0;
  // nearbyint rounds ties to even in the default rounding mode.
  const double r = std::nearbyint(v);
  if (r >= 9223372036854775807.0) return std::numeric_limits<long long>::max();
  if (r <= -9223372036854775808.0) return std::numeric_limits<long long>::min();
  return static_cast<long long>(r);
}

std::string ToUpperLocale(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp;
    const std::size_t len = DecodeUtf8At(text, i, cp);
    if (cp == kInvalidCodePoint)
      out += text[i];
    else
      AppendUtf8(out, UpperLatin(cp));
    i += len;
  }
  return out;
}

}  // namespace zelvo
