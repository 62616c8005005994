// The quick search's index: every entry's name and plain text folded once
// per change of the data file, so that filtering as the user types is only
// a scan of prepared bytes, and each entry's one-line preview. It holds
// little besides those bytes, and nothing of the file it was built from.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "search/recent_use.h"
#include "store/heap_blocks.h"
#include "store/ini_document.h"
#include "store/snippet_store.h"

namespace zelvo {

// Shown instead of the text of an enciphered entry, which is searched by its
// folded form but never shown.
inline constexpr const char* kEncipheredPreview = "(verschl\xC3\xBC" "sselt)";
// Characters of the one-line preview before it is cut off with "…".
inline constexpr std::size_t kPreviewLength = 120;

class SearchIndex {
 public:
  // The list's entries with their texts as the document holds them, laid
  // out in alphabetical order, the order most searches walk them in.
  static SearchIndex FromFile(const IniDocument& doc, const EntryList& list);

  // `storedText` with its backslash codes, as in the data file, deciphered.
  // Entries are added in alphabetical order (FromFile sorts them).
  void Add(int number, std::string_view name, const std::string& storedText, bool enciphered);
  // Orders the entries: those this PC used recently first, most recent
  // first, then in the order they were added. Call after adding the entries.
  void ApplyRecentUse(const RecentUse& recent);

  std::size_t Size() const { return entries_.size(); }
  // Entry ids 0..Size()-1, recently used first, then alphabetically.
  const std::vector<uint32_t>& Ordered() const { return ordered_; }

  int Number(uint32_t id) const { return entries_[id].number; }
  std::string Name(uint32_t id) const;
  bool Enciphered(uint32_t id) const { return enciphered_[id]; }
  std::string_view FoldedName(uint32_t id) const;
  std::string_view FoldedText(uint32_t id) const;
  // The text on one line: backslash codes undone, line breaks and tabs as
  // blanks, cut after kPreviewLength characters; empty for enciphered entries.
  std::string Preview(uint32_t id) const;

  // Bytes the index holds (for the benchmarks).
  std::size_t MemoryBytes() const;

 private:
  // Strings laid out one after the other in blocks that are never
  // reallocated, so a file of 32,767 entries is not copied over and over as
  // it grows; a string never spans two blocks. Blocks of this size go back
  // to the system when the index is replaced (store/heap_blocks.h).
  struct Blocks {
    static constexpr std::size_t kBlockSize = kSystemBlockBytes;
    std::vector<std::string> blocks;
    // The block that has room for `size` more bytes: always the last one.
    std::string& Room(std::size_t size);
    uint16_t Last() const { return static_cast<uint16_t>(blocks.size() - 1); }
    std::size_t Capacity() const;
  };
  struct Entry {
    int32_t number = 0;
    uint32_t folded = 0;  // folded name, then folded text, in folded_
    uint32_t foldedNameLength = 0;
    uint32_t foldedTextLength = 0;
    uint32_t preview = 0;  // in previews_
    uint32_t name = 0;     // in names_, | kEncodedName; runs up to the next entry's
    uint16_t foldedBlock = 0;
    uint16_t previewBlock = 0;
    uint16_t previewLength = 0;  // | kEncodedPreview: kept as its differences from the folded text
  };
  static constexpr uint16_t kEncodedPreview = 0x8000;
  static constexpr uint32_t kEncodedName = 0x80000000;
  static std::string_view FoldedName(std::string_view block, const Entry& e);
  static std::string_view FoldedText(std::string_view block, const Entry& e);

  std::vector<Entry> entries_;
  std::vector<bool> enciphered_;
  // Apart, so that filtering streams through folded text alone.
  Blocks folded_, previews_;
  std::string names_;
  std::vector<uint32_t> ordered_;
};

}  // namespace zelvo
