#include "search/search_layout.h"

#include <algorithm>

namespace zelvo {
namespace {

// Design sizes at 96 DPI.
constexpr int kWidth = 480, kHeight = 340;
constexpr int kMargin = 6, kEditHeight = 24, kNameColumn = 190;

// One axis: from the pointer forwards, else backwards, else pushed inside.
int Place(int pointer, int size, int low, int high) {
  if (pointer + size <= high) return std::max(pointer, low);
  if (pointer - size >= low) return pointer - size;
  return std::max(low, high - size);
}

}  // namespace

int ScaleForDpi(int units96, int dpi) {
  if (dpi <= 0) dpi = 96;
  return (units96 * dpi + 48) / 96;
}

SearchLayout LayoutSearchWindow(int dpi, int pointerX, int pointerY, const PixelRect& workArea,
                                int border) {
  const auto s = [dpi](int units) { return ScaleForDpi(units, dpi); };
  const int width = std::min(s(kWidth), workArea.Width());
  const int height = std::min(s(kHeight), workArea.Height());
  SearchLayout l;
  l.window.left = Place(pointerX, width, workArea.left, workArea.right);
  l.window.top = Place(pointerY, height, workArea.top, workArea.bottom);
  l.window.right = l.window.left + width;
  l.window.bottom = l.window.top + height;

  const int clientWidth = width - 2 * border, clientHeight = height - 2 * border;
  const int margin = s(kMargin);
  l.edit = {margin, margin, clientWidth - margin, margin + s(kEditHeight)};
  l.list = {margin, l.edit.bottom + margin, clientWidth - margin, clientHeight - margin};
  l.nameColumn = std::min(s(kNameColumn), l.list.Width() / 2);
  return l;
}

}  // namespace zelvo
