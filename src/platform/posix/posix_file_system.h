// The data store's file access on POSIX systems (native tests, benchmarks).
#pragma once

#include <sys/types.h>

#include "platform/file_system.h"

namespace zelvo {

class PosixFileSystem : public FileSystem {
 public:
  FileError ReadAll(const std::string& path, std::string& bytes) override;
  // Names starting with a dot count as hidden.
  bool FileExists(const std::string& path) override;
  bool IsRegularFile(const std::string& path) override;
  long long FileSize(const std::string& path) override;
  FileError WithExclusiveLock(const std::string& path,
                              const std::function<FileError(SaveMethod)>& body) override;
  // A file without any write permission bit counts as read-only, like a
  // file with the read-only attribute on Windows (also for root); so in
  // WriteInPlace.
  FileError ReplaceAtomically(const std::string& path, const std::string& bytes) override;
  FileError WriteInPlace(const std::string& path, const std::string& bytes) override;
  FileError CopyNew(const std::string& from, const std::string& to) override;
  bool CanCreateFilesIn(const std::string& folder) override;
  FileError CreateFolders(const std::string& folder) override;
  FileError WriteNew(const std::string& path, const std::string& bytes) override;
  FileError ListFiles(const std::string& folder, std::vector<std::string>& names) override;
  FileError RemoveFile(const std::string& path) override;

 protected:
  // The system calls a test replaces to act out a folder where it may not
  // create files (tests run as root, who may) or a file system without
  // locks. Both return -1 with errno set on failure.
  virtual int OpenFile(const std::string& path, int flags, mode_t mode);
  virtual int LockFile(int fd);  // waits for an exclusive lock
};

FileError FileErrorFromErrno(int err);

}  // namespace zelvo
