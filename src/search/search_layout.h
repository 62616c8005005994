// Where the search window goes and how big its parts are. Sizes are
// designed at 96 DPI and scaled here, in one place, to the display's DPI.
#pragma once

#include "mainwindow/layout.h"

namespace zelvo {

struct SearchLayout {
  PixelRect window;       // on the screen
  PixelRect edit, list;   // in the window's client area
  PixelRect detail;       // below the list: two lines for the selected entry's name
  int nameColumn = 0;     // width of the list's name column
};

// The window's top-left corner at the pointer, as a popup menu opens; where
// it would cross the work area's right or bottom edge it opens to the left
// of or above the pointer instead, and it never leaves the work area.
// `border` is the width of the window's frame, `lineHeight` the height of a
// line of its font, both in pixels.
SearchLayout LayoutSearchWindow(int dpi, int pointerX, int pointerY, const PixelRect& workArea,
                                int border, int lineHeight);

}  // namespace zelvo
