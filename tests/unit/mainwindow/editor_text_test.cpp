#include "mainwindow/editor_text.h"

#include <gtest/gtest.h>

#include "mainwindow/editor_rtf.h"
#include "store/text_codes.h"

namespace zelvo {
namespace {

const std::string R = kReturnSymbol, T = kTabSymbol, L = kLineFeedSymbol;
// Pictures: X, Y and Z stand for the Enter, Tab and line feed symbols.
std::u32string P(std::u32string text) {
  for (char32_t& c : text) {
    if (c == U'X') c = kReturnSymbolChar;
    if (c == U'Y') c = kTabSymbolChar;
    if (c == U'Z') c = kLineFeedSymbolChar;
  }
  return text;
}

TEST(EditorTextTest, RunsGiveTheCharacterByCharacterPicture) {
  using F = EditorFormat;
  struct Case {
    std::string text;
    std::vector<EditorRun> runs;
  } cases[] = {
      {"", {}},
      {"ab" + R + "\r\nc", {{"ab", F::Text}, {R + "\r\n", F::ReturnSymbol}, {"c", F::Text}}},
      // Display breaks that lost their symbol go; every symbol gets one back.
      {"a\r\nb" + T + R, {{"ab", F::Text}, {T + "\r\n", F::TabSymbol}, {R + "\r\n", F::ReturnSymbol}}},
      // A line feed is a symbol too; other control characters have no picture.
      {"\nx" + R + "\n\x01",
       {{L + "\r\n", F::LineFeedSymbol}, {"x", F::Text}, {R + "\r\n", F::ReturnSymbol}, {L + "\r\n", F::LineFeedSymbol}}},
      // The letters of the symbols' old codes are letters.
      {"\xC3\xA4\xE2\x82\xAC\xC3\x83\xC3\xB0", {{"\xC3\xA4\xE2\x82\xAC\xC3\x83\xC3\xB0", F::Text}}},
  };
  for (const Case& c : cases) EXPECT_EQ(BuildEditorRuns(c.text), c.runs) << c.text;
}

TEST(EditorTextTest, PictureGivesTheEditorFormAndBack) {
  struct Case {
    std::u32string picture;
    std::string text;
  } cases[] = {
      {U"", ""},
      {P(U"abX\rcY\rdZ\re"), "ab" + R + "\r\nc" + T + "\r\nd\ne"},
      {P(U"X\rX\r"), R + "\r\n" + R + "\r\n"},
      // Never there after a repair: a symbol without its break still
      // counts, a bare break would at most be a line feed.
      {P(U"aXb\rc"), "a" + R + "\r\nb\nc"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EditorPictureToText(c.picture), c.text);
    if (c.picture.find(P(U"Xb")) == std::u32string::npos) {
      EXPECT_EQ(BuildEditorRuns(c.text), PictureRuns(c.picture));
    }
  }
  EXPECT_EQ(PictureToPlainText(P(U"aX\rbY\rcZ\rd\xC3")), "a\r\nb\tc\nd\xC3\x83");
}

TEST(EditorTextTest, InsertedTextBecomesRecordedKeys) {
  struct Case {
    std::u32string text, picture;
  } cases[] = {
      {U"a\r\nb\nc\rd\ve", P(U"aX\rbX\rcX\rdX\re")},
      {U"a\tb\x01\x7F" U"c", P(U"aY\rbc")},
      // Symbols keep or get their break; an empty line stays an Enter.
      {P(U"X\r\nY\nZa\r\n\r\n"), P(U"X\rY\rZ\raX\rX\r")},
  };
  for (const Case& c : cases) EXPECT_EQ(NormalizeInserted(c.text), c.picture);
}

std::u32string Apply(std::u32string text, const EditorRepair& r) {
  return text.replace(r.start, r.length, r.text);
}

// What the control did by itself, and what the text must be afterwards.
TEST(EditorTextTest, RepairKeepsSymbolsWithTheirBreaks) {
  struct Case {
    const char* what;
    std::u32string before, after;
    int caret;
    std::u32string expected;
    int expectedCaret;
  } cases[] = {
      {"Rücktaste on a display break", P(U"abX\rcd"), P(U"abXcd"), 3, U"abcd", 2},
      {"Entf on a symbol", P(U"abX\rcd"), P(U"ab\rcd"), 2, U"abcd", 2},
      {"Rücktaste on the second of two Enters", P(U"X\rX\r"), P(U"XX\r"), 1, P(U"X\r"), 0},
      {"Rücktaste on a line feed's break", P(U"aZ\rb"), P(U"aZb"), 2, U"ab", 1},
      {"selection ending before a break", P(U"aX\rbY\rc"), U"a\rc", 1, U"ac", 1},
      {"selection starting at a break", P(U"aX\rbY\rc"), P(U"aXc"), 2, U"ac", 1},
      {"typed over a lone break", P(U"aX\rb"), P(U"aXxb"), 3, U"axb", 2},
      {"text put between a symbol and its break", P(U"aX\rb"), P(U"aXc\rb"), 3, P(U"aX\rcb"), 4},
      {"pasted lines, tab and control character", U"a", U"a1\r2\t3\x01", 7, P(U"a1X\r2Y\r3"), 8},
      {"dropped symbol without its break", U"a", P(U"aXb"), 3, P(U"aX\rb"), 4},
  };
  for (const Case& c : cases) {
    const auto repair = RepairEditorChange(c.before, c.after, c.caret);
    ASSERT_TRUE(repair) << c.what;
    EXPECT_EQ(Apply(c.after, *repair), c.expected) << c.what;
    EXPECT_EQ(repair->caret, c.expectedCaret) << c.what;
  }
  // A typed character or a deletion of whole symbols needs nothing.
  EXPECT_FALSE(RepairEditorChange(P(U"aX\rb"), P(U"aX\rxb"), 4));
  EXPECT_FALSE(RepairEditorChange(P(U"aX\rbY\rc"), U"ac", 1));
  EXPECT_FALSE(RepairEditorChange(P(U"aX\rbc"), P(U"aX\rc"), 3));
  // Inserted text is shown anew in its format, even when it needs no repair.
  const auto pasted = RepairEditorChange(U"ab", U"axyb", 3);
  ASSERT_TRUE(pasted);
  EXPECT_EQ(Apply(U"axyb", *pasted), U"axyb");
  EXPECT_LE(pasted->start, 1);
  EXPECT_GE(pasted->start + pasted->length, 3);
}

TEST(EditorTextTest, RangesGrowToWholeSymbols) {
  const std::u32string pic = P(U"aX\rbY\rc");
  struct Case {
    int start, end, expectedStart, expectedEnd;
  } cases[] = {{0, 1, 0, 1}, {0, 2, 0, 3}, {2, 4, 1, 4}, {2, 2, 3, 3}, {1, 1, 1, 1}, {5, 7, 4, 7}};
  for (const Case& c : cases)
    EXPECT_EQ(WholeSymbols(pic, c.start, c.end), std::make_pair(c.expectedStart, c.expectedEnd))
        << c.start << "-" << c.end;
}

TEST(EditorTextTest, FindIgnoresCaseOfUmlautsAndCountsCharacters) {
  EXPECT_EQ(FindTextIgnoringCase("\xC3\x84pfel und \xC3\xA4pfel", "\xC3\xA4PFEL", 1), 10);
  EXPECT_EQ(FindTextIgnoringCase("abc", "c", 3), -1);
  EXPECT_EQ(FindTextIgnoringCase("abc", "", 0), -1);
  EXPECT_EQ(FindTextIgnoringCase("abc", "a", 4), -1);
}

TEST(EditorRtfTest, SymbolsEndParagraphsInTheirColours) {
  const std::string rtf = EditorRunsToRtf(BuildEditorRuns("a{\\}" + R + "\r\n\xC3\xA4" + T + "\nb"));
  const std::string body = rtf.substr(rtf.find("\\pard"));
  EXPECT_EQ(body,
            "\\pard\\f0\\fs20\\cf1 \\f0\\cf1 a\\{\\\\\\}\\f1\\cf2 \\u-3901?\\par \\f0\\cf1 \\u228?"
            "\\f1\\cf3 \\u-3856?\\par \\f1\\cf4 \\u-3854?\\par \\f0\\cf1 b}");
  EXPECT_NE(rtf.find("\\fcharset2 Wingdings"), std::string::npos);
  EXPECT_NE(rtf.find("\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red128\\green128\\blue128;"),
            std::string::npos);
  // A high-contrast theme's colours replace black, red and blue; at another
  // scale the size changes.
  const std::string dark = EditorRunsToRtf({}, {0xFFFFFF, 0x00FFFF, 0x00FFFF, 0x00FF00, 40});
  EXPECT_NE(dark.find("\\pard\\f0\\fs40\\cf1 "), std::string::npos);
  EXPECT_NE(dark.find("{\\colortbl ;\\red255\\green255\\blue255;\\red255\\green255\\blue0;\\red255\\green255\\blue0;\\red0\\green255\\blue0;}"),
            std::string::npos);
}

TEST(EditorTextTest, SymbolsAreSpokenAsWords) {
  const std::string ret = kReturnSymbol, tab = kTabSymbol;
  struct Case {
    std::string editor, spoken;
  } cases[] = {
      {"ab" + ret + "\r\nc" + tab + "\r\nd", "ab Eingabe\r\nc Tabulator d"},
      {ret + "\r\n" + ret + "\r\n", "Eingabe\r\nEingabe\r\n"},
      {"x " + tab + "\r\n", "x Tabulator"},
      {"Gr\xC3\xBC\xC3\x9F" "e\nZeile", "Gr\xC3\xBC\xC3\x9F" "e\nZeile"},  // plain text and line feeds stay
  };
  for (const Case& c : cases) EXPECT_EQ(SpokenEditorText(c.editor), c.spoken) << c.editor;
}

}  // namespace
}  // namespace zelvo
