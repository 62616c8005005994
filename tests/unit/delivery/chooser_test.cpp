#include "delivery/chooser.h"

#include <gtest/gtest.h>

#include "fakes/fake_auswahl_view.h"

namespace zelvo {
namespace {

class ChooserTest : public ::testing::Test {
 protected:
  // Enumeration order differs from the sorted order on purpose.
  const std::vector<TargetWindow> candidates = {
      {"Editor - b.txt", 0xB}, {"editor - a.txt", 0xA}, {"Editor - C.txt", 0xC}};
  AuswahlForm form{"Zelvoscript 2.5 - Auswahl", {100, 200}};
  FakeAuswahlView view;
};

TEST_F(ChooserTest, FilledSortedPlacedAndTopmost) {
  view.onShow = [&](FakeAuswahlView& v) {
    EXPECT_EQ(v.lines, (std::vector<std::string>{"editor - a.txt", "Editor - b.txt", "Editor - C.txt"}));
    EXPECT_EQ(v.selected, 0);
    EXPECT_EQ(v.captions, (std::vector<std::string>{"Zelvoscript 2.5 - Auswahl", "Auswahl - Zelvoscript"}));
    EXPECT_EQ(v.position.x, 150);
    EXPECT_EQ(v.position.y, 250);
    EXPECT_EQ(v.topmostCalls, std::vector<bool>{true});
    form.OnButton(1);  // &OK
  };
  EXPECT_EQ(form.Choose(view, candidates), WindowHandle{0xA});
  EXPECT_TRUE(view.closed);
  EXPECT_EQ(view.topmostCalls, (std::vector<bool>{true, false}));
}

TEST_F(ChooserTest, DoubleClickSendsToThatLinesWindow) {
  view.onShow = [&](FakeAuswahlView& v) {
    v.selected = 1;
    form.OnListDoubleClick();
  };
  EXPECT_EQ(form.Choose(view, candidates), WindowHandle{0xB});
}

TEST_F(ChooserTest, CancelCloseOrNoSelectionSendNothing) {
  const std::function<void(FakeAuswahlView&)> endings[] = {
      [&](FakeAuswahlView&) { form.OnButton(0); },
      [&](FakeAuswahlView&) { form.OnCloseByFrame(); },
      [&](FakeAuswahlView&) {},  // the view ended on its own
  };
  for (const auto& ending : endings) {
    FakeAuswahlView v;
    v.onShow = ending;
    EXPECT_EQ(form.Choose(v, candidates), std::nullopt);
    EXPECT_TRUE(v.closed);
    EXPECT_EQ(v.topmostCalls.back(), false);
  }
  FakeAuswahlView none;
  none.onShow = [&](FakeAuswahlView& v) {
    v.selected = -1;
    form.OnButton(1);  // OK without a selected line does nothing
    EXPECT_FALSE(v.closed);
    form.OnButton(0);
  };
  EXPECT_EQ(form.Choose(none, candidates), std::nullopt);
}

TEST(ChooserSortTest, EqualTitlesKeepTheirHandlesInEnumerationOrder) {
  EXPECT_EQ(SortedForChooser({{"b", 1}, {"A", 2}, {"B", 3}, {"a", 4}}),
            (std::vector<TargetWindow>{{"A", 2}, {"a", 4}, {"b", 1}, {"B", 3}}));
}

TEST(ChooserSortTest, UmlautsSortWithTheirBaseLetter) {
  EXPECT_EQ(SortedForChooser({{"Zoo", 1}, {"Ärger", 2}, {"Apfel", 3}, {"Übung", 4}, {"Ufer", 5}}),
            (std::vector<TargetWindow>{
                {"Apfel", 3}, {"Ärger", 2}, {"Übung", 4}, {"Ufer", 5}, {"Zoo", 1}}));
}

}  // namespace
}  // namespace zelvo
