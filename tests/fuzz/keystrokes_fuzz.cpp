// The keystroke encoding and its parser. Input: any bytes, taken as the
// text to type and as a keystroke string.
//
// Properties: the encoding of a text parses to exactly one key per
// character, in order: Enter for CR, Tab for tab, one Enter for a line
// feed, the character itself, without modifiers, for everything else
// (the keystroke sender's own characters included); any string parses to
// at most one key per character.
#include "delivery/keystrokes.h"
#include "fuzz_support.h"
#include "mainwindow/editor_text.h"

using namespace zelvo;
using namespace zelvo::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string text = TextFrom(bytes);

  const std::u32string chars = ToCodePoints(text);
  const KeySequence keys = ParseKeystrokes(EncodeKeystrokes(text));
  FUZZ_CHECK_EQ(keys.size(), chars.size(), "keys for " + Printable(text));
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const KeyStroke& k = keys[i];
    const std::string where = "character " + std::to_string(i) + " of " + Printable(text);
    switch (chars[i]) {
      case U'\r':
        FUZZ_CHECK(k == KeyStroke{KeyStroke::Kind::Enter});
        break;
      case U'\t':
        FUZZ_CHECK(k == KeyStroke{KeyStroke::Kind::Tab});
        break;
      case U'\n':
        // A line break that is not an Enter of the snippet's own.
        FUZZ_CHECK(k.kind == KeyStroke::Kind::Enter && !k.alt && (k.shift || k.ctrl));
        break;
      default:
        if (!(k == KeyStroke{KeyStroke::Kind::Character, chars[i]}))
          Fail("one plain character per character", __FILE__, __LINE__, where);
    }
  }

  // Strings from anywhere else (a hand-edited file) never give extra keys.
  FUZZ_CHECK(ParseKeystrokes(bytes).size() <= bytes.size());
  return 0;
}
