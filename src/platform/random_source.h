// The program's pseudo random numbers (cipher seeds and fillers, lock tokens).
#pragma once

namespace zelvo {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual void Reseed(double seed) = 0;
  // Uniform in [0, 1).
  virtual double Next() = 0;
};

}  // namespace zelvo
