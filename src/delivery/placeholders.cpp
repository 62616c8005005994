#include "delivery/placeholders.h"

#include <cstdio>
#include <functional>
#include <map>
#include <string_view>
#include <utility>

#include "store/codepage.h"
#include "store/text_codes.h"

namespace zelvo {

namespace {

constexpr const char* kFilePlaceholder = "%datei=";

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Placeholder names are ASCII, so an ASCII case-insensitive search is exact.
// Every name starts with "%", which is rare in text: the search jumps from
// one "%" to the next, which keeps included files of megabytes fast.
size_t FindIgnoringCase(const std::string& text, std::string_view lowerName, size_t from) {
  for (size_t i = text.find('%', from); i != std::string::npos; i = text.find('%', i + 1)) {
    if (text.size() - i < lowerName.size()) return std::string::npos;
    size_t k = 1;
    while (k < lowerName.size() && AsciiLower(text[i + k]) == lowerName[k]) ++k;
    if (k == lowerName.size()) return i;
  }
  return std::string::npos;
}

// Every occurrence, left to right; the value is not searched again.
std::string ReplaceName(const std::string& text, std::string_view lowerName,
                        const std::string& value) {
  std::string out;
  size_t pos = 0;
  for (size_t hit; (hit = FindIgnoringCase(text, lowerName, pos)) != std::string::npos;
       pos = hit + lowerName.size()) {
    out.append(text, pos, hit - pos);
    out += value;
  }
  out.append(text, pos, std::string::npos);
  return out;
}

std::string TwoDigits(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

std::string FourDigits(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d", v);
  return buf;
}

std::string IncludedContent(FileSystem& files, const std::string& path) {
  if (!files.FileExists(path)) return MissingFileText(path);
  if (files.FileSize(path) > kMaxIncludedFileBytes) return FileTooLargeText(path);
  FileError ignored = FileError::None;
  std::string content = ReadWholeFile(files, path, ignored);
  std::erase(content, '\n');
  return content;
}

// One pass over the original text: each placeholder is replaced where it
// stands, and the scan goes on behind it in the original, so text from a
// file is never searched again. A file named several times (in any case)
// is read once. False when the result would grow beyond the limit.
bool ExpandFiles(const std::string& text, FileSystem& files, std::string& out) {
  std::map<std::string, std::string> contents;  // by upper-cased placeholder
  out.clear();
  size_t scan = 0;
  for (;;) {
    const size_t start = FindIgnoringCase(text, kFilePlaceholder, scan);
    if (start == std::string::npos) break;
    const size_t pathStart = start + std::char_traits<char>::length(kFilePlaceholder);
    const size_t close = text.find('%', pathStart);
    // No closing "%": nothing more to include, the rest stays as written.
    if (close == std::string::npos) break;

    out.append(text, scan, start - scan);
    const std::string placeholder = text.substr(start, close + 1 - start);
    auto [it, fresh] = contents.try_emplace(ToUpperLocale(placeholder));
    if (fresh) it->second = IncludedContent(files, text.substr(pathStart, close - pathStart));
    if (out.size() + it->second.size() > kMaxExpandedBytes) return false;
    out += it->second;
    scan = close + 1;
  }
  out.append(text, scan, std::string::npos);
  return out.size() <= kMaxExpandedBytes;
}

}  // namespace

std::string MissingFileText(const std::string& path) {
  return "\r*** Zelvoscript: Konnte Datei '" + path + "' nicht finden! ***\r";
}

std::string FileTooLargeText(const std::string& path) {
  return "\r*** Zelvoscript: Datei '" + path +
         "' ist größer als 16 MB und wird nicht eingefügt! ***\r";
}

std::string ReadWholeFile(FileSystem& files, const std::string& path, FileError& error) {
  if (!files.FileExists(path)) return {};
  std::string bytes;
  FileError result = files.ReadAll(path, bytes);
  if (result != FileError::None) error = result;
  return TextFileToUtf8(bytes);
}

std::string ExpandPlaceholders(const std::string& text, Clock& clock, FileSystem& files,
                               ExpansionError* error) {
  if (error) *error = ExpansionError::None;
  auto tooLarge = [&] {
    if (error) *error = ExpansionError::TooLarge;
    return std::string();
  };
  std::string result;
  if (!ExpandFiles(text, files, result)) return tooLarge();

  // The order is fixed and the clock is read anew for each placeholder.
  using Format = std::function<std::string(const LocalTime&)>;
  const std::pair<const char*, Format> kClockPlaceholders[] = {
      {"%zeit%", [&](const LocalTime& t) { return clock.LongTime(t); }},
      {"%stunde%", [](const LocalTime& t) { return TwoDigits(t.hour); }},
      {"%minute%", [](const LocalTime& t) { return TwoDigits(t.minute); }},
      {"%sekunde%", [](const LocalTime& t) { return TwoDigits(t.second); }},
      {"%datum%", [&](const LocalTime& t) { return clock.ShortDate(t); }},
      {"%tag%", [](const LocalTime& t) { return TwoDigits(t.day); }},
      {"%wochentag%", [&](const LocalTime& t) { return clock.WeekdayName(t); }},
      {"%monat%", [](const LocalTime& t) { return TwoDigits(t.month); }},
      {"%jahr%", [](const LocalTime& t) { return FourDigits(t.year); }},
  };
  for (const auto& [name, format] : kClockPlaceholders) {
    if (FindIgnoringCase(result, name, 0) == std::string::npos) continue;
    result = ReplaceName(result, name, format(clock.Now()));
    if (result.size() > kMaxExpandedBytes) return tooLarge();
  }
  return result;
}

}  // namespace zelvo
