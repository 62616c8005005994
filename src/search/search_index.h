// The quick search's index: every entry's name and plain text folded once
// per change of the data file, so that filtering as the user types is only
// a scan of prepared bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/recent_use.h"
#include "store/ini_document.h"
#include "store/snippet_store.h"

namespace zelvo {

// Shown instead of the text of an enciphered entry, which is never searched.
inline constexpr const char* kEncipheredPreview = "(verschl\xC3\xBC" "sselt)";
// Characters of the one-line preview before it is cut off with "…": what
// the list's column shows, and no more, since every entry keeps one.
inline constexpr std::size_t kPreviewLength = 64;

class SearchIndex {
 public:
  // The list's entries with their texts as the document holds them, laid
  // out in alphabetical order, the order most searches walk them in.
  static SearchIndex FromFile(const IniDocument& doc, const EntryList& list);

  // `storedText` with its backslash codes, as in the data file.
  void Add(int number, std::string_view name, const std::string& storedText, bool enciphered);
  // Orders the entries: those this PC used recently first, most recent
  // first, then alphabetically. Call after adding the entries.
  void ApplyRecentUse(const RecentUse& recent);

  std::size_t Size() const { return entries_.size(); }
  // Entry ids 0..Size()-1, recently used first, then alphabetically.
  const std::vector<uint32_t>& Ordered() const { return ordered_; }

  int Number(uint32_t id) const { return entries_[id].number; }
  std::string_view Name(uint32_t id) const;
  // The text on one line, shortened; kEncipheredPreview for enciphered ones.
  std::string_view Preview(uint32_t id) const;
  bool Enciphered(uint32_t id) const { return entries_[id].enciphered; }
  std::string_view FoldedName(uint32_t id) const;
  // Empty for enciphered entries.
  std::string_view FoldedText(uint32_t id) const;

  // Bytes the index holds (for the benchmarks).
  std::size_t MemoryBytes() const {
    return folded_.capacity() + shown_.capacity() + entries_.capacity() * sizeof(Entry) +
           ordered_.capacity() * sizeof(uint32_t);
  }

 private:
  struct Entry {
    int32_t number = 0;
    uint32_t nameHash = 0;
    uint32_t folded = 0, foldedNameLength = 0, foldedTextLength = 0;  // in folded_
    uint32_t shown = 0, nameLength = 0, previewLength = 0;            // in shown_
    bool enciphered = false;
  };
  std::vector<Entry> entries_;
  std::string folded_;  // folded name, then folded text, of each entry
  std::string shown_;   // name, then preview, of each entry
  std::vector<uint32_t> ordered_;
};

// One line of plain text: backslash codes undone, line breaks and tabs as
// blanks, cut after kPreviewLength characters.
std::string PreviewOf(std::string_view storedText);

}  // namespace zelvo
