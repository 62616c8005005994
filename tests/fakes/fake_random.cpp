#include "fakes/fake_random.h"

#include <cstring>

namespace zelvo {

void FakeRandom::Reseed(double seed) {
  reseeds.push_back(seed);
  std::memcpy(&state_, &seed, sizeof state_);
  state_ |= 1;
}

double FakeRandom::Next() {
  if (!values.empty()) {
    const double v = values.front();
    values.pop_front();
    return v;
  }
  if (constant >= 0) return constant;
  state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
  return static_cast<double>(state_ >> 11) / 9007199254740992.0;
}

}  // namespace zelvo
