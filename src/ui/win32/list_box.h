// Small helpers for list boxes.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

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

// The selected line's text, or nothing when no line is selected.
inline std::optional<std::string> SelectedListText(HWND list) {
  const LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (row == LB_ERR) return std::nullopt;
  return Narrow(ListRowText(list, row));
}

}  // namespace zelvo
