// Everything a store test needs: the real file system in a temporary folder
// (with injectable failures), fakes for the rest, and a Services over them.
#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>

#include "fakes/fake_clock.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_random.h"
#include "fakes/temp_dir.h"
#include "platform/posix/posix_file_system.h"
#include "platform/services.h"

namespace zelvo {

// The POSIX file system with failures a test can queue per operation. A
// queued replace failure stands for the whole save: the in-place write that
// follows a refused replace fails the same way, as on a read-only file.
class FaultyFileSystem : public PosixFileSystem {
 public:
  std::deque<FileError> writeNewFailures, readFailures, replaceFailures, lockFailures, copyFailures, inPlaceFailures;
  // Runs after every successful read with its number (1, 2, ...); lets a
  // test change the file "from another PC" between our read and our write.
  std::function<void(int)> afterRead;
  int reads = 0, replaces = 0, inPlaceWrites = 0;
  // Acts out a folder where this user may not create files (tests run as
  // root, who may) and a file system that refuses locks.
  bool folderAllowsNewFiles = true;
  bool locksWork = true;
  std::map<std::string, int> readAttempts;  // every ReadAll per path, failed ones too
  // Sizes FileSize reports instead of the real ones, so a test can present
  // a huge file without writing it.
  std::map<std::string, long long> sizes;
  // Folders that refuse new files, as a per-machine program folder does for
  // a user (the tests run as root, who may write anywhere).
  std::set<std::string> readOnlyFolders;

  FileError ReadAll(const std::string& path, std::string& bytes) override;
  long long FileSize(const std::string& path) override;
  FileError WithExclusiveLock(const std::string& path,
                              const std::function<FileError(SaveMethod)>& body) override;
  FileError ReplaceAtomically(const std::string& path, const std::string& bytes) override;
  FileError WriteInPlace(const std::string& path, const std::string& bytes) override;
  FileError CopyNew(const std::string& from, const std::string& to) override;
  bool CanCreateFilesIn(const std::string& folder) override;
  FileError CreateFolders(const std::string& folder) override;
  FileError WriteNew(const std::string& path, const std::string& bytes) override;

 protected:
  int OpenFile(const std::string& path, int flags, mode_t mode) override;
  int LockFile(int fd) override;

 private:
  FileError refusedSave_ = FileError::None;  // the replace just refused
};

struct FakeServices {
  TempDir dir;
  FaultyFileSystem files;
  FakeClock clock;
  FakeRandom random;
  FakeAppSettings settings;
  FakeDialogs dialogs;
  FakeSystemInfo system;
  Services services{files, clock, random, settings, dialogs, system};

  FakeServices() { system.programFolder = dir.Path(); }
};

}  // namespace zelvo
