// The clipboard in memory.
#pragma once

#include <string>
#include <vector>

#include "platform/clipboard.h"

namespace zelvo {

class FakeClipboard : public Clipboard {
 public:
  std::string text;
  bool secret = false;
  int writes = 0;
  bool accept = true;
  std::vector<std::string>* log = nullptr;

  bool SetText(const std::string& t, bool s) override {
    if (log) log->push_back("clipboard");
    ++writes;
    if (!accept) return false;
    text = t;
    secret = s;
    return true;
  }
};

}  // namespace zelvo
