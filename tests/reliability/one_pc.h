// One program instance in a reliability test: its own services, user and
// PC name over the shared data file.
#pragma once

#include <string>

#include "fakes/fake_clock.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_platform.h"
#include "platform/posix/posix_file_system.h"
#include "platform/std_random.h"
#include "store/data_file.h"
#include "store/data_lock.h"
#include "store/snippet_store.h"

namespace zelvo {

struct OnePc {
  OnePc(const std::string& path, const std::string& user, const std::string& computer = "PC") {
    system.userName = user;
    system.computerName = computer;
    file.SetPath(path);
  }
  PosixFileSystem files;
  FakeClock clock;
  StdRandomSource random;
  FakeAppSettings settings;
  FakeDialogs dialogs;
  FakeSystemInfo system;
  Services services{files, clock, random, settings, dialogs, system};
  DataFile file{services};
  SnippetStore store{services, file};
  DataLock lock{services, file};
};

}  // namespace zelvo
