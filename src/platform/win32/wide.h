// The two conversions between the program's UTF-8 and Windows' UTF-16.
#pragma once

#include <string>

namespace zelvo {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);
std::string Narrow(const wchar_t* utf16, size_t length);

}  // namespace zelvo
