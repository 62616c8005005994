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
  // Parses Windows-1252 bytes, or UTF-8 when the file starts with a byte
  // order mark; any line ending (CR LF, LF, CR) is accepted.
  static IniDocument Parse(std::string bytes);
  // CR LF line ends. A file that fits Windows-1252 entirely is written in
  // 1252 without a mark, as older versions expect; a UTF-8 file that holds
  // characters 1252 lacks stays UTF-8 with its mark, so none becomes "?".
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
  // in double quotes; line breaks and NULs in it become blanks. In a 1252
  // file, characters that 1252 lacks become "?".
  void Set(const std::string& section, const std::string& key, const std::string& value);

  // A 64-bit hash of the bytes parsed, the same for every parse of the same
  // bytes; 0 once this copy was changed. Lets callers keep what they derived
  // from a file until its bytes change, without keeping the file.
  uint64_t Fingerprint() const { return changed_ ? 0 : fingerprint_; }
  // The fingerprint a parse of these bytes has, without parsing them.
  static uint64_t FingerprintOf(std::string_view bytes);

 private:
  // Hash table from a case-folded name to the first line (or section) that
  // carries it, so that lookups cost the same in a file of any size.
  struct NameIndex {
    struct Slot {
      uint32_t hash = 0;
      uint32_t ref = 0;  // 1 + position; 0 = empty
    };
    std::vector<Slot> slots;
    std::size_t used = 0;
    void Insert(uint32_t hash, std::size_t position);
    // Room for `names` names without growing.
    void Reserve(std::size_t names);
    // 1 + the position whose name `matches`, or 0.
    template <class Matches>
    std::size_t Find(uint32_t hash, const Matches& matches) const;
  };
  // Lines are views into the parsed bytes or into strings this document
  // made, in the file's encoding; both stores are shared by copies and only
  // ever grow, so views stay valid. Parsing a large file allocates almost
  // nothing per line.
  struct Section {
    std::string_view header;  // raw "[Name]" line; empty for the lines before any section
    bool hasHeader = false;
    std::vector<std::string_view> lines;  // raw lines of the body, without line ends
    NameIndex keys;                       // first line of each key
    std::size_t lastKeyLine = 0;          // 1 + index of the last key line, 0 when none
  };

  // Names and values in the file's encoding, and back.
  std::string Encode(const std::string& utf8) const;
  std::string Decode(std::string_view raw) const;
  uint32_t NameHash(std::string_view name) const;
  bool SameName(std::string_view a, std::string_view b) const;

  void AddLine(Section& s, std::string_view raw) const;
  void AddSection(std::string_view header);
  std::size_t FindKey(const Section& s, std::string_view key) const;  // 1 + line, or 0
  std::size_t FindKey(const Section& s, std::string_view key, uint32_t hash) const;
  std::size_t FindSection(std::string_view name) const;  // 1 + index into sections_, or 0
  std::string_view Own(std::string text);
  const std::string_view* FindRaw(const std::string& section, const std::string& key) const;

  std::shared_ptr<const std::string> source_;
  std::shared_ptr<std::deque<std::string>> owned_ = std::make_shared<std::deque<std::string>>();
  std::vector<Section> sections_;
  NameIndex sectionIndex_;  // first section of each name
  bool utf8_ = false;       // the file was saved as UTF-8 with a byte order mark
  bool changed_ = false;
  uint64_t fingerprint_ = 0;
};

}  // namespace zelvo
