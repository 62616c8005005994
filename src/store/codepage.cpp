#include "store/codepage.h"

#include <array>
#include <unordered_map>

namespace zelvo {
namespace {

int CodePointToByte(char32_t cp) {
  static const std::unordered_map<char32_t, unsigned char> reverse = [] {
    std::unordered_map<char32_t, unsigned char> m;
    for (int b = 0x80; b <= 0x9F; ++b) m[kCp1252High[b - 0x80]] = static_cast<unsigned char>(b);
    return m;
  }();
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  auto it = reverse.find(cp);
  return it == reverse.end() ? -1 : it->second;
}

}  // namespace

std::size_t DecodeUtf8At(std::string_view text, std::size_t i, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(text[i]);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  std::size_t len = b0 >= 0xF0 && b0 <= 0xF4 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 && b0 < 0xE0 ? 2 : 0;
  if (b0 >= 0xF5) len = 0;
  if (len == 0 || i + len > text.size()) {
    cp = kInvalidCodePoint;
    return 1;
  }
  char32_t v = b0 & (0xFF >> (len + 1));
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(text[i + k]);
    if ((b & 0xC0) != 0x80) {
      cp = kInvalidCodePoint;
      return 1;
    }
    v = (v << 6) | (b & 0x3F);
  }
  const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
  if (v < minimum[len] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) {
    cp = kInvalidCodePoint;
    return 1;
  }
  cp = v;
  return len;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::size_t DecodeUtf8OrCp1252At(std::string_view text, std::size_t i, char32_t& cp) {
  const std::size_t n = DecodeUtf8At(text, i, cp);
  if (cp == kInvalidCodePoint) cp = Cp1252CodePoint(static_cast<unsigned char>(text[i]));
  return n;
}

std::string Utf8OrCp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp;
    i += DecodeUtf8OrCp1252At(text, i, cp);
    AppendUtf8(out, cp);
  }
  return out;
}

bool AppendAsCp1252(std::string_view text, std::string& out) {
  for (std::size_t i = 0; i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      out += text[i++];
      continue;
    }
    char32_t cp;
    i += DecodeUtf8OrCp1252At(text, i, cp);
    const int b = CodePointToByte(cp);
    if (b < 0) return false;
    out += static_cast<char>(b);
  }
  return true;
}

std::string Cp1252ToUtf8(const std::string& bytes) {
  bool ascii = true;
  for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return bytes;
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80)
      out += c;
    else
      AppendUtf8(out, Cp1252CodePoint(b));
  }
  return out;
}

namespace {

// True for valid UTF-8 that is not plain ASCII. Windows-1252 text with
// umlauts almost never forms valid multi-byte sequences by chance, while
// pure ASCII reads the same either way.
bool IsUtf8WithNonAscii(const std::string& bytes) {
  bool nonAscii = false;
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t cp = 0;
    i += DecodeUtf8At(bytes, i, cp);
    if (cp == kInvalidCodePoint) return false;
    nonAscii = nonAscii || cp >= 0x80;
  }
  return nonAscii;
}

// Invalid sequences become U+FFFD, so the result is always valid UTF-8.
std::string SanitizedUtf8(const std::string& bytes, std::size_t from) {
  std::string out;
  out.reserve(bytes.size() - from);
  for (std::size_t i = from; i < bytes.size();) {
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8At(bytes, i, cp);
    if (cp == kInvalidCodePoint)
      AppendUtf8(out, 0xFFFD);
    else
      out.append(bytes, i, len);
    i += len;
  }
  return out;
}

std::string Utf16ToUtf8(const std::string& bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size() / 2);
  auto unit = [&](std::size_t i) -> char32_t {
    const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (a << 8 | b) : (b << 8 | a);
  };
  // A trailing odd byte is not a character and is dropped.
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    char32_t cp = unit(i);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < bytes.size()) {
      const char32_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    AppendUtf8(out, cp >= 0xD800 && cp <= 0xDFFF ? 0xFFFD : cp);
  }
  return out;
}

}  // namespace

std::string TextFileToUtf8(const std::string& bytes) {
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return SanitizedUtf8(bytes, 3);
  if (bytes.compare(0, 2, "\xFF\xFE") == 0) return Utf16ToUtf8(bytes, false);
  if (bytes.compare(0, 2, "\xFE\xFF") == 0) return Utf16ToUtf8(bytes, true);
  if (IsUtf8WithNonAscii(bytes)) return bytes;
  return Cp1252ToUtf8(bytes);
}

std::string Utf8ToCp1252(const std::string& text) {
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return text;
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp;
    i += DecodeUtf8At(text, i, cp);
    const int b = CodePointToByte(cp);
    out += b < 0 ? '?' : static_cast<char>(b);
  }
  return out;
}

std::string UpperCp1252(const std::string& bytes) {
  std::string out(bytes);
  for (char& c : out) c = UpperCp1252Char(c);
  return out;
}

}  // namespace zelvo
