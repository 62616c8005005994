#include "store/cipher.h"

#include <cmath>

#include "store/codepage.h"
#include "store/text_codes.h"

namespace zelvo {
namespace {

// Key byte of 1-based position i: seed / 2^(i mod 8), rounded half to even.
unsigned KeyByte(unsigned seed, std::size_t i) {
  const double scaled = std::ldexp(static_cast<double>(seed), -static_cast<int>(i % 8));
  return static_cast<unsigned>(RoundHalfEven(scaled)) & 0xFF;
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
  std::string out;
  out.reserve(4 * (cp1252.size() + 1));
  for (std::size_t i = 1; i <= cp1252.size(); ++i) {
    const unsigned c = static_cast<unsigned char>(cp1252[i - 1]);
    const unsigned high = Draw(random, 16);
    const unsigned low = Draw(random, 16);
    out += HexPad(((c ^ KeyByte(seed, i)) << 4) | (high << 12) | low, 4);
  }
  return out + HexPad(seed, 4);
}

std::string DecipherBytes(const std::string& enciphered) {
  const std::size_t n = enciphered.size();
  const unsigned seed = HexWord(enciphered, n >= 4 ? n - 4 : 0);
  std::string out;
  // Groups start at 1-based positions 1, 5, 9, ... up to length - 4.
  for (std::size_t start = 0; start + 5 <= n; start += 4) {
    const unsigned c = (HexWord(enciphered, start) & 0xFF0) >> 4;
    out += static_cast<char>(c ^ KeyByte(seed, out.size() + 1));
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
