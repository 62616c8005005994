// Our INI engine against the system's own GetPrivateProfileStringA, which
// older versions on other PCs read the shared file with (run under Wine).
// Thousands of random data files: sections and keys in any case, blanks,
// quotes, comments, duplicates, empty values, umlauts in 1252, long values
// and odd line ends; every section and key is read both ways. Then values
// are written through our engine and read back both ways.
//
// ZELVO_INI_SEED and ZELVO_INI_FILES choose other files (default: seed 1,
// 1000 files), e.g. ZELVO_INI_SEED=7 ZELVO_INI_FILES=20000
// scripts/test-wine build/win32 --filter IniDifferential
//
// Where the two may differ (each case is checked to differ only so):
// - Values over 32,766 characters: the profile functions, read with the
//   buffer of 32,767 characters older versions use, give the first 32,766;
//   ours give the whole value.
// - Names that differ only in the case of letters outside ASCII (Ü, ü):
//   Windows and we take them as one name, Wine as two. The files here use
//   such letters in one case only.
// - A line without "=" that reads like a key: the profile functions take it
//   as that key without a value, read as missing, and it hides a later line
//   of the key; ours ignores it. The program writes no such lines.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "store/codepage.h"
#include "store/ini_document.h"
#include "win32_test_support.h"

namespace zelvo {
namespace {

using test::TempFolder;
using test::WriteBytes;

constexpr DWORD kOlderVersionsBuffer = 32767;
constexpr std::size_t kMaxReported = 10;

unsigned long EnvNumber(const char* name, unsigned long fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::strtoul(v, nullptr, 10) : fallback;
}

// Everything here is 1252 bytes, the file's own encoding.
std::string ProfileA(const std::string& file, const std::string& section, const std::string& key) {
  std::string buffer(kOlderVersionsBuffer, '\0');
  const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), "<fehlt>", buffer.data(),
                                           kOlderVersionsBuffer, file.c_str());
  return buffer.substr(0, n);
}

class FileGenerator {
 public:
  explicit FileGenerator(unsigned long seed) : rng_(seed) {}

  struct Probe {
    std::string section, key;  // 1252
  };
  struct File {
    std::string bytes;
    std::vector<Probe> probes;
  };

  File Next() {
    File f;
    std::vector<std::pair<std::string, std::vector<std::string>>> sections;
    keys_.clear();
    if (Chance(20)) AddKeyLines(f, 1 + Below(3));  // lines before any section
    for (int s = 1 + Below(6); s > 0; --s) {
      const std::string name = SectionName();
      static const std::vector<std::string> kAfterHeader = {"", "", "", "", "", "; Kommentar", "; [x] y", "]"};
      AddLine(f, Blanks() + "[" + Blanks() + Cased(name) + Blanks() + "]" + Blanks() + Pick(kAfterHeader));
      keys_.clear();
      AddKeyLines(f, Below(9));
      sections.push_back({name, keys_});
    }
    if (Chance(30) && !f.bytes.empty()) f.bytes.erase(f.bytes.find_last_not_of("\r\n") + 1);
    if (Chance(5)) f.bytes += "\x1A";  // the end mark of old editors
    // Each section's keys, in the case written or another, a few keys of
    // other sections (duplicate sections among them) and names not there.
    for (const auto& [s, keys] : sections) {
      for (const std::string& k : keys) f.probes.push_back(Chance(30) ? Probe{Cased(s), Cased(k)} : Probe{s, k});
      for (int other = 0; other < 2; ++other) {
        const auto& [_, more] = sections[Below(static_cast<int>(sections.size()))];
        if (!more.empty()) f.probes.push_back({s, Pick(more)});
      }
      f.probes.push_back({s, "fehlt"});
    }
    f.probes.push_back({"Fehlt", "1"});
    return f;
  }

  // A value as the program writes it (any 1252 text of one line).
  std::string Value() {
    switch (Below(10)) {
      case 8: return "\"" + Words() + "\" und \"" + Words() + "\"";
      case 9: return "'" + Words() + "\"";
      case 0: return "";
      case 1: return "\"" + Words() + "\"";
      case 2: return "'" + Words() + "'";
      case 3: return "  " + Words() + " ";
      case 4: return "\"" + Words();
      case 5: return Words() + " = ; \"x\"";
      case 6: return Chance(10) ? Long() : "\"\"";
      default: return Words();
    }
  }

 private:
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  bool Chance(int percent) { return Below(100) < percent; }

  std::string Pick(const std::vector<std::string>& pool) { return pool[Below(static_cast<int>(pool.size()))]; }

  std::string Blanks() {
    static const std::vector<std::string> kBlanks = {"", "", "", "", " ", "  ", "\t"};
    return Pick(kBlanks);
  }

  // ASCII letters in either case; letters outside ASCII as written.
  std::string Cased(std::string name) {
    for (char& c : name) {
      if (c >= 'a' && c <= 'z' && Chance(30)) c = static_cast<char>(c - 32);
      else if (c >= 'A' && c <= 'Z' && Chance(30)) c = static_cast<char>(c + 32);
    }
    return name;
  }

  std::string SectionName() {
    static const std::vector<std::string> kPool = {"Name", "Text", "Title", "Crypt", "DosBox", "Common",
                                                   "Ignore", "\xDC" "bersicht", "Stra\xDF" "e",
                                                   "mit Leerzeichen"};
    return Chance(80) ? Pick(kPool) : Word();
  }

  std::string KeyName() {
    static const std::vector<std::string> kPool = {"1", "2", "3", "10", "HK", "Lock", "PumMode",
                                                   "Schl\xFC" "ssel", "a b"};
    std::string n = Chance(70) ? Pick(kPool) : Word();
    keys_.push_back(n);
    return n;
  }

  std::string Word() {
    static const std::string kLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_.-\xE4\xF6\xFC\xDF";
    std::string w;
    for (int n = 1 + Below(8); n > 0; --n) w += kLetters[Below(static_cast<int>(kLetters.size()))];
    return w;
  }

  std::string Words() {
    static const std::vector<std::string> kWords = {
        "Gr\xFC\xDF" "e", "Stra\xDF" "e", "\x80", "\x84" "Anf\xFChrung\x93", "\x96", "Text\\N\\T", "100%",
        "a=b", "x;y", "\"", "'", "\xE9t\xE9", "Zeile", "{TAB}", "~", "\xC4\xD6\xDC"};
    std::string w;
    for (int n = 1 + Below(4); n > 0; --n) w += (w.empty() ? "" : " ") + (Chance(50) ? Pick(kWords) : Word());
    return w;
  }

  std::string Long() {
    std::string v;
    const std::size_t size = Chance(50) ? 32760 + Below(12) : 33000 + Below(3000);
    while (v.size() < size) v += "Zeile \xE4\xF6\xFC\x80 ";
    return v.substr(0, size);
  }

  void AddKeyLines(File& f, int n) {
    for (; n > 0; --n) {
      switch (Below(13)) {
        case 0: AddLine(f, ""); break;
        case 1: AddLine(f, "; " + Words()); break;
        case 2: AddLine(f, Blanks() + Word()); break;  // no equals sign
        case 3: AddLine(f, "[" + Word() + "]=" + Words()); break;
        default:
          AddLine(f, Blanks() + Cased(KeyName()) + Blanks() + "=" + Blanks() + Value() + Blanks());
      }
    }
  }

  void AddLine(File& f, const std::string& line) {
    static const std::vector<std::string> kEnds = {"\r\n", "\r\n", "\r\n", "\r\n", "\n", "\r\r\n", "\n\r\n", "\r"};
    f.bytes += line + Pick(kEnds);
  }

  std::mt19937 rng_;
  std::vector<std::string> keys_;  // of the section being written
};

std::string TrimmedUpper(const std::string& s) {
  const std::size_t a = s.find_first_not_of(" \t");
  return a == std::string::npos ? "" : UpperCp1252(s.substr(a, s.find_last_not_of(" \t") - a + 1));
}

// Whether, in the first section of that name, a line without "=" that
// reads like the key comes before the key's first line.
bool HiddenByLineWithoutEquals(const std::string& bytes, const std::string& section, const std::string& key) {
  bool inSection = false, seenSection = false;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    const std::string t = TrimmedUpper(bytes.substr(start, end - start));
    start = end + 1;
    if (!t.empty() && t.front() == '[') {
      if (inSection) return false;
      const std::size_t close = t.rfind(']');
      inSection = !seenSection && close != std::string::npos &&
                  TrimmedUpper(t.substr(1, close - 1)) == TrimmedUpper(section);
      seenSection = seenSection || inSection;
      continue;
    }
    if (!inSection) continue;
    const std::size_t eq = t.find('=');
    if (eq == std::string::npos && t == TrimmedUpper(key)) return true;
    if (eq != std::string::npos && TrimmedUpper(t.substr(0, eq)) == TrimmedUpper(key)) return false;
  }
  return false;
}

// Equal, or different only in a documented way.
bool Agree(const std::string& ours, const std::string& system, const std::string& bytes,
           const std::string& section, const std::string& key) {
  if (ours == system) return true;
  if (ours.size() > kOlderVersionsBuffer - 1 && system == ours.substr(0, kOlderVersionsBuffer - 1)) return true;
  return system == "<fehlt>" && HiddenByLineWithoutEquals(bytes, section, key);
}

std::string Shown(const std::string& cp1252) {
  std::string s = Cp1252ToUtf8(cp1252.size() > 120 ? cp1252.substr(0, 120) + "..." : cp1252);
  std::string out;
  for (char c : s) out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n\n") : std::string(1, c);
  return out;
}

TEST(IniDifferential, RandomFilesReadTheSameAsThroughTheProfileFunctions) {
  const unsigned long seed = EnvNumber("ZELVO_INI_SEED", 1), count = EnvNumber("ZELVO_INI_FILES", 1000);
  FileGenerator gen(seed);
  TempFolder folder;
  std::size_t reported = 0, reads = 0, writes = 0;
  const auto report = [&](unsigned long n, const std::string& bytes, const char* what, const std::string& s,
                          const std::string& k, const std::string& ours, const std::string& system) {
    if (++reported <= kMaxReported)
      ADD_FAILURE() << what << " (seed " << seed << ", file " << n << ") [" << Shown(s) << "] " << Shown(k)
                    << "\n  ours:   " << Shown(ours) << "\n  system: " << Shown(system) << "\nfile:\n"
                    << Shown(bytes.substr(0, 2000));
  };

  for (unsigned long n = 0; n < count; ++n) {
    const FileGenerator::File f = gen.Next();
    // A new name for every file, so the system's profile cache never serves an old one.
    const std::string path = folder.File("d" + std::to_string(n) + ".ini");
    WriteBytes(path, f.bytes);
    IniDocument doc = IniDocument::Parse(f.bytes);
    for (const auto& p : f.probes) {
      const std::string ours = Utf8ToCp1252(doc.Get(Cp1252ToUtf8(p.section), Cp1252ToUtf8(p.key), "<fehlt>"));
      const std::string system = ProfileA(path, p.section, p.key);
      ++reads;
      if (!Agree(ours, system, f.bytes, p.section, p.key)) report(n, f.bytes, "read", p.section, p.key, ours, system);
    }

    // Values written by us read the same both ways, and nothing else moved.
    if (!f.probes.empty()) {
      for (int w = 0; w < 3; ++w) {
        const auto& p = f.probes[(n * 7 + w * 13) % f.probes.size()];
        if (p.key.find(';') == 0 || p.key == "fehlt") continue;
        doc.Set(Cp1252ToUtf8(p.section), Cp1252ToUtf8(p.key), Cp1252ToUtf8(gen.Value()));
        ++writes;
      }
      const std::string written = folder.File("w" + std::to_string(n) + ".ini");
      WriteBytes(written, doc.Serialize());
      for (const auto& p : f.probes) {
        const std::string ours = Utf8ToCp1252(doc.Get(Cp1252ToUtf8(p.section), Cp1252ToUtf8(p.key), "<fehlt>"));
        const std::string system = ProfileA(written, p.section, p.key);
        ++reads;
        const std::string bytes = doc.Serialize();
        if (!Agree(ours, system, bytes, p.section, p.key)) report(n, bytes, "after writing", p.section, p.key, ours, system);
      }
      DeleteFileA(written.c_str());
    }
    DeleteFileA(path.c_str());
  }
  std::printf("%lu files (seed %lu), %zu reads compared, %zu values written, %zu differences\n", count, seed,
              reads, writes, reported);
  EXPECT_EQ(reported, 0u);
}

}  // namespace
}  // namespace zelvo
