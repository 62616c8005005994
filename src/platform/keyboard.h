// Simulated keyboard input for the foreground window.
#pragma once

#include <memory>
#include <vector>

namespace zelvo {

struct KeyStroke {
  enum class Kind {
    Character,  // types `ch` as a Unicode character, whatever the layout
    Enter,
    Tab,
    Key,        // presses the key that carries `ch` (a letter, digit or space)
  };
  Kind kind = Kind::Character;
  char32_t ch = 0;
  bool shift = false, ctrl = false, alt = false;  // held while the key is pressed

  friend bool operator==(const KeyStroke&, const KeyStroke&) = default;
};

using KeySequence = std::vector<KeyStroke>;

// Notices the user pressing Esc while it exists. Our own simulated input
// never counts, and the Esc is not passed on to the target.
class EscapeWatch {
 public:
  virtual ~EscapeWatch() = default;
  virtual bool Pressed() = 0;
};

class Keyboard {
 public:
  virtual ~Keyboard() = default;
  // Sends the keys to the foreground window and returns once the input has
  // been handed over. False when the system did not accept all of it (for
  // instance because the target runs with higher rights).
  virtual bool Send(const KeySequence& keys) = 0;
  // True while the user holds Shift, Ctrl, Alt or a Windows key.
  virtual bool ModifiersHeld() = 0;
  virtual std::unique_ptr<EscapeWatch> WatchForEscape() = 0;
};

}  // namespace zelvo
