#include "platform/std_random.h"

#include <cstring>

namespace zelvo {

void StdRandomSource::Reseed(double seed) {
  // Every bit of the seed counts, so two reseeds a few milliseconds apart
  // still give different sequences.
  uint64_t bits = 0;
  static_assert(sizeof bits == sizeof seed);
  std::memcpy(&bits, &seed, sizeof bits);
  std::seed_seq seq{static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32)};
  engine_.seed(seq);
}

double StdRandomSource::Next() {
  // 53 random bits, so the result is always below 1.
  const uint64_t a = engine_() >> 5, b = engine_() >> 6;
  return static_cast<double>((a << 26) | b) / 9007199254740992.0;
}

}  // namespace zelvo
