// Output of the test bed's probe programs: UTF-8 lines ending in "\n".
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/wide.h"

namespace zelvo::tools {

inline void Out(const std::wstring& line) {
  std::string utf8 = Narrow(line) + "\n";
  fwrite(utf8.data(), 1, utf8.size(), stdout);
}

// Tabs and line breaks would break the line format of window lists.
inline std::wstring OneLine(std::wstring s) {
  for (wchar_t& c : s)
    if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
  return s;
}

inline std::wstring HwndText(HWND h) {
  wchar_t buffer[32];
  swprintf(buffer, 32, L"0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(h)));
  return buffer;
}

}  // namespace zelvo::tools
