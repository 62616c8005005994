// The main window's resize rule and the placement of windows on the screen,
// all in twips (1/1440 inch), and how twips and the 96-DPI design become
// pixels at the DPI of the monitor a window is on.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "platform/app_settings.h"

namespace zelvo {

struct TwipsRect {
  float left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

struct PixelRect {
  int left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Pixel sizes of the design are sizes at 100 % (96 DPI).
inline constexpr int kDesignDpi = 96;
inline constexpr float kTwipsPerInch = 1440;

// A length of the 96-DPI design at `dpi`, rounded to the nearest pixel
// (halves away from zero, as MulDiv does).
int ScaleToDpi(int length, int dpi);
int TwipsToPixels(float twips, int dpi);
float PixelsToTwips(int pixels, int dpi);
// A rectangle in twips, moved by (dx, dy), as pixels at `dpi`. The edges are
// rounded, not the size, so rectangles that touch in twips touch in pixels.
PixelRect ToPixels(const TwipsRect& r, int dpi, float dx = 0, float dy = 0);

// The stored placement is in twips. The corner is converted with the primary
// screen's DPI, as an older version that knew no DPI stored it (Windows
// scaled it to that DPI), and the size with the DPI of the monitor the window
// is on, so a window keeps its size in inches when the scale changes.
TwipsRect PlacementToTwips(const PixelRect& window, int screenDpi, int windowDpi);
PixelRect PlacementToPixels(const TwipsRect& window, int screenDpi, int windowDpi);

// The controls that follow the window, in the order CaptureLayout takes them.
enum LayoutControl { kListenFrame, kTextFrame, kToolbarFrame, kContainer2, kEntryList, kEditor,
                     kLayoutControlCount };
using LayoutRects = std::array<TwipsRect, kLayoutControlCount>;

// Design geometry, each relative to its container (client area, frame).
inline constexpr float kDesignClientWidth = 9480, kDesignClientHeight = 6510;
inline constexpr LayoutRects kDesignLayout{{
    {30, 720, 2775, 5505},     // ListenFrame "Textbausteine"
    {2880, 720, 6555, 5505},   // TextFrame "Bearbeitung"
    {-1200, -60, 13275, 705},  // ToolbarFrame
    {120, 4440, 6345, 1005},   // Container2, in TextFrame
    {120, 300, 2535, 5055},    // lbEntryList, in ListenFrame
    {120, 300, 6315, 4035},    // ZelvoTextTB, in TextFrame
}};
inline constexpr TwipsRect kDesignToolbar{1200, 120, 10215, 540};  // in ToolbarFrame
inline constexpr float kDesignStatusBarHeight = 255;

class WindowLayout {
 public:
  // The design geometry of the window (outer size) and its controls.
  void Capture(const TwipsRect& window, const LayoutRects& controls);
  bool Captured() const { return captured_; }

  struct Result {
    LayoutRects controls;
    // Set when the window was smaller than its design size in that direction.
    std::optional<float> snapWidth, snapHeight;
  };
  // The controls for a window of the given outer size; every value comes
  // from the design geometry, so repeated resizing never drifts.
  Result Apply(float windowWidth, float windowHeight) const;

  // "Left:Top:Width:Height" of a control's design geometry.
  std::string Record(LayoutControl control) const;

 private:
  TwipsRect window_;
  LayoutRects design_{};
  bool captured_ = false;
};

// Left := (screen − window) \ 2 and the same for Top; the size is kept.
TwipsRect CenterOnScreen(const TwipsRect& window, float screenWidth, float screenHeight);
// 50 design pixels right of and below the main window's top-left corner, at
// the main window's DPI.
inline constexpr int kNearMainWindowOffset = 50;
PixelRect PlaceNearMainWindow(const PixelRect& dialog, const PixelRect& mainWindow, int dpi);

// The per-user keys _Top, _Left, _Width and _Height.
void SaveWindowPlacement(AppSettings& settings, const TwipsRect& window);
// The stored placement where it fits on the primary screen, each dimension
// checked on its own; the design size centred when the corner is off it.
TwipsRect RestoreWindowPlacement(AppSettings& settings, const TwipsRect& design, float screenWidth,
                                 float screenHeight);

// A single-precision number as the settings store keeps it ("1234.5").
std::string SingleText(float v);

}  // namespace zelvo
