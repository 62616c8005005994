// How the tray icon's and the border strip's mouse events become activations,
// and where the strip lies.
#pragma once

#include <cstdint>
#include <optional>

namespace zelvo {

// The tray icon's callback message carries the mouse event in lParam: a left
// press opens the menu (kind 1), a right press toggles the main window (2).
std::optional<int> TrayActivationKind(uint32_t mouseMessage);

enum class StripMouseEvent { Move, ButtonDown, Leave };
// Button codes double as activation kinds: 1 left, 2 right, 4 middle.
enum class MouseButton { None = 0, Left = 1, Right = 2, Middle = 4 };

// Mouse-over mode (byClick 0) opens the menu on every move; click mode on a
// press, with the button's code as the kind.
std::optional<int> StripActivationKind(StripMouseEvent event, MouseButton button, int byClick);

// The strip's mouse events over time. When a menu closes while the pointer
// rests on the strip, the system sends the strip a move of its own; in
// mouse-over mode that would pop the menu up again (after Escape, or over
// the target after a keyboard choice). So after a menu the strip opens the
// next one only once the pointer has left it and come back; click mode
// needs a new press anyway.
class StripTrigger {
 public:
  std::optional<int> OnMouse(StripMouseEvent event, MouseButton button, int byClick);
  // After the snippet menu has closed; the view then asks to hear when the
  // pointer leaves the strip (at once when it is not on it).
  void OnMenuClosed() { waitForLeave_ = true; }

 private:
  bool waitForLeave_ = false;
};

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
