// An INI file in memory: values read and written the way the Windows profile
// functions do, every other byte of the file kept as it was.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
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

  // The same for copies of one parse that nobody changed since; empty once
  // this copy was changed. Lets callers keep what they derived from a file
  // until its bytes change.
  std::shared_ptr<const void> Identity() const {
    return changed_ ? nullptr : std::shared_ptr<const void>(source_);
  }

 private:
  // Lines are views into the parsed bytes or into strings this document
  // made; both stores are shared by copies and only ever grow, so views
  // stay valid. Parsing a large file allocates almost nothing per line.
  struct KeyIndex {
    struct Slot {
      uint32_t hash = 0;
      uint32_t line = 0;  // 1 + index into the section's lines; 0 = empty
    };
    std::vector<Slot> slots;
    std::size_t used = 0;
  };
  struct Section {
    std::string_view header;  // raw "[Name]" line; empty for the lines before any section
    bool hasHeader = false;
    std::vector<std::string_view> lines;  // raw lines of the body, without line ends
    KeyIndex keys;                        // first line of each key, case-insensitive
    std::size_t lastKeyLine = 0;          // 1 + index of the last key line, 0 when none
  };
  static void AddLine(Section& s, std::string_view raw);
  static void IndexKey(Section& s, std::string_view key, std::size_t line);
  static void IndexKey(Section& s, uint32_t hash, std::size_t line);
  static std::size_t FindKey(const Section& s, std::string_view key);  // 1 + line, or 0
  static std::size_t FindKey(const Section& s, std::string_view key, uint32_t hash);
  const Section* FindSection(const std::string& cp1252Name) const;
  std::string_view Own(std::string text);
  const std::string_view* FindRaw(const std::string& section, const std::string& key) const;

  std::shared_ptr<const std::string> source_;
  std::shared_ptr<std::deque<std::string>> owned_ = std::make_shared<std::deque<std::string>>();
  std::vector<Section> sections_;
  bool changed_ = false;
};

}  // namespace zelvo
