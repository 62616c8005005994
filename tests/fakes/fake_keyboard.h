// Records the keys sent; can pretend modifiers are held, input is refused
// or the user presses Esc.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/keyboard.h"

namespace zelvo {

class FakeKeyboard : public Keyboard {
 public:
  std::vector<KeySequence> sent;  // one element per Send call
  int modifiersHeldChecks = 0;    // ModifiersHeld() answers true this many times
  int modifierQueries = 0;
  bool accept = true;
  int acceptCalls = -1;  // when >= 0: Send calls accepted before refusing
  Handover handover = Handover::Taken;  // of the keys accepted
  bool escapePressed = false;
  int escapeWatches = 0, openEscapeWatches = 0;
  std::function<void()> afterSend;  // the world changing while keys are typed
  std::vector<std::string>* log = nullptr;

  Handover Send(const KeySequence& keys) override {
    if (log) log->push_back("send");
    if (acceptCalls == 0 || !accept) return Handover::Refused;
    if (acceptCalls > 0) --acceptCalls;
    sent.push_back(keys);
    if (afterSend) afterSend();
    return handover;
  }
  bool ModifiersHeld() override {
    ++modifierQueries;
    if (modifiersHeldChecks > 0) {
      --modifiersHeldChecks;
      return true;
    }
    return false;
  }
  std::unique_ptr<EscapeWatch> WatchForEscape() override {
    ++escapeWatches;
    return std::make_unique<Watch>(*this);
  }

  // Everything typed, in order.
  KeySequence AllSent() const {
    KeySequence all;
    for (const auto& s : sent) all.insert(all.end(), s.begin(), s.end());
    return all;
  }

 private:
  struct Watch : EscapeWatch {
    explicit Watch(FakeKeyboard& k) : keyboard(k) { ++keyboard.openEscapeWatches; }
    ~Watch() override { --keyboard.openEscapeWatches; }
    bool Pressed() override { return keyboard.escapePressed; }
    FakeKeyboard& keyboard;
  };
};

}  // namespace zelvo
