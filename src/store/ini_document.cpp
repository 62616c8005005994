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

// Section name of a "[Name]" line, or false for any other line.
bool SectionName(std::string_view line, std::string& name) {
  line = TrimBlanks(line);
  if (line.empty() || line.front() != '[') return false;
  const std::size_t close = line.rfind(']');
  if (close == std::string_view::npos) return false;
  name = UpperCp1252(std::string(TrimBlanks(line.substr(1, close - 1))));
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

void IniDocument::AddLine(Section& s, std::string raw) {
  std::string_view key;
  if (KeyName(raw, key)) {
    s.keys.try_emplace(UpperCp1252(std::string(key)), s.lines.size());
    s.lastKeyLine = s.lines.size() + 1;
  }
  s.lines.push_back(std::move(raw));
}

IniDocument IniDocument::Parse(const std::string& input) {
  const bool utf8 = input.compare(0, 3, "\xEF\xBB\xBF") == 0;
  const std::string bytes = utf8 ? Utf8ToCp1252(input.substr(3)) : std::string();
  const std::string& text = utf8 ? bytes : input;

  IniDocument doc;
  doc.sections_.emplace_back();  // lines before the first section
  std::size_t pos = 0;
  std::string name;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n' && (pos == end || text[pos - 1] == '\r')) ++pos;

    if (SectionName(line, name)) {
      Section s;
      s.header = std::string(line);
      s.hasHeader = true;
      doc.sectionIndex_.try_emplace(name, doc.sections_.size());
      doc.sections_.push_back(std::move(s));
    } else {
      AddLine(doc.sections_.back(), std::string(line));
    }
  }
  return doc;
}

std::string IniDocument::Serialize() const {
  std::size_t size = 0;
  for (const Section& s : sections_) {
    size += s.header.size() + 2;
    for (const std::string& l : s.lines) size += l.size() + 2;
  }
  std::string out;
  out.reserve(size);
  for (const Section& s : sections_) {
    if (s.hasHeader) out.append(s.header).append("\r\n");
    for (const std::string& l : s.lines) out.append(l).append("\r\n");
  }
  return out;
}

const std::string* IniDocument::FindRaw(const std::string& section, const std::string& key) const {
  const auto sec = sectionIndex_.find(UpperCp1252(Utf8ToCp1252(section)));
  if (sec == sectionIndex_.end()) return nullptr;
  const Section& s = sections_[sec->second];
  const auto k = s.keys.find(UpperCp1252(Utf8ToCp1252(key)));
  return k == s.keys.end() ? nullptr : &s.lines[k->second];
}

bool IniDocument::Has(const std::string& section, const std::string& key) const {
  return FindRaw(section, key) != nullptr;
}

std::string IniDocument::Get(const std::string& section, const std::string& key,
                             const std::string& fallback) const {
  const std::string* raw = FindRaw(section, key);
  if (!raw) return fallback;
  const std::string_view line(*raw);
  const std::string_view value = Unquote(TrimBlanks(line.substr(line.find('=') + 1)));
  return Cp1252ToUtf8(std::string(value));
}

void IniDocument::Set(const std::string& section, const std::string& key, const std::string& value) {
  const std::string sectionBytes = Utf8ToCp1252(section);
  const std::string keyBytes = Utf8ToCp1252(key);
  const std::string upperSection = UpperCp1252(sectionBytes);
  const std::string upperKey = UpperCp1252(keyBytes);
  const std::string encoded = EncodeValue(value);

  auto sec = sectionIndex_.find(upperSection);
  if (sec == sectionIndex_.end()) {
    Section s;
    s.header = '[' + sectionBytes + ']';
    s.hasHeader = true;
    sec = sectionIndex_.emplace(upperSection, sections_.size()).first;
    sections_.push_back(std::move(s));
  }
  Section& s = sections_[sec->second];
  const auto k = s.keys.find(upperKey);
  if (k != s.keys.end()) {
    std::string& line = s.lines[k->second];
    std::string_view name;
    KeyName(line, name);
    line = std::string(name) + '=' + encoded;
    return;
  }
  // Lines after the last key (blank lines, comments) stay behind the new
  // key; only they move, and none of them is indexed.
  const std::size_t at = s.lastKeyLine;
  s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(at), keyBytes + '=' + encoded);
  s.keys.emplace(upperKey, at);
  s.lastKeyLine = at + 1;
}

}  // namespace zelvo
