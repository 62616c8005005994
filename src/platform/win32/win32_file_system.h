// The data store's file access on Windows: shared reads, a lock on a
// companion file, and replacing a file in one step (or, in a folder that
// allows no new file, writing it in place).
#pragma once

#include "platform/file_system.h"

namespace zelvo {

class Win32FileSystem : public FileSystem {
 public:
  FileError ReadAll(const std::string& path, std::string& bytes) override;
  bool FileExists(const std::string& path) override;
  bool IsRegularFile(const std::string& path) override;
  long long FileSize(const std::string& path) override;
  FileError WithExclusiveLock(const std::string& path,
                              const std::function<FileError(SaveMethod)>& body) override;
  FileError ReplaceAtomically(const std::string& path, const std::string& bytes) override;
  FileError WriteInPlace(const std::string& path, const std::string& bytes) override;
  FileError CopyNew(const std::string& from, const std::string& to) override;
  bool CanCreateFilesIn(const std::string& folder) override;
  FileError CreateFolders(const std::string& folder) override;
  FileError WriteNew(const std::string& path, const std::string& bytes) override;
  FileError ListFiles(const std::string& folder, std::vector<std::string>& names) override;
  FileError RemoveFile(const std::string& path) override;

  // How long WithExclusiveLock waits for another holder before it gives up
  // with SharingViolation.
  int lockWaitMs = 15000;
};

// Maps a Win32 error code to the store's categories.
FileError FileErrorFromWin32(unsigned long code);

}  // namespace zelvo
