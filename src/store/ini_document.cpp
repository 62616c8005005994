#include "store/ini_document.h"

#include "store/codepage.h"

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

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (UpperCp1252Char(a[i]) != UpperCp1252Char(b[i])) return false;
  return true;
}

uint32_t NameHash(std::string_view name) {
  uint32_t h = 2166136261u;  // FNV-1a over the upper-cased bytes
  for (char c : name) h = (h ^ static_cast<unsigned char>(UpperCp1252Char(c))) * 16777619u;
  return h;
}

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

std::string EncodeValue(const std::string& utf8) {
  std::string v = Utf8ToCp1252(utf8);
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

std::size_t IniDocument::FindKey(const Section& s, std::string_view key) {
  return FindKey(s, key, NameHash(key));
}

std::size_t IniDocument::FindKey(const Section& s, std::string_view key, uint32_t h) {
  if (s.keys.slots.empty()) return 0;
  const std::size_t mask = s.keys.slots.size() - 1;
  for (std::size_t i = h & mask;; i = (i + 1) & mask) {
    const KeyIndex::Slot& slot = s.keys.slots[i];
    if (slot.line == 0) return 0;
    std::string_view name;
    if (slot.hash == h && KeyName(s.lines[slot.line - 1], name) && SameName(name, key))
      return slot.line;
  }
}

void IniDocument::IndexKey(Section& s, std::string_view key, std::size_t line) {
  IndexKey(s, NameHash(key), line);
}

void IniDocument::IndexKey(Section& s, uint32_t h, std::size_t line) {
  KeyIndex& index = s.keys;
  if (2 * (index.used + 1) > index.slots.size()) {
    std::vector<KeyIndex::Slot> old(std::max<std::size_t>(16, 2 * index.slots.size()));
    old.swap(index.slots);
    const std::size_t mask = index.slots.size() - 1;
    for (const KeyIndex::Slot& slot : old) {
      if (slot.line == 0) continue;
      std::size_t i = slot.hash & mask;
      while (index.slots[i].line != 0) i = (i + 1) & mask;
      index.slots[i] = slot;
    }
  }
  const std::size_t mask = index.slots.size() - 1;
  std::size_t i = h & mask;
  while (index.slots[i].line != 0) i = (i + 1) & mask;
  index.slots[i] = {h, static_cast<uint32_t>(line + 1)};
  ++index.used;
}

void IniDocument::AddLine(Section& s, std::string_view raw) {
  std::string_view key;
  s.lines.push_back(raw);
  if (KeyName(raw, key)) {
    const uint32_t h = NameHash(key);
    if (FindKey(s, key, h) == 0) IndexKey(s, h, s.lines.size() - 1);
    s.lastKeyLine = s.lines.size();
  }
}

IniDocument IniDocument::Parse(const std::string& input) {
  const bool utf8 = input.compare(0, 3, "\xEF\xBB\xBF") == 0;
  IniDocument doc;
  doc.source_ = std::make_shared<const std::string>(utf8 ? Utf8ToCp1252(input.substr(3)) : input);
  const std::string& text = *doc.source_;

  doc.sections_.emplace_back();  // lines before the first section
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    const char* e = p;
    while (e < end && *e != '\n' && *e != '\r') ++e;
    const std::string_view line(p, static_cast<std::size_t>(e - p));
    p = e;
    if (p < end && *p == '\r') ++p;
    if (p < end && *p == '\n' && (p == e || p[-1] == '\r')) ++p;

    std::string_view name;
    if (SectionName(line, name)) {
      Section s;
      s.header = line;
      s.hasHeader = true;
      doc.sections_.push_back(std::move(s));
    } else {
      AddLine(doc.sections_.back(), line);
    }
  }
  return doc;
}

std::string IniDocument::Serialize() const {
  std::size_t size = 0;
  for (const Section& s : sections_) {
    size += s.header.size() + 2;
    for (std::string_view l : s.lines) size += l.size() + 2;
  }
  std::string out;
  out.reserve(size);
  for (const Section& s : sections_) {
    if (s.hasHeader) out.append(s.header).append("\r\n");
    for (std::string_view l : s.lines) out.append(l).append("\r\n");
  }
  return out;
}

const IniDocument::Section* IniDocument::FindSection(const std::string& cp1252Name) const {
  // Few sections: a scan is faster than any index. The first one wins.
  for (const Section& s : sections_) {
    std::string_view name;
    if (s.hasHeader && SectionName(s.header, name) && SameName(name, cp1252Name)) return &s;
  }
  return nullptr;
}

std::string_view IniDocument::Own(std::string text) {
  owned_->push_back(std::move(text));
  return owned_->back();
}

const std::string_view* IniDocument::FindRaw(const std::string& section, const std::string& key) const {
  const Section* s = FindSection(Utf8ToCp1252(section));
  if (!s) return nullptr;
  const std::size_t line = FindKey(*s, Utf8ToCp1252(key));
  return line == 0 ? nullptr : &s->lines[line - 1];
}

bool IniDocument::Has(const std::string& section, const std::string& key) const {
  return FindRaw(section, key) != nullptr;
}

std::string IniDocument::Get(const std::string& section, const std::string& key,
                             const std::string& fallback) const {
  const std::string_view* raw = FindRaw(section, key);
  if (!raw) return fallback;
  const std::string_view value = Unquote(TrimBlanks(raw->substr(raw->find('=') + 1)));
  return Cp1252ToUtf8(std::string(value));
}

void IniDocument::Set(const std::string& section, const std::string& key, const std::string& value) {
  changed_ = true;
  const std::string sectionBytes = Utf8ToCp1252(section);
  const std::string keyBytes = Utf8ToCp1252(key);
  const std::string encoded = EncodeValue(value);

  Section* s = const_cast<Section*>(FindSection(sectionBytes));
  if (!s) {
    Section added;
    added.header = Own('[' + sectionBytes + ']');
    added.hasHeader = true;
    sections_.push_back(std::move(added));
    s = &sections_.back();
  }
  if (const std::size_t line = FindKey(*s, keyBytes)) {
    std::string_view name;
    KeyName(s->lines[line - 1], name);
    s->lines[line - 1] = Own(std::string(name) + '=' + encoded);
    return;
  }
  // Lines after the last key (blank lines, comments) stay behind the new
  // key; only they move, and none of them is indexed.
  const std::size_t at = s->lastKeyLine;
  s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), Own(keyBytes + '=' + encoded));
  IndexKey(*s, keyBytes, at);
  s->lastKeyLine = at + 1;
}

}  // namespace zelvo
