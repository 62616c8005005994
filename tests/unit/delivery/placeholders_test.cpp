#include "delivery/placeholders.h"

#include <gtest/gtest.h>

#include "fakes/delivery_interim_fakes.h"

namespace zelvo {
namespace {

using interim::FakeClock;
using interim::FakeFiles;

struct Case {
  const char* text;
  const char* expected;
};

class PlaceholdersTest : public ::testing::Test {
 protected:
  std::string Expand(const std::string& text) { return ExpandPlaceholders(text, clock, files); }
  FakeClock clock;  // Monday, 07.12.2026 14:05:09
  FakeFiles files;
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
  files.files["C:\\x.txt"].bytes = "eins\r\nzwei\r\n";
  files.files["C:\\lf.txt"].bytes = "a\nb\n";
  files.files["C:\\ansi.txt"].bytes = "Gr\xFC\xDF" "e \x80";
  EXPECT_EQ(Expand("A%datei=C:\\x.txt%B"), "Aeins\rzwei\rB");
  EXPECT_EQ(Expand("%datei=C:\\lf.txt%"), "ab");
  EXPECT_EQ(Expand("%datei=C:\\ansi.txt%"), "Grüße €");
}

TEST_F(PlaceholdersTest, FilesThatCannotBeIncluded) {
  files.files["C:\\versteckt.txt"] = {"geheim", true, true};
  files.files["C:\\ordner"] = {"", false};
  files.files["C:\\gesperrt.txt"] = {"inhalt", true, false, FileError::SharingViolation};
  files.files["C:\\riesig.txt"] = {"x", true, false, FileError::None, kMaxIncludedFileBytes + 1};
  files.files["C:\\gerade.txt"] = {"ok", true, false, FileError::None, kMaxIncludedFileBytes};

  const Case cases[] = {
      {"%datei=C:\\fehlt.txt%", "\r*** Zelvoscript: Konnte Datei 'C:\\fehlt.txt' nicht finden! ***\r"},
      {"%datei=C:\\versteckt.txt%",
       "\r*** Zelvoscript: Konnte Datei 'C:\\versteckt.txt' nicht finden! ***\r"},
      {"%datei=C:\\ordner%", "\r*** Zelvoscript: Konnte Datei 'C:\\ordner' nicht finden! ***\r"},
      {"[%datei=C:\\gesperrt.txt%]", "[]"},
      {"%datei=C:\\riesig.txt%",
       "\r*** Zelvoscript: Datei 'C:\\riesig.txt' ist größer als 16 MB und wird nicht eingefügt! ***\r"},
      {"%datei=C:\\gerade.txt%", "ok"},
      // The path is taken as written: blanks belong to it.
      {"%datei= C:\\gerade.txt%", "\r*** Zelvoscript: Konnte Datei ' C:\\gerade.txt' nicht finden! ***\r"},
  };
  for (const Case& c : cases) EXPECT_EQ(Expand(c.text), c.expected) << c.text;
  EXPECT_EQ(files.reads.count("C:\\riesig.txt"), 0u);
  EXPECT_EQ(files.reads.count("C:\\ordner"), 0u);
}

TEST_F(PlaceholdersTest, FileContentGetsClockButNoFurtherFiles) {
  files.files["a.txt"].bytes = "Stand %datum%, siehe %datei=b.txt%";
  files.files["b.txt"].bytes = "B";
  EXPECT_EQ(Expand("%datei=a.txt%"), "Stand 07.12.2026, siehe %datei=b.txt%");
  EXPECT_EQ(files.reads.count("b.txt"), 0u);
}

TEST_F(PlaceholdersTest, EmptyFileDoesNotHideThePlaceholderBehindIt) {
  files.files["a.txt"].bytes = "";
  files.files["b.txt"].bytes = "Bee";
  EXPECT_EQ(Expand("%datei=a.txt%%datei=b.txt%"), "Bee");
}

TEST_F(PlaceholdersTest, SameFileInAnyCaseIsReadOnce) {
  files.files["C:\\x.txt"].bytes = "X";
  EXPECT_EQ(Expand("%DATEI=C:\\x.txt%-%datei=C:\\x.txt%-%Datei=C:\\x.txt%"), "X-X-X");
  EXPECT_EQ(files.reads["C:\\x.txt"], 1);
}

TEST_F(PlaceholdersTest, UnclosedFilePlaceholderEndsFileScanButClockStillWorks) {
  files.files["a.txt"].bytes = "A";
  const Case cases[] = {
      {"%datum% %datei=a.txt", "07.12.2026 %datei=a.txt"},
      {"%datei=a.txt% und %datei=offen", "A und %datei=offen"},
      {"%datei=", "%datei="},
  };
  for (const Case& c : cases) EXPECT_EQ(Expand(c.text), c.expected) << c.text;
  // The next "%" closes the path, even when it opens a clock placeholder.
  EXPECT_EQ(Expand("%datei=a.txt %zeit%"), "\r*** Zelvoscript: Konnte Datei 'a.txt ' nicht finden! ***\rzeit%");
}

TEST(ReadWholeFileTest, ErrorCodeOnlyOnFailure) {
  FakeFiles files;
  files.files["ok.txt"].bytes = "\xE4";
  files.files["locked.txt"] = {"x", true, false, FileError::AccessDenied};

  FileError error = FileError::DiskFull;  // untouched on success
  EXPECT_EQ(ReadWholeFile(files, "ok.txt", error), "ä");
  EXPECT_EQ(error, FileError::DiskFull);
  EXPECT_EQ(ReadWholeFile(files, "locked.txt", error), "");
  EXPECT_EQ(error, FileError::AccessDenied);
  error = FileError::None;
  EXPECT_EQ(ReadWholeFile(files, "missing.txt", error), "");
  EXPECT_EQ(error, FileError::None);
}

}  // namespace
}  // namespace zelvo
