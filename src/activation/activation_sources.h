// How the tray icon's and the border strip's mouse events become activations,
// and where the strip lies.
#pragma once

#include <cstdint>
#include <optional>

namespace zelvo {

// The tray icon's callback message carries the mouse event in lParam: a left
// press opens the menu (kind 1), a right press toggles the main window (2).
std::optional<int> TrayActivationKind(uint32_t mouseMessage);

enum class StripMouseEvent { Move, ButtonDown };
// Button codes double as activation kinds: 1 left, 2 right, 4 middle.
enum class MouseButton { None = 0, Left = 1, Right = 2, Middle = 4 };

// Mouse-over mode (byClick 0) opens the menu on every move; click mode on a
// press, with the button's code as the kind.
std::optional<int> StripActivationKind(StripMouseEvent event, MouseButton button, int byClick);

struct StripRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const StripRect&) const = default;
};
struct StripPlacement {
  bool visible = false;
  StripRect rect;
};
// One pixel along the edge `pos` (0 top, 1 bottom, 2 left, 3 right) of the
// primary screen while border activation is on; hidden otherwise.
StripPlacement PlaceBorderStripGeometry(int viaBorder, int pos, int screenWidth, int screenHeight);

// Colour values: 0x00BBGGRR, or 0x80000000 plus a system-colour index.
struct StripColour {
  bool isSystem = false;
  int systemIndex = 0;
  uint32_t rgb = 0;  // 0x00BBGGRR
};
StripColour DecodeColour(int32_t value);

}  // namespace zelvo
