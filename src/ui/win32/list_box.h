// Small helpers for list boxes.
#pragma once

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/wide.h"

namespace zelvo {

// One line's text as the list box holds it; empty for a row it lacks.
inline std::wstring ListRowText(HWND list, LRESULT row) {
  const LRESULT n = SendMessageW(list, LB_GETTEXTLEN, row, 0);
  if (n == LB_ERR) return {};
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(n));
  return text;
}

// Replaces the lines with `count` lines, `line(i)` each, drawn once at the end.
template <class Line>
void FillList(HWND list, std::size_t count, const Line& line) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  SendMessageW(list, LB_INITSTORAGE, count, count * 32);
  for (std::size_t i = 0; i < count; ++i)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(line(i)).c_str()));
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

inline void FillList(HWND list, const std::vector<std::string>& lines) {
  FillList(list, lines.size(), [&](std::size_t i) -> const std::string& { return lines[i]; });
}

// The width in pixels of the widest line in `font`, for a list that scrolls
// sideways exactly as far as its longest line needs.
inline int WidestListRow(HWND list, HFONT font) {
  int widest = 0;
  HDC dc = GetDC(list);
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, font);
  const LRESULT rows = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT row = 0; row < rows; ++row) {
    const std::wstring w = ListRowText(list, row);
    SIZE size{};
    GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
    widest = std::max(widest, static_cast<int>(size.cx));
  }
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  return widest;
}

// The selected line's text, or nothing when no line is selected.
inline std::optional<std::string> SelectedListText(HWND list) {
  const LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (row == LB_ERR) return std::nullopt;
  return Narrow(ListRowText(list, row));
}

}  // namespace zelvo
