// Room for the tables a reload of a large data file builds.
//
// Windows' heap keeps the blocks it hands out below about 1 MB for later use
// by the same heap, also once they are freed, so a table of tens of
// thousands of rows that lives through one reload would leave the program
// that much bigger for good. Blocks from about 1 MB up come from the system
// and go back to it when freed, and the pages of such a block that are never
// written take no memory. Large tables therefore get at least that size.
#pragma once

#include <algorithm>
#include <cstddef>

namespace zelvo {

inline constexpr std::size_t kSystemBlockBytes = 1024 * 1024 + 4096;

// Capacity for `count` elements of `size` bytes: `count`, or, for a table of
// a quarter of a system block or more, at least a whole one.
inline std::size_t HeapFriendlyCapacity(std::size_t count, std::size_t size) {
  if (count * size < kSystemBlockBytes / 4) return count;
  return std::max(count, kSystemBlockBytes / size + 1);
}

template <class Container>
void ReserveHeapFriendly(Container& c, std::size_t count) {
  c.reserve(HeapFriendlyCapacity(count, sizeof(typename Container::value_type)));
}

}  // namespace zelvo
