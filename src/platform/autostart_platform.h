// What starting with Windows needs of the system: the value under the current
// user's Run key, the user's Startup folder and the shortcut that older
// releases put there.
#pragma once

#include <string>

namespace zelvo {

class AutostartPlatform {
 public:
  virtual ~AutostartPlatform() = default;
  virtual bool RunValueExists(const std::string& name) = 0;
  // Failures are not reported: the check box keeps the user's choice.
  virtual void SetRunValue(const std::string& name, const std::string& data) = 0;
  virtual void DeleteRunValue(const std::string& name) = 0;
  // Empty when the folder is not known.
  virtual std::string StartupFolder() = 0;
  // Full path of the running executable.
  virtual std::string ExecutablePath() = 0;
  virtual bool ClearFileAttributes(const std::string& path) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
};

}  // namespace zelvo
