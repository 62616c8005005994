#include "activation/activation.h"

#include <gtest/gtest.h>

#include <functional>

namespace zelvo {
namespace {

class RecordingTarget : public ActivationTarget {
 public:
  std::vector<std::string> log;
  bool nt = true, visible = false, cascading = false, deliveryBusy = false, searchWindow = false;
  std::optional<EntryListItem> searchChoice;
  std::vector<EntryListItem> entries{{"Gruss", 1}, {"Adresse", 2}};
  int choice = 0;
  std::function<void()> whileMenuOpen;
  SnippetMenu lastMenu;

  bool IsNTPlatform() override { return nt; }
  void CaptureLastUsedWindow() override { log.push_back("capture"); }
  void BringMainWindowToForeground() override { log.push_back("foreground"); }
  void ReloadAll() override { log.push_back("reload"); }
  const std::vector<EntryListItem>& MenuEntries() override { return entries; }
  bool MenuCascading() override { return cascading; }
  int PopupSnippetMenu(const SnippetMenu& menu) override {
    log.push_back("popup");
    lastMenu.cascading = menu.cascading;  // the popup level; the menu itself lives only while shown
    lastMenu.items = menu.items;
    if (whileMenuOpen) whileMenuOpen();
    return choice;
  }
  bool SearchWindowInsteadOfMenu() override { return searchWindow; }
  std::optional<EntryListItem> PopupSearchWindow(const std::function<void()>& whenShown) override {
    log.push_back("search window");
    if (whenShown) whenShown();
    if (whileMenuOpen) whileMenuOpen();
    return searchChoice;
  }
  void DeliverEntry(int number, const std::string& name) override {
    log.push_back("deliver " + std::to_string(number) + " " + name);
  }
  bool DeliveryBusy() override { return deliveryBusy; }
  bool IsMainWindowVisible() override { return visible; }
  void ShowMainWindow(bool normal) override {
    visible = true;
    log.push_back(normal ? "show normal" : "show");
  }
  void HideMainWindow() override {
    visible = false;
    log.push_back("hide");
  }
  void ReleaseLock() override { log.push_back("release lock"); }
  void EndProgram() override { log.push_back("end"); }
};

using Log = std::vector<std::string>;

TEST(HandleActivation, MenuCapturesTargetFirstThenReloadsAndDeliversTheChoice) {
  RecordingTarget t;
  t.choice = 2;
  Activation a(t);
  a.HandleActivation(1);
  EXPECT_EQ(t.log, (Log{"capture", "foreground", "reload", "popup", "deliver 2 Adresse"}));
  EXPECT_EQ(t.lastMenu.items[0].caption, "Adresse");

  // An entry under "&M" carries its number and its name to the delivery.
  t.log.clear();
  t.entries.push_back({"Mahnung", 17});
  t.cascading = true;
  t.choice = 17;
  a.HandleActivation(1);
  EXPECT_EQ(t.log.back(), "deliver 17 Mahnung");
  t.cascading = false;

  t.log.clear();
  t.nt = false;  // a timer keeps the last used window there
  t.cascading = true;
  t.choice = 0;
  a.HandleActivation(1);
  EXPECT_EQ(t.log, (Log{"foreground", "reload", "popup"}));
  EXPECT_TRUE(t.lastMenu.cascading);
}

TEST(HandleActivation, EachShowingFollowsTheEntriesAndTheModeOfItsReload) {
  RecordingTarget t;
  Activation a(t);
  a.HandleActivation(1);
  ASSERT_EQ(t.lastMenu.items.size(), 7u);

  struct Step {
    std::vector<EntryListItem> entries;
    bool cascading;
    std::string firstCaption;
  };
  const Step steps[] = {
      {{{"Gruss", 1}, {"Adresse", 2}, {"Aal", 3}}, false, "Aal"},  // another PC added one
      {{{"Gruss", 1}, {"Adresse", 2}, {"Aal", 3}}, true, "&A"},
      {{{"Gruss", 1}, {"Brief", 2}, {"Aal", 3}}, true, "&A"},  // renamed, same count
      {{{"Gruss", 1}, {"Brief", 2}, {"Aal", 3}}, false, "Aal"},
  };
  for (const Step& step : steps) {
    t.entries = step.entries;
    t.cascading = step.cascading;
    a.HandleActivation(1);
    EXPECT_EQ(t.lastMenu.cascading, step.cascading);
    EXPECT_EQ(t.lastMenu.items[0].caption, step.firstCaption);
  }
  EXPECT_EQ(t.lastMenu.items[1].caption, "Brief");
}

TEST(HandleActivation, OtherKindsToggleTheMainWindowReleasingTheLockOnHide) {
  RecordingTarget t;
  Activation a(t);
  a.HandleActivation(2);
  a.HandleActivation(2);
  a.HandleActivation(4);
  EXPECT_EQ(t.log, (Log{"show normal", "release lock", "hide", "show normal"}));
}

TEST(HandleActivation, SecondActivationWhileTheMenuIsOpenIsIgnored) {
  RecordingTarget t;
  Activation a(t);
  t.choice = 1;
  t.whileMenuOpen = [&] {
    EXPECT_TRUE(a.Busy());
    a.HandleActivation(1);
    a.HandleActivation(2);
  };
  a.HandleActivation(1);
  EXPECT_EQ(t.log, (Log{"capture", "foreground", "reload", "popup", "deliver 1 Gruss"}));
  EXPECT_FALSE(a.Busy());
  t.whileMenuOpen = nullptr;
  a.HandleActivation(2);
  EXPECT_EQ(t.log.back(), "show normal") << "served again once the menu closed";

  // The target chooser of a delivery can stay open after the menu closed.
  t.log.clear();
  t.deliveryBusy = true;
  a.HandleActivation(1);
  EXPECT_TRUE(t.log.empty());
}

TEST(HandleActivation, SearchWindowInsteadOfMenuDeliversItsChoiceTheSameWay) {
  RecordingTarget t;
  t.searchWindow = true;
  t.searchChoice = EntryListItem{"Adresse", 2};
  bool secondIgnored = false;
  Activation a(t);
  t.whileMenuOpen = [&] {
    const std::size_t before = t.log.size();
    a.HandleActivation(1);
    secondIgnored = t.log.size() == before;
  };
  a.HandleActivation(1);
  EXPECT_EQ(t.log, (Log{"capture", "foreground", "search window", "reload", "deliver 2 Adresse"}))
      << "painted first, then the reload every activation makes";
  EXPECT_TRUE(secondIgnored) << "a hotkey press while it is open does nothing";

  t.log.clear();
  t.whileMenuOpen = nullptr;
  t.searchChoice.reset();  // Escape or a click elsewhere
  a.HandleActivation(1);
  EXPECT_EQ(t.log, (Log{"capture", "foreground", "search window", "reload"}));
}

TEST(HandleActivation, MenuItemSearchOpensTheSearchWindow) {
  RecordingTarget t;
  t.choice = kMenuSearch;
  t.searchChoice = EntryListItem{"Gruss", 1};
  Activation a(t);
  a.HandleActivation(1);
  EXPECT_EQ(t.log, (Log{"capture", "foreground", "reload", "popup", "search window", "deliver 1 Gruss"}))
      << "the menu's reload serves the search window too";
}

TEST(RunMenuCommand, FixedItems) {
  struct Case {
    int tag;
    Log expected;
  } cases[] = {
      {kMenuOpen, {"show"}},  // keeps the window state
      {kMenuEnd, {"end"}},
      {kMenuCancel, {}},
      {kMenuSeparator, {}},
      {0, {}},  // a group header
  };
  for (const auto& c : cases) {
    RecordingTarget t;
    Activation a(t);
    a.OnMenuChoice(c.tag);
    EXPECT_EQ(t.log, c.expected) << c.tag;
  }
}

}  // namespace
}  // namespace zelvo
