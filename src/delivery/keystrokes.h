// Keystroke strings: the encoding of a text for typing, and the parser that
// turns such a string into keys for the Keyboard.
#pragma once

#include <string>

#include "platform/keyboard.h"

namespace zelvo {

// Wraps each of ~ + ^ % ( ) [ ] { } in braces; nothing else is touched.
std::string EscapeKeystrokes(const std::string& text);

// EscapeKeystrokes, then CR becomes "~" and tab becomes "{TAB}".
std::string EncodeKeystrokes(const std::string& text);

// Keystroke strings of the clipboard methods.
inline constexpr const char* kPasteInConsole = "% BE";  // Alt+Space, B, E
inline constexpr const char* kPasteWithCtrlV = "^v";

// Reads exactly what the program produces: "~" Enter, "{TAB}" Tab, "{c}" the
// character c, and "%", "^", "+" holding Alt, Ctrl, Shift for the next key.
// Other characters are typed as themselves; a raw line feed is typed as
// Shift+Enter. Anything else in braces is typed literally.
KeySequence ParseKeystrokes(const std::string& keys);

}  // namespace zelvo
