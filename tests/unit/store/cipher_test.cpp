#include "store/cipher.h"

#include <gtest/gtest.h>

#include "fakes/fake_clock.h"
#include "fakes/fake_random.h"

namespace zelvo {
namespace {

TEST(Cipher, WorkedExample) {
  FakeRandom zeros;
  zeros.constant = 0;
  EXPECT_EQ(EncipherBytes("abc", 0x1234, zeros), "07B00EF002501234");
  EXPECT_EQ(DecipherBytes("07B00EF002501234"), "abc");
  // Filler nibbles do not matter.
  EXPECT_EQ(DecipherBytes("F7B5AEFAC25F1234"), "abc");
  FakeRandom ones;
  ones.constant = 0.99;
  EXPECT_EQ(EncipherBytes("abc", 0x1234, ones), "F7BFFEFFF25F1234");
}

TEST(Cipher, EmptyAndMalformedInput) {
  FakeRandom random;
  const std::string empty = EncipherBytes("", 0xBEEF, random);
  EXPECT_EQ(empty, "BEEF");
  EXPECT_EQ(DecipherBytes(empty), "");
  EXPECT_EQ(DecipherBytes(""), "");
  EXPECT_EQ(DecipherBytes("12"), "");
  EXPECT_EQ(DecipherBytes("zz!!1234").size(), 1u);  // non-hex reads as 0, never fails
  // Lower-case hex as an editor might leave it.
  EXPECT_EQ(DecipherBytes("07b00ef002501234"), "abc");
}

TEST(Cipher, EverySeedRoundTripsAllCodes) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  // Fillers change with every draw; they must never matter.
  struct Counter : RandomSource {
    unsigned n = 0;
    void Reseed(double) override {}
    double Next() override { return (n++ % 16) / 16.0; }
  } random;
  for (unsigned seed = 0; seed <= 0xFFFF; ++seed) {
    const std::string enc = EncipherBytes(all, seed, random);
    ASSERT_EQ(enc.size(), 4 * (all.size() + 1));
    ASSERT_EQ(DecipherBytes(enc), all) << "seed " << seed;
  }
}

TEST(Cipher, TextLevelReseedsFromClockAndKeepsUtf8) {
  FakeRandom random;
  FakeClock clock;
  random.values = {0.5};  // seed 32768: the top bit set
  const std::string text = "Grüße \\N \\H 5 €";
  const std::string enc = EncipherText(text, random, clock);
  EXPECT_EQ(random.reseeds, std::vector<double>{clock.secondsSinceMidnight});
  EXPECT_EQ(enc.substr(enc.size() - 4), "8000");
  EXPECT_EQ(DecipherText(enc), text);
  const std::string first = EncipherText(text, random, clock);
  clock.secondsSinceMidnight += 0.02;
  EXPECT_NE(EncipherText(text, random, clock), first);
}

}  // namespace
}  // namespace zelvo
