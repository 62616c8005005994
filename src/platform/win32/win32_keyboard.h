// Keyboard over SendInput: characters as Unicode key events, named keys and
// keys under modifiers as virtual keys.
#pragma once

#include "platform/keyboard.h"

namespace zelvo {

class Win32Keyboard : public Keyboard {
 public:
  // Windows silently drops input beyond roughly 5,000 events per call, so
  // every call stays far below that; after each call we wait until the
  // target has read the keys, so a small call also keeps typing in step
  // with a slow target.
  static constexpr int kMaxEventsPerCall = 200;
  // How long one call's keys may take the target to read before we go on
  // (Wine's notepad reads a few dozen characters a second).
  static constexpr int kHandOverTimeoutMs = 5000;

  Handover Send(const KeySequence& keys) override;
  bool ModifiersHeld() override;
  // A low-level keyboard hook on a thread of its own, so that it answers at
  // once while this thread is busy sending; it tells the user's keys from
  // ours by the injected flag.
  std::unique_ptr<EscapeWatch> WatchForEscape() override;
};

}  // namespace zelvo
