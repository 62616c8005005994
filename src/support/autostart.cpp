#include "support/autostart.h"

#include "store/text_codes.h"

namespace zelvo {

std::string AutostartCommandLine(const std::string& exePath) {
  return "\"" + exePath + "\" /AUTOSTART";
}

Autostart::Autostart(Services& services, AutostartPlatform& platform)
    : services_(services), platform_(platform) {}

bool Autostart::InitAutostartCheck() {
  const std::string folder = platform_.StartupFolder();
  const std::string shortcut = AddBackslash(folder) + kRunValueName + ".lnk";
  if (!folder.empty() && services_.files.FileExists(shortcut)) {
    if (!platform_.ClearFileAttributes(shortcut))
      services_.Show({"Attribute nicht l\xC3\xB6schbar: " + shortcut, MsgIcon::Information});
    if (!platform_.RemoveFile(shortcut))
      services_.Show({"Datei nicht l\xC3\xB6schbar: " + shortcut, MsgIcon::Information});
    initialised_ = true;
    ApplyAutostart(true);
    return true;
  }
  const bool exists = platform_.RunValueExists(kRunValueName);
  initialised_ = true;
  return exists;
}

void Autostart::ApplyAutostart(bool checked) {
  if (!initialised_) return;
  if (checked) {
    platform_.SetRunValue(kRunValueName, AutostartCommandLine(platform_.ExecutablePath()));
  } else {
    platform_.DeleteRunValue(kRunValueName);
  }
}

}  // namespace zelvo
