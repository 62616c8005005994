// Small helpers for the list boxes of the dialogs.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/wide.h"

namespace zelvo {

// The selected line's text, or nothing when no line is selected.
inline std::optional<std::string> SelectedListText(HWND list) {
  const LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (row == LB_ERR) return std::nullopt;
  const LRESULT n = SendMessageW(list, LB_GETTEXTLEN, row, 0);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(n));
  return Narrow(text);
}

}  // namespace zelvo
