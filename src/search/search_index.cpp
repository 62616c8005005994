#include "search/search_index.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

#include "search/folding.h"
#include "store/text_codes.h"

namespace zelvo {
namespace {

std::string PreviewOfPlain(std::string_view plain) {
  std::string out;
  std::size_t chars = 0;
  bool blank = false;
  for (std::size_t i = 0; i < plain.size(); ++i) {
    const auto b = static_cast<unsigned char>(plain[i]);
    if (b <= ' ') {
      blank = !out.empty();
      continue;
    }
    const bool startsCharacter = (b & 0xC0) != 0x80;
    if (startsCharacter) {
      if (chars + (blank ? 1 : 0) >= kPreviewLength) {
        out += "\xE2\x80\xA6";  // …
        return out;
      }
      if (blank) {
        out += ' ';
        ++chars;
        blank = false;
      }
      ++chars;
    }
    out += static_cast<char>(b);
  }
  return out;
}

uint32_t Offset(std::size_t size) { return static_cast<uint32_t>(size); }

// The alphabet as users read it: folded ("Ä" as "Ae", case ignored), then
// exactly, then by number.
bool Alphabetical(std::string_view foldedA, std::string_view nameA, int numberA,
                  std::string_view foldedB, std::string_view nameB, int numberB) {
  if (const int c = foldedA.compare(foldedB); c != 0) return c < 0;
  if (const int c = nameA.compare(nameB); c != 0) return c < 0;
  return numberA < numberB;
}

}  // namespace

std::string PreviewOf(std::string_view storedText) {
  return PreviewOfPlain(UnescapeText(std::string(storedText)));
}

SearchIndex SearchIndex::FromFile(const IniDocument& doc, const EntryList& list) {
  // Filtering walks the entries in display order; when that is also their
  // order in memory, a scan of 32,767 entries streams instead of jumping.
  std::vector<std::string> folded;
  folded.reserve(list.entries.size());
  for (const EntryListItem& item : list.entries) folded.push_back(FoldForSearch(item.Name));
  std::vector<std::size_t> order(list.entries.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  const auto& e = list.entries;
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return Alphabetical(folded[a], e[a].Name, e[a].Number, folded[b], e[b].Name, e[b].Number);
  });

  SearchIndex index;
  index.entries_.reserve(list.entries.size());
  for (std::size_t i : order) {
    const EntryListItem& item = list.entries[i];
    const std::string key = std::to_string(item.Number);
    // Enciphered texts stay enciphered: they are neither shown nor searched.
    const bool enciphered = CryptFlagFrom(doc.Get(kFieldCrypt, key));
    index.Add(item.Number, item.Name, enciphered ? std::string() : doc.Get(kFieldText, key),
              enciphered);
  }
  index.folded_.shrink_to_fit();
  index.shown_.shrink_to_fit();
  return index;
}

void SearchIndex::Add(int number, std::string_view name, const std::string& storedText,
                      bool enciphered) {
  Entry e;
  e.number = number;
  e.nameHash = RecentNameHash(name);
  e.enciphered = enciphered;

  e.folded = Offset(folded_.size());
  AppendFolded(folded_, name);
  e.foldedNameLength = Offset(folded_.size()) - e.folded;
  std::string plain;
  if (!enciphered) {
    plain = UnescapeText(storedText);
    AppendFolded(folded_, plain);
  }
  e.foldedTextLength = Offset(folded_.size()) - e.folded - e.foldedNameLength;

  e.shown = Offset(shown_.size());
  shown_ += name;
  e.nameLength = Offset(name.size());
  if (!enciphered) shown_ += PreviewOfPlain(plain);
  e.previewLength = Offset(shown_.size()) - e.shown - e.nameLength;

  entries_.push_back(e);
  ordered_.push_back(Offset(entries_.size() - 1));
}

std::string_view SearchIndex::Name(uint32_t id) const {
  const Entry& e = entries_[id];
  return std::string_view(shown_).substr(e.shown, e.nameLength);
}

std::string_view SearchIndex::Preview(uint32_t id) const {
  const Entry& e = entries_[id];
  if (e.enciphered) return kEncipheredPreview;
  return std::string_view(shown_).substr(e.shown + e.nameLength, e.previewLength);
}

std::string_view SearchIndex::FoldedName(uint32_t id) const {
  const Entry& e = entries_[id];
  return std::string_view(folded_).substr(e.folded, e.foldedNameLength);
}

std::string_view SearchIndex::FoldedText(uint32_t id) const {
  const Entry& e = entries_[id];
  return std::string_view(folded_).substr(e.folded + e.foldedNameLength, e.foldedTextLength);
}

void SearchIndex::ApplyRecentUse(const RecentUse& recent) {
  constexpr uint32_t kNotUsed = std::numeric_limits<uint32_t>::max();
  std::vector<uint32_t> rank(entries_.size(), kNotUsed);
  std::unordered_map<int, uint32_t> byNumber;
  std::unordered_multimap<uint32_t, uint32_t> byName;
  byNumber.reserve(entries_.size());
  for (uint32_t id = 0; id < entries_.size(); ++id) byNumber.emplace(entries_[id].number, id);
  const std::vector<RecentRecord>& records = recent.Records();
  std::vector<bool> matched(records.size(), false);
  // A record counts for the entry it names at its number; failing that, for
  // an unranked entry of that name (another PC deleted one before it).
  for (std::size_t r = 0; r < records.size(); ++r) {
    const auto it = byNumber.find(records[r].number);
    if (it == byNumber.end() || entries_[it->second].nameHash != records[r].nameHash) continue;
    if (rank[it->second] == kNotUsed) rank[it->second] = static_cast<uint32_t>(r);
    matched[r] = true;
  }
  for (std::size_t r = 0; r < records.size(); ++r) {
    if (matched[r]) continue;
    if (byName.empty()) {
      byName.reserve(entries_.size());
      for (uint32_t id = 0; id < entries_.size(); ++id) byName.emplace(entries_[id].nameHash, id);
    }
    uint32_t best = kNotUsed;
    const auto [first, last] = byName.equal_range(records[r].nameHash);
    for (auto it = first; it != last; ++it)
      if (rank[it->second] == kNotUsed && it->second < best) best = it->second;
    if (best != kNotUsed) rank[best] = static_cast<uint32_t>(r);
  }

  std::sort(ordered_.begin(), ordered_.end(), [&](uint32_t a, uint32_t b) {
    if (rank[a] != rank[b]) return rank[a] < rank[b];
    return Alphabetical(FoldedName(a), Name(a), Number(a), FoldedName(b), Name(b), Number(b));
  });
}

}  // namespace zelvo
