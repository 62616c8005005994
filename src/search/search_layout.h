// Where the search window goes and how big its parts are. Sizes are
// designed at 96 DPI and scaled here, in one place, to the display's DPI.
#pragma once

namespace zelvo {

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const PixelRect&) const = default;
};

struct SearchLayout {
  PixelRect window;       // on the screen
  PixelRect edit, list;   // in the window's client area
  int nameColumn = 0;     // width of the list's name column
};

int ScaleForDpi(int units96, int dpi);

// The window's top-left corner at the pointer, as a popup menu opens; where
// it would cross the work area's right or bottom edge it opens to the left
// of or above the pointer instead, and it never leaves the work area.
// `border` is the width of the window's frame, in pixels.
SearchLayout LayoutSearchWindow(int dpi, int pointerX, int pointerY, const PixelRect& workArea,
                                int border);

}  // namespace zelvo
