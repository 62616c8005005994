// Starting other programs by command line.
#pragma once

#include <string>

namespace zelvo {

class Shell {
 public:
  virtual ~Shell() = default;
  // Starts the command line with a normal, focused window; false on failure.
  virtual bool StartCommandLine(const std::string& commandLine) = 0;
};

}  // namespace zelvo
