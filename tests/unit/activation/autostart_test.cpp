#include "support/autostart.h"

#include <gtest/gtest.h>

#include "activation_fakes.h"

namespace zelvo {
namespace {

using namespace activation_test;

struct AutostartFixture : ::testing::Test {
  FakeServices fake;
  FakeAutostartPlatform platform;
  Autostart autostart{fake.services, platform};
  const std::string folder = fake.dir.Path();  // the Startup folder
  const std::string shortcut = fake.dir.File("Zelvoscript.lnk");
  const std::string quoted = "\"C:\\Program Files\\Zelvo Script\\Zelvoscript.exe\" /AUTOSTART";

  void PutShortcut() { fake.dir.Write("Zelvoscript.lnk", "old shortcut"); }
};

TEST_F(AutostartFixture, NothingThereStartsClearedAndWritesNothing) {
  platform.startupFolder = folder;
  EXPECT_FALSE(autostart.InitAutostartCheck());
  EXPECT_EQ(platform.writes, 0);
}

TEST_F(AutostartFixture, ExistingRunValueTicksTheBoxWithoutRewritingIt) {
  platform.runValues["Zelvoscript"] = "C:\\Alt\\Zelvoscript.exe /AUTOSTART";
  EXPECT_TRUE(autostart.InitAutostartCheck());
  EXPECT_EQ(platform.writes, 0);
  EXPECT_EQ(platform.runValues["Zelvoscript"], "C:\\Alt\\Zelvoscript.exe /AUTOSTART");
}

TEST_F(AutostartFixture, OldShortcutBecomesTheRunValue) {
  platform.startupFolder = folder;
  PutShortcut();
  EXPECT_TRUE(autostart.InitAutostartCheck());
  EXPECT_FALSE(fake.files.FileExists(shortcut));
  EXPECT_EQ(platform.runValues["Zelvoscript"], quoted);
  EXPECT_TRUE(fake.dialogs.shown.empty());
}

TEST_F(AutostartFixture, UndeletableShortcutIsReportedAndStillConverted) {
  platform.startupFolder = folder;
  PutShortcut();
  platform.attributesFail = platform.deleteFails = true;
  EXPECT_TRUE(autostart.InitAutostartCheck());
  ASSERT_EQ(fake.dialogs.shown.size(), 2u);
  EXPECT_EQ(fake.dialogs.shown[0].message.text, "Attribute nicht l\xC3\xB6schbar: " + shortcut);
  EXPECT_EQ(fake.dialogs.shown[1].message.text, "Datei nicht l\xC3\xB6schbar: " + shortcut);
  EXPECT_EQ(fake.dialogs.shown[1].message.icon, MsgIcon::Information);
  EXPECT_EQ(platform.runValues["Zelvoscript"], quoted);
}

TEST_F(AutostartFixture, ClicksBeforeInitDoNothingAfterwardsWriteAndDelete) {
  autostart.ApplyAutostart(true);
  EXPECT_EQ(platform.writes, 0);
  autostart.InitAutostartCheck();
  autostart.ApplyAutostart(true);
  EXPECT_EQ(platform.runValues["Zelvoscript"], quoted);
  autostart.ApplyAutostart(false);
  EXPECT_FALSE(platform.RunValueExists("Zelvoscript"));
}

}  // namespace
}  // namespace zelvo
