#include "store/cipher.h"

#include <array>
#include <cmath>

#include "store/codepage.h"
#include "store/text_codes.h"

namespace zelvo {
namespace {

// Key bytes by position mod 8: seed / 2^(i mod 8), rounded half to even.
std::array<unsigned, 8> KeyBytes(unsigned seed) {
  std::array<unsigned, 8> keys{};
  for (int m = 0; m < 8; ++m)
    keys[m] = static_cast<unsigned>(RoundHalfEven(std::ldexp(static_cast<double>(seed), -m))) & 0xFF;
  return keys;
}

// Up to four hex digits, stopping at the first other character.
unsigned HexWord(const std::string& s, std::size_t start) {
  unsigned v = 0;
  for (std::size_t k = start; k < start + 4 && k < s.size(); ++k) {
    const char c = s[k];
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else break;
    v = v * 16 + static_cast<unsigned>(d);
  }
  return v;
}

unsigned Draw(RandomSource& random, unsigned range) {
  const auto v = static_cast<unsigned>(std::floor(random.Next() * range));
  return v < range ? v : range - 1;
}

}  // namespace

std::string EncipherBytes(const std::string& cp1252, unsigned seed, RandomSource& random) {
  seed &= 0xFFFF;
  const auto keys = KeyBytes(seed);
  std::string out(4 * (cp1252.size() + 1), '0');
  const auto put = [&out](std::size_t group, unsigned word) {
    static const char digits[] = "0123456789ABCDEF";
    for (int k = 3; k >= 0; --k, word >>= 4) out[4 * group + k] = digits[word & 0xF];
  };
  for (std::size_t i = 1; i <= cp1252.size(); ++i) {
    const unsigned c = static_cast<unsigned char>(cp1252[i - 1]);
    const unsigned high = Draw(random, 16);
    const unsigned low = Draw(random, 16);
    put(i - 1, ((c ^ keys[i % 8]) << 4) | (high << 12) | low);
  }
  put(cp1252.size(), seed);
  return out;
}

std::string DecipherBytes(const std::string& enciphered) {
  const std::size_t n = enciphered.size();
  const auto keys = KeyBytes(HexWord(enciphered, n >= 4 ? n - 4 : 0));
  std::string out;
  // Groups start at 1-based positions 1, 5, 9, ... up to length - 4.
  for (std::size_t start = 0; start + 5 <= n; start += 4) {
    const unsigned c = (HexWord(enciphered, start) & 0xFF0) >> 4;
    out += static_cast<char>(c ^ keys[(out.size() + 1) % 8]);
  }
  return out;
}

std::string EncipherText(const std::string& text, RandomSource& random, Clock& clock) {
  random.Reseed(clock.SecondsSinceMidnight());
  const unsigned seed = Draw(random, 65536);
  return EncipherBytes(Utf8ToCp1252(text), seed, random);
}

std::string DecipherText(const std::string& enciphered) {
  return Cp1252ToUtf8(DecipherBytes(enciphered));
}

}  // namespace zelvo
