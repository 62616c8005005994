// The data store's file access on POSIX systems (native tests, benchmarks).
#pragma once

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
                              const std::function<FileError()>& body) override;
  // A file without any write permission bit counts as read-only, like a
  // file with the read-only attribute on Windows (also for root).
  FileError ReplaceAtomically(const std::string& path, const std::string& bytes) override;
  FileError CopyNew(const std::string& from, const std::string& to) override;
  bool CanCreateFilesIn(const std::string& folder) override;
  FileError CreateFolders(const std::string& folder) override;
};

FileError FileErrorFromErrno(int err);

}  // namespace zelvo
