// Where the default data file lives, and taking over the file an older
// version left behind.
#pragma once

#include <string>

#include "platform/services.h"

namespace zelvo {

// Machine-wide value the installer writes: the folder it installed into.
inline constexpr const char* kKeyInstallDir = "InstallDir";

// Beside the program in a folder the user may write (a portable copy); in
// the user's own folder when the program was installed for the whole machine
// or its folder refuses new files: "<APPDATA>\Brannox Software\Zelvoscript\".
std::string DefaultDataFile(Services& services);

// Makes sure the default file exists where it can. When it is not there
// yet, the first of these becomes it: the file an older version wrote into
// the user's VirtualStore copy of the program folder (older versions ran
// without a manifest, so Windows redirected their writes there), the file
// beside the program, then sample.ini. The old files stay as they are.
// A copy that fails is reported; the list then starts empty.
void ProvideDefaultDataFile(Services& services, const std::string& path);

// True for a stored path that names the file beside the program while the
// default lives elsewhere: older versions stored their default that way.
bool IsFormerDefaultBesideProgram(Services& services, const std::string& stored);

}  // namespace zelvo
