// A shell that records what it was asked to open or start.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/shell.h"

namespace zelvo {

class FakeShell : public Shell {
 public:
  std::vector<std::pair<std::string, ShowMode>> opened;
  std::vector<std::string> commands;
  bool failCommands = false;

  void OpenDocument(const std::string& target, ShowMode mode) override { opened.push_back({target, mode}); }
  bool RunCommand(const std::string& commandLine, ShowMode mode) override {
    commands.push_back(commandLine);
    return !failCommands;
  }
};

}  // namespace zelvo
