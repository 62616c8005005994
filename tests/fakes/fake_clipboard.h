// The clipboard in memory; another program reading it is simulated.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/clipboard.h"

namespace zelvo {

class FakeClipboard : public Clipboard {
 public:
  std::optional<std::string> text;
  bool secret = false;
  bool ours = false;  // what is there came from our SetText
  int writes = 0;
  bool accept = true;
  int takenAfterPolls = 0;  // SecretTaken() answers false this many times; < 0: never
  int takenPolls = 0;
  std::vector<std::string>* log = nullptr;

  bool SetText(const std::string& t, bool s) override {
    if (log) log->push_back("clipboard");
    ++writes;
    if (!accept) return false;
    text = t;
    secret = s;
    ours = true;
    return true;
  }
  std::optional<std::string> Text() override { return text; }
  bool SecretTaken() override {
    ++takenPolls;
    return takenAfterPolls >= 0 && takenPolls > takenAfterPolls;
  }
  bool HoldsOurText() override { return ours; }
  bool Clear() override {
    if (log) log->push_back("clear");
    text.reset();
    secret = ours = false;
    return true;
  }
  // Another program copies something.
  void CopyFromElsewhere(const std::string& t) {
    text = t;
    secret = ours = false;
  }
};

}  // namespace zelvo
