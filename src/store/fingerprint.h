// A 64-bit hash for telling whether data changed, so that what was derived
// from it can be kept without keeping a copy to compare with. Not meant to
// withstand deliberate collisions; a change of one 8-byte word always shows.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace zelvo {

class Fingerprinter {
 public:
  void Add(uint64_t word) {
    // Each step is a bijection of the state for a given word.
    h_ = (h_ ^ word) * 0xFF51AFD7ED558CCDull;
    h_ ^= h_ >> 32;
  }
  // The length goes in too, so bytes cannot shift between two adds.
  void Add(std::string_view bytes) {
    Add(static_cast<uint64_t>(bytes.size()));
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
      uint64_t word;
      std::memcpy(&word, bytes.data() + i, 8);
      Add(word);
    }
    uint64_t tail = 0;
    std::memcpy(&tail, bytes.data() + i, bytes.size() - i);
    Add(tail);
  }
  // Never 0, which callers may use for "none".
  uint64_t Value() const { return h_ | 1; }

 private:
  uint64_t h_ = 0x9E3779B97F4A7C15ull;
};

}  // namespace zelvo
