#include "store/ini_document.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>

#include "store/codepage.h"

namespace zelvo {
namespace {

TEST(IniDocument, ReadsValuesLikeTheProfileFunctions) {
  const IniDocument doc = IniDocument::Parse(
      "; Kommentar\r\n"
      "[Name]\r\n"
      "1=  Gru\xDF  \r\n"
      "2=\"  quoted  \"\r\n"
      "3='single'\r\n"
      "4=\"unbalanced\r\n"
      "5=\"\r\n"
      "6=a=b\r\n"
      "  7  =  x  \r\n"
      "1=second wins never\r\n"
      "; 8=commented\r\n"
      "9\r\n"
      "[ name ]\r\n"
      "10=later section with the same name\r\n"
      "[Other]\n"
      "k=lf only\n"
      "[Third]\r"
      "k=cr only");
  struct Case {
    const char* section;
    const char* key;
    const char* expected;
  };
  const Case cases[] = {
      {"Name", "1", "Gruß"},
      {"NAME", "1", "Gruß"},
      {"name", "2", "  quoted  "},
      {"Name", "3", "single"},
      {"Name", "4", "\"unbalanced"},
      {"Name", "5", "\""},
      {"Name", "6", "a=b"},
      {"Name", "7", "x"},
      {"Name", "8", "<missing>"},
      {"Name", "9", "<missing>"},
      {"Name", "10", "<missing>"},  // first section of a name wins
      {"Other", "K", "lf only"},
      {"Third", "k", "cr only"},
      {"Missing", "1", "<missing>"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(doc.Get(c.section, c.key, "<missing>"), c.expected) << c.section << "/" << c.key;
}

TEST(IniDocument, SectionAndKeyNamesIgnoreCaseOfUmlauts) {
  const IniDocument doc = IniDocument::Parse(Utf8ToCp1252("[Übersicht]\r\nschlüssel=1\r\n"));
  EXPECT_EQ(doc.Get("ÜBERSICHT", "SCHLÜSSEL"), "1");
  EXPECT_EQ(doc.Get("übersicht", "Schlüssel"), "1");
}

TEST(IniDocument, UnchangedDocumentSerializesByteForByteWithCrLf) {
  const std::string file =
      "; Kopfkommentar \xE4\r\n\r\n[Name]\r\n  1 = eins  \r\nmüll ohne Gleichheitszeichen\r\n"
      "[Text]\r\n1=\\N\r\n";
  EXPECT_EQ(IniDocument::Parse(file).Serialize(), file);
  EXPECT_EQ(IniDocument::Parse("[A]\nk=v").Serialize(), "[A]\r\nk=v\r\n");
}

TEST(IniDocument, SetChangesFirstKeyAndAppendsWhereTheProfileFunctionsDo) {
  IniDocument doc = IniDocument::Parse(
      "[Name]\r\n1=eins\r\n1=doppelt\r\n\r\n; Ende Name\r\n[Text]\r\nA=x\r\n");
  doc.Set("name", "1", "neu");
  doc.Set("NAME", "2", "zwei");
  doc.Set("Name", "3", "drei");
  doc.Set("Common", "HK", "1029");
  EXPECT_EQ(doc.Serialize(),
            "[Name]\r\n1=neu\r\n1=doppelt\r\n2=zwei\r\n3=drei\r\n\r\n; Ende Name\r\n"
            "[Text]\r\nA=x\r\n[Common]\r\nHK=1029\r\n");
  EXPECT_EQ(doc.Get("Name", "1"), "neu");
  EXPECT_EQ(doc.Get("Name", "3"), "drei");

  IniDocument empty = IniDocument::Parse("");
  empty.Set("Common", "Lock", "");
  EXPECT_EQ(empty.Serialize(), "[Common]\r\nLock=\r\n");
  EXPECT_TRUE(empty.Has("common", "lock"));
}

TEST(IniDocument, ValuesReadBackExactlyAsWritten) {
  const char* values[] = {"",       " lead",  "trail ", "\"both\"", "'both'", "\"one",
                          "'",      "\"",     "a\"b",   "x  y",     "\tTab",  "\"'mixed\"'",
                          "''",     "=",      "; not a comment",      "[not a section]"};
  IniDocument doc;
  int n = 0;
  for (const char* v : values) doc.Set("S", std::to_string(++n), v);
  const IniDocument reread = IniDocument::Parse(doc.Serialize());
  n = 0;
  for (const char* v : values) EXPECT_EQ(reread.Get("S", std::to_string(++n)), v) << v;
  // Plain values are written plainly, as older versions expect.
  EXPECT_NE(doc.Serialize().find("10=x  y\r\n"), std::string::npos);
}

TEST(IniDocument, LineBreaksInValuesCannotBreakTheFile) {
  IniDocument doc;
  doc.Set("S", "k", "a\r\n[Evil]\r\nx=1");
  const IniDocument reread = IniDocument::Parse(doc.Serialize());
  EXPECT_FALSE(reread.Has("Evil", "x"));
  EXPECT_EQ(reread.Get("S", "k"), "a  [Evil]  x=1");
}

TEST(IniDocument, Windows1252RoundTrip) {
  const std::string text = "Grüße, Maß, 5 €, „Zitat“ – Ende";
  IniDocument doc;
  doc.Set("Text", "1", text);
  const std::string bytes = doc.Serialize();
  EXPECT_EQ(bytes, "[Text]\r\n1=Gr\xFC\xDF" "e, Ma\xDF, 5 \x80, \x84Zitat\x93 \x96 Ende\r\n");
  EXPECT_EQ(IniDocument::Parse(bytes).Get("Text", "1"), text);
}

constexpr const char* kMark = "\xEF\xBB\xBF";

TEST(IniDocument, Utf8FileStaysUtf8WhileItHoldsCharactersThat1252Lacks) {
  struct Case {
    const char* name;
    std::string file;      // as read
    std::string set;       // value written to Name/2
    std::string expected;  // as saved afterwards
  };
  const Case cases[] = {
      // Taking the lock must not turn "Łukasz" into "?ukasz".
      {"untouched entries keep their characters",
       std::string(kMark) + "[Name]\r\n1=Łukasz Gruß\r\n", "x",
       std::string(kMark) + "[Name]\r\n1=Łukasz Gruß\r\n2=x\r\n"},
      {"a written value keeps its characters", std::string(kMark) + "[Name]\r\n1=Gruß\r\n", "Jiří",
       std::string(kMark) + "[Name]\r\n1=Gruß\r\n2=Jiří\r\n"},
      {"a file that fits 1252 becomes 1252", std::string(kMark) + "[Name]\r\n1=Grüße €\r\n", "Maß",
       "[Name]\r\n1=Gr\xFC\xDF" "e \x80\r\n2=Ma\xDF\r\n"},
      {"a 1252 file gets question marks", "[Name]\r\n1=Gr\xFC\xDF" "e\r\n", "Şahin",
       "[Name]\r\n1=Gr\xFC\xDF" "e\r\n2=?ahin\r\n"},
      // Stray 1252 bytes from a hand edit read as their characters.
      {"stray 1252 bytes in a UTF-8 file", std::string(kMark) + "[Name]\r\n1=Gr\xFC\xDF" "e Ł\r\n",
       "x", std::string(kMark) + "[Name]\r\n1=Gr\xFC\xDF" "e Ł\r\n2=x\r\n"},
  };
  for (const Case& c : cases) {
    IniDocument doc = IniDocument::Parse(c.file);
    doc.Set("Name", "2", c.set);
    EXPECT_EQ(doc.Serialize(), c.expected) << c.name;
  }
  const IniDocument stray = IniDocument::Parse(cases[4].file);
  EXPECT_EQ(stray.Get("Name", "1"), "Grüße Ł");
}

TEST(IniDocument, Utf8NamesIgnoreCaseLikeThe1252Ones) {
  const IniDocument doc = IniDocument::Parse(std::string(kMark) + "[Übersicht]\r\nschlüssel=Ł\r\n");
  EXPECT_EQ(doc.Get("ÜBERSICHT", "SCHLÜSSEL"), "Ł");
  IniDocument changed = doc;
  changed.Set("übersicht", "Schlüssel", "ł");
  EXPECT_EQ(changed.Serialize(), std::string(kMark) + "[Übersicht]\r\nschlüssel=ł\r\n");
}

TEST(IniDocument, TextThatBeginsLikeAByteOrderMarkSurvivesEveryWrite) {
  // After the mark the text begins with the characters "ï»¿"; as 1252 bytes
  // they would be a mark again, and every umlaut would be lost.
  std::string bytes = std::string(kMark) + "ï»¿\r\n[Name]\r\n1=Grüße\r\n";
  for (int write = 1; write <= 3; ++write) {
    IniDocument doc = IniDocument::Parse(bytes);
    doc.Set("Name", std::to_string(write + 1), "ä");
    bytes = doc.Serialize();
    const IniDocument reread = IniDocument::Parse(bytes);
    ASSERT_EQ(reread.Get("Name", "1"), "Grüße") << "write " << write;
    ASSERT_EQ(reread.Get("Name", std::to_string(write + 1)), "ä");
  }
  EXPECT_EQ(bytes.substr(0, 9), std::string(kMark) + "ï»¿");
}

// Documents built from pieces that stress the parser: marks, stray bytes,
// brackets, quotes and every kind of line end. Whatever the input, the first
// save keeps every value, and saving again changes nothing.
TEST(IniDocument, EveryInputSurvivesParseAndSerialize) {
  const std::string pieces[] = {kMark,  "ï»¿",  Utf8ToCp1252("ï»¿"), "[A]", "[b]", "[Name]", "[",
                                "]",    "1=",   "2 = ",  "=",     "\"",   "'",   " ",  ";",
                                "\r\n", "\r",   "\n",    "ä",     "\xE4", "\x80", "Ł", "\xC3",
                                "x",    "€",    std::string(1, '\0')};
  std::mt19937 rng(7);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1), length(0, 24);
  const char* sections[] = {"A", "B", "Name"};
  for (int round = 0; round < 3000; ++round) {
    std::string input;
    for (std::size_t n = length(rng); n > 0; --n) input += pieces[pick(rng)];
    const IniDocument doc = IniDocument::Parse(input);
    const std::string saved = doc.Serialize();
    const IniDocument reread = IniDocument::Parse(saved);
    ASSERT_EQ(reread.Serialize(), saved) << ::testing::PrintToString(input);
    IniDocument written = doc;
    written.Set("Name", "9", "Ł€ä");
    const IniDocument afterWrite = IniDocument::Parse(written.Serialize());
    for (const char* section : sections)
      for (const char* key : {"1", "2"}) {
        const std::string before = doc.Get(section, key, "<fehlt>");
        ASSERT_EQ(reread.Get(section, key, "<fehlt>"), before) << ::testing::PrintToString(input);
        ASSERT_EQ(afterWrite.Get(section, key, "<fehlt>"), before) << ::testing::PrintToString(input);
      }
  }
}

TEST(IniDocument, ManySectionsAreFoundByName) {
  std::string file;
  for (int i = 0; i < 5000; ++i) file += "[S" + std::to_string(i) + "]\r\nk=" + std::to_string(i) + "\r\n";
  file += "[s17]\r\nk=later section of the same name\r\n";
  IniDocument doc = IniDocument::Parse(file);
  EXPECT_EQ(doc.Get("S4999", "K"), "4999");
  EXPECT_EQ(doc.Get("S17", "k"), "17");
  doc.Set("s17", "k", "neu");
  doc.Set("Neu", "k", "ganz neu");
  EXPECT_EQ(doc.Get("S17", "k"), "neu");
  EXPECT_EQ(doc.Get("NEU", "K"), "ganz neu");
  EXPECT_NE(doc.Serialize().find("[S17]\r\nk=neu\r\n"), std::string::npos);
}

TEST(IniDocument, LongValuesAreNotCut) {
  const std::string longText(100000, 'x');
  IniDocument doc;
  doc.Set("Text", "1", longText);
  EXPECT_EQ(IniDocument::Parse(doc.Serialize()).Get("Text", "1"), longText);
}

TEST(Codepage, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
  EXPECT_EQ(Cp1252ToUtf8("\x80\x81\x9F"), "€\xC2\x81Ÿ");
}

TEST(Codepage, UnrepresentableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("a😀bΩc\xFF" "d"), "a?b?c?d");
  EXPECT_EQ(Utf8ToCp1252("\xC2\x80"), "?");  // U+0080 has no 1252 code
}

}  // namespace
}  // namespace zelvo

namespace zelvo {
namespace {

TEST(IniDocument, CopiesAreIndependent) {
  IniDocument original = IniDocument::Parse("[Name]\r\n1=eins\r\n");
  IniDocument copy = original;
  copy.Set("Name", "1", "kopie");
  copy.Set("Name", "2", "zwei");
  original.Set("Name", "1", "original");
  EXPECT_EQ(original.Serialize(), "[Name]\r\n1=original\r\n");
  EXPECT_EQ(copy.Serialize(), "[Name]\r\n1=kopie\r\n2=zwei\r\n");
}

}  // namespace
}  // namespace zelvo
