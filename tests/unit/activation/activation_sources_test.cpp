#include "activation/activation_sources.h"

#include <gtest/gtest.h>

namespace zelvo {
namespace {

TEST(TrayIcon, LeftPressOpensMenuRightPressToggles) {
  struct Case {
    uint32_t lParam;
    std::optional<int> kind;
  } cases[] = {{0x201, 1}, {0x202, {}}, {0x203, {}}, {0x204, 2},
               {0x205, {}}, {0x206, {}}, {0x200, {}}, {0x207, {}}};
  for (const auto& c : cases) EXPECT_EQ(TrayActivationKind(c.lParam), c.kind) << c.lParam;
}

TEST(BorderStrip, MouseEventsByMode) {
  using E = StripMouseEvent;
  using B = MouseButton;
  struct Case {
    E event;
    B button;
    int byClick;
    std::optional<int> kind;
  } cases[] = {
      {E::Move, B::None, 0, 1},         {E::Move, B::None, 1, {}},
      {E::ButtonDown, B::Left, 0, {}},  {E::ButtonDown, B::Left, 1, 1},
      {E::ButtonDown, B::Right, 1, 2},  {E::ButtonDown, B::Middle, 1, 4},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StripActivationKind(c.event, c.button, c.byClick), c.kind)
        << static_cast<int>(c.event) << " " << static_cast<int>(c.button) << " " << c.byClick;
  }
}

TEST(BorderStrip, AfterAMenuOnlyLeavingAndComingBackOpensTheNext) {
  using E = StripMouseEvent;
  using B = MouseButton;
  StripTrigger strip;
  EXPECT_EQ(strip.OnMouse(E::Move, B::None, 0), 1);
  strip.OnMenuClosed();
  // The system's move after the menu, and the user moving along the strip.
  EXPECT_EQ(strip.OnMouse(E::Move, B::None, 0), std::nullopt);
  EXPECT_EQ(strip.OnMouse(E::Move, B::None, 0), std::nullopt);
  EXPECT_EQ(strip.OnMouse(E::Leave, B::None, 0), std::nullopt);
  EXPECT_EQ(strip.OnMouse(E::Move, B::None, 0), 1);

  // Click mode: a new press opens the next menu at once.
  strip.OnMenuClosed();
  EXPECT_EQ(strip.OnMouse(E::Move, B::None, 1), std::nullopt);
  EXPECT_EQ(strip.OnMouse(E::ButtonDown, B::Left, 1), 1);
}

TEST(BorderStrip, OnePixelAlongTheChosenEdge) {
  struct Case {
    int pos;
    StripRect rect;
  } cases[] = {{0, {0, 0, 1920, 1}},
               {1, {0, 1079, 1920, 1}},
               {2, {0, 0, 1, 1080}},
               {3, {1919, 0, 1, 1080}}};
  for (const auto& c : cases) {
    const StripPlacement p = PlaceBorderStripGeometry(1, c.pos, 1920, 1080);
    EXPECT_TRUE(p.visible);
    EXPECT_EQ(p.rect, c.rect) << c.pos;
  }
  EXPECT_FALSE(PlaceBorderStripGeometry(0, 3, 1920, 1080).visible);
}

TEST(BorderStrip, ColourValues) {
  const StripColour face = DecodeColour(-2147483633);
  EXPECT_TRUE(face.isSystem);
  EXPECT_EQ(face.systemIndex, 15);
  const StripColour red = DecodeColour(0x0000FF);
  EXPECT_FALSE(red.isSystem);
  EXPECT_EQ(red.rgb, 0x0000FFu);
}

}  // namespace
}  // namespace zelvo
