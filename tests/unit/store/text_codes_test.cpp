#include "store/text_codes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zelvo {
namespace {

TEST(TextCodes, EscapeAndUnescape) {
  EXPECT_EQ(EscapeText("a\\b\tc\nd\re\"f"), "a\\\\b\\Tc\\Ld\\Ne\\Hf");
  EXPECT_EQ(UnescapeText("a\\\\b\\Tc\\ld\\Ne\\hf"), "a\\b\tc\nd\re\"f");
  EXPECT_EQ(UnescapeText("x\\qy\\"), "xqy");
  const std::string all = "\\\t\n\r\"äöü€ plain";
  EXPECT_EQ(UnescapeText(EscapeText(all)), all);
}

TEST(TextCodes, EditorTextAndStoredText) {
  const std::string editor = std::string("a") + kReturnSymbol + "\r\nb\\c";
  EXPECT_EQ(EditorTextToStored(editor), "a\\Nb\\\\c");
  EXPECT_EQ(StoredTextToEditor("a\\Nb\\\\c"), std::string("a") + kReturnSymbol + "b\\c");
  EXPECT_EQ(EditorTextToStored(std::string(kTabSymbol) + "\r\nx\ny"), "\\Tx\\Ly");
  EXPECT_EQ(StoredTextToEditor("\\Tx\\Ly"), std::string(kTabSymbol) + "x\ny");
  // The letters that share the symbols' Windows-1252 codes stay letters.
  EXPECT_EQ(StoredTextToEditor("Jo\xC3\xA3o \xC3\x83\xC3\xB0"), "Jo\xC3\xA3o \xC3\x83\xC3\xB0");
  EXPECT_EQ(EditorTextToStored("\xC3\x83\xC3\xB0"), "\xC3\x83\xC3\xB0");
}

TEST(TextCodes, FormatMessage) {
  EXPECT_EQ(FormatMessage("A %1 B %2 C %3", {"x", "y"}), "A x B y C ");
  EXPECT_EQ(FormatMessage("eins\\n\\nzwei"), "eins\r\rzwei");
  EXPECT_EQ(FormatMessage("%10/%1", {"1", "", "", "", "", "", "", "", "", "zehn"}), "zehn/1");
  // Arguments are shown as they are, even with codes or placeholders.
  EXPECT_EQ(FormatMessage("Datei %1 von %2", {"C:\\Neu\\%2", "PC"}), "Datei C:\\Neu\\%2 von PC");
}

TEST(TextCodes, ReplaceAll) {
  EXPECT_EQ(ReplaceAll("aaa", "a", "aa", false), "aaaaaa");
  EXPECT_EQ(ReplaceAll("Grüße GRÜSSE grüße", "GRÜßE", "X", true), "X GRÜSSE X");
  EXPECT_EQ(ReplaceAll("%DATUM% und %datum%", "%datum%", "7.12.", true), "7.12. und 7.12.");
  EXPECT_EQ(ReplaceAll("abc", "", "x", false), "abc");
}

TEST(TextCodes, SmallUtilities) {
  EXPECT_EQ(AddBackslash("C:\\Daten"), "C:\\Daten\\");
  EXPECT_EQ(AddBackslash("C:\\"), "C:\\");
  EXPECT_EQ(AddBackslash("/tmp/x/"), "/tmp/x/");
  EXPECT_EQ(CutAtNul(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(CutAtNul("abc"), "abc");
  EXPECT_EQ(SplitField("u;pc;datum;123", 2, ";"), "pc");
  EXPECT_EQ(SplitField("u;pc;datum;123", 4, ";"), "123");
  EXPECT_EQ(SplitField("u;pc", 3, ";"), "");
  EXPECT_EQ(SplitField("a b", 2, ""), "b");
  EXPECT_EQ(SplitField("a::b", 2, "::"), "b");
  EXPECT_EQ(ClampInt(5, 0, 4, 1), 1);
  EXPECT_EQ(ClampInt(-1, 0, 4, 2), 2);
  EXPECT_EQ(ClampInt(4, 0, 4, 1), 4);
  EXPECT_EQ(HexPad(0x1A, 4), "001A");
  EXPECT_EQ(HexPad(0x12345, 4), "12345");
  EXPECT_EQ(HexPad(0, 0), "0");
  EXPECT_EQ(Trim("  a b \t "), "a b \t");
}

TEST(TextCodes, LeadingNumberLikeVal) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {{"1.6abc", 1.6}, {"  -12", -12}, {"+3", 3},       {".5", 0.5},
                        {"abc", 0},      {"", 0},        {"2e3x", 2000},  {"2e", 2},
                        {"1.5.3", 1.5},  {"-", 0},       {"7 8", 7},      {"1E-2", 0.01}};
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << c.text;
  EXPECT_FALSE(ParseLeadingNumber("x1").has_value());
  EXPECT_TRUE(ParseLeadingNumber("0").has_value());
}

TEST(TextCodes, RoundHalfEven) {
  const std::pair<double, long long> cases[] = {{0.5, 0},  {1.5, 2},   {2.5, 2},  {-0.5, 0},
                                                {-1.5, -2}, {1.6, 2},   {582.5, 582}, {2.4999, 2}};
  for (auto [v, r] : cases) EXPECT_EQ(RoundHalfEven(v), r) << v;
  EXPECT_EQ(RoundHalfEven(1e300), std::numeric_limits<long long>::max());
  EXPECT_EQ(RoundHalfEven(-INFINITY), std::numeric_limits<long long>::min());
  EXPECT_EQ(RoundHalfEven(NAN), 0);
}

TEST(TextCodes, ToUpperLocale) {
  EXPECT_EQ(ToUpperLocale("grüße äöü àéîõ ÿ š œ ž µ abc"), "GRÜßE ÄÖÜ ÀÉÎÕ Ÿ Š Œ Ž µ ABC");
  EXPECT_EQ(ToUpperLocale("÷ € 😀"), "÷ € 😀");
}

}  // namespace
}  // namespace zelvo
