#include "store/default_data_file.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "store/data_file.h"
#include "store/snippet_store.h"
#include "store/text_codes.h"

namespace zelvo {
namespace {

// Windows paths compare without regard to case (ASCII letters suffice for
// the folders compared here) and to a trailing separator.
bool SamePath(std::string a, std::string b) {
  const auto fold = [](std::string& s) {
    if (!s.empty() && (s.back() == '\\' || s.back() == '/')) s.pop_back();
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  };
  fold(a);
  fold(b);
  return a == b;
}

// `folder` + name + separator, with the separator the folder already uses.
std::string SubFolder(const std::string& folder, const std::string& name) {
  const std::string base = AddBackslash(folder);
  return base + name + base.back();
}

std::string BesideProgram(Services& services) {
  return AddBackslash(services.system.ProgramFolder()) + kDataFileName;
}

bool InstalledForTheMachine(Services& services) {
  const std::string installDir = services.settings.GetMachineWide(kKeyInstallDir);
  return !installDir.empty() && SamePath(installDir, services.system.ProgramFolder());
}

// The user's VirtualStore copy of the program folder's data file: the
// program folder without its drive, under <LOCALAPPDATA>\VirtualStore.
std::optional<std::string> VirtualStoreFile(Services& services) {
  const std::string local = services.system.LocalUserDataFolder();
  std::string rest = AddBackslash(services.system.ProgramFolder());
  if (local.empty()) return std::nullopt;
  if (rest.size() > 2 && rest[1] == ':') rest.erase(0, 2);
  if (rest.empty() || (rest[0] != '\\' && rest[0] != '/') || rest.rfind("\\\\", 0) == 0) return std::nullopt;
  return AddBackslash(local) + "VirtualStore" + rest + kDataFileName;
}

}  // namespace

std::string DefaultDataFile(Services& services) {
  const std::string beside = BesideProgram(services);
  const std::string userData = services.system.UserDataFolder();
  if (userData.empty()) return beside;
  if (!InstalledForTheMachine(services) && services.files.CanCreateFilesIn(services.system.ProgramFolder()))
    return beside;
  return SubFolder(SubFolder(userData, "Brannox Software"), "Zelvoscript") + kDataFileName;
}

void ProvideDefaultDataFile(Services& services, const std::string& path) {
  if (services.files.FileExists(path)) return;
  const std::string beside = BesideProgram(services);
  std::vector<std::string> sources;
  if (!SamePath(path, beside)) {
    if (auto virtualStore = VirtualStoreFile(services)) sources.push_back(*virtualStore);
    sources.push_back(beside);
  }
  sources.push_back(AddBackslash(services.system.ProgramFolder()) + kSampleFileName);
  const auto source = std::find_if(sources.begin(), sources.end(),
                                   [&](const std::string& s) { return services.files.FileExists(s); });
  if (source == sources.end()) return;  // the first write creates the file

  const std::string folder = path.substr(0, path.find_last_of("\\/") + 1);
  FileError e = services.files.CreateFolders(folder);
  if (e == FileError::None) e = services.files.CopyNew(*source, path);
  if (e == FileError::None) return;
  const bool sample = source + 1 == sources.end();
  services.Show({std::string(sample ? "Die Beispieldatei" : "Die bisherige Datendatei") + "\r\n" + *source +
                     "\r\nkonnte nicht nach\r\n" + path + "\r\nkopiert werden.\r\n\r\n" + FileErrorText(e) +
                     "\r\n\r\nDie Textbausteinliste bleibt leer." +
                     (sample ? "" : " Die bisherige Datei bleibt unverändert erhalten."),
                 MsgIcon::Exclamation});
}

bool IsFormerDefaultBesideProgram(Services& services, const std::string& stored) {
  const std::string beside = BesideProgram(services);
  return !stored.empty() && SamePath(stored, beside) && !SamePath(DefaultDataFile(services), beside);
}

}  // namespace zelvo
