#include "activation/snippet_menu.h"

#include <gtest/gtest.h>

namespace zelvo {
namespace {

std::vector<std::string> Captions(std::span<const SnippetMenuItem> items) {
  std::vector<std::string> out;
  for (const auto& i : items) out.push_back(i.caption);
  return out;
}

std::vector<int> Tags(std::span<const SnippetMenuItem> items) {
  std::vector<int> out;
  for (const auto& i : items) out.push_back(i.tag);
  return out;
}

const std::string kOeffnen = "&\xC3\x96" "ffnen";
const std::string kSuchen = "&Suchen \xE2\x80\xA6";
const std::string kAepfel = "\xC3\x84" "pfel";

// apfel (1), Zebra (2), Äpfel (3), 1. Brief (4), brief (5)
const std::vector<EntryListItem> kMixed = {
    {"apfel", 1}, {"Zebra", 2}, {kAepfel, 3}, {"1. Brief", 4}, {"brief", 5}};

TEST(SnippetMenu, FlatOrderIsOrdinalOverWindows1252Codes) {
  const SnippetMenu menu = BuildSnippetMenu(kMixed, false);
  EXPECT_EQ(Captions(menu.items),
            (std::vector<std::string>{"1. Brief", "Zebra", "apfel", "brief", kAepfel, "-", kSuchen,
                                      kOeffnen, "&Beenden", "&Abbrechen"}));
  EXPECT_EQ(Tags(menu.items), (std::vector<int>{4, 2, 1, 5, 3, -1, -5, -2, -3, -4}));
  EXPECT_EQ(menu.items[5].kind, MenuItemKind::Separator);
  for (size_t i = 0; i < menu.items.size(); ++i)
    EXPECT_EQ(menu.items[i].isDefault, i == 7) << "only \"&Öffnen\" is the default";
}

TEST(SnippetMenu, CascadingGroupsByAsciiInitialOnlyUsedGroupsShow) {
  const SnippetMenu menu = BuildSnippetMenu(kMixed, true);
  EXPECT_EQ(Captions(menu.items),
            (std::vector<std::string>{"&0-9", "&A", "&B", "&Z", "-", kSuchen, kOeffnen,
                                      "&Beenden", "&Abbrechen"}));
  EXPECT_EQ(menu.items[0].kind, MenuItemKind::GroupHeader);
  EXPECT_EQ(menu.items[0].tag, 0);
  EXPECT_EQ(Captions(menu.groups[0]), (std::vector<std::string>{"1. Brief", kAepfel}));
  EXPECT_EQ(Captions(menu.groups[1]), (std::vector<std::string>{"apfel"}));
  EXPECT_EQ(Captions(menu.groups[2]), (std::vector<std::string>{"brief"}));
  EXPECT_EQ(Tags(menu.groups[26]), (std::vector<int>{2}));
  EXPECT_TRUE(menu.items[6].isDefault);
}

TEST(SnippetMenu, TiesPrefixesAndCase) {
  const SnippetMenu ties =
      BuildSnippetMenu({{"Brief", 3}, {"Brief 2", 4}, {"anton", 5}, {"Brief", 12}, {"Anna", 6}},
                       true);
  EXPECT_EQ(Tags(ties.groups[2]), (std::vector<int>{12, 3, 4})) << "\"12\" sorts before \"3\"";
  EXPECT_EQ(Captions(ties.groups[1]), (std::vector<std::string>{"Anna", "anton"}));
}

TEST(SnippetMenu, NoEntriesGivesOnlyTheFixedItems) {
  for (bool cascading : {false, true}) {
    const SnippetMenu menu = BuildSnippetMenu({}, cascading);
    EXPECT_EQ(Captions(menu.items),
              (std::vector<std::string>{"-", kSuchen, kOeffnen, "&Beenden", "&Abbrechen"}));
    EXPECT_TRUE(menu.items[2].isDefault);
  }
}

TEST(SnippetMenu, EntriesBeyondTheSixteenBitRangeAreNotOffered) {
  const SnippetMenu menu = BuildSnippetMenu({{"a", 32767}, {"b", 32768}}, false);
  EXPECT_EQ(Tags(menu.items), (std::vector<int>{32767, -1, -5, -2, -3, -4}));
}

TEST(SnippetMenu, CommandIdsMapBackToTags) {
  for (int tag : {1, 17, 32767, -1, -2, -3, -4, -5}) {
    const int id = MenuCommandId(tag);
    EXPECT_GT(id, 0);
    EXPECT_LE(id, 0xFFFF);
    EXPECT_EQ(MenuTagFromCommandId(id), tag);
  }
  EXPECT_EQ(MenuTagFromCommandId(0), 0);
  EXPECT_EQ(MenuTagFromCommandId(0xF006), 0);
}

TEST(SnippetMenu, SortsTheLargestFileQuicklyAndCorrectly) {
  // Descending names force real work; the order check guards against a
  // comparison that is not a strict weak order.
  std::vector<EntryListItem> entries;
  for (int n = 1; n <= 32767; ++n) entries.push_back({"Eintrag " + std::to_string(40000 - n), n});
  const SnippetMenu menu = BuildSnippetMenu(entries, true);
  const auto& e = menu.groups[5];
  ASSERT_EQ(e.size(), 32767u);
  for (size_t i = 1; i < e.size(); ++i) ASSERT_LT(e[i - 1].caption, e[i].caption);
}

}  // namespace
}  // namespace zelvo
