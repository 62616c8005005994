// An INI file in memory: values read and written the way the Windows profile
// functions do, every other byte of the file kept as it was.
#pragma once

#include <string>
#include <vector>

namespace zelvo {

class IniDocument {
 public:
  // Parses Windows-1252 bytes; any line ending (CR LF, LF) is accepted.
  static IniDocument Parse(const std::string& bytes);
  // Windows-1252 bytes with CR LF line ends.
  std::string Serialize() const;

  // Values are UTF-8. Section and key names compare case-insensitively;
  // the first matching key wins, as with the profile functions. Values are
  // trimmed of blanks and of one pair of enclosing single or double quotes.
  bool Has(const std::string& section, const std::string& key) const;
  std::string Get(const std::string& section, const std::string& key,
                  const std::string& fallback = "") const;
  // Changes the first matching key, or appends it to the section, or appends
  // a new section at the end of the file.
  void Set(const std::string& section, const std::string& key, const std::string& value);

 private:
  struct Line {
    std::string raw;      // original bytes of the line, without its line end
    std::string section;  // upper-cased name, for section header lines
    std::string key;      // upper-cased key, for key lines
    bool isSection = false;
    bool isKey = false;
  };
  std::vector<Line> lines_;
  // (implementation detail: an index from (section, key) to line may be added)
};

}  // namespace zelvo
