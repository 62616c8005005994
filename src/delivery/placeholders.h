// Turning a snippet's unescaped text into the text the target receives:
// included files and the clock placeholders.
#pragma once

#include <cstddef>
#include <string>

#include "platform/clock.h"
#include "platform/file_system.h"

namespace zelvo {

// Files larger than this are not included: typing or pasting them would
// hang the target, and they are never meant as snippet text.
inline constexpr long long kMaxIncludedFileBytes = 16LL * 1024 * 1024;

// The expanded text may not grow beyond this: a text that names a large
// file many times would otherwise exhaust memory on every PC delivering it.
inline constexpr std::size_t kMaxExpandedBytes = 32u * 1024 * 1024;

enum class ExpansionError { None, TooLarge };

// Files are included in one pass over `text`; what came out of a file is
// never searched for files again. A text that would grow beyond
// kMaxExpandedBytes gives an empty string and, when asked for, TooLarge.
std::string ExpandPlaceholders(const std::string& text, Clock& clock, FileSystem& files,
                               ExpansionError* error = nullptr);

// The whole content of an existing normal file as text (UTF-8 or UTF-16
// with a byte-order mark, UTF-8 without one, otherwise Windows-1252); empty
// otherwise. `error` receives the failure of opening or reading and is
// left untouched on success.
std::string ReadWholeFile(FileSystem& files, const std::string& path, FileError& error);

// The texts that stand in the place of a file that cannot be included.
std::string MissingFileText(const std::string& path);
std::string FileTooLargeText(const std::string& path);

}  // namespace zelvo
