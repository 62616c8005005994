#include "search/search_index.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

#include "search/folding.h"
#include "store/cipher.h"
#include "store/codepage.h"
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

// A name or a preview is mostly (the start of) its folded form, which the
// index holds anyway, with capitals, and with some letters the folding spelt
// otherwise ("ü" as "u", "é" as "e", the "e" of "ue" left out). It is kept as
// just those differences when they are shorter and read back exactly:
//   varint  2 * folded bytes covered + 1 when cut off with "…"
//   bytes   one bit per covered folded byte: an ASCII capital
//   then per character the folding changed:
//   varint  folded bytes since the last one, byte folded length (0 for a left-out "e"),
//   byte    length of the character, its bytes
constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

void PutVarint(std::string& out, std::size_t v) {
  for (; v >= 0x80; v >>= 7) out += static_cast<char>(0x80 | (v & 0x7F));
  out += static_cast<char>(v);
}

std::size_t GetVarint(std::string_view in, std::size_t& i) {
  std::size_t v = 0;
  for (int shift = 0; i < in.size() && shift < 28; shift += 7) {
    const auto b = static_cast<unsigned char>(in[i++]);
    v |= static_cast<std::size_t>(b & 0x7F) << shift;
    if (b < 0x80) break;
  }
  return v;
}

std::string DecodeFromFolded(std::string_view code, std::string_view folded) {
  std::size_t i = 0;
  const std::size_t head = GetVarint(code, i);
  const std::size_t covered = std::min(head / 2, folded.size());
  const std::string_view capitals = code.substr(std::min(i, code.size()), (head / 2 + 7) / 8);
  i += capitals.size();
  std::string out;
  std::size_t at = 0;
  const auto copyTo = [&](std::size_t end) {
    for (end = std::min(end, covered); at < end; ++at) {
      char c = folded[at];
      const bool capital = at / 8 < capitals.size() && (static_cast<unsigned char>(capitals[at / 8]) >> (at % 8) & 1);
      if (capital && c >= 'a' && c <= 'z') c -= 'a' - 'A';
      out += c;
    }
  };
  while (i < code.size()) {
    copyTo(at + GetVarint(code, i));
    if (i + 2 > code.size()) break;
    const std::size_t foldedLength = static_cast<unsigned char>(code[i]);
    const std::size_t length = static_cast<unsigned char>(code[i + 1]);
    out += code.substr(i + 2, length);
    i += 2 + length;
    at += foldedLength;
  }
  copyTo(covered);
  if (head & 1) out += kEllipsis;
  return out;
}

// The differences, or nothing when the text is kept better as it is.
std::optional<std::string> EncodeAsFolded(std::string_view text, std::string_view folded) {
  std::string_view shown = text;
  const bool cut = shown.size() >= kEllipsis.size() && shown.substr(shown.size() - kEllipsis.size()) == kEllipsis;
  if (cut) shown.remove_suffix(kEllipsis.size());
  std::string capitals, changes;
  std::size_t at = 0, lastChange = 0;
  const auto change = [&](std::size_t foldedLength, std::string_view character) {
    PutVarint(changes, at - lastChange);
    changes += static_cast<char>(foldedLength);
    changes += static_cast<char>(character.size());
    changes += character;
    lastChange = at + foldedLength;
  };
  for (std::size_t i = 0; i < shown.size();) {
    const auto b = static_cast<unsigned char>(shown[i]);
    if (b < 0x80) {
      const char f = FoldedAscii(b) ? FoldedAscii(b) : ' ';
      if (f == 'e' && at > 0 && DropsFollowingE(folded[at - 1])) {  // "ue" folded as "u"
        change(0, shown.substr(i++, 1));
        continue;
      }
      if (at >= folded.size() || folded[at] != f) return std::nullopt;
      if (capitals.size() <= at / 8) capitals.resize(at / 8 + 1, '\0');
      if (static_cast<char>(b) != f) capitals[at / 8] = static_cast<char>(capitals[at / 8] | 1 << (at % 8));
      ++at;
      ++i;
      continue;
    }
    char32_t cp = 0;
    const std::size_t length = DecodeUtf8At(shown, i, cp);
    const std::string_view character = shown.substr(i, length);
    i += length;
    const char* f = cp == kInvalidCodePoint ? nullptr : FoldedCodePoint(cp);
    // The piece as the search folding wrote it: "ü" as "u", "oe" of "œ" as "o".
    std::string piece;
    for (const char c : f ? std::string_view(f) : character) {
      const char before = !piece.empty() ? piece.back() : at > 0 ? folded[at - 1] : ' ';
      if (c != 'e' || !DropsFollowingE(before)) piece += c;
    }
    if (folded.substr(std::min(at, folded.size()), piece.size()) != piece || piece.size() > 255) return std::nullopt;
    if (piece != character) change(piece.size(), character);
    at += piece.size();
  }
  std::string code;
  PutVarint(code, 2 * at + (cut ? 1 : 0));
  capitals.resize((at + 7) / 8, '\0');
  code += capitals;
  code += changes;
  if (code.size() >= text.size() || DecodeFromFolded(code, folded) != text) return std::nullopt;
  return code;
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
  ReserveHeapFriendly(keyStart, entries.size() + 1);
  for (const EntryListItem& item : entries) {
    keyStart.push_back(Offset(keys.size()));
    AppendFolded(keys, item.Name, Folding::Sorting);
  }
  keyStart.push_back(Offset(keys.size()));
  const auto key = [&](std::size_t i) {
    return std::string_view(keys).substr(keyStart[i], keyStart[i + 1] - keyStart[i]);
  };
  std::vector<uint32_t> order;
  ReserveHeapFriendly(order, entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) order.push_back(Offset(i));
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    return Alphabetical(key(a), entries[a].Name, entries[a].Number, key(b), entries[b].Name,
                        entries[b].Number);
  });

  SearchIndex index;
  ReserveHeapFriendly(index.names_, nameBytes);
  index.entries_.reserve(entries.size());
  index.enciphered_.reserve(entries.size());
  index.ordered_.reserve(entries.size());
  for (uint32_t i : order) {
    const EntryListItem& item = entries[i];
    const std::string number = std::to_string(item.Number);
    // An enciphered text is searched by what it says, but only its folded
    // form is kept, never shown, and the deciphered text goes at once.
    const bool enciphered = CryptFlagFrom(doc.Get(kFieldCrypt, number));
    const std::string stored = doc.Get(kFieldText, number);
    index.Add(item.Number, item.Name, enciphered ? DecipherText(stored) : stored, enciphered);
  }
  return index;
}

void SearchIndex::Add(int number, std::string_view name, const std::string& storedText,
                      bool enciphered) {
  const std::string plain = UnescapeText(storedText);
  const std::string preview = enciphered ? std::string() : PlainPreview(plain);
  Entry e;
  e.number = number;
  std::string& folded = folded_.Room(name.size() + plain.size());  // folding never lengthens a text
  e.foldedBlock = folded_.Last();
  e.folded = Offset(folded.size());
  AppendFolded(folded, name);
  e.foldedNameLength = Offset(folded.size()) - e.folded;
  AppendFolded(folded, plain);
  e.foldedTextLength = Offset(folded.size()) - e.folded - e.foldedNameLength;
  const std::optional<std::string> code = EncodeAsFolded(preview, FoldedText(folded, e));
  const std::string& kept = code ? *code : preview;
  std::string& previews = previews_.Room(kept.size());
  e.previewBlock = previews_.Last();
  e.preview = Offset(previews.size());
  // At most kPreviewLength characters of four bytes, well below the flag.
  e.previewLength = static_cast<uint16_t>(kept.size() | (code ? kEncodedPreview : 0));
  previews += kept;
  const std::optional<std::string> nameCode = EncodeAsFolded(name, FoldedName(folded, e));
  e.name = Offset(names_.size()) | (nameCode ? kEncodedName : 0);
  names_ += nameCode ? std::string_view(*nameCode) : name;
  entries_.push_back(e);
  enciphered_.push_back(enciphered);
  ordered_.push_back(Offset(entries_.size() - 1));
}

std::string SearchIndex::Name(uint32_t id) const {
  const uint32_t start = entries_[id].name & ~kEncodedName;
  const uint32_t end = id + 1 < entries_.size() ? entries_[id + 1].name & ~kEncodedName : Offset(names_.size());
  const std::string_view kept = std::string_view(names_).substr(start, end - start);
  if (entries_[id].name & kEncodedName) return DecodeFromFolded(kept, FoldedName(id));
  return std::string(kept);
}

std::string_view SearchIndex::FoldedName(uint32_t id) const {
  const Entry& e = entries_[id];
  return FoldedName(folded_.blocks[e.foldedBlock], e);
}

std::string_view SearchIndex::FoldedName(std::string_view block, const Entry& e) {
  return block.substr(e.folded, e.foldedNameLength);
}

std::string_view SearchIndex::FoldedText(uint32_t id) const {
  const Entry& e = entries_[id];
  return FoldedText(folded_.blocks[e.foldedBlock], e);
}

std::string_view SearchIndex::FoldedText(std::string_view block, const Entry& e) {
  return block.substr(e.folded + e.foldedNameLength, e.foldedTextLength);
}

std::string SearchIndex::Preview(uint32_t id) const {
  const Entry& e = entries_[id];
  const std::string_view kept = std::string_view(previews_.blocks[e.previewBlock])
                                    .substr(e.preview, e.previewLength & ~kEncodedPreview);
  if (e.previewLength & kEncodedPreview) return DecodeFromFolded(kept, FoldedText(id));
  return std::string(kept);
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
    return a < b;  // added alphabetically
  });
}

}  // namespace zelvo
