// Our INI engine against the Windows profile functions that older versions on
// other PCs use on the same shared file (run under Wine). Wine's
// WritePrivateProfileStringW writes UTF-8, unlike Windows, so the writing
// side here is the A function with 1252 bytes, as those versions write.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "store/ini_document.h"
#include "win32_test_support.h"

namespace zelvo {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

// The system's own conversions, independent of the store's codec.
std::string ToCp1252(const std::string& utf8) {
  std::wstring wide = Widen(utf8);
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(1252, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(1252, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::string FromCp1252(const std::string& bytes) {
  if (bytes.empty()) return {};
  int n = MultiByteToWideChar(1252, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(1252, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
  return Narrow(wide);
}

constexpr DWORD kBuffer = 1 << 17;  // larger than any value here

std::string ProfileA(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& fallback) {
  std::string buffer(kBuffer, '\0');
  DWORD n = GetPrivateProfileStringA(ToCp1252(section).c_str(), ToCp1252(key).c_str(),
                                     ToCp1252(fallback).c_str(), buffer.data(), kBuffer,
                                     file.c_str());
  return FromCp1252(buffer.substr(0, n));
}

std::string ProfileW(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& fallback) {
  std::wstring buffer(kBuffer, L'\0');
  DWORD n = GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(),
                                     Widen(fallback).c_str(), buffer.data(), kBuffer,
                                     Widen(file).c_str());
  return Narrow(buffer.data(), n);
}

struct Row {
  const char* section;
  const char* key;
  const char* value;         // as written
  const char* readSection;   // the names a reader asks for (other case)
  const char* readKey;
  const char* afterRawWrite; // what a reader sees when the value was written as it is
};

// "\xE2\x80\x9E" etc. are the 1252 specials 0x80..0x9F (€, „, “, –).
const Row kRows[] = {
    {"Name", "1", "Grüße aus Köln", "NAME", "1", "Grüße aus Köln"},
    {"Name", "2", "Straße 5 € – „Anführung“", "name", "2", "Straße 5 € – „Anführung“"},
    {"Text", "1", "sagt \"hallo\" und geht", "Text", "1", "sagt \"hallo\" und geht"},
    {"Text", "2", "\"in Anführung\"", "TEXT", "2", "in Anführung"},
    {"Text", "3", "'einfach'", "text", "3", "einfach"},
    {"Text", "4", "  mit Leerzeichen  ", "Text", "4", "mit Leerzeichen"},
    {"Text", "5", "", "Text", "5", ""},
    {"Text", "6", "a=b; c \\N\\T 100%", "Text", "6", "a=b; c \\N\\T 100%"},
    {"Text", "7", "\"halb", "Text", "7", "\"halb"},
    {"Common", "HK", "1029", "COMMON", "hk", "1029"},
    // Wine's profile functions ignore only ASCII case (Windows ignores the case
    // of umlauts too): our file's names are ASCII, so only the same case here.
    {"Übersicht", "Schlüssel", "ÄÖÜäöüß", "Übersicht", "Schlüssel", "ÄÖÜäöüß"},
};

TEST(IniCompat, FileWrittenByTheProfileFunctionsReadsTheSame) {
  TempFolder folder;
  const std::string file = folder.File("written-by-windows.ini");
  for (const Row& r : kRows)
    ASSERT_TRUE(WritePrivateProfileStringA(ToCp1252(r.section).c_str(), ToCp1252(r.key).c_str(),
                                           ToCp1252(r.value).c_str(), file.c_str()));
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());  // flush

  const IniDocument doc = IniDocument::Parse(ReadBytes(file));
  for (const Row& r : kRows) {
    SCOPED_TRACE(std::string(r.section) + "/" + r.key);
    EXPECT_EQ(doc.Get(r.readSection, r.readKey, "<fehlt>"), r.afterRawWrite);
    EXPECT_EQ(ProfileA(file, r.readSection, r.readKey, "<fehlt>"), r.afterRawWrite);
    EXPECT_TRUE(doc.Has(r.readSection, r.readKey));
  }
}

TEST(IniCompat, FileWrittenByIniDocumentReadsTheSameThroughTheProfileFunctions) {
  TempFolder folder;
  const std::string file = folder.File("written-by-us.ini");
  // Start from a file an older version wrote, as on a real share.
  WriteBytes(file, "; Zelvoscript\r\n[Name]\r\n1=alt\r\n");
  IniDocument doc = IniDocument::Parse(ReadBytes(file));
  for (const Row& r : kRows) doc.Set(r.section, r.key, r.value);
  WriteBytes(file, doc.Serialize());

  const IniDocument reread = IniDocument::Parse(ReadBytes(file));
  for (const Row& r : kRows) {
    SCOPED_TRACE(std::string(r.section) + "/" + r.key);
    // Our writer quotes what would not read back, so every reader gets the value itself.
    EXPECT_EQ(ProfileA(file, r.readSection, r.readKey, "<fehlt>"), r.value);
    EXPECT_EQ(ProfileW(file, r.readSection, r.readKey, "<fehlt>"), r.value);
    EXPECT_EQ(reread.Get(r.readSection, r.readKey, "<fehlt>"), r.value);
  }
  EXPECT_EQ(ProfileA(file, "Name", "3", "<fehlt>"), "<fehlt>");
}

TEST(IniCompat, HandWrittenFileReadsLikeTheProfileFunctions) {
  TempFolder folder;
  const std::string file = folder.File("by-hand.ini");
  WriteBytes(file,
             "; Kommentar\r\n"
             "[Name]\r\n"
             "1=eins\r\n"
             "1=doppelt\r\n"
             "  2  =  zwei  \r\n"
             "Drei=3\r\n"
             "leer=\r\n"
             "q=\"\"\r\n"
             "einzeln=\"\r\n"
             "; 5=auskommentiert\r\n"
             "ohne Gleichheitszeichen\r\n"
             "[NAME]\r\n"
             "4=zweite Sektion gleichen Namens\r\n"
             "[Leer]\r\n"
             "[Text]\n"
             "k=nur LF\n"
             "[Ende]\r\n"
             "x=ohne Zeilenende");
  const IniDocument doc = IniDocument::Parse(ReadBytes(file));
  const std::pair<const char*, const char*> queries[] = {
      {"Name", "1"},    {"name", "2"}, {"NAME", "drei"}, {"Name", "leer"},
      {"Name", "q"},    {"Name", "einzeln"}, {"Name", "5"}, {"Name", "ohne Gleichheitszeichen"},
      {"Name", "4"},    {"Leer", "x"}, {"Text", "K"},    {"Ende", "X"},
      {"Fehlt", "1"},
  };
  for (const auto& [section, key] : queries) {
    SCOPED_TRACE(std::string(section) + "/" + key);
    EXPECT_EQ(doc.Get(section, key, "<fehlt>"), ProfileA(file, section, key, "<fehlt>"));
  }
}

TEST(IniCompat, LongValuesAreNeverCutByOurEngine) {
  TempFolder folder;
  const std::string file = folder.File("long.ini");
  std::string value;
  for (int i = 0; value.size() < 40000; ++i) value += "Zeile " + std::to_string(i) + " äöü€ ";
  IniDocument doc = IniDocument::Parse("");
  doc.Set("Text", "1", value);
  doc.Set("Text", "2", "danach");
  WriteBytes(file, doc.Serialize());

  const IniDocument reread = IniDocument::Parse(ReadBytes(file));
  EXPECT_EQ(reread.Get("Text", "1"), value);
  EXPECT_EQ(reread.Get("Text", "2"), "danach");
  // The profile functions of older versions read at most 32766 characters
  // of it, and the same ones.
  std::string windows = ProfileA(file, "Text", "1", "");
  EXPECT_GE(windows.size(), Narrow(Widen(value).substr(0, 32766)).size());
  EXPECT_EQ(value.compare(0, windows.size(), windows), 0);
  EXPECT_EQ(ProfileA(file, "Text", "2", ""), "danach");
}

}  // namespace
}  // namespace zelvo
