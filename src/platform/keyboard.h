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

// What became of keys sent to the foreground window.
enum class Handover {
  Taken,        // the target has read them all
  Unconfirmed,  // that could not be seen in time: another window came to the
                // front, or the target is busy; some may never arrive
  Refused,      // the system did not accept them all (for instance because
                // the target runs with higher rights)
};

class Keyboard {
 public:
  virtual ~Keyboard() = default;
  // Sends the keys to the foreground window and returns once the target has
  // read them, or a while after.
  virtual Handover Send(const KeySequence& keys) = 0;
  // True while the user holds Shift, Ctrl, Alt or a Windows key.
  virtual bool ModifiersHeld() = 0;
  virtual std::unique_ptr<EscapeWatch> WatchForEscape() = 0;
};

}  // namespace zelvo
