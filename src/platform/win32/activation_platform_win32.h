// Starting programs and the autostart entries on Windows.
#pragma once

#include "platform/autostart_platform.h"
#include "platform/shell.h"

namespace zelvo {

// HKEY_CURRENT_USER\SOFTWARE\Microsoft\Windows\CurrentVersion\Run and the
// "Startup" value of ...\Explorer\Shell Folders.
class Win32AutostartPlatform : public AutostartPlatform {
 public:
  bool RunValueExists(const std::string& name) override;
  void SetRunValue(const std::string& name, const std::string& data) override;
  void DeleteRunValue(const std::string& name) override;
  std::string StartupFolder() override;
  std::string ExecutablePath() override;
  bool ClearFileAttributes(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
};

}  // namespace zelvo
