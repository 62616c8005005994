// Files, web addresses and command lines handed to Windows.
#pragma once

#include "platform/shell.h"

namespace zelvo {

class Win32Shell : public Shell {
 public:
  void OpenDocument(const std::string& target, ShowMode mode) override;
  bool RunCommand(const std::string& commandLine, ShowMode mode) override;
};

}  // namespace zelvo
