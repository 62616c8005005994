#include "delivery/keystrokes.h"

#include <string_view>
#include <vector>

#include "store/text_codes.h"

namespace zelvo {

namespace {

constexpr std::string_view kSpecial = "~+^%()[]{}";

// UTF-8 to code points; a malformed byte becomes U+FFFD.
std::u32string DecodeUtf8(const std::string& s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    bool ok = len > 0 && i + len <= s.size();
    for (int k = 1; ok && k < len; ++k) {
      unsigned char cc = static_cast<unsigned char>(s[i + k]);
      ok = (cc & 0xC0) == 0x80;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
    } else {
      out.push_back(cp);
      i += len;
    }
  }
  return out;
}

bool IsKeyCharacter(char32_t c) {
  return c == U' ' || (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') ||
         (c >= U'0' && c <= U'9');
}

}  // namespace

std::string EscapeKeystrokes(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (kSpecial.find(c) != std::string_view::npos) {
      out += '{';
      out += c;
      out += '}';
    } else {
      out += c;
    }
  }
  return out;
}

std::string EncodeKeystrokes(const std::string& text) {
  return ReplaceAll(ReplaceAll(EscapeKeystrokes(text), "\r", "~", false), "\t", "{TAB}", false);
}

KeySequence ParseKeystrokes(const std::string& keys) {
  const std::u32string s = DecodeUtf8(keys);
  KeySequence out;
  KeyStroke held;  // modifiers waiting for their key

  auto press = [&](KeyStroke::Kind kind, char32_t ch) {
    KeyStroke k = held;
    k.kind = kind;
    k.ch = ch;
    // A character under a modifier is a key press (Ctrl+V, Alt+Space), not text.
    if (kind == KeyStroke::Kind::Character && (k.shift || k.ctrl || k.alt) && IsKeyCharacter(ch))
      k.kind = KeyStroke::Kind::Key;
    out.push_back(k);
    held = KeyStroke{};
  };

  for (size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    switch (c) {
      case U'%': held.alt = true; continue;
      case U'^': held.ctrl = true; continue;
      case U'+': held.shift = true; continue;
      case U'~': press(KeyStroke::Kind::Enter, 0); continue;
      case U'\n': {
        // A line break that stays inside the field: Shift+Enter never sends
        // a mail or submits a form, as Ctrl+Enter or Enter may.
        held.shift = true;
        press(KeyStroke::Kind::Enter, 0);
        continue;
      }
      case U'{': {
        if (i + 2 < s.size() && s[i + 2] == U'}') {
          press(KeyStroke::Kind::Character, s[i + 1]);
          i += 2;
          continue;
        }
        if (s.compare(i, 5, U"{TAB}") == 0) {
          press(KeyStroke::Kind::Tab, 0);
          i += 4;
          continue;
        }
        break;  // not a form we produce: typed literally
      }
      default: break;
    }
    press(KeyStroke::Kind::Character, c);
  }
  return out;
}

}  // namespace zelvo
