// Files on a local disk or a network share, as the data store needs them.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zelvo {

enum class FileError {
  None,
  NotFound,          // the file does not exist, but its folder does
  Unreachable,       // the folder, drive or share cannot be reached
  AccessDenied,      // read-only share, missing rights, read-only attribute
  SharingViolation,  // another program holds the file open without sharing
  DiskFull,
  NotAFile,          // a folder, device or pipe where a file belongs
  Other,
};

// The companion file that carries the operating-system lock of a data file.
inline std::string LockFilePath(const std::string& path) { return path + ".lock"; }

// Temporary files of a replace lie beside their target, named
// "<target>.<process>-<number>.tmp", so that a later writer can tell the
// ones a killed writer left from anything else in the folder.
std::string TempFilePath(const std::string& path, unsigned long process, unsigned long number);
// True when `name` (without folder) is such a temporary file of the file
// named `targetName`. Letter case is ignored, as on Windows shares.
bool IsTempFileOf(const std::string& targetName, const std::string& name);
// No write takes that long: a temporary file this much older than a fresh
// one (both dated by the same file server) belongs to a writer that died.
inline constexpr long long kStaleTempSeconds = 60 * 60;

// How the body of WithExclusiveLock may save the file.
enum class SaveMethod {
  Replace,  // write a temporary file and replace the data file with it
  InPlace,  // the folder allows no new file: overwrite the data file itself
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Reads the whole file as raw bytes. A folder, device or pipe at `path`
  // gives NotAFile at once, without waiting for data.
  virtual FileError ReadAll(const std::string& path, std::string& bytes) = 0;

  // True for an existing regular file that is neither hidden nor a system
  // file; any error counts as absent.
  virtual bool FileExists(const std::string& path) = 0;

  // True for an existing regular file, whatever its attributes.
  virtual bool IsRegularFile(const std::string& path) = 0;

  // Size in bytes of a regular file, or -1.
  virtual long long FileSize(const std::string& path) = 0;

  // Runs `body` while this process holds an exclusive operating-system lock
  // that belongs to `path`; the system drops it when the process dies.
  // Waits for other holders. The lock lies on a small companion file beside
  // `path` that is never replaced, so it survives the replace below, and
  // `body` is told to replace. Where that file can neither be made nor
  // opened (a folder that allows no new files), the lock lies on `path`
  // itself and `body` is told to write in place. A file system that refuses
  // locks runs `body` unlocked, as older versions always wrote.
  virtual FileError WithExclusiveLock(const std::string& path,
                                      const std::function<FileError(SaveMethod)>& body) = 0;

  // Writes `bytes` to a temporary file beside `path`, flushes it to disk and
  // replaces `path` with it in one step, keeping the permissions of `path`.
  // A symbolic link at `path` is followed: its target is replaced. Removes
  // the temporary files of this target that writers killed long ago left.
  // On failure `path` is left as it was and the temporary file is removed.
  virtual FileError ReplaceAtomically(const std::string& path, const std::string& bytes) = 0;

  // Overwrites the existing file at `path` with `bytes`, cuts it to their
  // length and flushes it. Not atomic: only for folders where no temporary
  // file can be made. Space for the new content is reserved before the
  // first byte changes, so a full disk leaves the file as it was.
  virtual FileError WriteInPlace(const std::string& path, const std::string& bytes) = 0;

  // Copies a file; the target must not exist yet.
  virtual FileError CopyNew(const std::string& from, const std::string& to) = 0;

  // True when this user may create files in the folder (tried, not guessed
  // from attributes: a per-machine program folder only refuses at creation).
  virtual bool CanCreateFilesIn(const std::string& folder) = 0;

  // Creates the folder and any missing parents.
  virtual FileError CreateFolders(const std::string& folder) = 0;

  // Writes `bytes` to a file that must not exist yet and flushes it; a
  // failed write removes the partial file.
  virtual FileError WriteNew(const std::string& path, const std::string& bytes) = 0;

  // Names (without folder) of the regular files in `folder`; none when the
  // folder does not exist.
  virtual FileError ListFiles(const std::string& folder, std::vector<std::string>& names) = 0;

  virtual FileError RemoveFile(const std::string& path) = 0;
};

}  // namespace zelvo
