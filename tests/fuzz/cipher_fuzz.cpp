// The cipher of enciphered snippet texts. Input: a seed, filler choices and
// a text; the whole input is also taken as a stored value as it is.
//
// Properties: any stored value deciphers to one character per full group
// before the seed; enciphering gives 4 hex digits per character plus the
// seed and deciphers to the text for any seed and filler; the filler digits
// do not matter; the UTF-8 functions round-trip every 1252 character.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>

#include "fakes/fake_clock.h"
#include "fakes/fake_random.h"
#include "fuzz_support.h"
#include "store/cipher.h"
#include "store/text_codes.h"

using namespace zelvo;
using namespace zelvo::fuzz;

namespace {

bool IsUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

std::size_t CodePoints(const std::string& utf8) {
  std::size_t n = 0;
  for (char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string whole(reinterpret_cast<const char*>(data), size);

  // Whatever a hand-edited file holds deciphers to a text of fixed length.
  const std::size_t groups = whole.empty() ? 0 : (whole.size() - 1) / 4;
  FUZZ_CHECK_EQ(DecipherBytes(whole).size(), groups, "deciphered length of " + Printable(whole));
  const std::string shown = DecipherText(whole);
  FUZZ_CHECK(IsValidUtf8(shown));
  FUZZ_CHECK_EQ(CodePoints(shown), groups, "characters of the deciphered text");

  FuzzedDataProvider fdp(data, size);
  const unsigned seed = fdp.ConsumeIntegral<uint16_t>();
  FakeRandom random;
  for (int i = fdp.ConsumeIntegralInRange(0, 64); i > 0; --i)
    random.values.push_back(std::min(fdp.ConsumeProbability<double>(), std::nextafter(1.0, 0.0)));
  const std::string text = fdp.ConsumeRemainingBytesAsString();

  const std::string stored = EncipherBytes(text, seed, random);
  FUZZ_CHECK_EQ(stored.size(), 4 * (text.size() + 1), "enciphered length");
  for (char c : stored) FUZZ_CHECK(IsUpperHex(c));
  FUZZ_CHECK_EQ(stored.substr(stored.size() - 4), HexPad(seed, 4), "seed at the end");
  FUZZ_CHECK_EQ(DecipherBytes(stored), text, "encipher then decipher, seed " + std::to_string(seed));

  // Other filler digits (first and last of each character's group), and
  // lower-case digits, read the same.
  std::string refilled = stored;
  for (std::size_t g = 0; g < text.size(); ++g) {
    refilled[4 * g] = "0123456789abcdef"[(g * 7 + seed) % 16];
    refilled[4 * g + 3] = "fedcba9876543210"[(g * 5 + seed) % 16];
  }
  FUZZ_CHECK_EQ(DecipherBytes(refilled), text, "other filler digits");

  // The program's own way: UTF-8 in and out, 1252 inside.
  FakeClock clock;
  clock.secondsSinceMidnight = seed * 1.5;
  const std::string utf8 = TextFrom(text);
  FUZZ_CHECK_EQ(DecipherText(EncipherText(utf8, random, clock)), Cp1252ToUtf8(Utf8ToCp1252(utf8)),
                "EncipherText then DecipherText");
  return 0;
}
