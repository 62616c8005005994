// The platform services the portable core talks to, gathered in one place
// so that start-up builds them once and tests hand in fakes.
#pragma once

#include <string>

#include "platform/app_settings.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/random_source.h"
#include "platform/system_info.h"

namespace zelvo {

inline constexpr const char* kProductTitle = "Zelvoscript";

struct Services {
  FileSystem& files;
  Clock& clock;
  RandomSource& random;
  AppSettings& settings;
  Dialogs& dialogs;
  SystemInfo& system;
  // Title of every message box: the product title until start-up has built
  // the main window's caption, that caption afterwards.
  std::string appTitle = kProductTitle;

  MsgResult Show(const Message& m) { return dialogs.Show(appTitle, m); }
};

}  // namespace zelvo
