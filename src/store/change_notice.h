// Who changed the shared list, and what: the tray balloon after a reload
// finds another PC's change.
#pragma once

#include <optional>
#include <string>

#include "platform/services.h"
#include "store/ini_document.h"
#include "store/settings.h"

namespace zelvo {

class ChangeNotice {
 public:
  // After a reload read a version of `dataPath` other than the last one:
  // the balloon's text when the newest backup says another user or PC
  // replaced the version before, and that change has not been told yet.
  // The first version read of a file only sets the starting point. Never
  // shows a message: a backup that cannot be read tells nothing.
  std::optional<std::string> After(Services& services, const std::string& dataPath,
                                   const IniDocument& now);

 private:
  std::string path_;        // the file the starting point belongs to
  std::string startedAt_;   // its newest backup when this PC first read it
  std::string lastTold_;    // backup and summary of the balloon shown last
};

}  // namespace zelvo
