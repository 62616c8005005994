// Windows-1252 bytes at the file boundary, UTF-8 inside the program.
#pragma once

#include <string>

namespace zelvo {

std::string Cp1252ToUtf8(const std::string& bytes);
// Characters Windows-1252 cannot represent become "?".
std::string Utf8ToCp1252(const std::string& text);

}  // namespace zelvo
