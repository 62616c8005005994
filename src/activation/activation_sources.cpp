#include "activation/activation_sources.h"

namespace zelvo {

std::optional<int> TrayActivationKind(uint32_t mouseMessage) {
  switch (mouseMessage) {
    case 0x0201:  // WM_LBUTTONDOWN
      return 1;
    case 0x0204:  // WM_RBUTTONDOWN
      return 2;
    default:
      return std::nullopt;
  }
}

std::optional<int> StripActivationKind(StripMouseEvent event, MouseButton button, int byClick) {
  if (event == StripMouseEvent::Leave) return std::nullopt;
  if (event == StripMouseEvent::Move) {
    if (byClick == 0) return 1;
    return std::nullopt;
  }
  if (byClick == 0 || button == MouseButton::None) return std::nullopt;
  return static_cast<int>(button);
}

std::optional<int> StripTrigger::OnMouse(StripMouseEvent event, MouseButton button, int byClick) {
  if (event == StripMouseEvent::Leave) waitForLeave_ = false;
  if (event == StripMouseEvent::Move && waitForLeave_) return std::nullopt;
  return StripActivationKind(event, button, byClick);
}

StripPlacement PlaceBorderStripGeometry(int viaBorder, int pos, int screenWidth, int screenHeight) {
  StripPlacement p;
  if (viaBorder == 0) return p;
  p.visible = true;
  if (pos > 1) {
    p.rect = {pos == 3 ? screenWidth - 1 : 0, 0, 1, screenHeight};
  } else {
    p.rect = {0, pos == 1 ? screenHeight - 1 : 0, screenWidth, 1};
  }
  return p;
}

StripColour DecodeColour(int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  StripColour c;
  if (v & 0x80000000u) {
    c.isSystem = true;
    c.systemIndex = static_cast<int>(v & 0xFFu);
  } else {
    c.rgb = v & 0x00FFFFFFu;
  }
  return c;
}

}  // namespace zelvo
