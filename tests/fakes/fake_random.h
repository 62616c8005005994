// Random numbers from a script, then from a fixed deterministic sequence.
#pragma once

#include <deque>
#include <vector>

#include "platform/random_source.h"

namespace zelvo {

class FakeRandom : public RandomSource {
 public:
  std::deque<double> values;   // handed out first, in order
  std::vector<double> reseeds;  // every Reseed, in order
  double constant = -1;         // >= 0: returned once `values` is empty

  void Reseed(double seed) override;
  double Next() override;

 private:
  unsigned long long state_ = 1;
};

}  // namespace zelvo
