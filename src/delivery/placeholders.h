// Turning a snippet's unescaped text into the text the target receives:
// included files and the clock placeholders.
#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/file_system.h"

namespace zelvo {

// Files larger than this are not included: typing or pasting them would
// hang the target, and they are never meant as snippet text.
inline constexpr long long kMaxIncludedFileBytes = 16LL * 1024 * 1024;

std::string ExpandPlaceholders(const std::string& text, Clock& clock, FileSystem& files);

// The whole content of an existing normal file, converted from Windows-1252;
// empty otherwise. `error` receives the failure of opening or reading and is
// left untouched on success.
std::string ReadWholeFile(FileSystem& files, const std::string& path, FileError& error);

// The texts that stand in the place of a file that cannot be included.
std::string MissingFileText(const std::string& path);
std::string FileTooLargeText(const std::string& path);

}  // namespace zelvo
