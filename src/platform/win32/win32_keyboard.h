// Keyboard over SendInput: characters as Unicode key events, named keys and
// keys under modifiers as virtual keys.
#pragma once

#include "platform/keyboard.h"

namespace zelvo {

class Win32Keyboard : public Keyboard {
 public:
  // Windows silently drops input beyond roughly 5,000 events per call, so
  // every call stays far below that.
  static constexpr int kMaxEventsPerCall = 400;
  // How long one batch may take the target to handle before we go on.
  static constexpr int kHandOverTimeoutMs = 2000;

  bool Send(const KeySequence& keys) override;
  bool ModifiersHeld() override;
  // A low-level keyboard hook on a thread of its own, so that it answers at
  // once while this thread is busy sending; it tells the user's keys from
  // ours by the injected flag.
  std::unique_ptr<EscapeWatch> WatchForEscape() override;
};

}  // namespace zelvo
