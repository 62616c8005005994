#include "search/search_index.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "search/folding.h"
#include "store/text_codes.h"

namespace zelvo {
namespace {

uint32_t Offset(std::size_t size) { return static_cast<uint32_t>(size); }

// The alphabet as users read it: folded ("Ä" as "Ae", case ignored), then
// exactly, then by number.
bool Alphabetical(std::string_view foldedA, std::string_view nameA, int numberA,
                  std::string_view foldedB, std::string_view nameB, int numberB) {
  if (const int c = foldedA.compare(foldedB); c != 0) return c < 0;
  if (const int c = nameA.compare(nameB); c != 0) return c < 0;
  return numberA < numberB;
}

// The preview of a text whose backslash codes are undone.
std::string PlainPreview(std::string_view plain) {
  std::string out;
  std::size_t chars = 0;
  bool blank = false;
  for (const char c : plain) {
    const auto b = static_cast<unsigned char>(c);
    if (b <= ' ') {
      blank = !out.empty();
      continue;
    }
    if ((b & 0xC0) != 0x80) {  // a character starts here
      if (chars + (blank ? 1 : 0) >= kPreviewLength) return out + "\xE2\x80\xA6";  // …
      if (blank) {
        out += ' ';
        ++chars;
        blank = false;
      }
      ++chars;
    }
    out += c;
  }
  return out;
}

}  // namespace

SearchIndex SearchIndex::FromFile(const IniDocument& doc, const EntryList& list) {
  // Filtering walks the entries in display order; when that is also their
  // order in memory, a scan of 32,767 entries streams instead of jumping.
  const auto& entries = list.entries;
  std::size_t nameBytes = 0;
  for (const EntryListItem& item : entries) nameBytes += item.Name.size();
  std::string keys;
  ReserveHeapFriendly(keys, nameBytes);  // folding never lengthens a text
  std::vector<uint32_t> keyStart;
  keyStart.reserve(entries.size() + 1);
  for (const EntryListItem& item : entries) {
    keyStart.push_back(Offset(keys.size()));
    AppendFolded(keys, item.Name);
  }
  keyStart.push_back(Offset(keys.size()));
  const auto key = [&](std::size_t i) {
    return std::string_view(keys).substr(keyStart[i], keyStart[i + 1] - keyStart[i]);
  };
  std::vector<uint32_t> order(entries.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = Offset(i);
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    return Alphabetical(key(a), entries[a].Name, entries[a].Number, key(b), entries[b].Name,
                        entries[b].Number);
  });

  SearchIndex index;
  index.names_.reserve(nameBytes);
  index.entries_.reserve(entries.size());
  index.enciphered_.reserve(entries.size());
  index.ordered_.reserve(entries.size());
  for (uint32_t i : order) {
    const EntryListItem& item = entries[i];
    const std::string number = std::to_string(item.Number);
    // Enciphered texts stay enciphered: they are neither shown nor searched.
    const bool enciphered = CryptFlagFrom(doc.Get(kFieldCrypt, number));
    index.Add(item.Number, item.Name, enciphered ? std::string() : doc.Get(kFieldText, number),
              enciphered);
  }
  return index;
}

void SearchIndex::Add(int number, std::string_view name, const std::string& storedText,
                      bool enciphered) {
  const std::string plain = enciphered ? std::string() : UnescapeText(storedText);
  const std::string preview = PlainPreview(plain);
  Entry e;
  e.number = number;
  std::string& folded = folded_.Room(name.size() + plain.size());  // folding never lengthens a text
  e.foldedBlock = folded_.Last();
  e.folded = Offset(folded.size());
  AppendFolded(folded, name);
  e.foldedNameLength = Offset(folded.size()) - e.folded;
  AppendFolded(folded, plain);
  e.foldedTextLength = Offset(folded.size()) - e.folded - e.foldedNameLength;
  std::string& previews = previews_.Room(preview.size());
  e.previewBlock = previews_.Last();
  e.preview = Offset(previews.size());
  e.previewLength = static_cast<uint16_t>(preview.size());  // at most kPreviewLength characters
  previews += preview;
  e.name = Offset(names_.size());
  names_ += name;
  entries_.push_back(e);
  enciphered_.push_back(enciphered);
  ordered_.push_back(Offset(entries_.size() - 1));
}

std::string_view SearchIndex::Name(uint32_t id) const {
  const uint32_t end = id + 1 < entries_.size() ? entries_[id + 1].name : Offset(names_.size());
  return std::string_view(names_).substr(entries_[id].name, end - entries_[id].name);
}

std::string_view SearchIndex::FoldedName(uint32_t id) const {
  const Entry& e = entries_[id];
  return std::string_view(folded_.blocks[e.foldedBlock]).substr(e.folded, e.foldedNameLength);
}

std::string_view SearchIndex::FoldedText(uint32_t id) const {
  const Entry& e = entries_[id];
  return std::string_view(folded_.blocks[e.foldedBlock])
      .substr(e.folded + e.foldedNameLength, e.foldedTextLength);
}

std::string_view SearchIndex::Preview(uint32_t id) const {
  const Entry& e = entries_[id];
  return std::string_view(previews_.blocks[e.previewBlock]).substr(e.preview, e.previewLength);
}

std::string& SearchIndex::Blocks::Room(std::size_t size) {
  if (blocks.empty() || blocks.back().capacity() - blocks.back().size() < size)
    blocks.emplace_back().reserve(std::max(kBlockSize, size));
  return blocks.back();
}

std::size_t SearchIndex::Blocks::Capacity() const {
  std::size_t bytes = 0;
  for (const std::string& block : blocks) bytes += block.capacity();
  return bytes;
}

std::size_t SearchIndex::MemoryBytes() const {
  std::size_t bytes = names_.capacity() + entries_.capacity() * sizeof(Entry) +
                      enciphered_.capacity() / 8 + ordered_.capacity() * sizeof(uint32_t);
  return bytes + folded_.Capacity() + previews_.Capacity();
}

void SearchIndex::ApplyRecentUse(const RecentUse& recent) {
  constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();
  int highest = 0;
  for (const Entry& e : entries_) highest = std::max(highest, e.number);
  std::vector<uint32_t> byNumber(static_cast<std::size_t>(highest) + 1, kNone);
  for (uint32_t id = 0; id < entries_.size(); ++id)
    if (entries_[id].number >= 0) byNumber[entries_[id].number] = id;

  std::vector<uint32_t> rank(entries_.size(), kNone);
  const std::vector<RecentRecord>& records = recent.Records();
  std::vector<bool> matched(records.size(), false);
  // A record counts for the entry it names at its number; failing that, for
  // an unranked entry of that name (another PC deleted one before it).
  for (std::size_t r = 0; r < records.size(); ++r) {
    const int n = records[r].number;
    const uint32_t id = n >= 0 && n <= highest ? byNumber[n] : kNone;
    if (id == kNone || RecentNameHash(Name(id)) != records[r].nameHash) continue;
    if (rank[id] == kNone) rank[id] = static_cast<uint32_t>(r);
    matched[r] = true;
  }
  std::vector<std::pair<uint32_t, uint32_t>> byName;  // (name hash, id), sorted
  for (std::size_t r = 0; r < records.size(); ++r) {
    if (matched[r]) continue;
    if (byName.empty()) {
      byName.reserve(entries_.size());
      for (uint32_t id = 0; id < entries_.size(); ++id) byName.emplace_back(RecentNameHash(Name(id)), id);
      std::sort(byName.begin(), byName.end());
    }
    auto it = std::lower_bound(byName.begin(), byName.end(), std::make_pair(records[r].nameHash, 0u));
    for (; it != byName.end() && it->first == records[r].nameHash; ++it) {
      if (rank[it->second] != kNone) continue;
      rank[it->second] = static_cast<uint32_t>(r);
      break;
    }
  }

  std::sort(ordered_.begin(), ordered_.end(), [&](uint32_t a, uint32_t b) {
    if (rank[a] != rank[b]) return rank[a] < rank[b];
    return Alphabetical(FoldedName(a), Name(a), Number(a), FoldedName(b), Name(b), Number(b));
  });
}

}  // namespace zelvo
