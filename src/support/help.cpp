#include "support/help.h"

#include <cctype>

#include "mainwindow/captions.h"
#include "store/text_codes.h"

namespace zelvo {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string WindowsVersionText(const WindowsVersion& v) {
  const uint32_t code = v.platformId == 1 ? v.build
                                          : (v.major << 24) + ((v.minor & 0xFF) << 16) + (v.build & 0xFFFF);
  return std::to_string(code >> 24) + "." + std::to_string((code >> 16) & 0xFF) + "." +
         std::to_string(code & 0xFFFF);
}

std::vector<std::string> HelpCandidates(const std::string& programFolder) {
  const std::string folder = AddBackslash(programFolder);
  const char sep = folder.back();  // "\" on Windows
  std::vector<std::string> out;
  for (const std::string sub : {"", "hilfe"})
    for (const char* name : {"index", "hilfe"})
      for (const char* ext : {".htm", ".html"})
        out.push_back(folder + (sub.empty() ? "" : sub + sep) + name + ext);
  return out;
}

std::string FindLocalHelpFile(FileSystem& files, const std::string& programFolder) {
  for (const std::string& candidate : HelpCandidates(programFolder))
    if (files.FileExists(candidate)) return candidate;
  return "";
}

std::string OnlineManualAddress() {
  return Lower(std::string(kMakerAddress) + "/?go=" + kProductTitle);
}

std::string UpdateCheckAddress(const WindowsVersion& windows) {
  return Lower(FormatMessage(std::string(kMakerAddress) + "/?find_update&app=%1&ver=%2&win=%3",
                             {kProductTitle, VersionText(1), WindowsVersionText(windows)}));
}

void Help::ShowHelp() {
  const std::string file = FindLocalHelpFile(services_.files, services_.system.ProgramFolder());
  if (!file.empty()) {
    shell_.OpenDocument(file, ShowMode::Normal);
    return;
  }
  const std::string text = FormatMessage(
      std::string("Die aktuelle Anleitung zu ''%1'' ist online bei ") + kMakerHost +
          " verf\xC3\xBCgbar.\\n\\nKlicken Sie bitte ''OK'', um diese Seite jetzt anzeigen zu lassen ...",
      {kProductTitle});
  if (services_.Show({text, MsgIcon::Information, MsgButtons::OkCancel, MsgResult::Ok}) == MsgResult::Ok)
    OpenOnlineManual();
}

void Help::OpenMakerPage(const std::string& suffix) {
  shell_.OpenDocument(kMakerAddress + suffix, ShowMode::Maximized);
}

void Help::OpenOnlineManual() { shell_.OpenDocument(OnlineManualAddress(), ShowMode::Maximized); }

void Help::OpenUpdateCheck() {
  shell_.OpenDocument(UpdateCheckAddress(windows_), ShowMode::Maximized);
}

}  // namespace zelvo
