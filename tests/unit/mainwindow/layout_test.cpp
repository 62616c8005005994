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
  // 50 design pixels, at the main window's DPI.
  EXPECT_EQ(PlaceNearMainWindow({0, 0, 300, 200}, {100, 200, 640, 480}, 96), (PixelRect{150, 250, 300, 200}));
  EXPECT_EQ(PlaceNearMainWindow({0, 0, 300, 200}, {100, 200, 640, 480}, 120), (PixelRect{163, 263, 300, 200}));
  EXPECT_EQ(PlaceNearMainWindow({0, 0, 300, 200}, {-900, 0, 640, 480}, 192), (PixelRect{-800, 100, 300, 200}));
}

TEST(LayoutTest, DesignBecomesPixelsAtEachScale) {
  struct Case {
    int dpi, clientWidth, clientHeight;
    PixelRect list, text, toolbar, panel;
  } cases[] = {
      {96, 632, 434, {2, 48, 185, 367}, {192, 48, 437, 367}, {-80, -4, 885, 47}, {8, 296, 423, 67}},
      {120, 790, 543, {3, 60, 231, 459}, {240, 60, 546, 459}, {-100, -5, 1106, 59}, {10, 370, 529, 84}},
      {144, 948, 651, {3, 72, 278, 551}, {288, 72, 656, 551}, {-120, -6, 1328, 71}, {12, 444, 635, 101}},
      {192, 1264, 868, {4, 96, 370, 734}, {384, 96, 874, 734}, {-160, -8, 1770, 94}, {16, 592, 846, 134}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dpi);
    // The minimum size of the client area is the design size at the scale.
    EXPECT_EQ(TwipsToPixels(kDesignClientWidth, c.dpi), c.clientWidth);
    EXPECT_EQ(TwipsToPixels(kDesignClientHeight, c.dpi), c.clientHeight);
    EXPECT_EQ(ToPixels(kDesignLayout[kListenFrame], c.dpi), c.list);
    EXPECT_EQ(ToPixels(kDesignLayout[kTextFrame], c.dpi), c.text);
    EXPECT_EQ(ToPixels(kDesignLayout[kToolbarFrame], c.dpi), c.toolbar);
    EXPECT_EQ(ToPixels(kDesignLayout[kContainer2], c.dpi), c.panel);
    // Grown by an inch each way, the frames grow by exactly the DPI.
    WindowLayout layout;
    layout.Capture(kWindow, kDesignLayout);
    const LayoutRects grown = layout.Apply(kWindow.width + 1440, kWindow.height + 1440).controls;
    EXPECT_EQ(ToPixels(grown[kTextFrame], c.dpi).width, c.text.width + c.dpi);
    EXPECT_EQ(ToPixels(grown[kTextFrame], c.dpi).height, c.text.height + c.dpi);
    EXPECT_EQ(ToPixels(grown[kContainer2], c.dpi).top, c.panel.top + c.dpi);
  }
}

TEST(LayoutTest, RoundingKeepsNeighboursTouching) {
  EXPECT_EQ(ScaleToDpi(50, 120), 63);  // 62.5: halves away from zero
  EXPECT_EQ(ScaleToDpi(-1, 144), -2);
  EXPECT_EQ(ScaleToDpi(16, 144), 24);
  EXPECT_EQ(TwipsToPixels(7.5f, 96), 1);
  EXPECT_EQ(TwipsToPixels(-7.5f, 96), -1);
  // Two boxes that touch at 2505 twips (250.5 pixels at 144 DPI) still touch,
  // though each size alone would round differently.
  for (int dpi : {96, 120, 144, 168, 192}) {
    const PixelRect a = ToPixels({15, 0, 2490, 100}, dpi), b = ToPixels({2505, 0, 2490, 100}, dpi);
    EXPECT_EQ(a.left + a.width, b.left) << dpi;
  }
  // Offsets into a container are added before rounding.
  EXPECT_EQ(ToPixels({5, 5, 10, 10}, 144, 5, 5), (PixelRect{1, 1, 1, 1}));
}

TEST(LayoutTest, StoredPlacementKeepsItsMeaningAcrossScales) {
  // At 96 DPI exactly what older versions stored: 15 twips per pixel.
  EXPECT_EQ(PlacementToTwips({100, 50, 640, 480}, 96, 96), (TwipsRect{1500, 750, 9600, 7200}));
  // At 150 %: the corner where an older version, scaled by Windows, put it;
  // the size the same in inches, on a monitor of another scale as well.
  EXPECT_EQ(PlacementToTwips({150, 75, 960, 720}, 144, 144), (TwipsRect{1500, 750, 9600, 7200}));
  EXPECT_EQ(PlacementToTwips({150, 75, 1280, 960}, 144, 192), (TwipsRect{1500, 750, 9600, 7200}));
  EXPECT_EQ(PlacementToPixels({1500, 750, 9600, 7200}, 120, 120), (PixelRect{125, 63, 800, 600}));
  for (int dpi : {96, 120, 144, 192}) {
    const PixelRect r{333, 77, 951, 613};
    EXPECT_EQ(PlacementToPixels(PlacementToTwips(r, dpi, dpi), dpi, dpi), r) << dpi;
  }
}

}  // namespace
}  // namespace zelvo
