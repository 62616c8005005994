#include "platform/file_system.h"

namespace zelvo {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

bool SameIgnoringCase(const std::string& a, std::size_t at, const std::string& b) {
  if (a.size() < at + b.size()) return false;
  for (std::size_t i = 0; i < b.size(); ++i)
    if (LowerAscii(a[at + i]) != LowerAscii(b[i])) return false;
  return true;
}

bool AllDigits(const std::string& s, std::size_t from, std::size_t to) {
  if (from >= to) return false;
  for (std::size_t i = from; i < to; ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

}  // namespace

std::string TempFilePath(const std::string& path, unsigned long process, unsigned long number) {
  return path + "." + std::to_string(process) + "-" + std::to_string(number) + ".tmp";
}

bool IsTempFileOf(const std::string& targetName, const std::string& name) {
  const std::string suffix = ".tmp";
  const std::size_t start = targetName.size() + 1;
  if (targetName.empty() || name.size() < start + suffix.size() ||
      !SameIgnoringCase(name, 0, targetName + ".") ||
      !SameIgnoringCase(name, name.size() - suffix.size(), suffix))
    return false;
  const std::size_t end = name.size() - suffix.size();
  const std::size_t dash = name.find('-', start);
  return dash < end && AllDigits(name, start, dash) && AllDigits(name, dash + 1, end);
}

}  // namespace zelvo
