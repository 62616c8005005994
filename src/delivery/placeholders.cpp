#include "delivery/placeholders.h"

#include <cstdio>
#include <functional>
#include <utility>

#include "store/codepage.h"
#include "store/text_codes.h"

namespace zelvo {

namespace {

constexpr const char* kFilePlaceholder = "%datei=";

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Placeholder names are ASCII, so an ASCII case-insensitive search is exact.
size_t FindIgnoringCase(const std::string& text, const std::string& lowerNeedle, size_t from) {
  if (lowerNeedle.size() > text.size()) return std::string::npos;
  for (size_t i = from; i + lowerNeedle.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < lowerNeedle.size() && AsciiLower(text[i + k]) == lowerNeedle[k]) ++k;
    if (k == lowerNeedle.size()) return i;
  }
  return std::string::npos;
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
  return ReplaceAll(ReadWholeFile(files, path, ignored), "\n", "", false);
}

std::string ExpandFiles(std::string text, FileSystem& files) {
  size_t scan = 0;
  for (;;) {
    size_t start = FindIgnoringCase(text, kFilePlaceholder, scan);
    if (start == std::string::npos) break;
    size_t pathStart = start + std::char_traits<char>::length(kFilePlaceholder);
    size_t close = text.find('%', pathStart);
    // No closing "%": nothing more to include, the rest stays as written.
    if (close == std::string::npos) break;

    std::string placeholder = text.substr(start, close + 1 - start);
    std::string content = IncludedContent(files, text.substr(pathStart, close - pathStart));
    // Replacing both halves separately keeps track of where the content for
    // this occurrence ended, so the scan resumes behind it.
    std::string before = ReplaceAll(text.substr(0, start), placeholder, content, true);
    std::string after = ReplaceAll(text.substr(start), placeholder, content, true);
    scan = before.size() + content.size();
    text = before + after;
  }
  return text;
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
  return Cp1252ToUtf8(bytes);
}

std::string ExpandPlaceholders(const std::string& text, Clock& clock, FileSystem& files) {
  std::string result = ExpandFiles(text, files);

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
    result = ReplaceAll(result, name, format(clock.Now()), true);
  }
  return result;
}

}  // namespace zelvo
