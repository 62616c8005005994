// Starting with Windows: the Run value "Zelvoscript", and the conversion of
// the Startup-folder shortcut that older releases made.
#pragma once

#include <string>

#include "platform/autostart_platform.h"
#include "platform/services.h"

namespace zelvo {

inline constexpr const char* kRunValueName = "Zelvoscript";

// The Run value's data: the executable's path in quotes (a path with blanks
// would otherwise start the wrong program), a blank and "/AUTOSTART".
std::string AutostartCommandLine(const std::string& exePath);

class Autostart {
 public:
  Autostart(Services& services, AutostartPlatform& platform);

  // Converts an old Startup-folder shortcut into the Run value and returns
  // whether the check box starts ticked. Clicks before this do nothing.
  bool InitAutostartCheck();
  // The check box changed: write or delete the Run value.
  void ApplyAutostart(bool checked);

 private:
  Services& services_;
  AutostartPlatform& platform_;
  bool initialised_ = false;
};

}  // namespace zelvo
