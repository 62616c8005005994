// The code-page conversion at the file boundary. Input: any bytes.
//
// Properties: 1252 to UTF-8 gives valid UTF-8 that converts back byte for
// byte; the UTF-8 decoder accepts exactly the valid sequences (checked
// against the standard's table) and re-encodes them to the same bytes;
// UTF-8 to 1252 gives one byte per character; upper-casing keeps every
// character's length (searches use positions in the upper-cased copy) and
// agrees between the 1252 and the UTF-8 form.
#include <set>

#include "fuzz_support.h"
#include "store/text_codes.h"

using namespace zelvo;
using namespace zelvo::fuzz;

namespace {

// The characters 1252 holds, from its own 256 bytes.
const std::set<char32_t>& Cp1252Characters() {
  static const std::set<char32_t> all = [] {
    std::set<char32_t> s;
    for (int b = 0; b < 256; ++b) {
      const std::string one = Cp1252ToUtf8(std::string(1, static_cast<char>(b)));
      char32_t cp = 0;
      DecodeUtf8At(one, 0, cp);
      s.insert(cp);
    }
    return s;
  }();
  return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  // Any 1252 bytes, as a file holds them.
  const std::string text = Cp1252ToUtf8(bytes);
  FUZZ_CHECK(IsValidUtf8(text));
  FUZZ_CHECK_EQ(Utf8ToCp1252(text), bytes, "1252 -> UTF-8 -> 1252");
  FUZZ_CHECK_EQ(Cp1252ToUtf8(UpperCp1252(bytes)), ToUpperLocale(text), "upper case of 1252 and UTF-8");

  // The same bytes as UTF-8: the decoder walks them sequence by sequence.
  bool valid = true;
  std::size_t characters = 0;
  std::string reencoded;
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8At(bytes, i, cp);
    FUZZ_CHECK(len >= 1 && len <= 4 && i + len <= bytes.size());
    if (cp == kInvalidCodePoint) {
      FUZZ_CHECK(len == 1);
      valid = false;
    } else {
      FUZZ_CHECK(IsValidUtf8(bytes.substr(i, len)));
      FUZZ_CHECK_EQ(ToUpperLocale(bytes.substr(i, len)).size(), len, "upper case of one character");
      AppendUtf8(reencoded, cp);
      FUZZ_CHECK_EQ(reencoded.substr(reencoded.size() - len), bytes.substr(i, len), "re-encoding");
    }
    ++characters;
    i += len;
  }
  FUZZ_CHECK_EQ(valid, IsValidUtf8(bytes), "decoder accepts exactly valid UTF-8: " + Printable(bytes));

  // Every character (or invalid byte) becomes one 1252 byte, "?" when 1252
  // lacks it, and 1252 characters survive the way back.
  const std::string narrowed = Utf8ToCp1252(bytes);
  FUZZ_CHECK_EQ(narrowed.size(), characters, "one byte per character");
  if (valid) {
    const std::string back = Cp1252ToUtf8(narrowed);
    std::size_t i = 0, k = 0;
    while (i < bytes.size()) {
      char32_t a = 0, b = 0;
      const std::size_t la = DecodeUtf8At(bytes, i, a);
      const std::size_t lb = DecodeUtf8At(back, k, b);
      FUZZ_CHECK(b == (Cp1252Characters().count(a) ? a : U'?'));
      i += la;
      k += lb;
    }
  }

  const std::string upper = ToUpperLocale(bytes);
  FUZZ_CHECK_EQ(upper.size(), bytes.size(), "upper case keeps the length");
  FUZZ_CHECK_EQ(IsValidUtf8(upper), valid, "upper case keeps validity");
  return 0;
}
