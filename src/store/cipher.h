// Keyless scrambling of enciphered snippet texts (hex words with a seed).
#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/random_source.h"

namespace zelvo {

// Both take and give UTF-8; the cipher itself works on Windows-1252 codes.
std::string EncipherText(const std::string& text, RandomSource& random, Clock& clock);
std::string DecipherText(const std::string& enciphered);

// The core with a given seed; the filler nibbles come from `random`.
std::string EncipherBytes(const std::string& cp1252, unsigned seed, RandomSource& random);
std::string DecipherBytes(const std::string& enciphered);

}  // namespace zelvo
