#include "mainwindow/layout.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace zelvo {
namespace {

const TwipsRect kWindow{0, 0, 9600, 7200};

TEST(LayoutTest, GrowthWidensAndLengthensFromTheDesign) {
  WindowLayout layout;
  layout.Capture(kWindow, kDesignLayout);
  layout.Apply(20000, 20000);  // no drift from an earlier size
  const WindowLayout::Result r = layout.Apply(9600 + 1500, 7200 + 1500);
  EXPECT_FALSE(r.snapWidth || r.snapHeight);
  const LayoutRects& c = r.controls;
  EXPECT_EQ(c[kToolbarFrame], (TwipsRect{-1200, -60, 14775, 705}));
  EXPECT_EQ(c[kListenFrame], (TwipsRect{30, 720, 2775, 7005}));
  EXPECT_EQ(c[kTextFrame], (TwipsRect{2880, 720, 8055, 7005}));
  EXPECT_EQ(c[kContainer2], (TwipsRect{120, 5940, 6345, 1005}));
  EXPECT_EQ(c[kEntryList], (TwipsRect{120, 300, 2535, 6555}));
  EXPECT_EQ(c[kEditor], (TwipsRect{120, 300, 7815, 5535}));
  EXPECT_EQ(layout.Record(kToolbarFrame), "-1200:-60:13275:705");
}

TEST(LayoutTest, SmallerThanDesignSnapsBackPerDirection) {
  WindowLayout layout;
  layout.Capture(kWindow, kDesignLayout);
  WindowLayout::Result r = layout.Apply(9000, 8000);
  EXPECT_EQ(r.snapWidth, 9600.f);
  EXPECT_FALSE(r.snapHeight);
  EXPECT_EQ(r.controls[kTextFrame].width, 6555);
  EXPECT_EQ(r.controls[kTextFrame].height, 5505 + 800);
  r = layout.Apply(9700, 100);
  EXPECT_FALSE(r.snapWidth);
  EXPECT_EQ(r.snapHeight, 7200.f);
  EXPECT_EQ(r.controls[kContainer2].top, 4440);
}

TEST(LayoutTest, PlacementIsCheckedAgainstThePrimaryScreen) {
  const float sw = 19200, sh = 10800;  // 1280 x 720 pixels
  struct Case {
    const char *top, *left, *width, *height;
    TwipsRect expected;
  } cases[] = {
      {nullptr, nullptr, nullptr, nullptr, {4800, 1800, 9600, 7200}},  // first start: centred
      {"1500", "3000", "12000", "9000", {3000, 1500, 12000, 9000}},
      {"1500", "3000", "17000", "9600", {3000, 1500, 9600, 7200}},    // size would run off: design
      {"1500", "3000", "16200", "9300", {3000, 1500, 16200, 9300}},   // exactly to the edges
      {"10800", "3000", "12000", "9000", {4800, 1800, 9600, 7200}},   // top = screen height: off
      {"-45000", "-45000", "3000", "3000", {4800, 1800, 9600, 7200}}, // minimised at exit
      {"abc", "3000", "12000", "9000", {4800, 1800, 9600, 7200}},     // no number
      {"1500.5", "3000", "x", "9000", {3000, 1500.5, 9600, 9000}},
  };
  for (const Case& c : cases) {
    FakeAppSettings settings;
    if (c.top) settings.values = {{"_Top", c.top}, {"_Left", c.left}, {"_Width", c.width},
                                  {"_Height", c.height}};
    EXPECT_EQ(RestoreWindowPlacement(settings, kWindow, sw, sh), c.expected) << (c.top ? c.top : "-");
  }
}

TEST(LayoutTest, SavedPlacementReadsBack) {
  FakeAppSettings settings;
  SaveWindowPlacement(settings, {3015, 1515.5f, 12000, 9000});
  EXPECT_EQ(settings.values["_Top"], "1515.5");
  EXPECT_EQ(settings.values["_Left"], "3015");
  EXPECT_EQ(RestoreWindowPlacement(settings, kWindow, 19200, 10800),
            (TwipsRect{3015, 1515.5f, 12000, 9000}));
}

TEST(LayoutTest, CentreAndNearMainWindow) {
  // Odd differences: each taken to a whole number, the halving truncates.
  EXPECT_EQ(CenterOnScreen({0, 0, 4001, 3000}, 19200, 10801), (TwipsRect{7599, 3900, 4001, 3000}));
  EXPECT_EQ(CenterOnScreen({0, 0, 20000, 3000}, 19200, 10800).left, -400);
  EXPECT_EQ(PlaceNearMainWindow({0, 0, 500, 500}, {1000, 2000, 9600, 7200}, 15, 12),
            (TwipsRect{1750, 2600, 500, 500}));
}

}  // namespace
}  // namespace zelvo
