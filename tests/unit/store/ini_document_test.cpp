#include "store/ini_document.h"

#include <gtest/gtest.h>

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

TEST(IniDocument, Utf8FileWithByteOrderMarkIsReadAndWrittenAs1252) {
  IniDocument doc = IniDocument::Parse("\xEF\xBB\xBF[Name]\r\n1=Gr\xC3\xBC\xC3\x9F" "e\r\n");
  EXPECT_EQ(doc.Get("Name", "1"), "Grüße");
  EXPECT_EQ(doc.Serialize(), "[Name]\r\n1=Gr\xFC\xDF" "e\r\n");
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
