#include "fakes/fake_services.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace zelvo {
namespace {

bool TakeFailure(std::deque<FileError>& queue, FileError& e) {
  if (queue.empty()) return false;
  e = queue.front();
  queue.pop_front();
  return e != FileError::None;
}

}  // namespace

FileError FaultyFileSystem::ReadAll(const std::string& path, std::string& bytes) {
  ++readAttempts[path];
  FileError e;
  if (TakeFailure(readFailures, e)) return e;
  e = PosixFileSystem::ReadAll(path, bytes);
  if (e == FileError::None && afterRead) afterRead(++reads);
  return e;
}

long long FaultyFileSystem::FileSize(const std::string& path) {
  const auto it = sizes.find(path);
  return it == sizes.end() ? PosixFileSystem::FileSize(path) : it->second;
}

FileError FaultyFileSystem::WithExclusiveLock(const std::string& path,
                                              const std::function<FileError(SaveMethod)>& body) {
  FileError e;
  if (TakeFailure(lockFailures, e)) return e;
  return PosixFileSystem::WithExclusiveLock(path, body);
}

FileError FaultyFileSystem::ReplaceAtomically(const std::string& path, const std::string& bytes) {
  FileError e;
  refusedSave_ = FileError::None;
  if (TakeFailure(replaceFailures, e)) return refusedSave_ = e;
  ++replaces;
  return PosixFileSystem::ReplaceAtomically(path, bytes);
}

FileError FaultyFileSystem::WriteInPlace(const std::string& path, const std::string& bytes) {
  FileError e = std::exchange(refusedSave_, FileError::None);
  if (e != FileError::None || TakeFailure(inPlaceFailures, e)) return e;
  ++inPlaceWrites;
  return PosixFileSystem::WriteInPlace(path, bytes);
}

int FaultyFileSystem::OpenFile(const std::string& path, int flags, mode_t mode) {
  if (!folderAllowsNewFiles && (flags & O_CREAT) != 0 && ::access(path.c_str(), F_OK) != 0) {
    errno = EACCES;
    return -1;
  }
  return PosixFileSystem::OpenFile(path, flags, mode);
}

int FaultyFileSystem::LockFile(int fd) {
  if (locksWork) return PosixFileSystem::LockFile(fd);
  errno = ENOLCK;
  return -1;
}

FileError FaultyFileSystem::CopyNew(const std::string& from, const std::string& to) {
  FileError e;
  return TakeFailure(copyFailures, e) ? e : PosixFileSystem::CopyNew(from, to);
}

bool FaultyFileSystem::CanCreateFilesIn(const std::string& folder) {
  return readOnlyFolders.count(folder) == 0 && PosixFileSystem::CanCreateFilesIn(folder);
}

FileError FaultyFileSystem::CreateFolders(const std::string& folder) {
  if (!folderAllowsNewFiles && ::access(folder.c_str(), F_OK) != 0) return FileError::AccessDenied;
  return PosixFileSystem::CreateFolders(folder);
}

FileError FaultyFileSystem::WriteNew(const std::string& path, const std::string& bytes) {
  FileError e;
  return TakeFailure(writeNewFailures, e) ? e : PosixFileSystem::WriteNew(path, bytes);
}

}  // namespace zelvo
