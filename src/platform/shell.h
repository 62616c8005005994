// Handing files, addresses and command lines to the system shell.
#pragma once

#include <string>

namespace zelvo {

// How a started program's window first appears.
enum class ShowMode { Normal = 1, Minimized = 2, Maximized = 3 };

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens a file or web address with the program the system associates
  // with it (the default browser for addresses and HTML pages). The result
  // is not reported: without a browser nothing happens.
  virtual void OpenDocument(const std::string& target, ShowMode mode) = 0;
  // Starts a program from a command line without waiting for it. False
  // when it could not be started.
  virtual bool RunCommand(const std::string& commandLine, ShowMode mode) = 0;
};

}  // namespace zelvo
