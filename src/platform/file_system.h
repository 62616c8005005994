// Files on a local disk or a network share, as the data store needs them.
#pragma once

#include <functional>
#include <string>

namespace zelvo {

enum class FileError {
  None,
  NotFound,          // the file does not exist, but its folder does
  Unreachable,       // the folder, drive or share cannot be reached
  AccessDenied,      // read-only share, missing rights, read-only attribute
  SharingViolation,  // another program holds the file open without sharing
  DiskFull,
  Other,
};

// The companion file that carries the operating-system lock of a data file.
inline std::string LockFilePath(const std::string& path) { return path + ".lock"; }

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Reads the whole file as raw bytes.
  virtual FileError ReadAll(const std::string& path, std::string& bytes) = 0;

  // True for an existing regular file that is neither hidden nor a system
  // file; any error counts as absent.
  virtual bool FileExists(const std::string& path) = 0;

  // True for an existing regular file, whatever its attributes.
  virtual bool IsRegularFile(const std::string& path) = 0;

  // Size in bytes of a regular file, or -1.
  virtual long long FileSize(const std::string& path) = 0;

  // Runs `body` while this process holds an exclusive operating-system lock
  // that belongs to `path`. The lock lives on a small companion file beside
  // `path` that is never replaced, so it survives the atomic replace below,
  // and the system drops it when the process dies. Waits for other holders.
  virtual FileError WithExclusiveLock(const std::string& path,
                                      const std::function<FileError()>& body) = 0;

  // Writes `bytes` to a temporary file in the same folder, flushes it to
  // disk and moves it over `path` in one step. On failure `path` is left as
  // it was and the temporary file is removed.
  virtual FileError ReplaceAtomically(const std::string& path, const std::string& bytes) = 0;

  // Copies a file; the target must not exist yet.
  virtual FileError CopyNew(const std::string& from, const std::string& to) = 0;

  // True when this user may create files in the folder (tried, not guessed
  // from attributes: a per-machine program folder only refuses at creation).
  virtual bool CanCreateFilesIn(const std::string& folder) = 0;

  // Creates the folder and any missing parents.
  virtual FileError CreateFolders(const std::string& folder) = 0;
};

}  // namespace zelvo
