#include "mainwindow/editor_text.h"

#include <gtest/gtest.h>

#include "store/text_codes.h"

namespace zelvo {
namespace {

const std::string R = kReturnSymbol, T = kTabSymbol;

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
      // A control character keeps the previous format, at the start the default.
      {"\nx" + R + "\n", {{"\n", F::Inherit}, {"x", F::Text}, {R + "\r\n\n", F::ReturnSymbol}}},
      {"\xC3\xA4\xE2\x82\xAC", {{"\xC3\xA4\xE2\x82\xAC", F::Text}}},
  };
  for (const Case& c : cases) EXPECT_EQ(BuildEditorRuns(c.text), c.runs) << c.text;
}

TEST(EditorTextTest, FindIgnoresCaseOfUmlautsAndCountsCharacters) {
  EXPECT_EQ(FindTextIgnoringCase("\xC3\x84pfel und \xC3\xA4pfel", "\xC3\xA4PFEL", 1), 10);
  EXPECT_EQ(FindTextIgnoringCase("abc", "c", 3), -1);
  EXPECT_EQ(FindTextIgnoringCase("abc", "", 0), -1);
  EXPECT_EQ(FindTextIgnoringCase("abc", "a", 4), -1);
}

}  // namespace
}  // namespace zelvo

#include "mainwindow/editor_rtf.h"

namespace zelvo {
namespace {

TEST(EditorRtfTest, SymbolsEndParagraphsInTheirColours) {
  const std::string rtf = EditorRunsToRtf(BuildEditorRuns("a{\\}" + R + "\r\n\xC3\xA4" + T + "\nb"));
  const std::string body = rtf.substr(rtf.find("\\pard"));
  EXPECT_EQ(body,
            "\\pard\\f0\\fs20\\cf1 \\f0\\cf1 a\\{\\\\\\}\\f1\\cf2 \\'c3\\par \\f0\\cf1 \\u228?"
            "\\f1\\cf3 \\'f0\\par \\line \\f0\\cf1 b}");
  EXPECT_NE(rtf.find("\\fcharset2 Wingdings"), std::string::npos);
  EXPECT_NE(rtf.find("\\red255\\green0\\blue0;\\red0\\green0\\blue255;"), std::string::npos);
  // A high-contrast theme's colours replace black, red and blue; at another
  // scale the size changes.
  const std::string dark = EditorRunsToRtf({}, {0xFFFFFF, 0x00FFFF, 0x00FFFF, 40});
  EXPECT_NE(dark.find("\\pard\\f0\\fs40\\cf1 "), std::string::npos);
  EXPECT_NE(dark.find("{\\colortbl ;\\red255\\green255\\blue255;\\red255\\green255\\blue0;\\red255\\green255\\blue0;}"),
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
