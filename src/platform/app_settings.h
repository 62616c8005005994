// The per-user settings store (on Windows: the current user's registry).
#pragma once

#include <string>

namespace zelvo {

class AppSettings {
 public:
  virtual ~AppSettings() = default;
  virtual std::string Get(const std::string& key, const std::string& fallback) = 0;
  // False when the value could not be stored.
  virtual bool Save(const std::string& key, const std::string& value) = 0;
  // A value the installer or an administrator set for every user of this
  // machine (read-only for the program); empty when there is none.
  virtual std::string GetMachineWide(const std::string& key) = 0;
};

}  // namespace zelvo
