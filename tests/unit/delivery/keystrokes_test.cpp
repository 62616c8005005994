#include "delivery/keystrokes.h"

#include <gtest/gtest.h>

namespace zelvo {
namespace {

using Kind = KeyStroke::Kind;

KeyStroke Char(char32_t c) { return {Kind::Character, c}; }
KeyStroke Enter(bool shift = false) { return {Kind::Enter, 0, shift, false, false}; }
KeyStroke Tab() { return {Kind::Tab, 0}; }
KeyStroke Key(char32_t c, bool shift, bool ctrl, bool alt) { return {Kind::Key, c, shift, ctrl, alt}; }

KeySequence Chars(std::u32string s) {
  KeySequence out;
  for (char32_t c : s) out.push_back(Char(c));
  return out;
}

KeySequence Join(std::initializer_list<KeySequence> parts) {
  KeySequence out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// What a target would receive, as text: Enter is CR, Shift+Enter a line feed.
std::u32string Typed(const KeySequence& keys) {
  std::u32string out;
  for (const KeyStroke& k : keys) {
    switch (k.kind) {
      case Kind::Enter: out += k.shift ? U'\n' : U'\r'; break;
      case Kind::Tab: out += U'\t'; break;
      default: out += k.ch;
    }
  }
  return out;
}

TEST(KeystrokesTest, EscapeAndEncode) {
  struct Case {
    const char* text;
    const char* escaped;
    const char* encoded;
  } cases[] = {
      {"50% (netto) {fix}", "50{%} {(}netto{)} {{}fix{}}", "50{%} {(}netto{)} {{}fix{}}"},
      {"a~b+c^d[e]", "a{~}b{+}c{^}d{[}e{]}", "a{~}b{+}c{^}d{[}e{]}"},
      {"a\tb\rc", "a\tb\rc", "a{TAB}b~c"},
      {"Hallo\rWelt", "Hallo\rWelt", "Hallo~Welt"},
      {"x\ny", "x\ny", "x\ny"},
      {"Grüße €", "Grüße €", "Grüße €"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeKeystrokes(c.text), c.escaped) << c.text;
    EXPECT_EQ(EncodeKeystrokes(c.text), c.encoded) << c.text;
  }
}

TEST(KeystrokesTest, ParsesWhatTheProgramProduces) {
  struct Case {
    const char* keys;
    KeySequence expected;
  } cases[] = {
      {"Hallo~Welt", Join({Chars(U"Hallo"), {Enter()}, Chars(U"Welt")})},
      {"a{TAB}b", {Char('a'), Tab(), Char('b')}},
      {"{%}{{}{}}{~}{+}{^}{(}{)}{[}{]}", Chars(U"%{}~+^()[]")},
      {"^v", {Key('v', false, true, false)}},
      {"% BE", {Key(' ', false, false, true), Char('B'), Char('E')}},
      {"+a", {Key('a', true, false, false)}},
      {"x\ny", {Char('x'), Enter(true), Char('y')}},
      {"äß€😀", Chars(U"äß€😀")},
      {"{XYZ}", Chars(U"{XYZ}")},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseKeystrokes(c.keys), c.expected) << c.keys;
}

TEST(KeystrokesTest, EncodedTextIsTypedExactly) {
  const std::string text = "50% (netto) {fix} ~+^[]\tTab\rEnter\nLF ÄÖÜäöüß €";
  EXPECT_EQ(Typed(ParseKeystrokes(EncodeKeystrokes(text))),
            U"50% (netto) {fix} ~+^[]\tTab\rEnter\nLF ÄÖÜäöüß €");
  // No text ever holds Ctrl or Alt: Ctrl+Enter sends mails and submits forms.
  for (const KeyStroke& k : ParseKeystrokes(EncodeKeystrokes(text)))
    EXPECT_FALSE(k.alt || k.ctrl || (k.shift && k.kind != Kind::Enter));
}

TEST(KeystrokesTest, MalformedUtf8DoesNotBreakParsing) {
  EXPECT_EQ(ParseKeystrokes("a\xFF" "b\xC3"), Chars(U"a\uFFFDb\uFFFD"));
}

}  // namespace
}  // namespace zelvo
