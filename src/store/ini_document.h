// An INI file in memory: values read and written the way the Windows profile
// functions do, every other byte of the file kept as it was.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace zelvo {

class IniDocument {
 public:
  // Parses Windows-1252 bytes; any line ending (CR LF, LF, CR) is accepted.
  // A file saved as UTF-8 with a byte order mark is converted to 1252.
  static IniDocument Parse(const std::string& bytes);
  // Windows-1252 bytes with CR LF line ends, never a byte order mark.
  std::string Serialize() const;

  // Values are UTF-8. Section and key names compare case-insensitively;
  // the first matching key of the first matching section wins, as with the
  // profile functions. Values are trimmed of blanks and of one pair of
  // enclosing single or double quotes. Values are never cut in length.
  bool Has(const std::string& section, const std::string& key) const;
  std::string Get(const std::string& section, const std::string& key,
                  const std::string& fallback = "") const;
  // Changes the first matching key, or appends it after the last key of the
  // section, or appends a new section at the end of the file. A value that
  // would not read back as it is (outer blanks, enclosing quotes) is written
  // in double quotes; line breaks and NULs in it become blanks.
  void Set(const std::string& section, const std::string& key, const std::string& value);

 private:
  struct Section {
    std::string header;              // raw "[Name]" line; empty for the lines before any section
    bool hasHeader = false;
    std::vector<std::string> lines;  // raw lines of the body, without line ends
    std::unordered_map<std::string, std::size_t> keys;  // upper-cased key -> first line
    std::size_t lastKeyLine = 0;     // 1 + index of the last key line, 0 when none
  };
  static void AddLine(Section& s, std::string raw);
  const std::string* FindRaw(const std::string& section, const std::string& key) const;

  std::vector<Section> sections_;
  std::unordered_map<std::string, std::size_t> sectionIndex_;  // upper-cased name -> first section
};

}  // namespace zelvo
