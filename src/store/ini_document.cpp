#include "store/ini_document.h"

#include <algorithm>

#include "store/codepage.h"
#include "store/fingerprint.h"
#include "store/heap_blocks.h"

namespace zelvo {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\x1A';
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

constexpr uint32_t kHashStart = 2166136261u;  // FNV-1a
constexpr uint32_t HashStep(uint32_t h, char32_t c) { return (h ^ c) * 16777619u; }

// Name of a "[Name]" line, or false for any other line.
bool SectionName(std::string_view line, std::string_view& name) {
  line = TrimBlanks(line);
  if (line.empty() || line.front() != '[') return false;
  const std::size_t close = line.rfind(']');
  if (close == std::string_view::npos) return false;
  name = TrimBlanks(line.substr(1, close - 1));
  return true;
}

// Key of a "key=value" line, or false for comments and other lines.
bool KeyName(std::string_view line, std::string_view& key) {
  line = TrimBlanks(line);
  if (line.empty() || line.front() == ';') return false;
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = TrimBlanks(line.substr(0, eq));
  return !key.empty();
}

// `v` is in the file's encoding already.
std::string QuoteValue(std::string v) {
  for (char& c : v)
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  // The reader strips outer blanks and one pair of enclosing quotes; a value
  // that would lose something that way is wrapped in one more pair, which
  // both this reader and the profile functions take off again.
  const bool outerBlank = !v.empty() && (IsBlank(v.front()) || IsBlank(v.back()));
  if (outerBlank || Unquote(v).size() != v.size()) return '"' + v + '"';
  return v;
}

}  // namespace

template <class Matches>
std::size_t IniDocument::NameIndex::Find(uint32_t h, const Matches& matches) const {
  if (slots.empty()) return 0;
  const std::size_t mask = slots.size() - 1;
  for (std::size_t i = h & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots[i];
    if (slot.ref == 0) return 0;
    if (slot.hash == h && matches(slot.ref - 1)) return slot.ref;
  }
}

void IniDocument::NameIndex::Insert(uint32_t h, std::size_t position) {
  if (2 * (used + 1) > slots.size()) {
    std::vector<Slot> old(std::max<std::size_t>(16, 2 * slots.size()));
    old.swap(slots);
    const std::size_t mask = slots.size() - 1;
    for (const Slot& slot : old) {
      if (slot.ref == 0) continue;
      std::size_t i = slot.hash & mask;
      while (slots[i].ref != 0) i = (i + 1) & mask;
      slots[i] = slot;
    }
  }
  const std::size_t mask = slots.size() - 1;
  std::size_t i = h & mask;
  while (slots[i].ref != 0) i = (i + 1) & mask;
  slots[i] = {h, static_cast<uint32_t>(position + 1)};
  ++used;
}

std::string IniDocument::Encode(const std::string& utf8) const {
  return utf8_ ? Utf8OrCp1252ToUtf8(utf8) : Utf8ToCp1252(utf8);
}

std::string IniDocument::Decode(std::string_view raw) const {
  return utf8_ ? Utf8OrCp1252ToUtf8(raw) : Cp1252ToUtf8(std::string(raw));
}

uint32_t IniDocument::NameHash(std::string_view name) const {
  uint32_t h = kHashStart;
  if (!utf8_) {
    for (char c : name) h = HashStep(h, static_cast<unsigned char>(UpperCp1252Char(c)));
    return h;
  }
  for (std::size_t i = 0; i < name.size();) {
    char32_t cp;
    i += DecodeUtf8OrCp1252At(name, i, cp);
    h = HashStep(h, UpperLatin(cp));
  }
  return h;
}

bool IniDocument::SameName(std::string_view a, std::string_view b) const {
  if (!utf8_) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (UpperCp1252Char(a[i]) != UpperCp1252Char(b[i])) return false;
    return true;
  }
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    char32_t ca, cb;
    i += DecodeUtf8OrCp1252At(a, i, ca);
    j += DecodeUtf8OrCp1252At(b, j, cb);
    if (UpperLatin(ca) != UpperLatin(cb)) return false;
  }
  return i == a.size() && j == b.size();
}

std::size_t IniDocument::FindKey(const Section& s, std::string_view key) const {
  return FindKey(s, key, NameHash(key));
}

std::size_t IniDocument::FindKey(const Section& s, std::string_view key, uint32_t h) const {
  return s.keys.Find(h, [&](std::size_t line) {
    std::string_view name;
    return KeyName(s.lines[line], name) && SameName(name, key);
  });
}

std::size_t IniDocument::FindSection(std::string_view name) const {
  return sectionIndex_.Find(NameHash(name), [&](std::size_t index) {
    std::string_view found;
    return SectionName(sections_[index].header, found) && SameName(found, name);
  });
}

void IniDocument::AddLine(Section& s, std::string_view raw) const {
  std::string_view key;
  s.lines.push_back(raw);
  if (KeyName(raw, key)) {
    const uint32_t h = NameHash(key);
    if (FindKey(s, key, h) == 0) s.keys.Insert(h, s.lines.size() - 1);
    s.lastKeyLine = s.lines.size();
  }
}

void IniDocument::AddSection(std::string_view header) {
  std::string_view name;
  SectionName(header, name);
  if (FindSection(name) == 0) sectionIndex_.Insert(NameHash(name), sections_.size());
  Section s;
  s.header = header;
  s.hasHeader = true;
  sections_.push_back(std::move(s));
}

uint64_t IniDocument::FingerprintOf(std::string_view bytes) {
  Fingerprinter fingerprint;
  fingerprint.Add(bytes);
  return fingerprint.Value();
}

namespace {

// Calls `line` with each line of `text`, without its line end.
template <class Line>
void ForEachLine(const std::string& text, const Line& line) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    const char* e = p;
    while (e < end && *e != '\n' && *e != '\r') ++e;
    const std::string_view l(p, static_cast<std::size_t>(e - p));
    p = e;
    if (p < end && *p == '\r') ++p;
    if (p < end && *p == '\n' && (p == e || p[-1] == '\r')) ++p;
    line(l);
  }
}

}  // namespace

void IniDocument::NameIndex::Reserve(std::size_t names) {
  std::size_t size = 16;
  while (size < HeapFriendlyCapacity(2 * names, sizeof(Slot))) size *= 2;
  if (size <= slots.size()) return;
  std::vector<Slot> old(size);
  old.swap(slots);
  used = 0;
  for (const Slot& slot : old)
    if (slot.ref != 0) Insert(slot.hash, slot.ref - 1);
}

IniDocument IniDocument::Parse(std::string input) {
  IniDocument doc;
  doc.fingerprint_ = FingerprintOf(input);
  doc.utf8_ = input.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0;
  if (doc.utf8_) input.erase(0, kByteOrderMark.size());
  // The lines are views into these bytes; taking them over spares a copy
  // of the whole file.
  doc.source_ = std::make_shared<const std::string>(std::move(input));
  const std::string& text = *doc.source_;

  // Room for every section's lines and keys at once: a file of tens of
  // thousands of entries would otherwise be moved again and again as its
  // sections grow, leaving the heap strewn with the old copies.
  std::vector<std::size_t> lines(1, 0);
  ForEachLine(text, [&](std::string_view line) {
    std::string_view name;
    if (SectionName(line, name))
      lines.push_back(0);
    else
      ++lines.back();
  });
  doc.sections_.reserve(lines.size());
  doc.sections_.emplace_back();  // lines before the first section
  const auto reserve = [&](Section& s) {
    ReserveHeapFriendly(s.lines, lines[doc.sections_.size() - 1]);
    s.keys.Reserve(lines[doc.sections_.size() - 1]);
  };
  reserve(doc.sections_.back());
  ForEachLine(text, [&](std::string_view line) {
    std::string_view name;
    if (SectionName(line, name)) {
      doc.AddSection(line);
      reserve(doc.sections_.back());
    } else {
      doc.AddLine(doc.sections_.back(), line);
    }
  });
  return doc;
}

std::string IniDocument::Serialize() const {
  std::size_t size = 0;
  for (const Section& s : sections_) {
    size += s.header.size() + 2;
    for (std::string_view l : s.lines) size += l.size() + 2;
  }
  std::string out;
  out.reserve(size + kByteOrderMark.size());
  // Appends every line through `add`; false as soon as one fails.
  const auto join = [&](const auto& add) {
    for (const Section& s : sections_) {
      if (s.hasHeader && !add(s.header)) return false;
      if (s.hasHeader) out.append("\r\n");
      for (std::string_view l : s.lines) {
        if (!add(l)) return false;
        out.append("\r\n");
      }
    }
    return true;
  };
  if (!utf8_) {
    join([&](std::string_view l) { return out.append(l), true; });
    return out;
  }
  // 1252 bytes that begin like the mark would be read back as UTF-8 and
  // lose every umlaut: such a file stays UTF-8 too.
  if (join([&](std::string_view l) { return AppendAsCp1252(l, out); }) &&
      out.compare(0, kByteOrderMark.size(), kByteOrderMark) != 0)
    return out;
  out.assign(kByteOrderMark);
  join([&](std::string_view l) { return out.append(l), true; });
  return out;
}

std::string_view IniDocument::Own(std::string text) {
  owned_->push_back(std::move(text));
  return owned_->back();
}

const std::string_view* IniDocument::FindRaw(const std::string& section, const std::string& key) const {
  const std::size_t s = FindSection(Encode(section));
  if (s == 0) return nullptr;
  const Section& found = sections_[s - 1];
  const std::size_t line = FindKey(found, Encode(key));
  return line == 0 ? nullptr : &found.lines[line - 1];
}

bool IniDocument::Has(const std::string& section, const std::string& key) const {
  return FindRaw(section, key) != nullptr;
}

std::string IniDocument::Get(const std::string& section, const std::string& key,
                             const std::string& fallback) const {
  const std::string_view* raw = FindRaw(section, key);
  if (!raw) return fallback;
  return Decode(Unquote(TrimBlanks(raw->substr(raw->find('=') + 1))));
}

void IniDocument::Set(const std::string& section, const std::string& key, const std::string& value) {
  changed_ = true;
  const std::string sectionName = Encode(section);
  const std::string keyName = Encode(key);
  const std::string encoded = QuoteValue(Encode(value));

  std::size_t index = FindSection(sectionName);
  if (index == 0) {
    AddSection(Own('[' + sectionName + ']'));
    index = sections_.size();
  }
  Section& s = sections_[index - 1];
  if (const std::size_t line = FindKey(s, keyName)) {
    std::string_view name;
    KeyName(s.lines[line - 1], name);
    s.lines[line - 1] = Own(std::string(name) + '=' + encoded);
    return;
  }
  // Lines after the last key (blank lines, comments) stay behind the new
  // key; only they move, and none of them is indexed.
  const std::size_t at = s.lastKeyLine;
  s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(at), Own(keyName + '=' + encoded));
  s.keys.Insert(NameHash(keyName), at);
  s.lastKeyLine = at + 1;
}

}  // namespace zelvo
