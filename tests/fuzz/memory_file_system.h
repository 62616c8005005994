// Files in memory, so the store can be fuzzed at full speed. Checks what
// the store promises the real file systems: every save happens under the
// exclusive lock in the way the lock said, and the lock is never taken
// twice at once.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "platform/file_system.h"

namespace zelvo::fuzz {

class MemoryFileSystem : public FileSystem {
 public:
  std::map<std::string, std::string> files;
  int lockDepth = 0;
  int replaces = 0;
  bool inPlace = false;  // a folder that allows no new file: saves overwrite the file

  FileError ReadAll(const std::string& path, std::string& bytes) override {
    const auto it = files.find(path);
    if (it == files.end()) return FileError::NotFound;
    bytes = it->second;
    return FileError::None;
  }
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }
  bool IsRegularFile(const std::string& path) override { return files.count(path) != 0; }
  long long FileSize(const std::string& path) override {
    const auto it = files.find(path);
    return it == files.end() ? -1 : static_cast<long long>(it->second.size());
  }
  FileError WithExclusiveLock(const std::string& path,
                              const std::function<FileError(SaveMethod)>& body) override {
    FUZZ_CHECK(lockDepth == 0);  // a second lock of one file waits for ever
    ++lockDepth;
    const FileError e = body(inPlace ? SaveMethod::InPlace : SaveMethod::Replace);
    --lockDepth;
    return e;
  }
  FileError ReplaceAtomically(const std::string& path, const std::string& bytes) override {
    FUZZ_CHECK(lockDepth == 1 && !inPlace);
    files[path] = bytes;
    ++replaces;
    return FileError::None;
  }
  FileError WriteInPlace(const std::string& path, const std::string& bytes) override {
    FUZZ_CHECK(lockDepth == 1 && inPlace);
    files[path] = bytes;
    ++replaces;
    return FileError::None;
  }
  FileError CopyNew(const std::string& from, const std::string& to) override {
    if (!files.count(from)) return FileError::NotFound;
    if (files.count(to)) return FileError::Other;
    files[to] = files[from];
    return FileError::None;
  }
  // Folders are implied by the files' names.
  bool CanCreateFilesIn(const std::string&) override { return true; }
  FileError CreateFolders(const std::string&) override { return FileError::None; }
  // Backups are kept apart, so the checks on `files` see only the data file.
  FileError WriteNew(const std::string& path, const std::string& bytes) override {
    if (!backups.emplace(path, bytes).second) return FileError::Other;
    return FileError::None;
  }
  FileError ListFiles(const std::string& folder, std::vector<std::string>& names) override {
    for (const auto& [path, bytes] : backups)
      if (path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0 &&
          path.find('/', folder.size() + 1) == std::string::npos)
        names.push_back(path.substr(folder.size() + 1));
    return FileError::None;
  }
  FileError RemoveFile(const std::string& path) override {
    return backups.erase(path) ? FileError::None : FileError::NotFound;
  }
  std::map<std::string, std::string> backups;
};

}  // namespace zelvo::fuzz
