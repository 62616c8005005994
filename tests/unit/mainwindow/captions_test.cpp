#include "mainwindow/captions.h"

#include <gtest/gtest.h>

namespace zelvo {
namespace {

TEST(VersionText, FramesAndSuffixes) {
  struct Case {
    uint32_t flags;
    int revision;
    const char* expected;
  } cases[] = {
      {257, 18, "2.5"},        {1, 18, "2.5.18"},  {0, 18, " (V2.5.18)"}, {2, 18, " [V2.5.18]"},
      {3, 18, ""},             {256, 18, " (V2.5)"},
      // From revision 100 on bit 8 turns the revision into a letter,
      // rounded half to even: 150 -> 1.5 -> 2 -> "b", 250 -> 2.5 -> 2.
      {257, 100, "2.5a"},      {257, 150, "2.5b"}, {257, 250, "2.5b"},   {257, 99, "2.5"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VersionText(c.flags, {2, 5, c.revision}), c.expected)
        << "flags " << c.flags << " revision " << c.revision;
  }
}

TEST(BuildCaption, PrefixDependsOnPlatformAndTitleIsOptional) {
  EXPECT_EQ(BuildCaption("", true), "\xE2\x80\xA2 Zelvoscript 2.5");
  EXPECT_EQ(BuildCaption("Optionen", true), "\xE2\x80\xA2 Zelvoscript 2.5 - Optionen");
  EXPECT_EQ(BuildCaption("Debugger", false), ":: Zelvoscript 2.5 - Debugger");
}

}  // namespace
}  // namespace zelvo
