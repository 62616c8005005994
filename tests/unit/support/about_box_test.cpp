#include "support/about_box.h"

#include <gtest/gtest.h>

#include "fakes/fake_services.h"
#include "fakes/fake_shell.h"

namespace zelvo {
namespace {

struct FakeAboutView : AboutView {
  std::string caption, headline, tagline, maker;
  bool closed = false;
  void SetCaption(const std::string& c) override { caption = c; }
  void SetTexts(const std::string& h, const std::string& t, const std::string& m) override {
    headline = h;
    tagline = t;
    maker = m;
  }
  void Close() override { closed = true; }
};

TEST(AboutBoxTest, ShowsTitleVersionTaglineAndOpensTheMakerPagesMaximised) {
  FakeServices env;
  FakeShell shell;
  Help help{env.services, shell, {2, 10, 0, 19045}};
  FakeAboutView view;
  AboutBox about{help, view};
  about.OnLoad("\xE2\x80\xA2 Zelvoscript 2.5 - Info");
  EXPECT_EQ(view.caption, "\xE2\x80\xA2 Zelvoscript 2.5 - Info");
  EXPECT_EQ(view.headline, "Zelvoscript 2.5.18");
  EXPECT_EQ(view.tagline, "Automatische Texteinf\xC3\xBCgungen aller Art");
  EXPECT_NE(view.maker.find("www.brannox.example"), std::string::npos);

  about.OnButton(0);
  about.OnButton(1);
  about.OnButton(7);
  EXPECT_FALSE(view.closed);
  about.OnButton(2);
  EXPECT_TRUE(view.closed);
  using Opened = std::vector<std::pair<std::string, ShowMode>>;
  EXPECT_EQ(shell.opened,
            (Opened{{"https://www.brannox.example", ShowMode::Maximized},
                    {"https://www.brannox.example/?find_update&app=zelvoscript&ver=2.5.18&win=10.0.19045",
                     ShowMode::Maximized}}));
}

}  // namespace
}  // namespace zelvo
