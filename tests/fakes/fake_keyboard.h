// Records the keys sent; can pretend modifiers are held or input is refused.
#pragma once

#include <string>
#include <vector>

#include "platform/keyboard.h"

namespace zelvo {

class FakeKeyboard : public Keyboard {
 public:
  std::vector<KeySequence> sent;
  int modifiersHeldChecks = 0;  // ModifiersHeld() answers true this many times
  int modifierQueries = 0;
  bool accept = true;
  std::vector<std::string>* log = nullptr;

  bool Send(const KeySequence& keys) override {
    if (log) log->push_back("send");
    sent.push_back(keys);
    return accept;
  }
  bool ModifiersHeld() override {
    ++modifierQueries;
    if (modifiersHeldChecks > 0) {
      --modifiersHeldChecks;
      return true;
    }
    return false;
  }
};

}  // namespace zelvo
