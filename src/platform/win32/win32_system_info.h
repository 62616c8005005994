// The logged-on user, the computer and the running program.
#pragma once

#include "platform/system_info.h"

namespace zelvo {

class Win32SystemInfo : public SystemInfo {
 public:
  std::string UserName() override;
  std::string ComputerName() override;
  bool IsNTPlatform() override;
  std::string ProgramFolder() override;
  std::string UserDataFolder() override;
  std::string LocalUserDataFolder() override;
};

}  // namespace zelvo
