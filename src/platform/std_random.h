// A portable random source for the core and native builds.
#pragma once

#include <random>

#include "platform/random_source.h"

namespace zelvo {

class StdRandomSource : public RandomSource {
 public:
  void Reseed(double seed) override;
  double Next() override;

 private:
  std::mt19937 engine_{0x5EED};
};

}  // namespace zelvo
