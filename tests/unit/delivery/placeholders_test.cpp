#include "delivery/placeholders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/fake_clock.h"
#include "fakes/fake_services.h"
#include "fakes/temp_dir.h"

namespace zelvo {
namespace {

struct Case {
  std::string text;
  std::string expected;
};

std::string Missing(const std::string& path) {
  return "\r*** Zelvoscript: Konnte Datei '" + path + "' nicht finden! ***\r";
}

class PlaceholdersTest : public ::testing::Test {
 protected:
  std::string Expand(const std::string& text) { return ExpandPlaceholders(text, clock, files); }
  // Writes a file into the test folder and returns its full path.
  std::string File(const std::string& name, const std::string& bytes) {
    dir.Write(name, bytes);
    return dir.File(name);
  }
  TempDir dir;
  FaultyFileSystem files;
  FakeClock clock;  // Monday, 07.12.2026 14:05:09
};

TEST_F(PlaceholdersTest, ClockPlaceholdersAnyCase) {
  const Case cases[] = {
      {"Heute ist %WOCHENTAG%, der %Datum%.", "Heute ist Montag, der 07.12.2026."},
      {"%zeit%", "14:05:09"},
      {"%stunde%:%minute%:%sekunde%", "14:05:09"},
      {"%monat%/%jahr%", "12/2026"},
      {"%TAG%.%Monat%.", "07.12."},
      {"%datum% und %DATUM%", "07.12.2026 und 07.12.2026"},
      {"Rabatt 10%", "Rabatt 10%"},
      {"%unbekannt% 50%%", "%unbekannt% 50%%"},
      {"%%datum%%", "%07.12.2026%"},
  };
  for (const Case& c : cases) EXPECT_EQ(Expand(c.text), c.expected) << c.text;
}

TEST_F(PlaceholdersTest, MinuteIsNeverTheMonth) {
  clock.now.hour = 9;
  clock.now.minute = 5;
  clock.now.year = 7;
  EXPECT_EQ(Expand("%stunde%:%minute%"), "09:05");
  EXPECT_EQ(Expand("%jahr%"), "0007");
}

TEST_F(PlaceholdersTest, IncludedFileLosesLineFeedsAndIsConvertedFrom1252) {
  const std::string crlf = File("x.txt", "eins\r\nzwei\r\n");
  const std::string lf = File("lf.txt", "a\nb\n");
  const std::string ansi = File("ansi.txt", "Gr\xFC\xDF" "e \x80");
  EXPECT_EQ(Expand("A%datei=" + crlf + "%B"), "Aeins\rzwei\rB");
  EXPECT_EQ(Expand("%datei=" + lf + "%"), "ab");
  EXPECT_EQ(Expand("%datei=" + ansi + "%"), "Grüße €");
}

TEST_F(PlaceholdersTest, FilesThatCannotBeIncluded) {
  const std::string hidden = File(".versteckt.txt", "geheim");
  const std::string folder = dir.File("ordner");
  std::filesystem::create_directory(folder);
  // The sizes are faked; the contents show whether a file got in anyway.
  const std::string huge = File("riesig.txt", "x");
  const std::string atLimit = File("gerade.txt", "ok");
  files.sizes[huge] = kMaxIncludedFileBytes + 1;
  files.sizes[atLimit] = kMaxIncludedFileBytes;

  const Case cases[] = {
      {"%datei=" + dir.File("fehlt.txt") + "%", Missing(dir.File("fehlt.txt"))},
      {"%datei=" + hidden + "%", Missing(hidden)},
      {"%datei=" + folder + "%", Missing(folder)},
      {"%datei=" + huge + "%",
       "\r*** Zelvoscript: Datei '" + huge + "' ist größer als 16 MB und wird nicht eingefügt! ***\r"},
      {"%datei=" + atLimit + "%", "ok"},
      // The path is taken as written: blanks belong to it.
      {"%datei= " + atLimit + "%", Missing(" " + atLimit)},
  };
  for (const Case& c : cases) EXPECT_EQ(Expand(c.text), c.expected) << c.text;
  EXPECT_EQ(files.readAttempts.count(huge), 0u);
  EXPECT_EQ(files.readAttempts.count(folder), 0u);

  // A file that exists but cannot be read leaves nothing in its place.
  const std::string locked = File("gesperrt.txt", "inhalt");
  files.readFailures = {FileError::SharingViolation};
  EXPECT_EQ(Expand("[%datei=" + locked + "%]"), "[]");
  EXPECT_TRUE(files.readFailures.empty());
}

TEST_F(PlaceholdersTest, FileContentGetsClockButNoFurtherFiles) {
  const std::string b = File("b.txt", "B");
  const std::string a = File("a.txt", "Stand %datum%, siehe %datei=" + b + "%");
  const std::string inA = "Stand 07.12.2026, siehe %datei=" + b + "%";
  EXPECT_EQ(Expand("%datei=" + a + "%"), inA);
  // Also when the file is named more than once.
  EXPECT_EQ(Expand("%datei=" + a + "%|%DATEI=" + a + "%"), inA + "|" + inA);
  EXPECT_EQ(files.readAttempts.count(b), 0u);
}

TEST_F(PlaceholdersTest, FileThatNamesItselfTwiceIsIncludedOnceWhereNamed) {
  // Named twice, naming itself twice: expanding file text again would
  // double the text every round until memory runs out.
  const std::string self = dir.File("selbst.txt");
  const std::string twice = "%datei=" + self + "%%datei=" + self + "%";
  File("selbst.txt", twice);
  EXPECT_EQ(Expand(twice), twice + twice);
  EXPECT_EQ(files.readAttempts[self], 1);
}

TEST_F(PlaceholdersTest, ExpandedTextHasASizeLimit) {
  const std::string mib = File("mib.txt", std::string(1 << 20, 'x'));
  struct Row {
    int times;
    std::string tail;
    bool tooLarge;
  } rows[] = {{32, "", false}, {32, "!", true}, {33, "", true}, {31, "%datum%", false}};
  for (const Row& row : rows) {
    std::string text;
    for (int i = 0; i < row.times; ++i) text += "%datei=" + mib + "%";
    files.readAttempts.clear();
    ExpansionError error = ExpansionError::TooLarge;
    const std::string result = ExpandPlaceholders(text + row.tail, clock, files, &error);
    EXPECT_EQ(error == ExpansionError::TooLarge, row.tooLarge) << row.times << row.tail;
    EXPECT_EQ(result.empty(), row.tooLarge) << row.times << row.tail;
    EXPECT_EQ(files.readAttempts[mib], 1);
  }
}

TEST_F(PlaceholdersTest, IncludedFilesInUnicodeAreReadAsSuch) {
  using namespace std::string_literals;  // the bytes hold NULs
  const Case cases[] = {
      {"\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F" "e\r\n"s, "Grüße\r"},          // UTF-8 with mark
      {"Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"s, "Grüße €"},               // UTF-8 without
      {"\xFF\xFEG\0\xFC\0\r\0\n\0=\xD8\0\xDE"s, "Gü\r😀"},            // UTF-16 LE
      {"\xFE\xFF\0G\0\xFC\x20\xAC"s, "Gü€"},                             // UTF-16 BE
      {"Gr\xFC\xDF" "e"s, "Grüße"},                                       // Windows-1252
      {"\xC3\xBC und \xFC"s, "Ã¼ und ü"},  // not valid UTF-8 as a whole: 1252
      {"\xEF\xBB\xBF"s, ""},
      {"\xFF\xFEG\0\0\xD8x"s, "G\uFFFD"},  // lone surrogate, odd last byte
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string path = File(std::to_string(++n) + ".txt", c.text);
    EXPECT_EQ(Expand("%datei=" + path + "%"), c.expected) << n;
  }
}

TEST_F(PlaceholdersTest, EmptyFileDoesNotHideThePlaceholderBehindIt) {
  const std::string a = File("a.txt", "");
  const std::string b = File("b.txt", "Bee");
  EXPECT_EQ(Expand("%datei=" + a + "%%datei=" + b + "%"), "Bee");
}

TEST_F(PlaceholdersTest, SameFileInAnyCaseIsReadOnce) {
  const std::string x = File("x.txt", "X");
  EXPECT_EQ(Expand("%DATEI=" + x + "%-%datei=" + x + "%-%Datei=" + x + "%"), "X-X-X");
  EXPECT_EQ(files.readAttempts[x], 1);
}

TEST_F(PlaceholdersTest, UnclosedFilePlaceholderEndsFileScanButClockStillWorks) {
  const std::string a = File("a.txt", "A");
  const Case cases[] = {
      {"%datum% %datei=" + a, "07.12.2026 %datei=" + a},
      {"%datei=" + a + "% und %datei=offen", "A und %datei=offen"},
      {"%datei=", "%datei="},
  };
  for (const Case& c : cases) EXPECT_EQ(Expand(c.text), c.expected) << c.text;
  // The next "%" closes the path, even when it opens a clock placeholder.
  EXPECT_EQ(Expand("%datei=" + a + " %zeit%"), Missing(a + " ") + "zeit%");
}

using ReadWholeFileTest = PlaceholdersTest;

TEST_F(ReadWholeFileTest, ErrorCodeOnlyOnFailure) {
  const std::string ok = File("ok.txt", "\xE4");
  const std::string locked = File("locked.txt", "x");

  FileError error = FileError::DiskFull;  // untouched on success
  EXPECT_EQ(ReadWholeFile(files, ok, error), "ä");
  EXPECT_EQ(error, FileError::DiskFull);
  files.readFailures = {FileError::AccessDenied};
  EXPECT_EQ(ReadWholeFile(files, locked, error), "");
  EXPECT_EQ(error, FileError::AccessDenied);
  error = FileError::None;
  EXPECT_EQ(ReadWholeFile(files, dir.File("missing.txt"), error), "");
  EXPECT_EQ(error, FileError::None);
}

}  // namespace
}  // namespace zelvo
