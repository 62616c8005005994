// Facts about the machine and the logged-on user.
#pragma once

#include <string>

namespace zelvo {

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // Empty when the system cannot tell.
  virtual std::string UserName() = 0;
  virtual std::string ComputerName() = 0;
  // True on the NT family of Windows.
  virtual bool IsNTPlatform() = 0;
  // Folder of the running program, with a trailing backslash or slash.
  virtual std::string ProgramFolder() = 0;
};

}  // namespace zelvo
