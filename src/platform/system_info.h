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
  // The user's own application data folders (Windows: %APPDATA%, which
  // roams with the user, and %LOCALAPPDATA%), with a trailing backslash or
  // slash; empty when the system cannot tell.
  virtual std::string UserDataFolder() = 0;
  virtual std::string LocalUserDataFolder() = 0;
};

}  // namespace zelvo
