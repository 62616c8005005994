#include "support/help.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/fake_services.h"
#include "fakes/fake_shell.h"

namespace zelvo {
namespace {

class HelpTest : public ::testing::Test {
 protected:
  void Put(const std::string& relative) {
    const std::string path = env.dir.Path() + relative;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    env.dir.Write(relative, "<html></html>");
  }
  FakeServices env;
  FakeShell shell;
  Help help{env.services, shell, {2, 10, 0, 19045}};
};

TEST_F(HelpTest, TheFirstExistingCandidateOpens) {
  const std::vector<std::string> c = HelpCandidates("C:\\Programme\\Zelvoscript");
  ASSERT_EQ(c.size(), 8u);
  EXPECT_EQ(c[0], "C:\\Programme\\Zelvoscript\\index.htm");
  EXPECT_EQ(c[3], "C:\\Programme\\Zelvoscript\\hilfe.html");
  EXPECT_EQ(c[4], "C:\\Programme\\Zelvoscript\\hilfe\\index.htm");
  EXPECT_EQ(c[7], "C:\\Programme\\Zelvoscript\\hilfe\\hilfe.html");

  Put("hilfe/hilfe.html");
  help.ShowHelp();
  Put("hilfe/index.htm");
  help.ShowHelp();
  Put("index.htm");
  help.ShowHelp();
  ASSERT_EQ(shell.opened.size(), 3u);
  EXPECT_EQ(shell.opened[0].first, env.dir.Path() + "hilfe/hilfe.html");
  EXPECT_EQ(shell.opened[1].first, env.dir.Path() + "hilfe/index.htm");
  EXPECT_EQ(shell.opened[2].first, env.dir.Path() + "index.htm");
  EXPECT_EQ(shell.opened[2].second, ShowMode::Normal);
  EXPECT_TRUE(env.dialogs.shown.empty());
}

TEST_F(HelpTest, WithoutLocalHelpTheOnlineManualIsOffered) {
  env.dialogs.answers.push_back(MsgResult::Cancel);
  help.ShowHelp();
  ASSERT_EQ(env.dialogs.shown.size(), 1u);
  const Message& m = env.dialogs.shown[0].message;
  EXPECT_EQ(m.text,
            "Die aktuelle Anleitung zu ''Zelvoscript'' ist online bei www.brannox.example verf\xC3\xBCgbar."
            "\r\rKlicken Sie bitte ''OK'', um diese Seite jetzt anzeigen zu lassen ...");
  EXPECT_EQ(m.buttons, MsgButtons::OkCancel);
  EXPECT_EQ(m.icon, MsgIcon::Information);
  EXPECT_TRUE(shell.opened.empty());

  help.ShowHelp();  // OK
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0].first, "https://www.brannox.example/?go=zelvoscript");
  EXPECT_EQ(shell.opened[0].second, ShowMode::Maximized);
}

TEST_F(HelpTest, WebAddressesAreLowerCase) {
  help.OpenUpdateCheck();
  help.OpenMakerPage();
  EXPECT_EQ(shell.opened[0].first,
            "https://www.brannox.example/?find_update&app=zelvoscript&ver=2.5.18&win=10.0.19045");
  EXPECT_EQ(shell.opened[1].first, "https://www.brannox.example");
  EXPECT_EQ(WindowsVersionText({2, 5, 1, 2600}), "5.1.2600");
  EXPECT_EQ(WindowsVersionText({2, 6, 1, 0x12345}), "6.1.9029");  // build is cut to 16 bits
  EXPECT_EQ(WindowsVersionText({1, 4, 10, 0x040A08AE}), "4.10.2222");  // 9x: the build field is the code
}

}  // namespace
}  // namespace zelvo
