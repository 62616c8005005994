// The manual beside the program, and the maker's web pages.
#pragma once

#include <string>
#include <vector>

#include "platform/services.h"
#include "platform/shell.h"

namespace zelvo {

inline constexpr const char* kMakerHost = "www.brannox.example";
inline constexpr const char* kMakerAddress = "https://www.brannox.example";

struct WindowsVersion {
  int platformId = 2;  // 1: the Windows 9x family, 2: NT
  unsigned major = 0, minor = 0, build = 0;
};

// "major.minor.build" as the update check sends it.
std::string WindowsVersionText(const WindowsVersion& v);

// The eight local help files, in the order they are tried.
std::vector<std::string> HelpCandidates(const std::string& programFolder);
// The first candidate that exists, or "".
std::string FindLocalHelpFile(FileSystem& files, const std::string& programFolder);

std::string OnlineManualAddress();
std::string UpdateCheckAddress(const WindowsVersion& windows);

class Help {
 public:
  Help(Services& services, Shell& shell, WindowsVersion windows)
      : services_(services), shell_(shell), windows_(windows) {}

  // The local manual, or the offer to open it online.
  void ShowHelp();
  void OpenMakerPage(const std::string& suffix = "");
  void OpenOnlineManual();
  void OpenUpdateCheck();

 private:
  Services& services_;
  Shell& shell_;
  WindowsVersion windows_;
};

}  // namespace zelvo
