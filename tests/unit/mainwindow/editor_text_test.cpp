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
