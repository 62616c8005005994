// Shared pieces of the fuzz harnesses: property checks that say what broke,
// a UTF-8 validator written from the standard's table, and the INI helpers
// that the document and the store harnesses both need.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "store/codepage.h"
#include "store/ini_document.h"

namespace zelvo::fuzz {

// Bytes as C escapes, cut to a readable length.
inline std::string Printable(const std::string& s, std::size_t max = 300) {
  std::string out;
  for (std::size_t i = 0; i < s.size() && i < max; ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    }
  }
  if (s.size() > max) out += "... (" + std::to_string(s.size()) + " bytes)";
  return out;
}

inline std::string Show(const std::string& s) { return Printable(s); }
inline std::string Show(const std::optional<std::string>& v) {
  return v ? Printable(*v) : std::string("<missing>");
}
template <typename T>
inline std::string Show(const T& v) {
  return std::to_string(v);
}

[[noreturn]] inline void Fail(const char* what, const char* file, int line, const std::string& detail) {
  std::fprintf(stderr, "\n*** property violated: %s\n    at %s:%d\n%s\n", what, file, line, detail.c_str());
  std::abort();
}

}  // namespace zelvo::fuzz

#define FUZZ_CHECK(cond)                                               \
  do {                                                                 \
    if (!(cond)) ::zelvo::fuzz::Fail(#cond, __FILE__, __LINE__, ""); \
  } while (0)

// Shows both sides (strings) when they differ, plus a context line.
#define FUZZ_CHECK_EQ(a, b, context)                                                        \
  do {                                                                                      \
    const auto fuzz_a_ = (a);                                                               \
    const auto fuzz_b_ = (b);                                                               \
    if (!(fuzz_a_ == fuzz_b_))                                                              \
      ::zelvo::fuzz::Fail(#a " == " #b, __FILE__, __LINE__,                                 \
                          "    context: " + std::string(context) + "\n    left:  " +       \
                              ::zelvo::fuzz::Show(fuzz_a_) + "\n    right: " +            \
                              ::zelvo::fuzz::Show(fuzz_b_));                                \
  } while (0)

namespace zelvo::fuzz {

inline const std::string kBom = "\xEF\xBB\xBF";

// Well-formed UTF-8 by the table of byte ranges in the Unicode standard
// (no overlongs, no surrogates, nothing above U+10FFFF).
inline bool IsValidUtf8(const std::string& s) {
  std::size_t i = 0;
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const auto tail = [&](std::size_t k, unsigned lo = 0x80, unsigned hi = 0xBF) {
    return k < s.size() && at(k) >= lo && at(k) <= hi;
  };
  while (i < s.size()) {
    const unsigned b = at(i);
    if (b <= 0x7F) {
      i += 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
      if (!tail(i + 1)) return false;
      i += 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      const unsigned lo = b == 0xE0 ? 0xA0 : 0x80, hi = b == 0xED ? 0x9F : 0xBF;
      if (!tail(i + 1, lo, hi) || !tail(i + 2)) return false;
      i += 3;
    } else if (b >= 0xF0 && b <= 0xF4) {
      const unsigned lo = b == 0xF0 ? 0x90 : 0x80, hi = b == 0xF4 ? 0x8F : 0xBF;
      if (!tail(i + 1, lo, hi) || !tail(i + 2) || !tail(i + 3)) return false;
      i += 4;
    } else {
      return false;
    }
  }
  return true;
}

// Program text from fuzz bytes: valid UTF-8 is taken as it is, anything
// else byte by byte as Latin-1, so every input gives some valid text.
inline std::string TextFrom(const std::string& bytes) {
  if (IsValidUtf8(bytes)) return bytes;
  std::string out;
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return out;
}

// Lines as the profile functions see them: CR LF, LF and CR all end one.
inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// A data file saved as UTF-8 with its byte order mark.
inline bool IsUtf8File(const std::string& bytes) {
  return bytes.compare(0, 3, kBom) == 0 && IsValidUtf8(bytes.substr(3));
}

// The text a file holds, whatever its encoding: UTF-8 after a mark, else 1252.
inline std::string FileText(const std::string& bytes) {
  return IsUtf8File(bytes) ? bytes.substr(3) : Cp1252ToUtf8(bytes);
}

// The same text with every line ended by CR LF, as a serialiser writes it.
inline std::string WithCrLf(const std::string& text) {
  std::string out;
  for (const std::string& line : SplitLines(text)) out += line + "\r\n";
  return out;
}

// What a value written through IniDocument::Set reads back as: line breaks
// and NULs become blanks; a 1252 file has "?" for what it cannot hold.
inline std::string AsWritten(std::string value, bool utf8File) {
  for (char& c : value)
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  return utf8File ? value : Cp1252ToUtf8(Utf8ToCp1252(value));
}

// Names compare case-insensitively on their 1252 form.
inline std::string NameKey(const std::string& utf8) { return UpperCp1252(Utf8ToCp1252(utf8)); }

struct Probe {
  std::string section, key;  // as the program would ask (UTF-8)
};

// Section and key names a file may hold, found by a lenient scan of its
// lines (more names than the engine accepts do no harm: they read as
// missing in both documents compared). Names are given as the program asks
// for them: text of a UTF-8 file, 1252 otherwise.
inline std::vector<Probe> ProbesIn(const std::string& bytes, std::size_t limit = 4000) {
  const auto trim = [](std::string s) {
    const char* blanks = " \t\v\f\x1A";
    const std::size_t a = s.find_first_not_of(blanks);
    if (a == std::string::npos) return std::string();
    return s.substr(a, s.find_last_not_of(blanks) - a + 1);
  };
  std::set<std::pair<std::string, std::string>> seen;
  std::vector<Probe> probes;
  const auto add = [&](const std::string& s, const std::string& k) {
    if (probes.size() < limit && seen.insert({s, k}).second) probes.push_back({s, k});
  };
  std::string section;
  std::vector<std::string> sections{""}, keys{"1"};
  for (const std::string& raw : SplitLines(FileText(bytes))) {
    const std::string line = trim(raw);
    if (!line.empty() && line[0] == '[') {
      const std::size_t close = line.rfind(']');
      section = trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      if (sections.size() < 64) sections.push_back(section);
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = trim(line.substr(0, eq));
    add(section, key);
    if (keys.size() < 64) keys.push_back(key);
  }
  // Every section with a few keys of other sections, to see misplaced reads.
  for (const std::string& s : sections)
    for (std::size_t k = 0; k < keys.size() && k < 8; ++k) add(s, keys[k]);
  return probes;
}

// Each probe's value, or nothing when the key is missing.
inline std::vector<std::optional<std::string>> Snapshot(const IniDocument& doc,
                                                        const std::vector<Probe>& probes) {
  std::vector<std::optional<std::string>> values;
  values.reserve(probes.size());
  for (const Probe& p : probes) {
    if (doc.Has(p.section, p.key))
      values.emplace_back(doc.Get(p.section, p.key));
    else
      values.emplace_back(std::nullopt);
  }
  return values;
}

}  // namespace zelvo::fuzz
