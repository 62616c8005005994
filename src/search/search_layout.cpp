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

SearchLayout LayoutSearchWindow(int dpi, int pointerX, int pointerY, const PixelRect& workArea,
                                int border, int lineHeight) {
  const auto s = [dpi](int units) { return ScaleToDpi(units, dpi); };
  const int width = std::min(s(kWidth), workArea.width);
  const int height = std::min(s(kHeight), workArea.height);
  SearchLayout l;
  l.window = {Place(pointerX, width, workArea.left, workArea.left + workArea.width),
              Place(pointerY, height, workArea.top, workArea.top + workArea.height), width, height};

  const int clientWidth = width - 2 * border, clientHeight = height - 2 * border;
  const int margin = s(kMargin);
  l.edit = {margin, margin, clientWidth - 2 * margin, s(kEditHeight)};
  const int listTop = l.edit.top + l.edit.height + margin;
  const int detailHeight = 2 * lineHeight;
  l.detail = {margin, clientHeight - margin - detailHeight, clientWidth - 2 * margin, detailHeight};
  l.list = {margin, listTop, clientWidth - 2 * margin, l.detail.top - margin - listTop};
  l.nameColumn = std::min(s(kNameColumn), l.list.width / 2);
  return l;
}

}  // namespace zelvo
