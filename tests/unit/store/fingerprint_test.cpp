#include "store/fingerprint.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "store/snippet_store.h"

namespace zelvo {
namespace {

uint64_t Of(const std::string& bytes) {
  Fingerprinter f;
  f.Add(bytes);
  return f.Value();
}

TEST(Fingerprint, EveryChangedByteAndEveryShiftBetweenNamesShows) {
  const std::string text = "[Name]\r\n1=Gru\xDF" "formel\r\n2=Angebot\r\n";
  std::set<uint64_t> seen{Of(text), Of(text + " "), Of(text.substr(1))};
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::string changed = text;
    changed[i] ^= 0x20;
    seen.insert(Of(changed));
  }
  EXPECT_EQ(seen.size(), text.size() + 3);

  EXPECT_NE(EntryListFingerprint({{"ab", 1}, {"c", 2}}), EntryListFingerprint({{"a", 1}, {"bc", 2}}));
  EXPECT_NE(EntryListFingerprint({{"a", 1}, {"b", 2}}), EntryListFingerprint({{"a", 2}, {"b", 1}}));
  EXPECT_EQ(EntryListFingerprint({{"a", 1}}), EntryListFingerprint({{"a", 1}}));
}

}  // namespace
}  // namespace zelvo
